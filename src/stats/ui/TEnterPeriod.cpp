// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/TEnterPeriod.h"

#include "common/Clock.h"
#include "common/ColorHelpers.h"
#include "common/ui/Chrome.h"
#include "common/ui/OkCancelRow.h"
#include "stats/DatePickerRules.h"
#include "stats/ui/ShowDatePicker.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tilvo {

TEnterPeriod::TEnterPeriod(QWidget* parent) : TEnterPeriod(ProcessClock(), parent)
{}

TEnterPeriod::TEnterPeriod(const Clock& clock, QWidget* parent) : QDialog(parent), m_clock(clock)
{
    setObjectName(QStringLiteral("EnterPeriod"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar = BuildTitleBar(this, QStringLiteral("  Période"), false, false);
    Title = bar.title;
    layout->addWidget(bar.bar);

    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(12, 10, 12, 6);
    grid->setHorizontalSpacing(6);
    QPalette picker = palette();
    picker.setColor(QPalette::Base, ColorFromWindows(kCalendarBackColor));
    const auto dateRow = [&](int row, const QString& caption, const QString& editName,
                             const QString& buttonName, QLineEdit** edit, QToolButton** button) {
        auto* label = new QLabel(caption, body);
        *edit = new QLineEdit(body);
        (*edit)->setObjectName(editName);
        (*edit)->setReadOnly(true);
        // 65 pixels, or what a whole date needs in this font.
        const int dateWidth =
            (*edit)->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000"));
        (*edit)->setFixedWidth(std::max(65, dateWidth + 12));
        (*edit)->setPalette(picker);
        (*edit)->installEventFilter(this);
        label->setBuddy(*edit);
        *button = new QToolButton(body);
        (*button)->setObjectName(buttonName);
        (*button)->setText(QStringLiteral("..."));
        (*button)->setFixedSize(20, 20);
        grid->addWidget(label, row, 0);
        grid->addWidget(*edit, row, 1);
        grid->addWidget(*button, row, 2);
    };
    dateRow(0, QStringLiteral("Du"), QStringLiteral("Ed_Begin_Date"),
            QStringLiteral("Btn_Begin_Date"), &Ed_Begin_Date, &Btn_Begin_Date);
    dateRow(1, QStringLiteral("Au"), QStringLiteral("Ed_End_Date"), QStringLiteral("Btn_End_Date"),
            &Ed_End_Date, &Btn_End_Date);
    grid->setColumnStretch(3, 1);
    layout->addWidget(body);

    const OkCancelRow buttons = MakeOkCancelRow(this, QMargins(8, 4, 8, 8));
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    Btn_Ok->setDefault(true);
    layout->addLayout(buttons.layout);

    connect(Btn_Begin_Date, &QToolButton::clicked, this, &TEnterPeriod::Btn_Begin_DateClick);
    connect(Btn_End_Date, &QToolButton::clicked, this, &TEnterPeriod::Btn_End_DateClick);
    connect(Ed_Begin_Date, &QLineEdit::textChanged, this, &TEnterPeriod::Ed_Begin_DateChange);
    connect(Ed_End_Date, &QLineEdit::textChanged, this, &TEnterPeriod::Ed_Begin_DateChange);
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    resize(220, 120);
    SetUpChrome(this);
}

void TEnterPeriod::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    QDialog::showEvent(event);
}

void TEnterPeriod::Btn_Begin_DateClick()
{
    ShowDatePicker(Ed_Begin_Date, m_clock);
}

void TEnterPeriod::Btn_End_DateClick()
{
    ShowDatePicker(Ed_End_Date, m_clock);
}

void TEnterPeriod::Ed_Begin_DateChange()
{
    Btn_Ok->setEnabled(
        PeriodOkEnabled(Ed_Begin_Date->text(), Ed_End_Date->text(), Btn_Ok->isEnabled()));
}

// Enter in a date opens its calendar rather than confirming the dialog.
bool TEnterPeriod::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == Ed_Begin_Date || watched == Ed_End_Date)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ShowDatePicker(static_cast<QLineEdit*>(watched), m_clock);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tilvo
