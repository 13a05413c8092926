// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ColorHelpers.h"
#include "common/DropDownRules.h"
#include "common/ui/TStrList.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

using namespace tilvo;

namespace {

// A window holding one field, placed with the field's top at `fieldTop` on the screen.
struct Owner
{
    QWidget window;
    QLineEdit* field;
    QPushButton* other;

    explicit Owner(int fieldTop)
    {
        window.setWindowFlags(Qt::FramelessWindowHint);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        field = new QLineEdit(&window);
        field->setObjectName("Ed_Unit");
        field->setFixedSize(140, 21);
        other = new QPushButton("autre", &window);
        layout->addWidget(field);
        layout->addWidget(other);
        window.move(100, fieldTop);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    QRect fieldOnScreen() const { return QRect(field->mapToGlobal(QPoint(0, 0)), field->size()); }
};

QRect Screen()
{
    return QGuiApplication::primaryScreen()->geometry();
}

} // namespace

class TestTStrList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensUnderTheField();
    void opensAboveNearTheBottomOfTheScreen();
    void shrinksForFewerLines_data();
    void shrinksForFewerLines();
    void selectsTheLineEqualToTheField_data();
    void selectsTheLineEqualToTheField();
    void enterChoosesTheSelectedLine();
    void clickReleaseChoosesALine();
    void escapeClosesWithoutChoosing();
    void clickOutsideClosesWithoutChoosing();
    void colours();
};

void TestTStrList::opensUnderTheField()
{
    Owner owner(100);
    QVERIFY(QTest::qWaitForWindowExposed(&owner.window));
    QPointer<TStrList> list =
        TStrList::openUnder(owner.field, {"", "a", "b", "c", "d", "e", "f", "g", "h", "i"}, false);
    QVERIFY(list->isVisible());
    const QRect field = owner.fieldOnScreen();
    QCOMPARE(list->geometry(), QRect(field.left(), field.bottom() + 1, field.width(), 107));
    QTRY_VERIFY(list->List->hasFocus());
    list->close();
}

void TestTStrList::opensAboveNearTheBottomOfTheScreen()
{
    Owner owner(Screen().bottom() - 60);
    QVERIFY(QTest::qWaitForWindowExposed(&owner.window));
    QPointer<TStrList> list = TStrList::openUnder(owner.field, {"", "kWh", "litres", "m3"}, true);
    const QRect field = owner.fieldOnScreen();
    const QRect shown = list->geometry();
    QCOMPARE(shown, PlaceDropDown(field, 4, Screen()));
    QCOMPARE(shown.height(), 4 * 13 + 3);
    QCOMPARE(shown.bottom(), field.top() - 2);
    QVERIFY(shown.bottom() <= Screen().bottom());
    QDir().mkpath("screenshots");
    QVERIFY(list->grab().save("screenshots/TStrList.png"));
    list->close();
}

void TestTStrList::shrinksForFewerLines_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("height");
    QTest::newRow("empty") << 0 << 16;
    QTest::newRow("one") << 1 << 16;
    QTest::newRow("three") << 3 << 42;
    QTest::newRow("twenty") << 20 << 107;
}

void TestTStrList::shrinksForFewerLines()
{
    QFETCH(int, lines);
    QFETCH(int, height);
    Owner owner(100);
    QStringList texts;
    for (int i = 0; i < lines; ++i)
        texts << QString::number(i);
    QPointer<TStrList> list = TStrList::openUnder(owner.field, texts, false);
    QCOMPARE(list->height(), height);
    QCOMPARE(list->List->geometry(), QRect(1, 1, list->width() - 2, height - 2));
    if (lines > 0)
        QCOMPARE(list->List->visualItemRect(list->List->item(0)).height(), 13);
    list->close();
}

void TestTStrList::selectsTheLineEqualToTheField_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selected");
    QTest::newRow("equal line") << QStringList{"", "kWh", "litres"} << "litres" << 2;
    QTest::newRow("none equal: the first") << QStringList{"", "kWh", "litres"} << "gal" << 0;
    QTest::newRow("one line: none") << QStringList{"kWh"} << "kWh" << -1;
}

void TestTStrList::selectsTheLineEqualToTheField()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, text);
    QFETCH(int, selected);
    Owner owner(100);
    owner.field->setText(text);
    QPointer<TStrList> list = TStrList::openUnder(owner.field, lines, false);
    const QList<QListWidgetItem*> items = list->List->selectedItems();
    QCOMPARE(items.isEmpty() ? -1 : list->List->row(items.first()), selected);
    // Opening selects the field's whole text.
    QCOMPARE(owner.field->selectedText(), text);
    list->close();
}

void TestTStrList::enterChoosesTheSelectedLine()
{
    Owner owner(100);
    owner.field->setText("kWh");
    QPointer<TStrList> list = TStrList::openUnder(owner.field, {"litres", "", "kWh", "m3"}, true);
    QCOMPARE(list->lines(), QStringList({"", "kWh", "litres", "m3"}));
    QTest::keyClick(list->List, Qt::Key_Down);
    QTest::keyClick(list->List, Qt::Key_Return);
    QTRY_VERIFY(!list);
    QCOMPARE(owner.field->text(), QString("litres"));
    QCOMPARE(ChosenIndex(owner.field), 2);
    QCOMPARE(owner.field->selectedText(), QString("litres"));
    // The field is its window's focus again (the test platform does not reactivate windows).
    QTRY_COMPARE(owner.window.focusWidget(), owner.field);
}

void TestTStrList::clickReleaseChoosesALine()
{
    Owner owner(100);
    QPointer<TStrList> list =
        TStrList::openUnder(owner.field, {"Mois", "Année", "Décennie", "Dates"}, false);
    QListWidget* view = list->List;
    const QPoint at = view->visualItemRect(view->item(3)).center();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(list); // nothing chosen on the press
    QCOMPARE(owner.field->text(), QString());
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    QTRY_VERIFY(!list);
    QCOMPARE(owner.field->text(), QString("Dates"));
    QCOMPARE(ChosenIndex(owner.field), 3);
}

void TestTStrList::escapeClosesWithoutChoosing()
{
    Owner owner(100);
    owner.field->setText("kWh");
    QPointer<TStrList> list = TStrList::openUnder(owner.field, {"", "kWh", "litres"}, false);
    QTest::keyClick(list->List, Qt::Key_Down);
    QTest::keyClick(list->List, Qt::Key_Escape);
    QTRY_VERIFY(!list);
    QCOMPARE(owner.field->text(), QString("kWh"));
    QCOMPARE(ChosenIndex(owner.field), -1);
}

void TestTStrList::clickOutsideClosesWithoutChoosing()
{
    Owner owner(100);
    QVERIFY(QTest::qWaitForWindowExposed(&owner.window));
    QPointer<TStrList> list = TStrList::openUnder(owner.field, {"", "kWh", "litres"}, false);
    QVERIFY(QTest::qWaitForWindowExposed(list));
    // Through the window system, as a real click arrives while a pop-up is open.
    const QPoint at = owner.field->mapTo(&owner.window, owner.field->rect().center());
    QTest::mouseClick(owner.window.windowHandle(), Qt::LeftButton, {}, at);
    QTRY_VERIFY(!list);
    QCOMPARE(owner.field->text(), QString());
}

void TestTStrList::colours()
{
    Owner owner(100);
    QPointer<TStrList> list = TStrList::openUnder(owner.field, {"", "kWh"}, false);
    const QImage picture = list->grab().toImage();
    QCOMPARE(picture.pixelColor(0, 0), ColorFromWindows(ShiftColor(15925247, -35)));
    QCOMPARE(picture.pixelColor(picture.width() - 1, picture.height() - 1),
             QColor(0xDC, 0xDC, 0xCF));
    QCOMPARE(list->List->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xF2));
    list->close();
}

QTEST_MAIN(TestTStrList)
#include "tst_TStrList.moc"
