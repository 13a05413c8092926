// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QList>
#include <QObject>

class QMenu;
class QToolButton;

namespace tilvo {

// A row of buttons that each drop down a menu, driven from the keyboard as a menu bar is:
// inside an open menu, Left and Right move to the previous or next menu of the row, passing
// over disabled buttons and wrapping around. Right still opens a sub-menu and Left still
// closes one.
class MenuRow final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MenuRow)

public:
    MenuRow(const QList<QToolButton*>& buttons, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QMenu* menu, int position);
    void openNeighbour(int position, int step);

    QList<QToolButton*> m_buttons;
    QHash<QMenu*, int> m_positionOf; // every menu and sub-menu, with its button's position
};

} // namespace tilvo
