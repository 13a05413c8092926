// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DataSetOps.h"

#include "common/Error.h"
#include "common/SqlText.h"
#include "db/DataSet.h"

namespace tilvo {

void ReplaceWhereLine(DataSet& dataSet, const QString& line)
{
    QStringList lines = dataSet.sql();
    const int where = GetWhereLine(lines);
    if (where < 0)
        throw Error(QStringLiteral("La requête de %1 n'a pas de ligne WHERE.").arg(dataSet.name()));
    lines[where] = line;
    dataSet.setSql(lines);
}

void ExecSql(DataSet& dataSet, const QString& statement)
{
    dataSet.close();
    dataSet.setSqlText(statement);
    dataSet.execSql();
    dataSet.close();
}

bool IsEmptyDataSet(const DataSet& dataSet)
{
    return dataSet.bof() && dataSet.eof();
}

void EnsureEditing(DataSource& dataSource, DataSet& dataSet)
{
    const DataSetState state = dataSource.state();
    if (state != DataSetState::Editing && state != DataSetState::Inserting)
        dataSet.edit();
}

void PostIfEditing(DataSource& dataSource, DataSet& dataSet)
{
    const DataSetState state = dataSource.state();
    if (state == DataSetState::Editing || state == DataSetState::Inserting)
        dataSet.post();
}

void ReopenKeepingRow(DataSet& dataSet)
{
    qint64 key = -1;
    if (dataSet.isActive() && !IsEmptyDataSet(dataSet)) {
        try {
            key = dataSet.fieldByName(QStringLiteral("Id")).asInteger();
        } catch (const Error&) {
            key = -1;
        }
    }
    dataSet.disableControls();
    try {
        dataSet.close();
        dataSet.open();
        if (key >= 0 && !dataSet.locate(QStringLiteral("Id"), key))
            dataSet.first();
    } catch (...) {
        dataSet.enableControls();
        throw;
    }
    dataSet.enableControls();
}

} // namespace tilvo
