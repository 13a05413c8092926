// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace tilvo {

class BucketTable;
class DataSet;
class StreamedRow;
struct StatisticState;

// What a computation leaves for the chart.
struct StatisticResult
{
    // False when no dossier is open or it has no account: the chart's series are to be
    // deactivated and nothing drawn. True when the table holds the statistic to draw.
    bool draw = false;
    bool allZero = true;
    // A date range held more entries than the table: only the first BucketTable::Capacity
    // are in it (see TruncatedStatisticText).
    bool truncated = false;
};

// The statistic of the selected account for the state's period: one bucket per day of the
// month, per month of the year or per year of the decade holding the sum of the entries'
// quantities (or amounts), or one point per entry over a date range. Runs one statement on
// the scratch query `query` and leaves it closed; fills `buckets` and state.AllZero.
// `dossierId` -1 or a dossier without accounts computes nothing (result.draw false).
// An error of the engine leaves the table cleared and is passed on.
StatisticResult ComputeStatistic(StatisticState& state, BucketTable& buckets, DataSet& query,
                                 qint64 dossierId, qint64 accountId, bool dossierHasAccounts);

// The statement ComputeStatistic runs for the state's period.
QString StatisticQueryText(const StatisticState& state, qint64 accountId);

// The summed column of a row of that statement: the quantity for value kind 0, the amount for
// value kind 1; 0 when it is missing.
double BucketValue(const StreamedRow& row, int valueKind);

// What the user is told when a date range held more entries than a chart can show.
QString TruncatedStatisticText();

} // namespace tilvo
