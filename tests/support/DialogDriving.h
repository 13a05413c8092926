// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace tilvo::test {

// The modal dialog of this class that is open now, if any.
template <typename Dialog> Dialog* OpenDialog()
{
    return qobject_cast<Dialog*>(QApplication::activeModalWidget());
}

// Runs `drive` on the modal dialog of this class once it shows: call it just before the code
// that runs the dialog.
template <typename Dialog> void WhenShown(std::function<void(Dialog*)> drive)
{
    QTimer::singleShot(0, [drive] {
        Dialog* dialog = nullptr;
        QTRY_VERIFY((dialog = OpenDialog<Dialog>()) != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        drive(dialog);
    });
}

// A window as it paints, saved to "screenshots/<name>.png" in the test's working folder.
inline void Grab(QWidget* window, const QString& name)
{
    QDir().mkpath(QStringLiteral("screenshots"));
    QVERIFY(window->grab().save(QStringLiteral("screenshots/") + name + QStringLiteral(".png")));
}

} // namespace tilvo::test
