// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
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

// Closes a dialog left open by a failed check, so that the test goes on to report it.
class ClosedOnFailure
{
public:
    explicit ClosedOnFailure(QDialog* dialog) : m_dialog(dialog) {}
    ~ClosedOnFailure()
    {
        if (m_dialog && m_dialog->isVisible() && QTest::currentTestFailed())
            m_dialog->reject();
    }
    Q_DISABLE_COPY_MOVE(ClosedOnFailure)

private:
    QPointer<QDialog> m_dialog;
};

// Runs `drive` on the modal dialog of this class once it shows: call it just before the code
// that runs the dialog. A failed check closes the dialog (or whatever modal dialog opened
// instead) so that the test reports it rather than waiting.
template <typename Dialog> void WhenShown(std::function<void(Dialog*)> drive)
{
    QTimer::singleShot(0, [drive] {
        Dialog* dialog = nullptr;
        const auto closeAny = qScopeGuard([&dialog] {
            if (!dialog && QTest::currentTestFailed())
                if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    open->reject();
        });
        QTRY_VERIFY((dialog = OpenDialog<Dialog>()) != nullptr);
        const ClosedOnFailure closing(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        drive(dialog);
    });
}

// Replaces what a line edit holds by `text`, typed key by key as a person would.
inline void Retype(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    field->del();
    QTest::keyClicks(field, text);
}

// A window as it paints, saved to "screenshots/<name>.png" in the test's working folder.
inline void Grab(QWidget* window, const QString& name)
{
    QDir().mkpath(QStringLiteral("screenshots"));
    QVERIFY(window->grab().save(QStringLiteral("screenshots/") + name + QStringLiteral(".png")));
}

} // namespace tilvo::test
