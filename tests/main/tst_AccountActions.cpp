// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/DbTestSupport.h"
#include "db/TDataModule1.h"
#include "db/TableDump.h"
#include "main/AccountActions.h"
#include "main/AccountEntry.h"
#include "main/MainWindowHooks.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QSqlQuery>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

// Creating, editing and deleting accounts with the dialog played by the test, through both
// providers.
class TestAccountActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void newAccountHasEveryDefault();
    void cancellingANewAccountLeavesNoTrace();
    void editingConfirmsOrDiscards_data();
    void editingConfirmsOrDiscards();
    void editingAnAccountThatIsGoneOpensNothing();
    void codesAreStoredBackAsRead_data();
    void codesAreStoredBackAsRead();
    void deletingRemovesTheAccountItsEntriesAndPicture();
    void declinedDeletionChangesNothing();
    void failingDeletionKeepsTheAccountWithItsEntries();

private:
    int addAccount(const QString& title, int dossier = 1);
    void addEntries(int account, int count);
    QVariant stored(const QString& select) { return Scalar(m_db.connection(), select); }
    MainWindowHooks recordingHooks();
    // The dialog confirmed with `title` typed, as " &Ok" does it.
    AccountDialog confirmWithTitle(const QString& title);

    SchemaCopy m_db;
    ScriptedPrompts m_prompts;
    FixedClock m_clock{QDateTime(QDate(2008, 3, 5), QTime(10, 0))};
    std::unique_ptr<TDataModule1> m_dm;
    QStringList m_calls;
};

void TestAccountActions::initTestCase_data()
{
    AddProviderRows();
}

void TestAccountActions::initTestCase()
{
    m_db.prepare();
}

void TestAccountActions::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo("Access/TILVO.MDB"));
    QVERIFY(QDir().mkpath(m_db.folder() + "Images"));
    m_prompts = ScriptedPrompts();
    m_calls.clear();
    m_dm = std::make_unique<TDataModule1>(DataModuleConfig(m_db, odbc), m_prompts);
    QVERIFY(m_dm->connectionOk());
    m_db.open(false);
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
    QVERIFY(q.exec("INSERT INTO PROFILES (LoginName) VALUES ('Bureau')"));
}

void TestAccountActions::cleanup()
{
    m_dm.reset();
    m_db.release();
}

int TestAccountActions::addAccount(const QString& title, int dossier)
{
    QSqlQuery q(m_db.connection().database());
    q.prepare("INSERT INTO ACCOUNT (Id_File, Title, Count, IncCount, PeriodType, StatType, "
              "ValueType, Color) VALUES (?, ?, 0, 0, 0, 1, 0, 255)");
    q.addBindValue(dossier);
    q.addBindValue(title);
    if (!q.exec())
        return -1;
    return stored("SELECT MAX(Id) FROM ACCOUNT").toInt();
}

void TestAccountActions::addEntries(int account, int count)
{
    QSqlQuery q(m_db.connection().database());
    for (int i = 0; i < count; ++i)
        QVERIFY(
            q.exec(QString("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity) "
                           "VALUES (1, %1, '2008-01-%2', 1)")
                       .arg(account)
                       .arg(i + 1, 2, 10, QLatin1Char('0'))));
}

MainWindowHooks TestAccountActions::recordingHooks()
{
    MainWindowHooks hooks;
    hooks.ComputeStatistic = [this] { m_calls << "statistic"; };
    hooks.RefreshAccountEntry = [this](int id) { m_calls << QString("entry %1").arg(id); };
    hooks.RebuildAccountList = [this](int id) { m_calls << QString("rebuild %1").arg(id); };
    hooks.SelectCurrentAccount = [this] { m_calls << "select"; };
    hooks.RefreshCommands = [this] { m_calls << "commands"; };
    return hooks;
}

AccountDialog TestAccountActions::confirmWithTitle(const QString& title)
{
    return [this, title](bool) {
        DataSet& account = m_dm->Account();
        account.fieldByName("Title").setText(title);
        ConfirmAccount(m_dm->DSAccount(), account, ReadAccountCodes(account));
        return true;
    };
}

void TestAccountActions::newAccountHasEveryDefault()
{
    bool asNew = false;
    DataSetState state = DataSetState::Inactive;
    qint64 idDuringDialog = -1;
    const AccountDialog dialog = [&](bool isNew) {
        asNew = isNew;
        state = m_dm->Account().state();
        idDuringDialog = m_dm->Account().fieldByName("Id").asInteger();
        return confirmWithTitle("Eau")(isNew);
    };
    const int id = AddAccount(*m_dm, 1, m_clock, dialog, recordingHooks());
    QVERIFY(id > 0);
    QVERIFY(asNew);
    // Posted before the dialog, so it has its id, and edited again.
    QCOMPARE(state, DataSetState::Editing);
    QCOMPARE(idDuringDialog, qint64(id));
    QCOMPARE(m_calls, QStringList({QString("rebuild %1").arg(id), "commands"}));
    QVERIFY(!m_dm->Account().isActive());

    const QString row = QString(" FROM ACCOUNT WHERE Id=%1").arg(id);
    QCOMPARE(stored("SELECT Id_File" + row).toInt(), 1);
    QCOMPARE(stored("SELECT Title" + row).toString(), QString("Eau"));
    QCOMPARE(stored("SELECT Count" + row).toDouble(), 0.0);
    QCOMPARE(stored("SELECT IncCount" + row).toInt(), 0);
    QCOMPARE(stored("SELECT CreateDate" + row).toString().left(10), QString("2008-03-05"));
    QCOMPARE(stored("SELECT PeriodType" + row).toInt(), 0);
    QCOMPARE(stored("SELECT StatType" + row).toInt(), 1);
    QCOMPARE(stored("SELECT ValueType" + row).toInt(), 0);
    QCOMPARE(stored("SELECT Color" + row).toInt(), 255);
    QCOMPARE(stored("SELECT SetColor" + row).toInt(), 0);
    QCOMPARE(stored("SELECT AllColor" + row).toInt(), 0);
    for (const char* memo : {"Remark1", "Remark2", "Misc11", "Misc12"}) {
        const QVariant v = stored(QString("SELECT ") + memo + row);
        QVERIFY2(!v.isNull() && v.toString().isEmpty(), memo);
    }
    for (const char* empty : {"ImgMini1", "Img1", "ImgMini4", "Img4", "Unit", "Decimal",
                              "Description", "Misc01", "Misc10"})
        QVERIFY2(stored(QString("SELECT ") + empty + row).isNull(), empty);
    // Counter 0 and no unit: the list shows the creation date alone.
    QCOMPARE(AccountInfoLine(QDate(2008, 3, 5), 0, 0, QString()), QString("05/03/2008"));
}

void TestAccountActions::cancellingANewAccountLeavesNoTrace()
{
    addAccount("Gaz");
    const QString before = DumpTables(m_db.connection(), {"sqlite_sequence"});
    QString picture;
    const AccountDialog dialog = [&](bool) {
        DataSet& account = m_dm->Account();
        account.fieldByName("Title").setText("Eau");
        // A picture chosen meanwhile is taken away with the account.
        picture = m_dm->accountPicturePath(int(account.fieldByName("Id").asInteger()));
        WriteFile(picture, "jpeg");
        return false;
    };
    QCOMPARE(AddAccount(*m_dm, 1, m_clock, dialog, recordingHooks()), -1);
    QCOMPARE(DumpTables(m_db.connection(), {"sqlite_sequence"}), before);
    QVERIFY(!QFile::exists(picture));
    QCOMPARE(m_calls, QStringList({"commands"}));
    QVERIFY(!m_dm->Account().isActive());
}

void TestAccountActions::editingConfirmsOrDiscards_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("ok") << true;
    QTest::newRow("cancel") << false;
}

void TestAccountActions::editingConfirmsOrDiscards()
{
    QFETCH(bool, confirm);
    addAccount("Abricot");
    const int id = addAccount("Eau");
    addAccount("Zèbre");
    bool asNew = true;
    QString shown;
    const AccountDialog dialog = [&](bool isNew) {
        asNew = isNew;
        DataSet& account = m_dm->Account();
        shown = account.fieldByName("Title").asText();
        account.fieldByName("Title").setText("Gaz");
        if (!confirm)
            return false;
        ConfirmAccount(m_dm->DSAccount(), account, ReadAccountCodes(account));
        return true;
    };
    QCOMPARE(EditAccount(*m_dm, 1, id, dialog, recordingHooks()), confirm);
    QVERIFY(!asNew);
    QCOMPARE(shown, QString("Eau"));
    QCOMPARE(stored(QString("SELECT Title FROM ACCOUNT WHERE Id=%1").arg(id)).toString(),
             confirm ? QString("Gaz") : QString("Eau"));
    QCOMPARE(stored("SELECT COUNT(*) FROM ACCOUNT").toInt(), 3);
    QStringList expected = {"commands", "select", "commands"};
    if (confirm)
        expected.prepend(QString("entry %1").arg(id));
    QCOMPARE(m_calls, expected);
    QVERIFY(!m_dm->Account().isActive());
}

void TestAccountActions::editingAnAccountThatIsGoneOpensNothing()
{
    const int other = addAccount("Bureau", 2);
    bool opened = false;
    const AccountDialog dialog = [&](bool) { return opened = true; };
    QVERIFY(!EditAccount(*m_dm, 1, 999, dialog, recordingHooks()));
    // An account of another dossier is not this dossier's to edit.
    QVERIFY(!EditAccount(*m_dm, 1, other, dialog, recordingHooks()));
    QVERIFY(!EditAccount(*m_dm, 1, -1, dialog, recordingHooks()));
    QVERIFY(!opened);
    QVERIFY(m_calls.isEmpty());
    QVERIFY(!m_dm->Account().isActive());
}

void TestAccountActions::codesAreStoredBackAsRead_data()
{
    QTest::addColumn<int>("periodType");
    QTest::addColumn<int>("statType");
    QTest::addColumn<int>("valueType");
    QTest::newRow("dates, simple line, amount") << 3 << 6 << 1;
    QTest::newRow("month, 3D line, quantity") << 0 << 1 << 0;
    QTest::newRow("codes outside their lists") << 7 << 9 << -1;
}

void TestAccountActions::codesAreStoredBackAsRead()
{
    QFETCH(int, periodType);
    QFETCH(int, statType);
    QFETCH(int, valueType);
    const int id = addAccount("Eau");
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec(QString("UPDATE ACCOUNT SET PeriodType=%1, StatType=%2, ValueType=%3, "
                           "Color=%4 WHERE Id=%5")
                       .arg(periodType)
                       .arg(statType)
                       .arg(valueType)
                       .arg(0x00804020)
                       .arg(id)));
    AccountCodes read;
    const AccountDialog dialog = [&](bool) {
        read = ReadAccountCodes(m_dm->Account());
        ConfirmAccount(m_dm->DSAccount(), m_dm->Account(), read);
        return true;
    };
    QVERIFY(EditAccount(*m_dm, 1, id, dialog, {}));
    QCOMPARE(read.periodTypeIndex, periodType);
    QCOMPARE(read.statTypeIndex, statType - 1);
    QCOMPARE(read.valueTypeIndex, valueType);
    QCOMPARE(read.color, qint64(0x00804020));
    const QString row = QString(" FROM ACCOUNT WHERE Id=%1").arg(id);
    QCOMPARE(stored("SELECT PeriodType" + row).toInt(), periodType);
    QCOMPARE(stored("SELECT StatType" + row).toInt(), statType);
    QCOMPARE(stored("SELECT ValueType" + row).toInt(), valueType);
    QCOMPARE(stored("SELECT Color" + row).toInt(), 0x00804020);
}

void TestAccountActions::deletingRemovesTheAccountItsEntriesAndPicture()
{
    const int kept = addAccount("Gaz");
    const int id = addAccount("Eau");
    addEntries(kept, 2);
    addEntries(id, 3);
    WriteFile(m_dm->accountPicturePath(kept), "kept");
    WriteFile(m_dm->accountPicturePath(id), "jpeg");
    m_prompts.yesNoAnswers.enqueue(true);
    QVERIFY(DeleteAccount(*m_dm, 1, id, m_prompts, recordingHooks()));
    QCOMPARE(m_prompts.texts(), QStringList("Confirmez-vous la suppression de ce compte?"));
    QCOMPARE(m_prompts.shown.first().icon, Prompts::Icon::Question);
    QCOMPARE(stored(QString("SELECT COUNT(*) FROM ACCOUNT WHERE Id=%1").arg(id)).toInt(), 0);
    QCOMPARE(
        stored(QString("SELECT COUNT(*) FROM CONSUMPTION WHERE Id_Account=%1").arg(id)).toInt(), 0);
    QCOMPARE(
        stored(QString("SELECT COUNT(*) FROM CONSUMPTION WHERE Id_Account=%1").arg(kept)).toInt(),
        2);
    QVERIFY(!QFile::exists(m_dm->accountPicturePath(id)));
    QVERIFY(QFile::exists(m_dm->accountPicturePath(kept)));
    QCOMPARE(m_calls, QStringList({"rebuild -1", "commands"}));
    QVERIFY(!m_dm->Account().isActive());
}

void TestAccountActions::declinedDeletionChangesNothing()
{
    const int id = addAccount("Eau");
    addEntries(id, 3);
    WriteFile(m_dm->accountPicturePath(id), "jpeg");
    const QString before = DumpTables(m_db.connection());
    m_prompts.yesNoAnswers.enqueue(false);
    QVERIFY(!DeleteAccount(*m_dm, 1, id, m_prompts, recordingHooks()));
    QCOMPARE(DumpTables(m_db.connection()), before);
    QVERIFY(QFile::exists(m_dm->accountPicturePath(id)));
    QCOMPARE(m_calls, QStringList({"commands"}));
}

void TestAccountActions::failingDeletionKeepsTheAccountWithItsEntries()
{
    const int id = addAccount("Eau");
    addEntries(id, 3);
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE DELETE ON CONSUMPTION "
                   "BEGIN SELECT RAISE(ABORT, 'relevés verrouillés'); END"));
    q.finish();
    const QString before = DumpTables(m_db.connection());
    m_prompts.yesNoAnswers.enqueue(true);
    QVERIFY_THROWS_EXCEPTION(Error, DeleteAccount(*m_dm, 1, id, m_prompts, recordingHooks()));
    // The row and its entries go together or not at all.
    QCOMPARE(DumpTables(m_db.connection()), before);
    // The enabling pass still runs, before the error is shown.
    QCOMPARE(m_calls, QStringList({"commands"}));
    QVERIFY(!m_dm->Account().isActive());
}

QTEST_GUILESS_MAIN(TestAccountActions)
#include "tst_AccountActions.moc"
