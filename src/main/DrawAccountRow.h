// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

class QImage;
class QPainter;
class QRect;

namespace tilvo {

struct AccountEntry;

// The colours of the account list's rows.
inline const QColor kAccountRowBackground{0xFF, 0xFF, 0xFF};
inline const QColor kCurrentAccountOutline{0xA7, 0xBF, 0xE9};
inline const QColor kCurrentAccountFill{0xE7, 0xEC, 0xF8};
inline const QColor kThumbnailOutline{0xE6, 0xE6, 0xE1};

// The height of one row of the account list.
inline constexpr int kAccountRowHeight = 50;

// Paints one row of the account list on any device. `cell` is the row's rectangle in the
// list, `clientWidth` the width of the list's client area, `entry` the row's entry (null for
// a row without one, which paints nothing), `current` whether it is the list's current row:
// an inset light-blue rectangle behind it, else white; the thumbnail centred in a white
// 39 × 39 box with an outline and a three-step shadow; the title in bold, the description and
// the information line.
void DrawAccountRow(QPainter& painter, const QRect& cell, int clientWidth,
                    const AccountEntry* entry, const QImage& thumbnail, bool current);

} // namespace tilvo
