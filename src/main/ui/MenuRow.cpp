// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/MenuRow.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>

namespace tilvo {

MenuRow::MenuRow(const QList<QToolButton*>& buttons, QObject* parent)
    : QObject(parent), m_buttons(buttons)
{
    for (int i = 0; i < m_buttons.size(); ++i)
        watch(m_buttons.at(i)->menu(), i);
}

void MenuRow::watch(QMenu* menu, int position)
{
    if (!menu || m_positionOf.contains(menu))
        return;
    m_positionOf.insert(menu, position);
    menu->installEventFilter(this);
    for (QAction* action : menu->actions())
        watch(action->menu(), position);
}

bool MenuRow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right)
        return false;
    auto* menu = static_cast<QMenu*>(watched);
    const int position = m_positionOf.value(menu, -1);
    if (position < 0)
        return false;
    if (key == Qt::Key_Right) {
        const QAction* active = menu->activeAction();
        if (active && active->isEnabled() && active->menu())
            return false; // opens the sub-menu
    } else if (m_buttons.at(position)->menu() != menu) {
        return false; // closes the sub-menu
    }
    openNeighbour(position, key == Qt::Key_Right ? 1 : -1);
    return true;
}

void MenuRow::openNeighbour(int position, int step)
{
    const int count = int(m_buttons.size());
    QToolButton* next = nullptr;
    for (int k = 1; k < count && !next; ++k) {
        QToolButton* candidate = m_buttons.at(((position + step * k) % count + count) % count);
        if (candidate->isEnabled() && candidate->isVisible() && candidate->menu())
            next = candidate;
    }
    if (!next)
        return;

    // Close the open menu and its sub-menus before the neighbour drops down.
    for (int open = 0; open < 8 && QApplication::activePopupWidget(); ++open)
        QApplication::activePopupWidget()->close();

    QMenu* menu = next->menu();
    next->setDown(true);
    connect(
        menu, &QMenu::aboutToHide, next, [next] { next->setDown(false); },
        Qt::SingleShotConnection);
    menu->popup(next->mapToGlobal(QPoint(0, next->height())));
    // Its first entry is highlighted as the keyboard does it, which leaves a sub-menu closed.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &down);
}

} // namespace tilvo
