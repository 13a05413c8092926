// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/DbTestSupport.h"
#include "db/TDataModule1.h"
#include "db/TableDump.h"
#include "main/ConsumptionActions.h"
#include "main/MainWindowHooks.h"
#include "support/ScriptedPrompts.h"

#include <QDir>
#include <QSqlQuery>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

// Adding, changing and deleting entries with the counter following them, the dialog played
// by the test, through both providers.
class TestConsumptionActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void counterFollowsTheEntries_data();
    void counterFollowsTheEntries();
    void counterNeverGoesBelowZero();
    void switchingIncCountOnKeepsTheCounter();
    void cancellingANewEntryChangesNothing();
    void cancellingAChangeKeepsTheEntryAndTheRow();
    void invalidDateBecomesToday_data();
    void invalidDateBecomesToday();
    void editingWithoutEntriesOpensNothing();
    void declinedDeletionChangesNothing();
    void adjustingAMissingAccountChangesNothing();
    void failingCounterKeepsEntryAndCounterTogether_data();
    void failingCounterKeepsEntryAndCounterTogether();

private:
    int addAccount(double count, bool incCount);
    int addEntry(int account, const QString& date, double quantity);
    double counter(int account)
    {
        return Scalar(m_db.connection(),
                      QString("SELECT Count FROM ACCOUNT WHERE Id=%1").arg(account))
            .toDouble();
    }
    int entries() { return Scalar(m_db.connection(), "SELECT COUNT(*) FROM CONSUMPTION").toInt(); }
    void selectAccount(int account);
    MainWindowHooks recordingHooks();
    // The dialog confirmed with this quantity typed, as " &Ok" does it.
    EntryDialog confirmWith(const QString& quantity);

    SchemaCopy m_db;
    ScriptedPrompts m_prompts;
    FixedClock m_clock{QDateTime(QDate(2008, 3, 5), QTime(10, 0))};
    std::unique_ptr<TDataModule1> m_dm;
    QStringList m_calls;
};

void TestConsumptionActions::initTestCase_data()
{
    AddProviderRows();
}

void TestConsumptionActions::initTestCase()
{
    m_db.prepare();
}

void TestConsumptionActions::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo("Access/TILVO.MDB"));
    m_prompts = ScriptedPrompts();
    m_calls.clear();
    m_dm = std::make_unique<TDataModule1>(DataModuleConfig(m_db, odbc), m_prompts);
    QVERIFY(m_dm->connectionOk());
    m_db.open(false);
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
}

void TestConsumptionActions::cleanup()
{
    m_dm.reset();
    m_db.release();
}

int TestConsumptionActions::addAccount(double count, bool incCount)
{
    QSqlQuery q(m_db.connection().database());
    q.prepare("INSERT INTO ACCOUNT (Id_File, Title, Count, IncCount) VALUES (1, 'Eau', ?, ?)");
    q.addBindValue(count);
    q.addBindValue(incCount ? 1 : 0);
    if (!q.exec())
        return -1;
    return Scalar(m_db.connection(), "SELECT MAX(Id) FROM ACCOUNT").toInt();
}

int TestConsumptionActions::addEntry(int account, const QString& date, double quantity)
{
    QSqlQuery q(m_db.connection().database());
    q.prepare("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, Price) "
              "VALUES (1, ?, ?, ?, 0)");
    q.addBindValue(account);
    q.addBindValue(date);
    q.addBindValue(quantity);
    if (!q.exec())
        return -1;
    return Scalar(m_db.connection(), "SELECT MAX(Id) FROM CONSUMPTION").toInt();
}

// As the main window leaves Consumption once an account is selected.
void TestConsumptionActions::selectAccount(int account)
{
    DataSet& c = m_dm->Consumption();
    c.close();
    ReplaceWhereLine(c, QString("WHERE Id_Account=%1").arg(account));
    c.open();
}

MainWindowHooks TestConsumptionActions::recordingHooks()
{
    MainWindowHooks hooks;
    hooks.ComputeStatistic = [this] { m_calls << "statistic"; };
    hooks.RefreshAccountEntry = [this](int id) { m_calls << QString("entry %1").arg(id); };
    hooks.RebuildAccountList = [this](int id) { m_calls << QString("rebuild %1").arg(id); };
    hooks.SelectCurrentAccount = [this] { m_calls << "select"; };
    hooks.RefreshCommands = [this] { m_calls << "commands"; };
    return hooks;
}

EntryDialog TestConsumptionActions::confirmWith(const QString& quantity)
{
    return [this, quantity] {
        DataSet& c = m_dm->Consumption();
        c.fieldByName("Quantity").setText(quantity);
        ConfirmEntry(m_dm->DSConsumption(), c, "05/03/2008", m_clock.today());
        return true;
    };
}

void TestConsumptionActions::counterFollowsTheEntries_data()
{
    QTest::addColumn<bool>("incCount");
    QTest::addColumn<QList<double>>("counters"); // after the add, the change and the deletion
    QTest::newRow("following") << true << QList<double>{15, 12, 10};
    QTest::newRow("not following") << false << QList<double>{10, 10, 10};
}

void TestConsumptionActions::counterFollowsTheEntries()
{
    QFETCH(bool, incCount);
    QFETCH(QList<double>, counters);
    const int account = addAccount(10, incCount);
    addEntry(account, "2008-01-01", 1);
    selectAccount(account);

    QVERIFY(AddEntry(*m_dm, 1, account, m_clock, confirmWith("5"), recordingHooks()));
    QCOMPARE(counter(account), counters.at(0));
    QCOMPARE(m_calls, QStringList({"statistic", QString("entry %1").arg(account), "commands"}));
    DataSet& c = m_dm->Consumption();
    // Reopened on the new entry, dated today.
    QCOMPARE(c.recordCount(), 2);
    QCOMPARE(c.fieldByName("Quantity").asDouble(), 5.0);
    QCOMPARE(c.fieldByName("DateAction").asDate(), QDate(2008, 3, 5));
    QCOMPARE(c.fieldByName("Id_File").asInteger(), 1);
    QCOMPARE(c.fieldByName("Id_Account").asInteger(), account);
    QCOMPARE(c.fieldByName("Price").asDouble(), 0.0);

    m_calls.clear();
    QVERIFY(EditCurrentEntry(*m_dm, account, confirmWith("2"), recordingHooks()));
    QCOMPARE(counter(account), counters.at(1));
    QCOMPARE(m_calls, QStringList({"statistic", QString("entry %1").arg(account), "commands"}));
    QCOMPARE(c.fieldByName("Quantity").asDouble(), 2.0);

    m_calls.clear();
    m_prompts.yesNoAnswers.enqueue(true);
    QVERIFY(DeleteEntry(*m_dm, account, m_prompts, recordingHooks()));
    QCOMPARE(m_prompts.texts(), QStringList("Confirmez-vous la suppression ?"));
    QCOMPARE(m_prompts.shown.first().icon, Prompts::Icon::Question);
    QCOMPARE(counter(account), counters.at(2));
    QCOMPARE(m_calls, QStringList({QString("entry %1").arg(account), "statistic", "commands"}));
    QCOMPARE(entries(), 1);
    QCOMPARE(c.recordCount(), 1);
}

void TestConsumptionActions::counterNeverGoesBelowZero()
{
    const int account = addAccount(3, true);
    addEntry(account, "2008-01-01", 5);
    selectAccount(account);
    m_prompts.yesNoAnswers.enqueue(true);
    QVERIFY(DeleteEntry(*m_dm, account, m_prompts, {}));
    QCOMPARE(counter(account), 0.0);
    QCOMPARE(entries(), 0);
}

void TestConsumptionActions::switchingIncCountOnKeepsTheCounter()
{
    const int account = addAccount(7, false);
    addEntry(account, "2008-01-01", 3);
    addEntry(account, "2008-01-02", 4);
    DataSet& a = m_dm->Account();
    ReplaceWhereLine(a, "WHERE Id_File=1");
    a.open();
    a.edit();
    a.fieldByName("IncCount").setBoolean(true);
    a.post();
    a.close();
    QCOMPARE(counter(account), 7.0);
    selectAccount(account);
    QVERIFY(AddEntry(*m_dm, 1, account, m_clock, confirmWith("1,5"), {}));
    QCOMPARE(counter(account), 8.5);
}

void TestConsumptionActions::cancellingANewEntryChangesNothing()
{
    const int account = addAccount(10, true);
    const int first = addEntry(account, "2008-01-01", 1);
    addEntry(account, "2008-02-01", 2);
    selectAccount(account);
    const QString before = DumpTables(m_db.connection());
    const EntryDialog cancelled = [this] {
        m_dm->Consumption().fieldByName("Quantity").setDouble(5);
        return false;
    };
    QVERIFY(!AddEntry(*m_dm, 1, account, m_clock, cancelled, recordingHooks()));
    QCOMPARE(DumpTables(m_db.connection()), before);
    QCOMPARE(m_calls, QStringList({"commands"}));
    DataSet& c = m_dm->Consumption();
    QCOMPARE(c.state(), DataSetState::Browsing);
    QCOMPARE(c.recordCount(), 2);
    QCOMPARE(c.fieldByName("Id").asInteger(), first);
}

void TestConsumptionActions::cancellingAChangeKeepsTheEntryAndTheRow()
{
    const int account = addAccount(10, true);
    addEntry(account, "2008-01-01", 1);
    const int second = addEntry(account, "2008-02-01", 2);
    addEntry(account, "2008-03-01", 3);
    selectAccount(account);
    DataSet& c = m_dm->Consumption();
    QVERIFY(c.locate("Id", second));
    const QString before = DumpTables(m_db.connection());
    const EntryDialog cancelled = [&] {
        c.fieldByName("Quantity").setDouble(9);
        return false;
    };
    QVERIFY(!EditCurrentEntry(*m_dm, account, cancelled, recordingHooks()));
    QCOMPARE(DumpTables(m_db.connection()), before);
    QCOMPARE(c.state(), DataSetState::Browsing);
    QCOMPARE(c.fieldByName("Id").asInteger(), second);
    QCOMPARE(c.fieldByName("Quantity").asDouble(), 2.0);
    QCOMPARE(m_calls, QStringList({"commands"}));
}

void TestConsumptionActions::invalidDateBecomesToday_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("stored");
    QTest::newRow("no such day") << "31/02/2008" << QDate(2008, 3, 5);
    QTest::newRow("empty") << "" << QDate(2008, 3, 5);
    QTest::newRow("short form") << "1/2/2008" << QDate(2008, 3, 5);
    QTest::newRow("before 1900") << "01/01/1899" << QDate(2008, 3, 5);
    QTest::newRow("valid") << "10/01/2008" << QDate(2008, 1, 10);
}

void TestConsumptionActions::invalidDateBecomesToday()
{
    QFETCH(QString, typed);
    QFETCH(QDate, stored);
    const int account = addAccount(0, false);
    const int id = addEntry(account, "2008-01-10", 1);
    selectAccount(account);
    DataSet& c = m_dm->Consumption();
    c.edit();
    ConfirmEntry(m_dm->DSConsumption(), c, typed, m_clock.today());
    QCOMPARE(c.state(), DataSetState::Browsing);
    QCOMPARE(
        Scalar(m_db.connection(), QString("SELECT DateAction FROM CONSUMPTION WHERE Id=%1").arg(id))
            .toString()
            .left(10),
        stored.toString(Qt::ISODate));
}

void TestConsumptionActions::editingWithoutEntriesOpensNothing()
{
    const int account = addAccount(10, true);
    selectAccount(account);
    bool opened = false;
    const EntryDialog dialog = [&] { return opened = true; };
    QVERIFY(!EditCurrentEntry(*m_dm, account, dialog, recordingHooks()));
    QVERIFY(!opened);
    QCOMPARE(m_dm->Consumption().state(), DataSetState::Browsing);
    QCOMPARE(entries(), 0);
    QCOMPARE(m_calls, QStringList({"commands"}));
}

void TestConsumptionActions::declinedDeletionChangesNothing()
{
    const int account = addAccount(10, true);
    addEntry(account, "2008-01-01", 4);
    selectAccount(account);
    const QString before = DumpTables(m_db.connection());
    m_prompts.yesNoAnswers.enqueue(false);
    QVERIFY(!DeleteEntry(*m_dm, account, m_prompts, recordingHooks()));
    QCOMPARE(DumpTables(m_db.connection()), before);
    QCOMPARE(m_calls, QStringList({"commands"}));
}

void TestConsumptionActions::adjustingAMissingAccountChangesNothing()
{
    const int account = addAccount(10, true);
    const QString before = DumpTables(m_db.connection());
    AdjustCounter(m_dm->Query(), account + 1, 5);
    QCOMPARE(DumpTables(m_db.connection()), before);
    QVERIFY(!m_dm->Query().isActive());
    AdjustCounter(m_dm->Query(), account, -2.5);
    QCOMPARE(counter(account), 7.5);
    QVERIFY(!m_dm->Query().isActive());
}

void TestConsumptionActions::failingCounterKeepsEntryAndCounterTogether_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("add") << "add";
    QTest::newRow("change") << "change";
    QTest::newRow("delete") << "delete";
}

void TestConsumptionActions::failingCounterKeepsEntryAndCounterTogether()
{
    QFETCH(QString, action);
    const int account = addAccount(10, true);
    const int entry = addEntry(account, "2008-01-01", 4);
    selectAccount(account);
    // The engine refuses to change the account from now on.
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE UPDATE ON ACCOUNT "
                   "BEGIN SELECT RAISE(ABORT, 'compte verrouillé'); END"));
    q.finish();
    const QString before = DumpTables(m_db.connection());
    m_prompts.yesNoAnswers.enqueue(true);
    try {
        if (action == "add")
            AddEntry(*m_dm, 1, account, m_clock, confirmWith("5"), recordingHooks());
        else if (action == "change")
            EditCurrentEntry(*m_dm, account, confirmWith("5"), recordingHooks());
        else
            DeleteEntry(*m_dm, account, m_prompts, recordingHooks());
        QFAIL("the engine's refusal did not reach the caller");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains("compte verrouillé"), qPrintable(e.text()));
    }
    QCOMPARE(DumpTables(m_db.connection()), before);
    // The entries show what the database kept, usable at once.
    DataSet& c = m_dm->Consumption();
    QCOMPARE(c.state(), DataSetState::Browsing);
    QCOMPARE(c.recordCount(), 1);
    QCOMPARE(c.fieldByName("Id").asInteger(), entry);
    QCOMPARE(c.fieldByName("Quantity").asDouble(), 4.0);
    QVERIFY(!m_dm->Query().isActive());
    // Nothing was recomputed; the enabling pass still runs before the error is shown.
    QCOMPARE(m_calls, QStringList({"commands"}));
}

QTEST_GUILESS_MAIN(TestConsumptionActions)
#include "tst_ConsumptionActions.moc"
