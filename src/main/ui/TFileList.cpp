// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TFileList.h"

#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"
#include "common/ui/OkCancelRow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tilvo {

namespace {

constexpr int kIdRole = Qt::UserRole;

// A closed dossier for the items, an open one for the selected item.
QIcon DossierIcon(const QStyle* style)
{
    QIcon icon;
    for (const QSize size : {QSize(16, 16), QSize(32, 32)}) {
        icon.addPixmap(style->standardIcon(QStyle::SP_DirClosedIcon).pixmap(size), QIcon::Normal);
        icon.addPixmap(style->standardIcon(QStyle::SP_DirOpenIcon).pixmap(size), QIcon::Selected);
    }
    return icon;
}

} // namespace

TFileList::TFileList(const QList<DossierRef>& dossiers, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FileList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar =
        BuildTitleBar(this, QStringLiteral("  Liste des dossiers"), false, false);
    Title = bar.title;
    layout->addWidget(bar.bar);

    Tree_Global = new QTreeWidget(this);
    Tree_Global->setObjectName(QStringLiteral("Tree_Global"));
    Tree_Global->setHeaderHidden(true);
    Tree_Global->setRootIsDecorated(false);
    Tree_Global->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tree_Global->setSelectionMode(QAbstractItemView::SingleSelection);
    Tree_Global->setExpandsOnDoubleClick(false);
    const QIcon icon = DossierIcon(style());
    for (const DossierRef& dossier : dossiers) {
        auto* item = new QTreeWidgetItem(Tree_Global, QStringList{dossier.name});
        item->setData(0, kIdRole, dossier.id);
        item->setIcon(0, icon);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
    }
    if (Tree_Global->topLevelItemCount() > 0)
        Tree_Global->setCurrentItem(Tree_Global->topLevelItem(0));
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 8, 8, 4);
    body->addWidget(Tree_Global);
    layout->addLayout(body, 1);

    const OkCancelRow buttons = MakeOkCancelRow(this, QMargins(8, 4, 1, 1));
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    Btn_Ok->setDefault(true);
    Image1 = BuildGrip(this, QStringLiteral("Image1"));
    buttons.layout->addWidget(Image1, 0, Qt::AlignBottom);
    layout->addLayout(buttons.layout);

    connect(Tree_Global, &QTreeWidget::itemClicked, this, &TFileList::Tree_GlobalClick);
    connect(Tree_Global, &QTreeWidget::itemSelectionChanged, this, &TFileList::Tree_GlobalClick);
    connect(Tree_Global, &QTreeWidget::itemDoubleClicked, this, &TFileList::Tree_GlobalDblClick);
    connect(Btn_Ok, &QPushButton::clicked, this, &TFileList::Btn_OkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    TranslateForm(this, QStringLiteral("[FileList]"));
    resize(420, 280);
    ChromeOptions options;
    options.minimumWidth = 400;
    options.minimumHeight = 200;
    SetUpChrome(this, options);
    Tree_GlobalClick();
}

void TFileList::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    Tree_GlobalClick();
    QDialog::showEvent(event);
}

std::optional<DossierRef> TFileList::selected() const
{
    const QList<QTreeWidgetItem*> items = Tree_Global->selectedItems();
    if (items.isEmpty())
        return std::nullopt;
    return DossierRef{items.first()->data(0, kIdRole).toLongLong(), items.first()->text(0)};
}

void TFileList::Tree_GlobalClick()
{
    Btn_Ok->setEnabled(selected().has_value());
}

void TFileList::Tree_GlobalDblClick()
{
    Btn_OkClick();
}

void TFileList::Btn_OkClick()
{
    m_chosen = selected();
    if (m_chosen)
        accept();
}

} // namespace tilvo
