// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/InputBlocker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace tilvo {

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

InputBlocker::InputBlocker(QWidget* window) : m_window(window)
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_window || !IsUserInput(event->type()))
        return false;
    // The mouse reaches the window system's window first, which also moves the focus.
    if (watched->isWindowType())
        return watched == m_window->windowHandle();
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    return widget == m_window || m_window->isAncestorOf(widget);
}

} // namespace tilvo
