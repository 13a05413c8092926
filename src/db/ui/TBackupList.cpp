// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ui/TBackupList.h"

#include "common/Prompts.h"
#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "db/BackupHistory.h"
#include "db/DataSetOps.h"
#include "db/TDataModule1.h"
#include "db/ui/DBGrid.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tilvo {

TBackupList::TBackupList(TDataModule1& module, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_module(module), m_prompts(prompts)
{
    setObjectName(QStringLiteral("BackupList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar = BuildTitleBar(this, QStringLiteral("  Historique des sauvegardes"),
                                            false, false, QStringLiteral("Exit"));
    Title = bar.title;
    Exit = bar.close;
    layout->addWidget(bar.bar);

    BFSDBGridColor2 = new DBGrid(prompts, this);
    BFSDBGridColor2->setObjectName(QStringLiteral("BFSDBGridColor2"));
    BFSDBGridColor2->installEventFilter(this);
    layout->addWidget(BFSDBGridColor2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 4, 6, 6);
    Btn_Delete = new QPushButton(QStringLiteral("Purger l'historique"), this);
    Btn_Delete->setObjectName(QStringLiteral("Btn_Delete"));
    Btn_Close = new QPushButton(QStringLiteral(" &Fermer"), this);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    buttons->addWidget(Btn_Delete);
    buttons->addStretch();
    buttons->addWidget(Btn_Close);
    layout->addLayout(buttons);

    connect(Btn_Delete, &QPushButton::clicked, this,
            [this] { RunGuarded(m_prompts, [this] { Btn_DeleteClick(); }); });
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);

    TranslateForm(this, QStringLiteral("[BackupList]"));
    DataSet& backup = m_module.Backup();
    backup.open();
    BFSDBGridColor2->setDataSource(&m_module.DSBackup(),
                                   {QStringLiteral("DateSav"), QStringLiteral("TimeSav"),
                                    QStringLiteral("Description"), QStringLiteral("Path")});
    connect(&backup, &DataSet::contentChanged, this, &TBackupList::updatePurgeButton);
    connect(&backup, &DataSet::currentChanged, this, &TBackupList::updatePurgeButton);
    connect(&backup, &DataSet::stateChanged, this, &TBackupList::updatePurgeButton);
    updatePurgeButton();

    resize(626, 298);
    SetUpChrome(this);
}

TBackupList::~TBackupList()
{
    // The grid lets go of the dataset before it is closed.
    BFSDBGridColor2->setDataSource(nullptr);
    m_module.Backup().close();
}

void TBackupList::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    QDialog::showEvent(event);
}

void TBackupList::done(int result)
{
    BFSDBGridColor2->setDataSource(nullptr);
    m_module.Backup().close();
    QDialog::done(result);
}

void TBackupList::updatePurgeButton()
{
    const DataSet& backup = m_module.Backup();
    Btn_Delete->setEnabled(backup.isActive() && !IsEmptyDataSet(backup));
}

void TBackupList::Btn_DeleteClick()
{
    const QString question = LookupText(QStringLiteral("BackupList"), QStringLiteral("Message1"),
                                        QStringLiteral("Désirez-vous purger l'historique des "
                                                       "sauvegardes ?"));
    if (!m_prompts.askYesNo(question, Prompts::Icon::Question))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        PurgeBackupHistory(m_module);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    updatePurgeButton();
}

void TBackupList::deleteCurrentRow()
{
    DataSet& backup = m_module.Backup();
    if (!backup.isActive() || IsEmptyDataSet(backup))
        return;
    if (!m_prompts.askYesNo(QStringLiteral("Supprimer l'enregistrement ?"),
                            Prompts::Icon::Question))
        return;
    backup.remove();
}

bool TBackupList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == BFSDBGridColor2 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Delete &&
            (modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier)) {
            RunGuarded(m_prompts, [this] { deleteCurrentRow(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tilvo
