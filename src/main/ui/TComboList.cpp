// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TComboList.h"

#include "common/ColorHelpers.h"
#include "common/DropDownRules.h"
#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/OkCancelRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tilvo {

TComboList::TComboList(const QString& title, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("ComboList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar = BuildTitleBar(this, title, false, false);
    Title = bar.title;
    layout->addWidget(bar.bar);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette p = Memo->palette();
    p.setColor(QPalette::Base, ColorFromWindows(kDropDownListColor));
    Memo->setPalette(p);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 8, 8, 4);
    body->addWidget(Memo);
    layout->addLayout(body, 1);

    const OkCancelRow buttons = MakeOkCancelRow(this, QMargins(8, 4, 8, 8));
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    layout->addLayout(buttons.layout);

    connect(Btn_Ok, &QPushButton::clicked, this, &TComboList::Btn_OkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    TranslateForm(this, QStringLiteral("[ComboList]"));
    resize(260, 320);
    SetUpChrome(this);
}

void TComboList::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    QDialog::showEvent(event);
}

void TComboList::Btn_OkClick()
{
    if (m_save && !RunGuarded(m_prompts, [this] { m_save(Memo->toPlainText()); }))
        return;
    accept();
}

} // namespace tilvo
