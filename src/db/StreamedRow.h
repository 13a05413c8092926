// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <functional>

struct sqlite3_stmt;

namespace tilvo {

class DataSet;

// One row of a statement read by StreamRows; valid only while the callback runs. Columns are
// counted from 0 in the order of the statement's select list.
class StreamedRow
{
public:
    bool isNull(int column) const;
    // A null value reads 0; a text that is no number throws Error, as a field does.
    double real(int column) const;
    // A null value, or one that is no date, reads an invalid date.
    QDate date(int column) const;
    // A null value reads an empty text; numbers read as the engine writes them.
    QString text(int column) const;

private:
    friend void StreamRows(DataSet&, const std::function<bool(const StreamedRow&)>&);
    sqlite3_stmt* m_stmt = nullptr; // the embedded engine's cursor, or
    DataSet* m_dataSet = nullptr;   // the open dataset standing on the row
};

// Runs the dataset's statement, translated as DataSet::open translates it, and hands each
// row to `onRow` in the order the engine returns them; `onRow` returns false to stop early.
// The rows are not kept, and no text is made of dates or numbers: this is the path for
// statements that read many rows once (the statistics). The embedded engine is read through
// its own cursor; ODBC through the dataset, which is closed again afterwards.
// Errors of the engine throw Error with its text.
void StreamRows(DataSet& dataSet, const std::function<bool(const StreamedRow&)>& onRow);

} // namespace tilvo
