// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

namespace tilvo {

class Clock;

// Period kinds, in the order of the pick-list (the account's PeriodType).
inline constexpr int kPeriodMonth = 0;
inline constexpr int kPeriodYear = 1;
inline constexpr int kPeriodDecade = 2;
inline constexpr int kPeriodDates = 3;
// What is summed (the account's ValueType).
inline constexpr int kValueQuantity = 0;
inline constexpr int kValueAmount = 1;
// Chart kinds 1..6 (the account's StatType): line 3D, bars, area, points, pie, simple line.
inline constexpr int kChartLine = 1;
inline constexpr int kChartBars = 2;
inline constexpr int kChartArea = 3;
inline constexpr int kChartPoints = 4;
inline constexpr int kChartPie = 5;
inline constexpr int kChartFastLine = 6;
inline constexpr int kChartKinds = 6;

// The pick-lists of the statistics bar, one line per code.
inline constexpr const char16_t* kPeriodKindLines = u"Mois\rAnnée\rDécennie\rDates";
inline constexpr const char16_t* kValueKindLines = u"Quantité\rMontant";

// What the statistics panel shows: the period, what is summed, the chart kind, the selected
// account's colours and the number formats. Owned by the main window, never saved.
struct StatisticState
{
    int PeriodKind = kPeriodYear;
    int Month = 1;
    int Year = 2000;
    int DecadeStart = 2000; // the decade covers DecadeStart .. DecadeStart + 9
    QDate BeginDate;        // the date range, both bounds included
    QDate EndDate;
    int ValueKind = kValueQuantity;
    int ChartKind = kChartLine;
    int SavedChartKind = 0;   // the selected account's StatType
    quint32 AccountColor = 0; // 0x00BBGGRR; 0 is no colour at all
    bool AllColor = false;    // the account colour applies to every chart kind
    QString QuantityFormat;
    QString MoneyFormat;
    bool AllZero = true; // no bucket of the last computation holds a value above 0
};

// The state when the main window opens: this year, its month and decade, the whole year as
// the date range, quantities drawn as a 3D line.
StatisticState InitialStatisticState(const Clock& clock);

// The texts of Ed_StatPeriod and Ed_StatValue; empty for a code outside the pick-list.
QString PeriodKindText(int periodKind);
QString ValueKindText(int valueKind);

// The previous or next month, year or decade; a date range does not move.
void PreviousPeriod(StatisticState& state);
void NextPeriod(StatisticState& state);

// The text of Lab_StatPeriod: "Février 2008", "2008", "2000-2009" or
// "du 01/01/2008 au 31/12/2008".
QString PeriodLabelText(const StatisticState& state);

// What selecting an account takes from it: its period kind, chart kind (also remembered as
// SavedChartKind), value kind, colour (0 when the account does not use its colour) and whether
// that colour applies to every kind. The browsed month, year, decade and range stay.
void LoadAccountDefaults(StatisticState& state, int periodType, int statType, int valueType,
                         quint32 color, bool allColor);

} // namespace tilvo
