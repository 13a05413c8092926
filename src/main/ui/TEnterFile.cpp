// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TEnterFile.h"

#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/OkCancelRow.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/ui/DBEdit.h"
#include "db/ui/DBMemo.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tilvo {

TEnterFile::TEnterFile(DataSource& mainFile, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_source(mainFile), m_prompts(prompts)
{
    setObjectName(QStringLiteral("EnterFile"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar = BuildTitleBar(this, QStringLiteral(" Dossier"), false, false);
    Title = bar.title;
    layout->addWidget(bar.bar);

    const auto edit = [&](const char* name, const QString& field) {
        auto* e = new DBEdit(prompts, this);
        e->setObjectName(QLatin1String(name));
        e->setField(mainFile, field);
        return e;
    };
    Ed_File = edit("Ed_File", QStringLiteral("LoginName"));
    Ed_PassWord = edit("Ed_PassWord", QStringLiteral("LoginPassword"));
    Ed_Name = edit("Ed_Name", QStringLiteral("FullName"));
    Memo_Observation = new DBMemo(prompts, this);
    Memo_Observation->setObjectName(QStringLiteral("Memo_Observation"));
    Memo_Observation->setField(mainFile, QStringLiteral("Color"));
    Memo_Observation->setTabChangesFocus(true);

    auto* form = new QFormLayout;
    form->setContentsMargins(10, 10, 10, 4);
    form->setLabelAlignment(Qt::AlignLeft);
    form->addRow(QStringLiteral("Dossier"), Ed_File);
    form->addRow(QStringLiteral("Mot de passe"), Ed_PassWord);
    form->addRow(QStringLiteral("Propriétaire"), Ed_Name);
    form->addRow(QStringLiteral("Observations"), Memo_Observation);
    layout->addLayout(form, 1);

    const OkCancelRow buttons = MakeOkCancelRow(this);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    Btn_Ok->setDefault(true);
    layout->addLayout(buttons.layout);

    connect(Ed_File, &QLineEdit::textChanged, this, &TEnterFile::Ed_FileChange);
    connect(Btn_Ok, &QPushButton::clicked, this, &TEnterFile::Btn_OkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TEnterFile::Btn_CancelClick);

    TranslateForm(this, QStringLiteral("[EnterFile]"));
    resize(360, 230);
    SetUpChrome(this);
    Ed_FileChange();
    Ed_File->setFocus();
}

TEnterFile::~TEnterFile() = default;

void TEnterFile::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    QDialog::showEvent(event);
}

void TEnterFile::Ed_FileChange()
{
    Btn_Ok->setEnabled(!Ed_File->text().isEmpty());
}

void TEnterFile::Btn_OkClick()
{
    if (Ed_File->text().isEmpty())
        return;
    if (RunGuarded(m_prompts, [this] { PostIfEditing(m_source, m_source.dataSet()); }))
        accept();
}

void TEnterFile::Btn_CancelClick()
{
    RunGuarded(m_prompts, [this] { m_source.dataSet().cancel(); });
    reject();
}

} // namespace tilvo
