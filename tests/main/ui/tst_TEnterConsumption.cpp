// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "common/ui/Chrome.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/DbTestSupport.h"
#include "db/TDataModule1.h"
#include "db/TableDump.h"
#include "db/ui/DBEdit.h"
#include "db/ui/DBMemo.h"
#include "main/ConsumptionActions.h"
#include "main/MainWindowHooks.h"
#include "main/ui/TEnterConsumption.h"
#include "stats/ui/TSelectDate.h"
#include "support/DialogDriving.h"
#include "support/ScriptedPrompts.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>

using namespace tilvo;
using namespace tilvo::test;

// The entry dialog, run by the entry actions over a real database.
class TestTEnterConsumption : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void counterFollowsTheEntriesThroughTheDialog();
    void numbersTakeEitherSeparator_data();
    void numbersTakeEitherSeparator();
    void notANumberKeepsTheDialogOpen_data();
    void notANumberKeepsTheDialogOpen();
    void invalidDateStoresToday();
    void enterOpensTheCalendarUnderTheDate_data();
    void enterOpensTheCalendarUnderTheDate();
    void leavingANewEntryChangesNothing_data();
    void leavingANewEntryChangesNothing();
    void descriptionStopsAt255Characters();
    void fieldsShowTheirEditFormats();

private:
    int addEntry(const QString& date, double quantity, double price);
    double counter()
    {
        return Scalar(m_db.connection(),
                      QString("SELECT Count FROM ACCOUNT WHERE Id=%1").arg(m_account))
            .toDouble();
    }
    QVariant storedEntry(const QString& column)
    {
        return Scalar(m_db.connection(),
                      QString("SELECT %1 FROM CONSUMPTION ORDER BY Id DESC").arg(column));
    }
    EntryDialog realDialog()
    {
        return [this] {
            return TEnterConsumption::Execute(m_dm->DSConsumption(), m_prompts, m_clock, nullptr);
        };
    }
    bool addThrough(std::function<void(TEnterConsumption*)> drive)
    {
        WhenShown<TEnterConsumption>(std::move(drive));
        return AddEntry(*m_dm, 1, m_account, m_clock, realDialog(), {});
    }
    bool editThrough(std::function<void(TEnterConsumption*)> drive)
    {
        WhenShown<TEnterConsumption>(std::move(drive));
        return EditCurrentEntry(*m_dm, m_account, realDialog(), {});
    }

    SchemaCopy m_db;
    ScriptedPrompts m_prompts;
    FixedClock m_clock{QDateTime(QDate(2008, 3, 5), QTime(10, 0))};
    std::unique_ptr<TDataModule1> m_dm;
    int m_account = -1;
    QLocale m_locale;
};

void TestTEnterConsumption::initTestCase()
{
    m_db.prepare();
    Chrome() = ChromeContext{};
    Chrome().standardChrome = false;
}

void TestTEnterConsumption::init()
{
    m_locale = QLocale();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(m_db.copyTo("Access/TILVO.MDB"));
    m_prompts = ScriptedPrompts();
    m_dm = std::make_unique<TDataModule1>(DataModuleConfig(m_db, false), m_prompts);
    QVERIFY(m_dm->connectionOk());
    m_db.open(false);
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
    QVERIFY(q.exec("INSERT INTO ACCOUNT (Id_File, Title, Count, IncCount) "
                   "VALUES (1, 'Eau', 10, 1)"));
    m_account = Scalar(m_db.connection(), "SELECT MAX(Id) FROM ACCOUNT").toInt();
    // As the main window leaves Consumption once the account is selected.
    DataSet& c = m_dm->Consumption();
    ReplaceWhereLine(c, QString("WHERE Id_Account=%1").arg(m_account));
    c.open();
}

void TestTEnterConsumption::cleanup()
{
    m_dm.reset();
    m_db.release();
    QLocale::setDefault(m_locale);
}

int TestTEnterConsumption::addEntry(const QString& date, double quantity, double price)
{
    QSqlQuery q(m_db.connection().database());
    q.prepare("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, Price) "
              "VALUES (1, ?, ?, ?, ?)");
    q.addBindValue(m_account);
    q.addBindValue(date);
    q.addBindValue(quantity);
    q.addBindValue(price);
    if (!q.exec())
        return -1;
    ReopenKeepingRow(m_dm->Consumption());
    return Scalar(m_db.connection(), "SELECT MAX(Id) FROM CONSUMPTION").toInt();
}

void TestTEnterConsumption::counterFollowsTheEntriesThroughTheDialog()
{
    QString shownDate;
    QVERIFY(addThrough([&](TEnterConsumption* dialog) {
        shownDate = dialog->Ed_Event_Date->text();
        Retype(dialog->DBEdit1, "5");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(shownDate, QString("05/03/2008"));
    QCOMPARE(counter(), 15.0);
    QVERIFY(editThrough([&](TEnterConsumption* dialog) {
        QCOMPARE(dialog->DBEdit1->text(), QString("5"));
        Retype(dialog->DBEdit1, "2");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(counter(), 12.0);
    m_prompts.yesNoAnswers.enqueue(true);
    QVERIFY(DeleteEntry(*m_dm, m_account, m_prompts, {}));
    QCOMPARE(counter(), 10.0);
    QCOMPARE(Scalar(m_db.connection(), "SELECT COUNT(*) FROM CONSUMPTION").toInt(), 0);
}

void TestTEnterConsumption::numbersTakeEitherSeparator_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("quantity, comma") << "DBEdit1"
                                     << "12,5";
    QTest::newRow("quantity, point") << "DBEdit1"
                                     << "12.5";
    QTest::newRow("amount, comma") << "DBEdit2"
                                   << "12,5";
    QTest::newRow("amount, point") << "DBEdit2"
                                   << "12.5";
}

void TestTEnterConsumption::numbersTakeEitherSeparator()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QVERIFY(addThrough([&](TEnterConsumption* dialog) {
        Retype(dialog->findChild<QLineEdit*>(field), typed);
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(storedEntry(field == "DBEdit1" ? "Quantity" : "Price").toDouble(), 12.5);
    QVERIFY(m_prompts.shown.isEmpty());
}

void TestTEnterConsumption::notANumberKeepsTheDialogOpen_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("quantity") << "DBEdit1";
    QTest::newRow("amount") << "DBEdit2";
}

void TestTEnterConsumption::notANumberKeepsTheDialogOpen()
{
    QFETCH(QString, field);
    const QString before = DumpTables(m_db.connection());
    bool open = false;
    QString after;
    QVERIFY(addThrough([&](TEnterConsumption* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(field);
        Retype(edit, "abc");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
        open = dialog->isVisible();
        after = DumpTables(m_db.connection());
        Retype(edit, "3");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QVERIFY(open);
    QCOMPARE(after, before);
    QCOMPARE(m_prompts.texts(), QStringList("'abc' n'est pas une valeur numérique correcte."));
    QCOMPARE(m_prompts.shown.first().icon, Prompts::Icon::Error);
    QCOMPARE(storedEntry(field == "DBEdit1" ? "Quantity" : "Price").toDouble(), 3.0);
    QCOMPARE(counter(), field == "DBEdit1" ? 13.0 : 10.0);
}

void TestTEnterConsumption::invalidDateStoresToday()
{
    addEntry("2008-01-10", 1, 0);
    QVERIFY(editThrough([&](TEnterConsumption* dialog) {
        QCOMPARE(dialog->Ed_Event_Date->text(), QString("10/01/2008"));
        Retype(dialog->Ed_Event_Date, "31/02/2008");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(storedEntry("DateAction").toString().left(10), QString("2008-03-05"));
    QVERIFY(m_prompts.shown.isEmpty());
}

void TestTEnterConsumption::enterOpensTheCalendarUnderTheDate_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("date") << "Ed_Event_Date";
    QTest::newRow("quantity") << "DBEdit1";
    QTest::newRow("amount") << "DBEdit2";
}

void TestTEnterConsumption::enterOpensTheCalendarUnderTheDate()
{
    QFETCH(QString, field);
    QLineEdit* target = nullptr;
    QPoint placed, expected;
    QVERIFY(addThrough([&](TEnterConsumption* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(field);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QPointer<TSelectDate> calendar;
        QTRY_VERIFY((calendar = dialog->findChild<TSelectDate*>()) != nullptr &&
                    calendar->isVisible());
        QVERIFY(dialog->isVisible()); // Enter did not confirm the dialog
        target = calendar->target();
        placed = calendar->pos();
        expected = dialog->Ed_Event_Date->mapToGlobal(QPoint(0, 15));
        QCOMPARE(calendar->MonthCalendar->selectedDate(), QDate(2008, 3, 5));
        calendar->MonthCalendar->setSelectedDate(QDate(2008, 2, 29));
        QTest::mouseClick(calendar->Btn_Ok, Qt::LeftButton);
        QTRY_VERIFY(!calendar);
        QCOMPARE(dialog->Ed_Event_Date->text(), QString("29/02/2008"));
        if (field == "Ed_Event_Date")
            Grab(dialog, "TEnterConsumption_Calendar");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QVERIFY(target != nullptr);
    QCOMPARE(target->objectName(), QString("Ed_Event_Date"));
    QCOMPARE(placed, expected);
    QCOMPARE(storedEntry("DateAction").toString().left(10), QString("2008-02-29"));
}

void TestTEnterConsumption::leavingANewEntryChangesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel") << "Btn_Cancel";
    QTest::newRow("close box") << "SysExitBtn";
    QTest::newRow("escape") << "Escape";
}

void TestTEnterConsumption::leavingANewEntryChangesNothing()
{
    QFETCH(QString, how);
    const int first = addEntry("2008-01-10", 1, 0);
    const QString before = DumpTables(m_db.connection());
    QVERIFY(!addThrough([&](TEnterConsumption* dialog) {
        Retype(dialog->DBEdit1, "5");
        Retype(dialog->DBEdit2, "7,25");
        dialog->DBMemo1->setPlainText("Relevé");
        if (how == "Escape")
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(dialog->findChild<QAbstractButton*>(how), Qt::LeftButton);
    }));
    QCOMPARE(DumpTables(m_db.connection()), before);
    QCOMPARE(counter(), 10.0);
    DataSet& c = m_dm->Consumption();
    QCOMPARE(c.state(), DataSetState::Browsing);
    QCOMPARE(c.recordCount(), 1);
    QCOMPARE(c.fieldByName("Id").asInteger(), first);
}

void TestTEnterConsumption::descriptionStopsAt255Characters()
{
    QVERIFY(addThrough([&](TEnterConsumption* dialog) {
        dialog->DBMemo1->setFocus();
        QTest::keyClicks(dialog->DBMemo1, QString(250, u'a'));
        QTest::keyClick(dialog->DBMemo1, Qt::Key_Return);
        QTest::keyClicks(dialog->DBMemo1, QString(10, u'b'));
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    // The line break is stored as CR LF: two of the 255 characters.
    QCOMPARE(storedEntry("Description").toString(), QString(250, u'a') + "\r\n" + QString(3, u'b'));
    QVERIFY(m_prompts.shown.isEmpty());
}

void TestTEnterConsumption::fieldsShowTheirEditFormats()
{
    FieldDisplay quantity = m_dm->Consumption().fieldDisplay("Quantity");
    quantity.editFormat = "#######0.00";
    m_dm->Consumption().setFieldDisplay("Quantity", quantity);
    addEntry("2008-01-10", 12.5, 3);
    QStringList shown;
    QVERIFY(!editThrough([&](TEnterConsumption* dialog) {
        shown << dialog->windowTitle() << dialog->Title->text() << dialog->DBEdit1->text()
              << dialog->DBEdit2->text();
        dialog->DBMemo1->setPlainText("Relevé du compteur\nà la cave");
        Grab(dialog, "TEnterConsumption");
        QTest::mouseClick(dialog->Btn_Cancel, Qt::LeftButton);
    }));
    QCOMPARE(shown, QStringList({"Saisie d'une consommation", "  Saisie d'une consommation",
                                 "12,50", "3,000"}));
}

QTEST_MAIN(TestTEnterConsumption)
#include "tst_TEnterConsumption.moc"
