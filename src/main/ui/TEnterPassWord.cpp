// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TEnterPassWord.h"

#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"
#include "common/ui/OkCancelRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tilvo {

TEnterPassWord::TEnterPassWord(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EnterPassWord"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar = BuildTitleBar(this, QStringLiteral("  Identification"), false, false);
    Title = bar.title;
    layout->addWidget(bar.bar);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 10, 10, 4);
    Lab_PassWord = new QLabel(QStringLiteral("Saisssez le mot de passes"), this);
    Lab_PassWord->setObjectName(QStringLiteral("Lab_PassWord"));
    Ed_PassWord = new QLineEdit(this);
    Ed_PassWord->setObjectName(QStringLiteral("Ed_PassWord"));
    Ed_PassWord->setEchoMode(QLineEdit::Password);
    // The stored password is at most 128 characters long.
    Ed_PassWord->setMaxLength(128);
    Lab_PassWord->setBuddy(Ed_PassWord);
    body->addWidget(Lab_PassWord);
    body->addWidget(Ed_PassWord);
    layout->addLayout(body);

    const OkCancelRow buttons = MakeOkCancelRow(this);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    // Enter belongs to the field, which confirms even while the button is disabled.
    for (QPushButton* b : {Btn_Ok, Btn_Cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    layout->addLayout(buttons.layout);

    connect(Ed_PassWord, &QLineEdit::textChanged, this, &TEnterPassWord::Ed_PassWordChange);
    connect(Ed_PassWord, &QLineEdit::returnPressed, this, &QDialog::accept);
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    TranslateForm(this, QStringLiteral("[EnterPassWord]"));
    resize(260, 110);
    SetUpChrome(this);
    Ed_PassWordChange();
    Ed_PassWord->setFocus();
}

QString TEnterPassWord::password() const
{
    return Ed_PassWord->text();
}

void TEnterPassWord::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    QDialog::showEvent(event);
}

void TEnterPassWord::Ed_PassWordChange()
{
    Btn_Ok->setEnabled(!Ed_PassWord->text().isEmpty());
}

} // namespace tilvo
