// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/TSelectDate.h"

#include "common/ColorHelpers.h"
#include "common/DateHelpers.h"
#include "common/TextCatalogue.h"
#include "db/ui/DBEdit.h"
#include "stats/DatePickerRules.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace tilvo {

namespace {

// The catalogue names the calendar's language; French unless it says otherwise.
QLocale CalendarLocale()
{
    switch (LanguageCode(LookupText(QStringLiteral("SelectDate"), QStringLiteral("String1"),
                                    QStringLiteral("laFrench")))) {
    case 0:
        return QLocale();
    case 2:
        return QLocale(QLocale::German);
    case 3:
        return QLocale(QLocale::French, QLocale::France);
    case 4:
        return QLocale(QLocale::Italian);
    case 5:
        return QLocale(QLocale::Spanish);
    default:
        return QLocale(QLocale::English);
    }
}

} // namespace

TSelectDate::TSelectDate(QWidget* parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SelectDate"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    MonthCalendar = new QCalendarWidget(this);
    MonthCalendar->setObjectName(QStringLiteral("MonthCalendar"));
    MonthCalendar->setLocale(CalendarLocale());
    MonthCalendar->setFirstDayOfWeek(Qt::Monday);
    MonthCalendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    MonthCalendar->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    MonthCalendar->installEventFilter(this);
    if (auto* view = MonthCalendar->findChild<QTableView*>())
        view->installEventFilter(this);
    layout->addWidget(MonthCalendar);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("Pan_Buttons"));
    bar->setFixedHeight(kCalendarBarHeight);
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(2, 0, 2, 0);
    buttons->setSpacing(2);
    Btn_Clear = new QToolButton(bar);
    Btn_Clear->setObjectName(QStringLiteral("Btn_Clear"));
    Btn_Clear->setToolTip(QStringLiteral("Effacer la date"));
    Btn_Clear->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
    Btn_Clear->setAutoRaise(true);
    Btn_Clear->setFixedSize(18, 18);
    Btn_Ok = new QPushButton(QStringLiteral(" &Ok"), bar);
    Btn_Ok->setObjectName(QStringLiteral("Btn_Ok"));
    Btn_Cancel = new QPushButton(QStringLiteral(" &Annuler"), bar);
    Btn_Cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    for (QPushButton* b : {Btn_Ok, Btn_Cancel})
        b->setFixedHeight(18);
    buttons->addWidget(Btn_Clear);
    buttons->addStretch();
    buttons->addWidget(Btn_Ok);
    buttons->addWidget(Btn_Cancel);
    layout->addWidget(bar);

    connect(Btn_Ok, &QPushButton::clicked, this, &TSelectDate::Btn_OkClick);
    connect(Btn_Clear, &QToolButton::clicked, this, &TSelectDate::Btn_ClearClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TSelectDate::Btn_CancelClick);

    TranslateForm(this, QStringLiteral("[SelectDate]"));
    applyColors();
    // The window is the calendar's width and its height plus the bar's.
    const QSize calendar = MonthCalendar->sizeHint();
    resize(calendar.width(), calendar.height() + kCalendarBarHeight);
}

void TSelectDate::setDateText(const QString& text)
{
    m_dateText = text.left(10);
}

void TSelectDate::setBackColor(const QColor& color)
{
    m_back = color;
    applyColors();
}

void TSelectDate::applyColors()
{
    QPalette window = palette();
    window.setColor(QPalette::Window, Qt::white);
    window.setColor(QPalette::WindowText, Qt::black);
    setPalette(window);
    setAutoFillBackground(true);
    if (auto* title =
            MonthCalendar->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"))) {
        // The toolkit paints this band in the highlight colour, its texts in the highlighted
        // text colour.
        QPalette band = title->palette();
        for (const QPalette::ColorRole role :
             {QPalette::Window, QPalette::Highlight, QPalette::Button})
            band.setColor(role, ColorFromWindows(kCalendarTitleColor));
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::HighlightedText, QPalette::ButtonText})
            band.setColor(role, Qt::black);
        title->setPalette(band);
        title->setAutoFillBackground(true);
    }
    if (auto* days = MonthCalendar->findChild<QTableView*>()) {
        QPalette month = days->palette();
        month.setColor(QPalette::Base, m_back);
        month.setColor(QPalette::AlternateBase, m_back);
        month.setColor(QPalette::Text, Qt::black);
        days->setPalette(month);
    }
}

void TSelectDate::showEvent(QShowEvent* event)
{
    FormShow();
    QWidget::showEvent(event);
}

void TSelectDate::FormShow()
{
    if (!IsValidDateText(m_dateText))
        m_dateText = FormatDateText(m_today);
    MonthCalendar->setSelectedDate(ParseDateText(m_dateText));
    MonthCalendar->setFocus(Qt::PopupFocusReason);
}

void TSelectDate::Btn_OkClick()
{
    m_result = Result::Ok;
    close();
}

void TSelectDate::Btn_ClearClick()
{
    m_dateText.clear();
    m_result = Result::Ok;
    close();
}

void TSelectDate::Btn_CancelClick()
{
    m_result = Result::Cancel;
    close();
}

void TSelectDate::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        if (m_result == Result::Ok)
            writeTarget();
        Q_EMIT closed(m_result);
    }
    QWidget::closeEvent(event);
}

void TSelectDate::writeTarget()
{
    if (!m_dateText.isEmpty())
        m_dateText = FormatDateText(MonthCalendar->selectedDate());
    if (!m_target)
        return;
    auto* bound = qobject_cast<DBEdit*>(m_target.data());
    if (bound && m_dateText.isEmpty())
        bound->clearValue();
    else
        m_target->setText(m_dateText);
    m_target->setFocus(Qt::OtherFocusReason);
    m_target->selectAll();
}

bool TSelectDate::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TSelectDate::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tilvo
