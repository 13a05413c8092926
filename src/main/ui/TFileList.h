// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/Dossiers.h"

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tilvo {

// The dossier list `FileList`: one item per dossier in the tree `Tree_Global`, in the order
// given, the first one selected. " &Ok", enabled only while an item is selected, or a
// double-click on an item closes it with that dossier; " &Annuler" and the close box without
// one. Its grip `Image1` resizes it, never below 401 × 201.
class TFileList final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFileList)

public:
    explicit TFileList(const QList<DossierRef>& dossiers, QWidget* parent = nullptr);

    // The dossier chosen, once the list was closed by " &Ok" or a double-click.
    std::optional<DossierRef> chosen() const { return m_chosen; }

    QLabel* Title;
    QTreeWidget* Tree_Global;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;
    QLabel* Image1;

    void Tree_GlobalClick();
    void Tree_GlobalDblClick();
    void Btn_OkClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::optional<DossierRef> selected() const;

    std::optional<DossierRef> m_chosen;
};

} // namespace tilvo
