// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>

// Watches every event of the application for the first exposure of a top-level widget of the
// given class; then writes one line to standard output and quits the application as soon as
// its message loop runs.
class WindowShownProbe final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowShownProbe)

public:
    explicit WindowShownProbe(QByteArray className);

    // The line written when the window shows.
    static constexpr const char* ShownLine = "window-shown\n";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report();
    void quitOnceRunning();

    QByteArray m_className;
    bool m_seen = false;
};
