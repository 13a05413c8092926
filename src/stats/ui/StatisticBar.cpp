// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/StatisticBar.h"

#include "common/DateHelpers.h"
#include "common/DropDownRules.h"
#include "common/Prompts.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/TStrList.h"
#include "stats/ComputeStatistic.h"
#include "stats/StatisticChart.h"
#include "stats/ui/ChartView.h"
#include "stats/ui/TEnterPeriod.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScopeGuard>
#include <QToolButton>

namespace tilvo {

namespace {

// Where the controls sit, from the left. The period label moves when the period is a date
// range: the previous and next buttons are then hidden and the dates button shows.
constexpr int kTop = 2;
constexpr int kHeight = 20;
constexpr int kButtonWidth = 16;
constexpr int kLabelLeft = 95;
constexpr int kLabelWidth = 145;
constexpr int kDatesLabelLeft = 80;
constexpr int kDatesLabelWidth = 160;
constexpr int kKindButtonWidth = 22;
constexpr int kRightMargin = 2;
constexpr double kSmallestLabelPoints = 6;

const char16_t* const kKindHints[kChartKinds] = {u"Ligne 3D", u"Histograme", u"Aire",
                                                 u"Point",    u"Sectoriel",  u"Ligne simple"};

// The small picture of a chart kind on its button, in the kind's default colour.
QIcon KindIcon(int chartKind)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color =
        chartKind == kChartPie ? QColor(0x1E, 0x90, 0xFF) : ChartColor(DefaultKindColor(chartKind));
    const QColor outline(0x40, 0x40, 0x40);
    const QPolygonF line{{1, 13}, {5, 7}, {9, 10}, {15, 3}};
    switch (chartKind) {
    case kChartLine:
        p.setPen(QPen(color.darker(140), 4));
        p.drawPolyline(line);
        p.setPen(QPen(color, 2));
        p.drawPolyline(line);
        break;
    case kChartBars:
        p.setPen(outline);
        p.setBrush(color);
        p.drawRect(QRectF(1.5, 8.5, 3, 6));
        p.drawRect(QRectF(6.5, 3.5, 3, 11));
        p.drawRect(QRectF(11.5, 6.5, 3, 8));
        break;
    case kChartArea: {
        QPolygonF area = line;
        area << QPointF(15, 15) << QPointF(1, 15);
        p.setPen(outline);
        p.setBrush(color);
        p.drawPolygon(area);
        break;
    }
    case kChartPoints:
        p.setPen(outline);
        p.setBrush(color);
        for (const QPointF& point : line)
            p.drawRect(QRectF(point.x() - 1.5, point.y() - 1.5, 3, 3));
        break;
    case kChartPie:
        p.setPen(outline);
        p.setBrush(QColor(0xFF, 0x40, 0x40));
        p.drawPie(QRectF(1.5, 1.5, 13, 13), 90 * 16, 120 * 16);
        p.setBrush(QColor(0x40, 0xC0, 0x40));
        p.drawPie(QRectF(1.5, 1.5, 13, 13), 210 * 16, 90 * 16);
        p.setBrush(color);
        p.drawPie(QRectF(1.5, 1.5, 13, 13), 300 * 16, 150 * 16);
        break;
    case kChartFastLine:
        p.setPen(QPen(color, 1.5));
        p.drawPolyline(line);
        break;
    default:
        break;
    }
    return QIcon(pixmap);
}

QToolButton* BarButton(const QString& name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLineEdit* KindField(const QString& name, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    return field;
}

// The wait cursor while the statistic is read and drawn.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(BusyCursor)
};

} // namespace

StatisticBar::StatisticBar(ChartView& chart, DataSet& query, Prompts& prompts, const Clock& clock,
                           QWidget* parent)
    : QWidget(parent), m_chart(chart), m_query(query), m_prompts(prompts), m_clock(clock),
      m_state(InitialStatisticState(clock))
{
    setObjectName(QStringLiteral("Pan_Stat"));
    setFixedHeight(kHeight + 2 * kTop);

    Ed_StatPeriod = KindField(QStringLiteral("Ed_StatPeriod"), this);
    Ed_StatPeriod->setGeometry(2, kTop, 58, kHeight);
    Btn_StatPeriod = BarButton(QStringLiteral("Btn_StatPeriod"), this);
    Btn_StatPeriod->setArrowType(Qt::DownArrow);
    Btn_StatPeriod->setGeometry(60, kTop, kButtonWidth, kHeight);
    Btn_Stat_Previous = BarButton(QStringLiteral("Btn_Stat_Previous"), this);
    Btn_Stat_Previous->setArrowType(Qt::LeftArrow);
    Btn_Stat_Previous->setToolTip(QStringLiteral("Période précédente"));
    Btn_Stat_Previous->setGeometry(kLabelLeft - kButtonWidth - 1, kTop, kButtonWidth, kHeight);
    Lab_StatPeriod = new QLabel(QStringLiteral("du 00/00/0000 au 00/00/000"), this);
    Lab_StatPeriod->setObjectName(QStringLiteral("Lab_StatPeriod"));
    Lab_StatPeriod->setAlignment(Qt::AlignCenter);
    Lab_StatPeriod->setGeometry(kLabelLeft, kTop, kLabelWidth, kHeight);
    const int nextLeft = kLabelLeft + kLabelWidth + 1;
    Btn_Stat_Next = BarButton(QStringLiteral("Btn_Stat_Next"), this);
    Btn_Stat_Next->setArrowType(Qt::RightArrow);
    Btn_Stat_Next->setToolTip(QStringLiteral("Période suivante"));
    Btn_Stat_Next->setGeometry(nextLeft, kTop, kButtonWidth, kHeight);
    Btn_Stat_Dates = BarButton(QStringLiteral("Btn_Stat_Dates"), this);
    Btn_Stat_Dates->setText(QStringLiteral("..."));
    Btn_Stat_Dates->setToolTip(QStringLiteral("Période"));
    Btn_Stat_Dates->setGeometry(nextLeft, kTop, kButtonWidth, kHeight);
    Btn_Stat_Dates->hide();
    const int valueLeft = nextLeft + kButtonWidth + 6;
    Ed_StatValue = KindField(QStringLiteral("Ed_StatValue"), this);
    Ed_StatValue->setGeometry(valueLeft, kTop, 64, kHeight);
    Btn_StatValue = BarButton(QStringLiteral("Btn_StatValue"), this);
    Btn_StatValue->setArrowType(Qt::DownArrow);
    Btn_StatValue->setGeometry(valueLeft + 64, kTop, kButtonWidth, kHeight);
    for (int kind = 1; kind <= kChartKinds; ++kind) {
        QToolButton* button =
            BarButton(QStringLiteral("Btn_Stat%1").arg(kind, 2, 10, QLatin1Char('0')), this);
        button->setToolTip(QString::fromUtf16(kKindHints[kind - 1]));
        button->setIcon(KindIcon(kind));
        button->setCheckable(true);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this,
                [this, kind] { guarded([this, kind] { Btn_Stat01Click(kind); }); });
        Btn_Stat[size_t(kind - 1)] = button;
    }
    placeKindButtons();

    connect(Ed_StatPeriod, &QLineEdit::textChanged, this,
            [this] { guarded([this] { Ed_StatPeriodChange(); }); });
    connect(Ed_StatValue, &QLineEdit::textChanged, this,
            [this] { guarded([this] { Ed_StatValueChange(); }); });
    connect(Btn_StatPeriod, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_StatPeriodClick(); }); });
    connect(Btn_StatValue, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_StatValueClick(); }); });
    connect(Btn_Stat_Previous, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_Stat_PreviousClick(); }); });
    connect(Btn_Stat_Next, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_Stat_NextClick(); }); });
    connect(Btn_Stat_Dates, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_Stat_DatesClick(); }); });

    SetUpStatisticChart(m_chart.model());
    ShowValueKind();
    ShowPeriodKind();
    RefreshPeriodLabel();
    showChartKind();
}

StatisticBar::~StatisticBar() = default;

QSize StatisticBar::minimumSizeHint() const
{
    return QSize(Btn_StatValue->geometry().right() + 6 + kChartKinds * kKindButtonWidth +
                     kRightMargin,
                 kHeight + 2 * kTop);
}

void StatisticBar::resizeEvent(QResizeEvent* event)
{
    placeKindButtons();
    QWidget::resizeEvent(event);
}

void StatisticBar::placeKindButtons()
{
    int left = width() - kRightMargin - kChartKinds * kKindButtonWidth;
    for (QToolButton* button : Btn_Stat) {
        button->setGeometry(left, kTop, kKindButtonWidth, kHeight);
        left += kKindButtonWidth;
    }
}

void StatisticBar::showChartKind()
{
    for (int kind = 1; kind <= kChartKinds; ++kind)
        Btn_Stat[size_t(kind - 1)]->setChecked(kind == m_state.ChartKind);
}

void StatisticBar::guarded(const std::function<void()>& handler)
{
    RunGuarded(m_prompts, handler);
}

void StatisticBar::recompute()
{
    if (!m_loading && computeStatistic)
        computeStatistic();
}

void StatisticBar::ShowPeriodKind()
{
    const QString text = PeriodKindText(m_state.PeriodKind);
    if (text.isEmpty())
        return;
    SetChosenIndex(Ed_StatPeriod, m_state.PeriodKind);
    Ed_StatPeriod->setText(text);
}

void StatisticBar::ShowValueKind()
{
    const QString text = ValueKindText(m_state.ValueKind);
    if (text.isEmpty())
        return;
    SetChosenIndex(Ed_StatValue, m_state.ValueKind);
    Ed_StatValue->setText(text);
}

void StatisticBar::RefreshPeriodLabel()
{
    const QString text = PeriodLabelText(m_state);
    // The label keeps its place; a text wider than it (a date range in a large font) takes a
    // smaller size rather than losing its ends.
    QFont font = this->font();
    const int room = Lab_StatPeriod->width() - 2;
    while (font.pointSizeF() > kSmallestLabelPoints &&
           QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    Lab_StatPeriod->setFont(font);
    Lab_StatPeriod->setText(text);
}

void StatisticBar::LoadAccountStatistic(int periodType, int statType, int valueType, quint32 color,
                                        bool allColor)
{
    m_loading = true;
    const auto done = qScopeGuard([this] { m_loading = false; });
    LoadAccountDefaults(m_state, periodType, statType, valueType, color, allColor);
    ShowPeriodKind();
    RefreshPeriodLabel();
    DeactivateAllSeries(m_chart.model());
    showChartKind();
    ShowValueKind();
}

void StatisticBar::Compute(qint64 dossierId, qint64 accountId, bool dossierHasAccounts)
{
    const BusyCursor cursor;
    ChartModel& model = m_chart.model();
    StatisticResult result;
    try {
        result =
            ComputeStatistic(m_state, m_buckets, m_query, dossierId, accountId, dossierHasAccounts);
    } catch (...) {
        // The table was cleared: the chart shows nothing rather than another statistic.
        DeactivateAllSeries(model);
        m_chart.refresh();
        throw;
    }
    if (!result.draw) {
        DeactivateAllSeries(model);
        m_chart.refresh();
        return;
    }
    DrawStatistic(model, m_state, m_buckets, result.allZero);
    m_chart.refresh();
    if (result.truncated)
        m_prompts.showMessage(TruncatedStatisticText(), Prompts::Icon::Information);
}

void StatisticBar::setActive(bool active)
{
    // The whole bar follows, the dates button included: a range chosen while no entry can be
    // drawn would light the chart up outside the enabling pass.
    setEnabled(active);
    ChartModel& model = m_chart.model();
    for (ChartModel::Axis axis :
         {ChartModel::BottomAxis, ChartModel::TopAxis, ChartModel::LeftAxis, ChartModel::RightAxis})
        model.axis(axis).visible = active;
    model.setEnabled(active);
    if (!active) {
        model.setWallsVisible(false);
        DeactivateAllSeries(model);
    }
    m_chart.refresh();
}

void StatisticBar::Ed_StatPeriodChange()
{
    m_state.PeriodKind = ChosenIndex(Ed_StatPeriod);
    const bool dates = m_state.PeriodKind == kPeriodDates;
    if (dates)
        Lab_StatPeriod->setGeometry(kDatesLabelLeft, kTop, kDatesLabelWidth, kHeight);
    else
        Lab_StatPeriod->setGeometry(kLabelLeft, kTop, kLabelWidth, kHeight);
    Btn_Stat_Previous->setVisible(!dates);
    Btn_Stat_Next->setVisible(!dates);
    Btn_Stat_Dates->setVisible(dates);
    RefreshPeriodLabel();
    recompute();
}

void StatisticBar::Ed_StatValueChange()
{
    m_state.ValueKind = ChosenIndex(Ed_StatValue);
    recompute();
}

void StatisticBar::Btn_StatPeriodClick()
{
    TStrList::openUnder(Ed_StatPeriod, QString::fromUtf16(kPeriodKindLines).split(u'\r'), false);
}

void StatisticBar::Btn_StatValueClick()
{
    TStrList::openUnder(Ed_StatValue, QString::fromUtf16(kValueKindLines).split(u'\r'), false);
}

void StatisticBar::Btn_Stat_PreviousClick()
{
    PreviousPeriod(m_state);
    RefreshPeriodLabel();
    recompute();
}

void StatisticBar::Btn_Stat_NextClick()
{
    NextPeriod(m_state);
    RefreshPeriodLabel();
    recompute();
}

void StatisticBar::Btn_Stat_DatesClick()
{
    TEnterPeriod dialog(m_clock, window());
    dialog.Ed_Begin_Date->setText(FormatDateText(m_state.BeginDate));
    dialog.Ed_End_Date->setText(FormatDateText(m_state.EndDate));
    if (dialog.exec() != QDialog::Accepted)
        return;
    // A date cleared in the calendar leaves the range as it was.
    const QDate begin = ParseDateText(dialog.Ed_Begin_Date->text());
    const QDate end = ParseDateText(dialog.Ed_End_Date->text());
    if (!begin.isValid() || !end.isValid())
        return;
    m_state.BeginDate = begin;
    m_state.EndDate = end;
    RefreshPeriodLabel();
    recompute();
}

void StatisticBar::Btn_Stat01Click(int chartKind)
{
    if (chartKind == m_state.ChartKind) {
        showChartKind();
        return;
    }
    DeactivateAllSeries(m_chart.model());
    m_state.ChartKind = chartKind;
    showChartKind();
    DrawStatistic(m_chart.model(), m_state, m_buckets, m_state.AllZero);
    m_chart.refresh();
    if (refreshCommands)
        refreshCommands();
}

} // namespace tilvo
