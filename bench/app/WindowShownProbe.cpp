// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowShownProbe.h"

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstring>
#include <unistd.h>

WindowShownProbe::WindowShownProbe(QByteArray className) : m_className(std::move(className))
{}

bool WindowShownProbe::eventFilter(QObject* watched, QEvent* event)
{
    if (m_seen || event->type() != QEvent::Expose)
        return false;
    const QWindow* window = qobject_cast<QWindow*>(watched);
    if (!window || !window->isExposed())
        return false;
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (const QWidget* widget : widgets) {
        if (widget->windowHandle() == window && m_className == widget->metaObject()->className()) {
            m_seen = true;
            // Widgets paint while the exposure is handled: report once that is done.
            QMetaObject::invokeMethod(this, &WindowShownProbe::report, Qt::QueuedConnection);
            break;
        }
    }
    return false;
}

void WindowShownProbe::report()
{
    // Straight to the descriptor: nothing buffered may delay the line.
    const ssize_t written = ::write(STDOUT_FILENO, ShownLine, std::strlen(ShownLine));
    static_cast<void>(written);
    quitOnceRunning();
}

void WindowShownProbe::quitOnceRunning()
{
    // A window shown while the start-up lets paint events through comes before the message
    // loop, where a quit would be lost.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::quit();
    else
        QTimer::singleShot(10, this, &WindowShownProbe::quitOnceRunning);
}
