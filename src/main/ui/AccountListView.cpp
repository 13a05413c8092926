// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/AccountListView.h"

#include "main/AccountListModel.h"
#include "main/DrawAccountRow.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

namespace tilvo {

AccountListView::AccountListView(QWidget* parent) : QTableView(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kAccountRowHeight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setAutoScroll(false);
    QPalette p = palette();
    p.setColor(QPalette::Base, kAccountRowBackground);
    setPalette(p);
    connect(this, &QAbstractItemView::clicked, this, [this] { Q_EMIT selectRequested(); });
}

void AccountListView::setAccountModel(AccountListModel* model)
{
    m_model = model;
    setModel(model);
}

int AccountListView::currentRow() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void AccountListView::setCurrentRow(int row)
{
    if (!m_model || row < 0 || row >= m_model->rowCount()) {
        if (selectionModel())
            selectionModel()->clearCurrentIndex();
        return;
    }
    const QModelIndex index = m_model->index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void AccountListView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const int width = viewport()->width();
    painter.fillRect(event->rect(), kAccountRowBackground);
    if (!m_model || m_model->rowCount() == 0)
        return;
    const int current = currentRow();
    const int first = std::max(rowAt(event->rect().top()), 0);
    int last = rowAt(event->rect().bottom());
    if (last < 0)
        last = m_model->rowCount() - 1;
    for (int row = first; row <= last; ++row) {
        const QRect cell(0, rowViewportPosition(row), width, rowHeight(row));
        const AccountEntry entry = m_model->entry(row);
        DrawAccountRow(painter, cell, width, &entry, m_model->thumbnail(row), row == current);
    }
}

void AccountListView::keyPressEvent(QKeyEvent* event)
{
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    const bool focusKey = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!event->text().isEmpty() && !command && !focusKey) {
        event->accept();
        Q_EMIT selectRequested();
        return;
    }
    QTableView::keyPressEvent(event);
}

void AccountListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    Q_EMIT editRequested();
}

void AccountListView::keyboardSearch(const QString&)
{
    // A character key selects the highlighted account; it never moves the highlight.
}

void AccountListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // The current row's look comes from the painting of both rows.
    viewport()->update();
}

} // namespace tilvo
