// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// The account's statistic defaults are codes shown as the lines of a fixed drop-down; each
// code field keeps the index of its line.
//   PeriodType = index of "Mois", "Année", "Décennie", "Dates" (0..3)
//   StatType   = index of "Ligne 3D" ... "Ligne simple" + 1 (1..6)
//   ValueType  = index of "Quantité", "Montant" (0..1)

// The drop-down lines, separated by CR, in the order that makes the index the code.
QString PeriodTypeLines();
QString StatTypeLines();
QString ValueTypeLines();
// The decimals offered for quantities: "0\r1\r2\r3".
QString DecimalLines();

// The index of "Sectoriel", the chart kind that draws no single colour.
inline constexpr int kPieChartIndex = 4;

// The text of line `index` of CR-separated lines; empty for an index outside them.
QString CodeLineText(const QString& lines, int index);

// What the dialog confirms besides its bound fields.
struct AccountCodes
{
    int periodTypeIndex = 0;
    int statTypeIndex = 0;
    int valueTypeIndex = 0;
    qint64 color = 255; // 0x00BBGGRR
};

} // namespace tilvo
