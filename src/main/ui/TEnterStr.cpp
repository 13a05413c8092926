// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TEnterStr.h"

#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/OkCancelRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tilvo {

TEnterStr::TEnterStr(Prompts& prompts, QWidget* parent) : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("EnterStr"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar =
        BuildTitleBar(this, QStringLiteral("  Saisie d'une chaine de caractère"), false, false);
    Title = bar.title;
    layout->addWidget(bar.bar);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 8, 10, 4);
    Lab_Title = new QLabel(this);
    Lab_Title->setObjectName(QStringLiteral("Lab_Title"));
    Ed_Str = new QLineEdit(this);
    Ed_Str->setObjectName(QStringLiteral("Ed_Str"));
    Lab_Title->setBuddy(Ed_Str);
    body->addWidget(Lab_Title);
    body->addWidget(Ed_Str);
    layout->addLayout(body);

    const OkCancelRow buttons = MakeOkCancelRow(this);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    Btn_Ok->setDefault(true);
    layout->addLayout(buttons.layout);

    connect(Ed_Str, &QLineEdit::textChanged, this, &TEnterStr::Ed_StrChange);
    connect(Btn_Ok, &QPushButton::clicked, this, &TEnterStr::Btn_OkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    TranslateForm(this, QStringLiteral("[EnterStr]"));
    resize(300, 110);
    SetUpChrome(this);
    Ed_StrChange();
}

void TEnterStr::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    Ed_StrChange();
    QDialog::showEvent(event);
}

void TEnterStr::Ed_StrChange()
{
    Btn_Ok->setEnabled(!Ed_Str->text().isEmpty());
}

void TEnterStr::Btn_OkClick()
{
    if (Ed_Str->text().isEmpty())
        return;
    if (m_onOk && !RunGuarded(m_prompts, [this] { m_onOk(Ed_Str->text()); }))
        return;
    accept();
}

} // namespace tilvo
