// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

class QObject;

namespace tilvo {

// The drop-down list that opens under a field and offers lines to choose from.
inline constexpr int kDropDownItemHeight = 13;
inline constexpr int kDropDownVisibleLines = 8;
// The list's colour, RGB FF FF F2; its border is this shifted by -35.
inline constexpr int kDropDownListColor = 15925247;
inline constexpr int kDropDownBorderShift = -35;

// Height of the window for a number of lines: 8 lines at most, one line's room when empty,
// plus 3 pixels of border.
int DropDownHeight(int lineCount);

// Where the drop-down goes for a field's rectangle on screen: under the field, as wide as it.
// When 8 lines would pass the bottom of the screen it opens above the field instead, its
// bottom one pixel above the field's top, whatever its height.
QRect PlaceDropDown(const QRect& field, int lineCount, const QRect& screen);

// The line selected when the list opens: with two lines or more, the last line equal to the
// field's text (exactly), else line 0; with fewer lines none (-1).
int InitialDropDownRow(const QStringList& lines, const QString& fieldText);

// Sorted without regard to letter case (French collation); lines that differ only by case
// keep their order.
QStringList SortIgnoringCase(QStringList lines);

// The index of the line chosen last in a field's drop-down, kept with the field; -1 when none.
int ChosenIndex(const QObject* field);
void SetChosenIndex(QObject* field, int index);

} // namespace tilvo
