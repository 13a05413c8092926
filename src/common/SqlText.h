// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace tilvo {

// SQL statements are kept as lists of lines; every clause the program replaces
// (FROM, WHERE, HAVING, ORDER BY) stands on a line of its own.

// Breaks at CR LF, at a lone CR and at a lone LF. A final line end does not start
// another line.
QStringList SplitLines(const QString& text);
// Every line followed by CR LF, the last one included.
QString JoinLines(const QStringList& lines);

// The index of the first line whose upper-cased text holds the keyword, -1 when none does.
int FindClauseLine(const QStringList& lines, const QString& keyword);
int GetFromLine(const QStringList& lines);
int GetWhereLine(const QStringList& lines);
int GetHavingLine(const QStringList& lines);
int GetOrderByLine(const QStringList& lines);
int GetFromLine(const QString& text);
int GetWhereLine(const QString& text);
int GetHavingLine(const QString& text);
int GetOrderByLine(const QString& text);

// Reads a query template and replaces its clause lines by the texts that are not empty.
// Throws Error (naming the file) when the file cannot be read or lacks a clause line
// that one of the texts needs.
QString BuildQueryFromFile(const QString& path, bool dropFirstLine, const QString& fromText,
                           const QString& whereText, const QString& havingText,
                           const QString& orderByText);

// Fixed notation with "." whatever the locale, padded on the left with blanks to
// width + decimals + 1 characters (width alone when decimals is 0); never cut.
QString FormatReal(double value, int width, int decimals);
// Leading zeros up to width digits; widths above 8 count as 8.
QString ZeroPad(qint64 number, int width);
// Removes the leading blanks (code 32 only).
QString TrimLeadingBlanks(const QString& text);

} // namespace tilvo
