// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stats/BucketTable.h"
#include "stats/StatisticState.h"

#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QToolButton;

namespace tilvo {

class ChartView;
class Clock;
class DataSet;
class Prompts;

// The statistics bar `Pan_Stat` of the main window and the statistic it draws into the chart
// under it: the period kind and its navigation, what is summed, the chart kind. It owns the
// statistic state and the bucket table as last computed, which the exports read.
//
// The bar does not know the open dossier nor the selected account: whenever a change of its
// controls needs the statistic computed again, it calls `computeStatistic` (the main window's
// ComputeStatistic, which calls Compute with them); after a change of chart kind it calls
// `refreshCommands` (the enabling pass).
class StatisticBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatisticBar)

public:
    StatisticBar(ChartView& chart, DataSet& query, Prompts& prompts, const Clock& clock,
                 QWidget* parent = nullptr);
    ~StatisticBar() override;

    std::function<void()> computeStatistic;
    std::function<void()> refreshCommands;

    const StatisticState& state() const { return m_state; }
    const BucketTable& buckets() const { return m_buckets; }
    ChartView& chart() { return m_chart; }

    // The formats of the axis and the points: the selected account's quantities, and the
    // amounts with the program's currency.
    void setQuantityFormat(const QString& format) { m_state.QuantityFormat = format; }
    void setMoneyFormat(const QString& format) { m_state.MoneyFormat = format; }

    // The selected account's period kind, chart kind, value kind, colour (0: none) and
    // all-colour flag. The browsed month, year, decade and range stay. Nothing is computed
    // here: the selection computes once the account's entries are open.
    void LoadAccountStatistic(int periodType, int statType, int valueType, quint32 color,
                              bool allColor);

    // Computes the statistic of an account for the current period and draws it; with no
    // dossier (-1) or a dossier without accounts, the chart's series are deactivated and
    // nothing is drawn. A date range holding more entries than a chart shows is drawn
    // truncated, and the person is told.
    void Compute(qint64 dossierId, qint64 accountId, bool dossierHasAccounts);

    // The enabling of the bar and the chart: off while no entry of a selected account exists.
    void setActive(bool active);

    void ShowPeriodKind();
    void ShowValueKind();
    void RefreshPeriodLabel();

    QLineEdit* Ed_StatPeriod;
    QToolButton* Btn_StatPeriod;
    QToolButton* Btn_Stat_Previous;
    QLabel* Lab_StatPeriod;
    QToolButton* Btn_Stat_Next;
    QToolButton* Btn_Stat_Dates;
    QLineEdit* Ed_StatValue;
    QToolButton* Btn_StatValue;
    std::array<QToolButton*, kChartKinds> Btn_Stat; // Btn_Stat01 .. Btn_Stat06 at [0] .. [5]

    void Ed_StatPeriodChange();
    void Ed_StatValueChange();
    void Btn_StatPeriodClick();
    void Btn_StatValueClick();
    void Btn_Stat_PreviousClick();
    void Btn_Stat_NextClick();
    void Btn_Stat_DatesClick();
    void Btn_Stat01Click(int chartKind); // 1 .. 6

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeKindButtons();
    void showChartKind();
    void recompute();
    void guarded(const std::function<void()>& handler);

    ChartView& m_chart;
    DataSet& m_query;
    Prompts& m_prompts;
    const Clock& m_clock;
    StatisticState m_state;
    BucketTable m_buckets;
    bool m_loading = false; // an account's defaults are being shown: no computation yet
};

} // namespace tilvo
