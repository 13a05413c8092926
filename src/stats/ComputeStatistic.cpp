// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ComputeStatistic.h"

#include "common/DateHelpers.h"
#include "common/SqlText.h"
#include "db/DataSet.h"
#include "db/StreamedRow.h"
#include "stats/BucketTable.h"
#include "stats/StatisticState.h"

namespace tilvo {

namespace {

// Columns of the statement, in its select list's order.
constexpr int kDateColumn = 0;
constexpr int kPriceColumn = 1;
constexpr int kQuantityColumn = 2;

// The last `width` digits of a number with leading zeros, as the date text shows them.
QStringView DigitsOf(int number, int width, char16_t (&buffer)[4])
{
    if (number < 0)
        return QStringView();
    for (int i = width - 1; i >= 0; --i) {
        buffer[i] = char16_t(u'0' + number % 10);
        number /= 10;
    }
    return QStringView(buffer, width);
}

void FillMonth(const StatisticState& state, BucketTable& buckets, DataSet& query)
{
    for (int day = 1; day <= 31; ++day)
        buckets.setLabel(day, ZeroPad(day, 2));
    buckets.setCount(DaysInMonth(state.Month, state.Year));
    StreamRows(query, [&](const StreamedRow& row) {
        const QDate date = row.date(kDateColumn);
        char16_t key[4];
        const QStringView day = date.isValid() ? DigitsOf(date.day(), 2, key) : QStringView();
        buckets.addToValue(buckets.FindBucket(day), BucketValue(row, state.ValueKind));
        return true;
    });
}

void FillYear(const StatisticState& state, BucketTable& buckets, DataSet& query)
{
    for (int month = 1; month <= 12; ++month)
        buckets.setLabel(month, FrenchMonthName(month).left(3));
    buckets.setCount(12);
    StreamRows(query, [&](const StreamedRow& row) {
        const QDate date = row.date(kDateColumn);
        if (date.isValid())
            buckets.addToValue(date.month(), BucketValue(row, state.ValueKind));
        return true;
    });
}

void FillDecade(const StatisticState& state, BucketTable& buckets, DataSet& query)
{
    for (int i = 1; i <= 10; ++i)
        buckets.setLabel(i, QString::number(state.DecadeStart + i - 1));
    buckets.setCount(10);
    StreamRows(query, [&](const StreamedRow& row) {
        const QDate date = row.date(kDateColumn);
        char16_t key[4];
        const QStringView year = date.isValid() ? DigitsOf(date.year(), 4, key) : QStringView();
        buckets.addToValue(buckets.FindBucket(year), BucketValue(row, state.ValueKind));
        return true;
    });
}

// One point per entry in date order, entries of one day not summed; two zero points at the
// bounds when the range holds none.
bool FillDates(const StatisticState& state, BucketTable& buckets, DataSet& query)
{
    bool truncated = false;
    StreamRows(query, [&](const StreamedRow& row) {
        if (!buckets.appendDate(row.date(kDateColumn), BucketValue(row, state.ValueKind))) {
            truncated = true;
            return false;
        }
        return true;
    });
    if (buckets.count() == 0) {
        buckets.appendDate(state.BeginDate, 0);
        buckets.appendDate(state.EndDate, 0);
    }
    return truncated;
}

} // namespace

QString StatisticQueryText(const StatisticState& state, qint64 accountId)
{
    QString sql =
        QStringLiteral("SELECT DATEACTION, PRICE, QUANTITY FROM CONSUMPTION WHERE Id_Account=") +
        QString::number(accountId);
    switch (state.PeriodKind) {
    case kPeriodMonth:
        sql += QStringLiteral(" AND MID(DATEACTION, 4, 2)='") + ZeroPad(state.Month, 2) +
               QStringLiteral("' AND MID(DATEACTION, 7, 4)='") + QString::number(state.Year) +
               u'\'';
        break;
    case kPeriodYear:
        sql += QStringLiteral(" AND MID(DATEACTION, 7, 4)='") + QString::number(state.Year) + u'\'';
        break;
    case kPeriodDecade:
        sql += QStringLiteral(" AND MID(DATEACTION, 7, 4)>='") +
               QString::number(state.DecadeStart) +
               QStringLiteral("' AND MID(DATEACTION, 7, 4)<='") +
               QString::number(state.DecadeStart + 9) + u'\'';
        break;
    case kPeriodDates:
        sql += QStringLiteral(" AND DateAction>=#") + SqlDateLiteral(state.BeginDate) + u'#' +
               QStringLiteral(" AND DateAction<=#") + SqlDateLiteral(state.EndDate) + u'#' +
               QStringLiteral(" ORDER BY DateAction");
        break;
    default:
        break;
    }
    return sql;
}

double BucketValue(const StreamedRow& row, int valueKind)
{
    return row.real(valueKind == kValueAmount ? kPriceColumn : kQuantityColumn);
}

QString TruncatedStatisticText()
{
    static_assert(BucketTable::Capacity == 50000);
    return QStringLiteral("Cette période compte plus de 50 000 consommations : seules les 50 000 "
                          "premières sont représentées.");
}

StatisticResult ComputeStatistic(StatisticState& state, BucketTable& buckets, DataSet& query,
                                 qint64 dossierId, qint64 accountId, bool dossierHasAccounts)
{
    StatisticResult result;
    state.AllZero = true;
    buckets.ClearBuckets();
    if (dossierId == -1 || !dossierHasAccounts)
        return result;

    query.close();
    query.setSqlText(StatisticQueryText(state, accountId));
    try {
        switch (state.PeriodKind) {
        case kPeriodMonth:
            FillMonth(state, buckets, query);
            break;
        case kPeriodYear:
            FillYear(state, buckets, query);
            break;
        case kPeriodDecade:
            FillDecade(state, buckets, query);
            break;
        case kPeriodDates:
            result.truncated = FillDates(state, buckets, query);
            break;
        default:
            StreamRows(query, [](const StreamedRow&) { return true; });
            break;
        }
    } catch (...) {
        buckets.ClearBuckets();
        query.close();
        throw;
    }
    query.close();
    state.AllZero = buckets.allZero();
    result.draw = true;
    result.allZero = state.AllZero;
    return result;
}

} // namespace tilvo
