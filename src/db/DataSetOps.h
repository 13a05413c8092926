// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

class DataSet;
class DataSource;

// Replaces the WHERE clause line of the dataset's statement by `line`; the dataset is not
// opened. Throws Error, changing nothing, when the statement has no WHERE line.
void ReplaceWhereLine(DataSet& dataSet, const QString& line);

// Closes the dataset, makes `statement` its statement, runs it as a command that returns no
// rows and closes it again. Errors of the engine reach the caller; the dataset stays closed.
void ExecSql(DataSet& dataSet, const QString& statement);

// True when the open dataset is at its beginning and at its end at once (no rows).
bool IsEmptyDataSet(const DataSet& dataSet);

// Puts the dataset into editing unless it is editing or inserting already (an empty one
// starts an insertion).
void EnsureEditing(DataSource& dataSource, DataSet& dataSet);

// Posts the pending row when the dataset is editing or inserting.
void PostIfEditing(DataSource& dataSource, DataSet& dataSet);

// Closes and reopens the dataset and goes back to the row that was current, found by its
// field Id; the first row when it is gone. Bound controls do not follow during the reload.
void ReopenKeepingRow(DataSet& dataSet);

} // namespace tilvo
