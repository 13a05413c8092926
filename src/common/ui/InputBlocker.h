// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace tilvo {

// While it lives, the mouse, keyboard and wheel input meant for a window (its controls
// included) is dropped, as for a disabled window, without disabling it: its controls keep
// their look and the focus. For operations that let pending events through (pictures being
// loaded, statistics being drawn), so that no other command starts meanwhile.
class InputBlocker final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InputBlocker)

public:
    explicit InputBlocker(QWidget* window);
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
};

} // namespace tilvo
