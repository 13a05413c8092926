// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>

namespace tilvo {

class AccountListModel;

// The account list `Grid_AccountList`: one 50-pixel row per account over the whole width,
// painted by DrawAccountRow, a vertical scroll bar only. The highlighted row is the current
// row. The arrow keys and the scroll bar move the highlight only; a click on a row or a
// character key asks for the highlighted account to be selected (selectRequested), and a
// double-click asks for it to be edited.
class AccountListView final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AccountListView)

public:
    explicit AccountListView(QWidget* parent = nullptr);

    void setAccountModel(AccountListModel* model);
    AccountListModel* accountModel() const { return m_model; }

    // The highlighted row, -1 when the list is empty.
    int currentRow() const;
    // Highlights a row and shows it, without asking for its selection.
    void setCurrentRow(int row);

Q_SIGNALS:
    void selectRequested();
    void editRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    AccountListModel* m_model = nullptr;
};

} // namespace tilvo
