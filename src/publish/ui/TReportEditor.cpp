// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/ui/TReportEditor.h"

#include "common/Error.h"
#include "common/FileHelpers.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tilvo {

TReportEditor::TReportEditor(const QString& path, Prompts& prompts, std::function<void()> onSaved,
                             QWidget* parent)
    : QDialog(parent), m_path(path), m_prompts(prompts), m_onSaved(std::move(onSaved))
{
    setObjectName(QStringLiteral("ReportEditor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar = BuildTitleBar(
        this, QStringLiteral(" Modèle du rapport : ") + QFileInfo(path).fileName(), false, true);
    Title = bar.title;
    layout->addWidget(bar.bar);

    Ed_Template = new QPlainTextEdit(this);
    Ed_Template->setObjectName(QStringLiteral("Ed_Template"));
    Ed_Template->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Ed_Template->setLineWrapMode(QPlainTextEdit::NoWrap);
    Ed_Template->setPlainText(ReadTextFile(path).value_or(QString()));
    layout->addWidget(Ed_Template, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(6, 4, 0, 0);
    bottom->addStretch();
    Btn_Save = new QPushButton(QStringLiteral(" &Enregistrer"), this);
    Btn_Save->setObjectName(QStringLiteral("Btn_Save"));
    Btn_Save->setAutoDefault(false);
    Btn_Close = new QPushButton(QStringLiteral(" &Fermer"), this);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    Btn_Close->setAutoDefault(false);
    bottom->addWidget(Btn_Save);
    bottom->addWidget(Btn_Close);
    bottom->addWidget(BuildGrip(this, QStringLiteral("RezisePad")), 0, Qt::AlignBottom);
    layout->addLayout(bottom);

    connect(Btn_Save, &QPushButton::clicked, this,
            [this] { RunGuarded(m_prompts, [this] { Btn_SaveClick(); }); });
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::accept);

    resize(760, 560);
    SetUpChrome(this, ChromeOptions{400, 200, SizeButtonKind::Platform});
    ShowCaption(this);
}

void TReportEditor::Btn_SaveClick()
{
    if (!WriteTextFile(m_path, Ed_Template->toPlainText(), TextEncoding::Utf8))
        throw Error(QStringLiteral("Impossible d'enregistrer le modèle \"%1\".").arg(m_path));
    Ed_Template->document()->setModified(false);
    if (m_onSaved)
        m_onSaved();
}

} // namespace tilvo
