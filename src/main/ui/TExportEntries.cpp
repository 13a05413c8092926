// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TExportEntries.h"

#include "common/ui/Chrome.h"
#include "common/ui/OkCancelRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tilvo {

TExportEntries::TExportEntries(const QString& accountTitle, bool accountSelected, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ExportEntries"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar =
        BuildTitleBar(this, QStringLiteral("  Exporter les consommations"), false, false);
    Title = bar.title;
    layout->addWidget(bar.bar);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 10, 12, 4);
    body->setSpacing(6);
    const QString account =
        accountSelected ? QStringLiteral(" « %1 »").arg(accountTitle) : QString();
    Rb_Account =
        new QRadioButton(QStringLiteral("Toutes les consommations du compte") + account, this);
    Rb_Account->setObjectName(QStringLiteral("Rb_Account"));
    Rb_Period = new QRadioButton(QStringLiteral("Les consommations du compte") + account +
                                     QStringLiteral(" sur une période …"),
                                 this);
    Rb_Period->setObjectName(QStringLiteral("Rb_Period"));
    Rb_Dossier =
        new QRadioButton(QStringLiteral("Les consommations de tous les comptes du dossier"), this);
    Rb_Dossier->setObjectName(QStringLiteral("Rb_Dossier"));
    for (QRadioButton* b : {Rb_Account, Rb_Period, Rb_Dossier})
        body->addWidget(b);
    Rb_Account->setEnabled(accountSelected);
    Rb_Period->setEnabled(accountSelected);
    (accountSelected ? Rb_Account : Rb_Dossier)->setChecked(true);
    layout->addLayout(body, 1);

    const OkCancelRow buttons = MakeOkCancelRow(this);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    for (QPushButton* b : {Btn_Ok, Btn_Cancel})
        b->setAutoDefault(false);
    layout->addLayout(buttons.layout);
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 150);
    SetUpChrome(this);
}

TExportEntries::Scope TExportEntries::scope() const
{
    if (Rb_Account->isChecked())
        return Scope::Account;
    if (Rb_Period->isChecked())
        return Scope::AccountPeriod;
    return Scope::Dossier;
}

void TExportEntries::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    QDialog::showEvent(event);
}

} // namespace tilvo
