// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/StatisticState.h"

#include "common/Clock.h"
#include "common/DateHelpers.h"

#include <QStringList>

namespace tilvo {

namespace {

QString PickListLine(const char16_t* lines, int index)
{
    const QStringList items = QString::fromUtf16(lines).split(u'\r');
    return index >= 0 && index < items.size() ? items.at(index) : QString();
}

} // namespace

StatisticState InitialStatisticState(const Clock& clock)
{
    const QDate today = clock.today();
    StatisticState state;
    state.ChartKind = kChartLine;
    state.PeriodKind = kPeriodYear;
    state.ValueKind = kValueQuantity;
    state.Month = today.month();
    state.Year = today.year();
    state.DecadeStart = today.year() / 10 * 10;
    state.BeginDate = QDate(today.year(), 1, 1);
    state.EndDate = QDate(today.year(), 12, 31);
    return state;
}

QString PeriodKindText(int periodKind)
{
    return PickListLine(kPeriodKindLines, periodKind);
}

QString ValueKindText(int valueKind)
{
    return PickListLine(kValueKindLines, valueKind);
}

void PreviousPeriod(StatisticState& state)
{
    switch (state.PeriodKind) {
    case kPeriodMonth:
        if (--state.Month < 1) {
            state.Month = 12;
            --state.Year;
        }
        break;
    case kPeriodYear:
        --state.Year;
        break;
    case kPeriodDecade:
        state.DecadeStart -= 10;
        break;
    default:
        break;
    }
}

void NextPeriod(StatisticState& state)
{
    switch (state.PeriodKind) {
    case kPeriodMonth:
        if (state.Month >= 12) {
            state.Month = 1;
            ++state.Year;
        } else {
            ++state.Month;
        }
        break;
    case kPeriodYear:
        ++state.Year;
        break;
    case kPeriodDecade:
        state.DecadeStart += 10;
        break;
    default:
        break;
    }
}

QString PeriodLabelText(const StatisticState& state)
{
    switch (state.PeriodKind) {
    case kPeriodMonth:
        return FrenchMonthName(state.Month) + u' ' + QString::number(state.Year);
    case kPeriodYear:
        return QString::number(state.Year);
    case kPeriodDecade:
        return QString::number(state.DecadeStart) + u'-' + QString::number(state.DecadeStart + 9);
    case kPeriodDates:
        return QStringLiteral("du ") + FormatDateText(state.BeginDate) + QStringLiteral(" au ") +
               FormatDateText(state.EndDate);
    default:
        return QString();
    }
}

void LoadAccountDefaults(StatisticState& state, int periodType, int statType, int valueType,
                         quint32 color, bool allColor)
{
    state.PeriodKind = periodType;
    state.ChartKind = statType;
    state.SavedChartKind = statType;
    state.ValueKind = valueType;
    state.AccountColor = color;
    state.AllColor = allColor;
}

} // namespace tilvo
