// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "common/ui/Chrome.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "db/TableDump.h"
#include "db/ui/DBEdit.h"
#include "stats/DatePickerRules.h"
#include "stats/ui/ShowDatePicker.h"
#include "stats/ui/TEnterPeriod.h"
#include "stats/ui/TSelectDate.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace tilvo;
using namespace tilvo::test;

namespace {

const QDate kToday(2026, 12, 10);

QRect Screen()
{
    return QGuiApplication::primaryScreen()->geometry();
}

// A frameless window holding one date field at a given place on the screen.
struct Owner
{
    QWidget window;
    QLineEdit* field;

    explicit Owner(const QPoint& at = QPoint(100, 100), QLineEdit* edit = nullptr)
    {
        window.setWindowFlags(Qt::FramelessWindowHint);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        field = edit ? edit : new QLineEdit;
        field->setParent(&window);
        field->setObjectName("Ed_Date");
        field->setFixedSize(80, 21);
        layout->addWidget(field);
        window.move(at);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    QRect fieldOnScreen() const { return QRect(field->mapToGlobal(QPoint(0, 0)), field->size()); }
};

TSelectDate* OpenCalendar()
{
    return qobject_cast<TSelectDate*>(QApplication::activePopupWidget());
}

void Grab(QWidget* window, const QString& name)
{
    QDir().mkpath("screenshots");
    QVERIFY(window->grab().save("screenshots/" + name + ".png"));
}

} // namespace

class TestDateWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void calendarStartsFromTheFieldAndWritesOnOk();
    void invalidTextStartsFromToday();
    void closingWithoutOkLeavesTheField_data();
    void closingWithoutOkLeavesTheField();
    void enterOnlyMovesTheSelection();
    void clearEmptiesAPlainField();
    void clearMakesABoundDateNull();
    void placementNearTheBottomAndRightEdges();
    void periodOkFollowsTheDates();
    void clearingADateKeepsOksState_data();
    void clearingADateKeepsOksState();
    void enterInADateOpensItsCalendar();
    void leavingThePeriodDialog_data();
    void leavingThePeriodDialog();

private:
    FixedClock m_clock{QDateTime(kToday, QTime(9, 0))};
};

void TestDateWindows::initTestCase()
{
    Chrome() = ChromeContext{};
    Chrome().standardChrome = false;
}

void TestDateWindows::init()
{
    // No calendar of an earlier test may still be open.
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

void TestDateWindows::calendarStartsFromTheFieldAndWritesOnOk()
{
    Owner owner;
    owner.field->setText("05/03/2008");
    QPointer<TSelectDate> calendar = ShowDatePicker(owner.field, m_clock);
    QVERIFY(QTest::qWaitForWindowExposed(calendar));
    QCOMPARE(OpenCalendar(), calendar.data());
    QCOMPARE(calendar->MonthCalendar->selectedDate(), QDate(2008, 3, 5));
    QCOMPARE(calendar->MonthCalendar->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    QCOMPARE(calendar->size(), QSize(calendar->MonthCalendar->width(),
                                     calendar->MonthCalendar->height() + kCalendarBarHeight));
    QCOMPARE(calendar->Btn_Clear->toolTip(), QString("Effacer la date"));
    Grab(calendar, "TSelectDate");
    // The title band is grey, the month the picker colour.
    const QImage picture = calendar->grab().toImage();
    auto* band = calendar->MonthCalendar->findChild<QWidget*>("qt_calendar_navigationbar");
    QCOMPARE(picture.pixelColor(band->mapTo(calendar, QPoint(band->width() / 4, 1))),
             QColor(0xD4, 0xD4, 0xD4));
    auto* days = calendar->MonthCalendar->findChild<QTableView*>();
    const QRect cell = days->visualRect(days->model()->index(3, 3));
    QCOMPARE(picture.pixelColor(days->viewport()->mapTo(calendar, cell.topLeft() + QPoint(2, 2))),
             QColor(0xFF, 0xFF, 0xF2));
    // The field keeps its text while the calendar is open.
    calendar->MonthCalendar->setSelectedDate(QDate(2008, 3, 20));
    QCOMPARE(owner.field->text(), QString("05/03/2008"));
    QTest::mouseClick(calendar->Btn_Ok, Qt::LeftButton);
    QTRY_VERIFY(!calendar);
    QCOMPARE(owner.field->text(), QString("20/03/2008"));
    QCOMPARE(owner.field->selectedText(), QString("20/03/2008"));
    QCOMPARE(owner.window.focusWidget(), owner.field);
}

void TestDateWindows::invalidTextStartsFromToday()
{
    Owner owner;
    owner.field->setText("31/02/2008");
    QPointer<TSelectDate> calendar = ShowDatePicker(owner.field, m_clock);
    QCOMPARE(calendar->MonthCalendar->selectedDate(), kToday);
    QTest::mouseClick(calendar->Btn_Ok, Qt::LeftButton);
    QTRY_VERIFY(!calendar);
    QCOMPARE(owner.field->text(), QString("10/12/2026"));
}

void TestDateWindows::closingWithoutOkLeavesTheField_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel") << "cancel";
    QTest::newRow("escape") << "escape";
    QTest::newRow("click outside") << "outside";
}

void TestDateWindows::closingWithoutOkLeavesTheField()
{
    QFETCH(QString, how);
    Owner owner;
    owner.field->setText("05/03/2008");
    QPointer<TSelectDate> calendar = ShowDatePicker(owner.field, m_clock);
    QVERIFY(QTest::qWaitForWindowExposed(calendar));
    calendar->MonthCalendar->setSelectedDate(QDate(2009, 1, 1));
    if (how == "cancel") {
        QTest::mouseClick(calendar->Btn_Cancel, Qt::LeftButton);
    } else if (how == "escape") {
        QTest::keyClick(calendar->MonthCalendar->findChild<QTableView*>(), Qt::Key_Escape);
    } else {
        // A click on the owner window, beside the calendar, through the window system.
        const QPoint beside(owner.window.width() - 2, 2);
        QVERIFY(!calendar->geometry().contains(owner.window.mapToGlobal(beside)));
        QTest::mouseClick(owner.window.windowHandle(), Qt::LeftButton, {}, beside);
    }
    QTRY_VERIFY(!calendar);
    QCOMPARE(owner.field->text(), QString("05/03/2008"));
}

void TestDateWindows::enterOnlyMovesTheSelection()
{
    Owner owner;
    owner.field->setText("05/03/2008");
    QPointer<TSelectDate> calendar = ShowDatePicker(owner.field, m_clock);
    auto* days = calendar->MonthCalendar->findChild<QTableView*>();
    QTest::keyClick(days, Qt::Key_Right);
    QTest::keyClick(days, Qt::Key_Return);
    QVERIFY(calendar && calendar->isVisible());
    QCOMPARE(calendar->MonthCalendar->selectedDate(), QDate(2008, 3, 6));
    QCOMPARE(owner.field->text(), QString("05/03/2008"));
    QTest::mouseClick(calendar->Btn_Ok, Qt::LeftButton);
    QTRY_VERIFY(!calendar);
    QCOMPARE(owner.field->text(), QString("06/03/2008"));
}

void TestDateWindows::clearEmptiesAPlainField()
{
    Owner owner;
    owner.field->setText("05/03/2008");
    QPointer<TSelectDate> calendar = ShowDatePicker(owner.field, m_clock);
    QTest::mouseClick(calendar->Btn_Clear, Qt::LeftButton);
    QTRY_VERIFY(!calendar);
    QCOMPARE(owner.field->text(), QString());
}

void TestDateWindows::clearMakesABoundDateNull()
{
    SchemaCopy db;
    db.prepare();
    QVERIFY(db.copyTo("test.db"));
    db.open(false);
    QSqlQuery q(db.connection().database());
    QVERIFY(q.exec("INSERT INTO ACCOUNT (Id_File, Title, CreateDate) VALUES (1, 'Eau', "
                   "'2008-03-05')"));
    // The dataset goes before its connection.
    auto account = std::make_unique<DataSet>(db.connection(), "Account");
    account->setSql({"SELECT * FROM ACCOUNT", "WHERE Id_File=1", "ORDER BY TITLE"});
    account->open();
    DataSource source(*account);
    ScriptedPrompts prompts;
    {
        auto* date = new DBEdit(prompts);
        date->setField(source, "CreateDate");
        Owner owner(QPoint(100, 100), date);
        QCOMPARE(date->text(), QString("05/03/2008"));

        QPointer<TSelectDate> calendar = ShowDatePicker(date, m_clock);
        calendar->MonthCalendar->setSelectedDate(QDate(2009, 7, 14));
        QTest::mouseClick(calendar->Btn_Ok, Qt::LeftButton);
        QTRY_VERIFY(!calendar);
        account->post();
        QCOMPARE(Scalar(db.connection(), "SELECT CreateDate FROM ACCOUNT").toString(),
                 QString("2009-07-14"));

        calendar = ShowDatePicker(date, m_clock);
        QTest::mouseClick(calendar->Btn_Clear, Qt::LeftButton);
        QTRY_VERIFY(!calendar);
        QCOMPARE(account->state(), DataSetState::Editing);
        account->post();
        QVERIFY(Scalar(db.connection(), "SELECT CreateDate FROM ACCOUNT").isNull());
        QVERIFY(prompts.shown.isEmpty());
    }
    account.reset();
    db.release();
}

void TestDateWindows::placementNearTheBottomAndRightEdges()
{
    const QRect screen = Screen();
    {
        Owner owner(QPoint(100, screen.bottom() - 40));
        QPointer<TSelectDate> calendar = ShowDatePicker(owner.field, m_clock);
        QCOMPARE(calendar->pos(), QPoint(owner.fieldOnScreen().left(),
                                         screen.top() + screen.height() - calendar->height() - 30));
        calendar->close();
        QTRY_VERIFY(!calendar);
    }
    {
        Owner owner(QPoint(screen.right() - 90, 50));
        QPointer<TSelectDate> calendar = ShowDatePicker(owner.field, m_clock);
        QCOMPARE(calendar->pos(), QPoint(screen.left() + screen.width() - calendar->width(),
                                         owner.fieldOnScreen().top() + 15));
        QVERIFY(screen.contains(calendar->geometry()));
        calendar->close();
        QTRY_VERIFY(!calendar);
    }
}

void TestDateWindows::periodOkFollowsTheDates()
{
    TEnterPeriod dialog(m_clock);
    // At least 65 pixels, and the whole date shows.
    QVERIFY(dialog.Ed_Begin_Date->width() >= 65);
    QVERIFY(dialog.Ed_Begin_Date->fontMetrics().horizontalAdvance("00/00/0000") <
            dialog.Ed_Begin_Date->width() - 8);
    QVERIFY(dialog.Ed_Begin_Date->isReadOnly() && dialog.Ed_End_Date->isReadOnly());
    // Preset with one day only: OK disabled from the start.
    dialog.Ed_Begin_Date->setText("05/03/2008");
    dialog.Ed_End_Date->setText("05/03/2008");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QString("Période"));
    QVERIFY(!dialog.Btn_Ok->isEnabled());
    dialog.Ed_End_Date->setText("01/03/2008");
    QVERIFY(!dialog.Btn_Ok->isEnabled());
    // Through the calendar: the end date moves past the begin date.
    QTest::mouseClick(dialog.Btn_End_Date, Qt::LeftButton);
    QPointer<TSelectDate> calendar = OpenCalendar();
    QVERIFY(calendar);
    QCOMPARE(calendar->target(), dialog.Ed_End_Date);
    calendar->MonthCalendar->setSelectedDate(QDate(2008, 12, 31));
    QTest::mouseClick(calendar->Btn_Ok, Qt::LeftButton);
    QTRY_VERIFY(!calendar);
    QCOMPARE(dialog.Ed_End_Date->text(), QString("31/12/2008"));
    QVERIFY(dialog.Btn_Ok->isEnabled());
    Grab(&dialog, "TEnterPeriod");
}

void TestDateWindows::clearingADateKeepsOksState_data()
{
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("enabled stays enabled") << "31/12/2008" << true;
    QTest::newRow("disabled stays disabled") << "05/03/2008" << false;
}

void TestDateWindows::clearingADateKeepsOksState()
{
    QFETCH(QString, end);
    QFETCH(bool, enabled);
    TEnterPeriod dialog(m_clock);
    dialog.Ed_Begin_Date->setText("05/03/2008");
    dialog.Ed_End_Date->setText(end);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.Btn_Ok->isEnabled(), enabled);
    QTest::mouseClick(dialog.Btn_Begin_Date, Qt::LeftButton);
    QPointer<TSelectDate> calendar = OpenCalendar();
    QVERIFY(calendar);
    QTest::mouseClick(calendar->Btn_Clear, Qt::LeftButton);
    QTRY_VERIFY(!calendar);
    QCOMPARE(dialog.Ed_Begin_Date->text(), QString());
    QCOMPARE(dialog.Btn_Ok->isEnabled(), enabled);
}

void TestDateWindows::enterInADateOpensItsCalendar()
{
    TEnterPeriod dialog(m_clock);
    dialog.Ed_Begin_Date->setText("05/03/2008");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(dialog.Ed_Begin_Date, Qt::Key_Return);
    QPointer<TSelectDate> calendar = OpenCalendar();
    QVERIFY(calendar);
    QCOMPARE(calendar->target(), dialog.Ed_Begin_Date);
    QCOMPARE(calendar->MonthCalendar->selectedDate(), QDate(2008, 3, 5));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
    calendar->close();
    QTRY_VERIFY(!calendar);
}

void TestDateWindows::leavingThePeriodDialog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("ok") << "Btn_Ok" << int(QDialog::Accepted);
    QTest::newRow("cancel") << "Btn_Cancel" << int(QDialog::Rejected);
    QTest::newRow("close box") << "SysExitBtn" << int(QDialog::Rejected);
}

void TestDateWindows::leavingThePeriodDialog()
{
    QFETCH(QString, button);
    QFETCH(int, result);
    TEnterPeriod dialog(m_clock);
    dialog.Ed_Begin_Date->setText("01/01/2008");
    dialog.Ed_End_Date->setText("31/12/2008");
    QTimer::singleShot(0, &dialog, [&dialog, button] {
        QTest::mouseClick(dialog.findChild<QAbstractButton*>(button), Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), result);
    QCOMPARE(dialog.Ed_Begin_Date->text(), QString("01/01/2008"));
    QCOMPARE(dialog.Ed_End_Date->text(), QString("31/12/2008"));
}

QTEST_MAIN(TestDateWindows)
#include "tst_DateWindows.moc"
