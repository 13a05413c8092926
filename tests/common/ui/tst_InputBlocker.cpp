// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/InputBlocker.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

using namespace tilvo;

class TestInputBlocker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dropsInputToTheWindowOnlyWhileItLives();
};

void TestInputBlocker::dropsInputToTheWindowOnlyWhileItLives()
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new QPushButton("Ajouter", &window);
    auto* edit = new QLineEdit(&window);
    layout->addWidget(button);
    layout->addWidget(edit);
    QWidget other;
    auto* otherButton = new QPushButton("Ailleurs", &other);
    int clicks = 0, otherClicks = 0;
    // Clicks come through the window system's window, as a person's do.
    const auto click = [](QPushButton* b) {
        QTest::mouseClick(b->window()->windowHandle(), Qt::LeftButton, {},
                          b->mapTo(b->window(), b->rect().center()));
    };
    connect(button, &QPushButton::clicked, [&] { ++clicks; });
    connect(otherButton, &QPushButton::clicked, [&] { ++otherClicks; });
    window.show();
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    edit->setFocus();

    {
        const InputBlocker blocker(&window);
        click(button);
        QTest::keyClicks(edit, "abc");
        click(otherButton);
        // Nothing reached the window, which keeps its look and its focus.
        QCOMPARE(clicks, 0);
        QCOMPARE(edit->text(), QString());
        QVERIFY(window.isEnabled() && button->isEnabled());
        QCOMPARE(window.focusWidget(), edit);
        QCOMPARE(otherClicks, 1);
    }
    click(button);
    QTest::keyClicks(edit, "abc");
    QCOMPARE(clicks, 1);
    QCOMPARE(edit->text(), QString("abc"));

    // A window gone before its blocker leaves nothing blocked.
    auto gone = std::make_unique<QWidget>();
    {
        const InputBlocker blocker(gone.get());
        gone.reset();
        click(button);
    }
    QCOMPARE(clicks, 2);
}

QTEST_MAIN(TestInputBlocker)
#include "tst_InputBlocker.moc"
