// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace tilvo {

class DataSet;
class DataSource;

// Pick-lists are the texts of the COMBOITEMS columns (Account_Unit, Account_Misc01 ...), one
// item per line, lines separated by CR LF. Every dossier shares them: the first row the
// engine returns holds them.

// The lines the pick-list editor shows: sorted without regard to case, and a line equal to
// one already kept (without regard to case) dropped: kWh, litres, KWH give kWh, litres.
QStringList CleanPickList(const QStringList& lines);

// A pick-list's lines as stored, read from the open `comboItems`; none when the table is
// empty or the column null.
QStringList PickListLines(DataSet& comboItems, const QString& column);

// The lines a drop-down offers. With a pick-list column: `comboItems` is opened, the list is
// read and sorted (when `sorted`), an empty line goes on top, and `comboItems` is closed.
// Without one: the fixed lines (separated by CR), sorted when asked.
QStringList DropDownLines(DataSet* comboItems, const QString& listColumn, const QString& fixedLines,
                          bool sorted);

// Writes a pick-list's text into the open `comboItems` (editing its first row, or inserting
// one in an empty table) and posts it. Line breaks become CR LF; the lines are not sorted.
void SavePickList(DataSource& comboItems, const QString& column, const QString& text);

} // namespace tilvo
