// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TEnterConsumption.h"

#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/OkCancelRow.h"
#include "db/DataSet.h"
#include "db/FieldLink.h"
#include "db/ui/DBEdit.h"
#include "db/ui/DBMemo.h"
#include "main/ConsumptionActions.h"
#include "stats/ui/ShowDatePicker.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tilvo {

TEnterConsumption::TEnterConsumption(DataSource& dsConsumption, Prompts& prompts,
                                     const Clock& clock, QWidget* parent)
    : QDialog(parent), m_source(dsConsumption), m_prompts(prompts), m_clock(clock)
{
    setObjectName(QStringLiteral("EnterConsumption"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar =
        BuildTitleBar(this, QStringLiteral("  Saisie d'une consommation"), false, false);
    Title = bar.title;
    layout->addWidget(bar.bar);

    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(10, 8, 10, 4);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    Ed_Event_Date = new DBEdit(prompts, body);
    Ed_Event_Date->setObjectName(QStringLiteral("Ed_Event_Date"));
    Ed_Event_Date->setFixedWidth(
        Ed_Event_Date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 8);
    Btn_Event_Date = new QToolButton(body);
    Btn_Event_Date->setObjectName(QStringLiteral("Btn_Event_Date"));
    Btn_Event_Date->setText(QStringLiteral("..."));
    Btn_Event_Date->setFixedSize(21, 21);
    Btn_Event_Date->setFocusPolicy(Qt::NoFocus);
    DBEdit1 = new DBEdit(prompts, body);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setAlignment(Qt::AlignRight);
    DBEdit2 = new DBEdit(prompts, body);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setAlignment(Qt::AlignRight);
    DBMemo1 = new DBMemo(prompts, body);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));

    const auto caption = [body](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, body);
        label->setBuddy(buddy);
        return label;
    };
    grid->addWidget(caption(QStringLiteral("Date"), Ed_Event_Date), 0, 0);
    grid->addWidget(caption(QStringLiteral("Quantité"), DBEdit1), 0, 1);
    grid->addWidget(caption(QStringLiteral("Montant"), DBEdit2), 0, 2);
    auto* date = new QHBoxLayout;
    date->setSpacing(1);
    date->addWidget(Ed_Event_Date);
    date->addWidget(Btn_Event_Date);
    grid->addLayout(date, 1, 0);
    grid->addWidget(DBEdit1, 1, 1);
    grid->addWidget(DBEdit2, 1, 2);
    grid->setRowMinimumHeight(2, 6);
    grid->addWidget(caption(QStringLiteral("Description"), DBMemo1), 3, 0, 1, 3);
    grid->addWidget(DBMemo1, 4, 0, 1, 3);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    layout->addWidget(body, 1);

    const OkCancelRow buttons = MakeOkCancelRow(this);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    for (QPushButton* b : {Btn_Ok, Btn_Cancel})
        b->setAutoDefault(false);
    layout->addLayout(buttons.layout);

    Ed_Event_Date->setField(dsConsumption, QStringLiteral("DateAction"));
    DBEdit1->setField(dsConsumption, QStringLiteral("Quantity"));
    DBEdit2->setField(dsConsumption, QStringLiteral("Price"));
    DBMemo1->setField(dsConsumption, QStringLiteral("Description"));
    for (QWidget* field : {static_cast<QWidget*>(Ed_Event_Date), static_cast<QWidget*>(DBEdit1),
                           static_cast<QWidget*>(DBEdit2)})
        field->installEventFilter(this);

    connect(Btn_Event_Date, &QToolButton::clicked, this,
            [this] { RunGuarded(m_prompts, [this] { Btn_Event_DateClick(); }); });
    connect(Btn_Ok, &QPushButton::clicked, this, &TEnterConsumption::Btn_OkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    resize(380, 200);
    SetUpChrome(this);
}

TEnterConsumption::~TEnterConsumption() = default;

bool TEnterConsumption::Execute(DataSource& dsConsumption, Prompts& prompts, const Clock& clock,
                                QWidget* parent)
{
    TEnterConsumption dialog(dsConsumption, prompts, clock, parent);
    return dialog.exec() == QDialog::Accepted;
}

void TEnterConsumption::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    QDialog::showEvent(event);
}

void TEnterConsumption::Btn_Event_DateClick()
{
    ShowDatePicker(Ed_Event_Date, m_clock);
}

void TEnterConsumption::Btn_OkClick()
{
    const bool posted = RunGuarded(m_prompts, [this] {
        const QString dateText = Ed_Event_Date->text();
        // A date that is not one gives way to today's, set by ConfirmEntry.
        if (!IsValidDateText(dateText) && Ed_Event_Date->link())
            Ed_Event_Date->link()->reset();
        ConfirmEntry(m_source, m_source.dataSet(), dateText, m_clock.today());
    });
    if (posted)
        accept();
}

// Enter in the date, the quantity or the amount opens the calendar under the date.
bool TEnterConsumption::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress &&
        (watched == Ed_Event_Date || watched == DBEdit1 || watched == DBEdit2)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            RunGuarded(m_prompts, [this] { Btn_Event_DateClick(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tilvo
