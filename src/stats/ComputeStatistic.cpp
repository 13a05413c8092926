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

// The labels of the month and decade kinds are distinct numbers in order ("01" .. "31",
// "2000" .. "2009"), so FindBucket of a date's day or year text is a matter of arithmetic:
// the number's own bucket below the last one, the last bucket for anything else.
int BucketOf(int offset, int count)
{
    return offset >= 1 && offset < count ? offset : count;
}

void FillMonth(const StatisticState& state, BucketTable& buckets, DataSet& query)
{
    for (int day = 1; day <= 31; ++day)
        buckets.setLabel(day, ZeroPad(day, 2));
    buckets.setCount(DaysInMonth(state.Month, state.Year));
    const int count = buckets.count();
    StreamRows(query, [&](const StreamedRow& row) {
        const QDate date = row.date(kDateColumn);
        const int day = date.isValid() ? date.day() : 0;
        buckets.addToValue(BucketOf(day, count), BucketValue(row, state.ValueKind));
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
        // The date text shows four digits: a year below 1000 matches no label.
        const int year = date.isValid() && date.year() >= 1000 ? date.year() : 0;
        const int offset = year ? year - state.DecadeStart + 1 : 0;
        buckets.addToValue(BucketOf(offset, 10), BucketValue(row, state.ValueKind));
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
