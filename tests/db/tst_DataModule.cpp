// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Error.h"
#include "db/Compaction.h"
#include "db/DataSetOps.h"
#include "db/TDataModule1.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

class TestDataModule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void opensWithItsStatements();
    void refusedConnectionIsReportedNotThrown_data();
    void refusedConnectionIsReportedNotThrown();
    void damagedFileIsRefusedBeforeAnythingIsWritten_data();
    void damagedFileIsRefusedBeforeAnythingIsWritten();
    void refusalPointsAtADatabaseLeftAside();
    void absentDatabaseOpensNothing();
    void consumptionClosedStateOpensEmpty();
    void dossierWithoutAccountsIsDeleted();
    void dossierCascadeDeletesItsOwnDataOnly();
    void cascadeErrorKeepsTheDossierRow();
    void pictureHookCanBeReplaced();

private:
    DatabaseConfig config() const;
    qint64 addDossier(TDataModule1& dm, const QString& name);
    qint64 addAccount(TDataModule1& dm, qint64 dossier, const QString& title);
    void addEntry(TDataModule1& dm, qint64 dossier, qint64 account);
    int count(TDataModule1& dm, const QString& where);

    SchemaCopy m_db;
    ScriptedPrompts m_prompts;
};

void TestDataModule::initTestCase_data()
{
    AddProviderRows();
}

void TestDataModule::initTestCase()
{
    m_db.prepare();
}

void TestDataModule::init()
{
    QVERIFY(m_db.copyTo(QStringLiteral("Access/TILVO.MDB")));
    for (const char* sub : {"Images", "Files"})
        QDir().mkpath(m_db.folder() + QLatin1String(sub));
    m_prompts = ScriptedPrompts();
}

void TestDataModule::cleanup()
{
    m_db.release();
}

DatabaseConfig TestDataModule::config() const
{
    QFETCH_GLOBAL(bool, odbc);
    DatabaseConfig c;
    c.DatabasePath = m_db.folder();
    c.DatabaseFolder = c.DatabasePath;
    c.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
    c.OdbcPath = c.OleDbFileName;
    c.Provider = odbc ? QStringLiteral("ODBC") : QStringLiteral("OLEDB");
    c.ActiveDatabaseFile = c.OleDbFileName;
    if (odbc && QFileInfo::exists(c.databaseFile()))
        c.OdbcName = OdbcSandbox::instance().registerFile(c.databaseFile());
    return c;
}

qint64 TestDataModule::addDossier(TDataModule1& dm, const QString& name)
{
    DataSet& m = dm.MainFile();
    m.open();
    m.append();
    m.fieldByName(QStringLiteral("LoginName")).setText(name);
    m.post();
    const qint64 id = m.fieldByName(QStringLiteral("ID")).asInteger();
    m.close();
    return id;
}

qint64 TestDataModule::addAccount(TDataModule1& dm, qint64 dossier, const QString& title)
{
    DataSet& a = dm.Account();
    ReplaceWhereLine(a, QStringLiteral("WHERE Id_File=") + QString::number(dossier));
    a.open();
    a.append();
    a.fieldByName(QStringLiteral("Id_File")).setInteger(dossier);
    a.fieldByName(QStringLiteral("Title")).setText(title);
    a.post();
    const qint64 id = a.fieldByName(QStringLiteral("Id")).asInteger();
    a.close();
    WriteFile(dm.accountPicturePath(id), "jpeg");
    return id;
}

void TestDataModule::addEntry(TDataModule1& dm, qint64 dossier, qint64 account)
{
    ExecSql(dm.Query(),
            QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity) "
                           "VALUES (%1, %2, #1/1/2008#, 1)")
                .arg(dossier)
                .arg(account));
}

int TestDataModule::count(TDataModule1& dm, const QString& from)
{
    DataSet& q = dm.Query();
    q.setSqlText(QStringLiteral("SELECT COUNT(*) FROM ") + from);
    q.open();
    const int n = int(q.field(0).asInteger());
    q.close();
    return n;
}

void TestDataModule::opensWithItsStatements()
{
    TDataModule1 dm(config(), m_prompts);
    QVERIFY(dm.connectionOk());
    QVERIFY(m_prompts.shown.isEmpty());
    QVERIFY(dm.ADOConnection1().isOpen());
    QCOMPARE(dm.Account().sql(), QStringList({"SELECT * FROM ACCOUNT", "WHERE ID_FILE=-1",
                                              "ORDER BY TITLE, DESCRIPTION"}));
    QCOMPARE(dm.Consumption().sql(),
             QStringList({"SELECT * FROM CONSUMPTION", "WHERE ID_FILE=-1", "ORDER BY DATEACTION"}));
    QCOMPARE(dm.ComboItems().sqlText(), QStringLiteral("SELECT * FROM COMBOITEMS\r\n"));
    QCOMPARE(dm.Backup().sqlText(), QStringLiteral("SELECT * FROM BACKUP\r\n"));
    QCOMPARE(dm.MainFile().name(), QStringLiteral("MainFile"));
    dm.MainFile().open();
    QCOMPARE(dm.MainFile().fieldNames(),
             QStringList({"ID", "FullName", "LoginName", "LoginPassword", "Administrator", "Image",
                          "Color", "Size"}));
    dm.Backup().open();
    QCOMPARE(dm.Backup().fieldByName(QStringLiteral("Path")).displayLabel(),
             QStringLiteral("Fichier de sauvegarde"));
    QCOMPARE(&dm.DSBackup().dataSet(), &dm.Backup());
    QCOMPARE(dm.DSBackup().state(), DataSetState::Browsing);
    QCOMPARE(dm.accountPicturePath(12), m_db.folder() + QStringLiteral("Images/Account12.jpg"));
}

void TestDataModule::refusedConnectionIsReportedNotThrown_data()
{
    QTest::addColumn<QString>("provider");
    QTest::addColumn<bool>("damaged");
    QTest::newRow("damaged file") << QString() << true;
    QTest::newRow("unknown provider") << "ADO" << false;
}

void TestDataModule::refusedConnectionIsReportedNotThrown()
{
    QFETCH(QString, provider);
    QFETCH(bool, damaged);
    const QString file = m_db.file();
    if (damaged)
        WriteFile(file, QByteArray(4096, 'x'));
    DatabaseConfig c = config();
    if (!provider.isEmpty())
        c.Provider = provider;
    TDataModule1 dm(c, m_prompts);
    QVERIFY(!dm.connectionOk());
    QCOMPARE(m_prompts.shown.size(), 1);
    QCOMPARE(m_prompts.shown.first().icon, Prompts::Icon::None);
    QVERIFY(!dm.ADOConnection1().isOpen());
    if (damaged) {
        QVERIFY2(m_prompts.shown.first().text.contains(QLatin1String("not a database")),
                 qPrintable(m_prompts.shown.first().text));
        QCOMPARE(ReadFile(file), QByteArray(4096, 'x'));
    }
}

void TestDataModule::damagedFileIsRefusedBeforeAnythingIsWritten_data()
{
    AddDamageRows();
}

void TestDataModule::damagedFileIsRefusedBeforeAnythingIsWritten()
{
    QFETCH(Damage, damage);
    QFETCH(QString, expected);
    const QString file = m_db.file();
    {
        // Rows on every page the damage reaches.
        TDataModule1 dm(config(), m_prompts);
        const qint64 d = addDossier(dm, QStringLiteral("Maison"));
        for (int i = 0; i < 40; ++i)
            addAccount(dm, d, QStringLiteral("Compte %1").arg(i));
    }
    const QByteArray bytes = Damaged(ReadFile(file), damage);
    WriteFile(file, bytes);
    TDataModule1 dm(config(), m_prompts);
    QVERIFY(!dm.connectionOk());
    QVERIFY(!dm.ADOConnection1().isOpen());
    QCOMPARE(m_prompts.shown.size(), 1);
    const QString text = m_prompts.shown.first().text;
    QVERIFY2(text.contains(expected), qPrintable(text));
    QVERIFY2(text.contains(file), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Restaurez une sauvegarde")), qPrintable(text));
    QCOMPARE(ReadFile(file), bytes);
    QVERIFY(!QFileInfo::exists(file + QStringLiteral("-journal")));
}

void TestDataModule::refusalPointsAtADatabaseLeftAside()
{
    // Stopped while writing the compacted copy: a cut live file, the database as it was aside.
    const QString moved = MovedAsideName(m_db.file());
    QVERIFY(QFile::copy(m_db.file(), moved));
    WriteFile(m_db.file(), ReadFile(moved).left(8192));
    TDataModule1 dm(config(), m_prompts);
    QVERIFY(!dm.connectionOk());
    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY2(m_prompts.shown.first().text.endsWith(
                 QStringLiteral("\rLe fichier %1, laissé par un compactage interrompu, contient "
                                "peut-être la base de données telle qu'elle était avant ce "
                                "compactage.")
                     .arg(moved)),
             qPrintable(m_prompts.shown.first().text));
}

void TestDataModule::absentDatabaseOpensNothing()
{
    QFile::remove(m_db.file());
    TDataModule1 dm(config(), m_prompts);
    QVERIFY(dm.connectionOk());
    QVERIFY(!dm.ADOConnection1().isOpen());
    QVERIFY(m_prompts.shown.isEmpty());
    QVERIFY(!DatabaseFilePresent(dm.config()));
}

void TestDataModule::consumptionClosedStateOpensEmpty()
{
    TDataModule1 dm(config(), m_prompts);
    const qint64 d = addDossier(dm, QStringLiteral("Maison"));
    const qint64 a = addAccount(dm, d, QStringLiteral("Eau"));
    addEntry(dm, d, a);
    ReplaceWhereLine(dm.Consumption(), QStringLiteral("WHERE Id_Account=-1"));
    dm.Consumption().open();
    QVERIFY(IsEmptyDataSet(dm.Consumption()));
    ReplaceWhereLine(dm.Consumption(), QStringLiteral("WHERE Id_Account=") + QString::number(a));
    dm.Consumption().open();
    QCOMPARE(dm.Consumption().recordCount(), 1);
}

void TestDataModule::dossierWithoutAccountsIsDeleted()
{
    TDataModule1 dm(config(), m_prompts);
    const qint64 d = addDossier(dm, QStringLiteral("Vide"));
    DataSet& m = dm.MainFile();
    m.open();
    QVERIFY(m.locate(QStringLiteral("ID"), d));
    m.remove();
    m.close();
    QCOMPARE(count(dm, QStringLiteral("PROFILES")), 0);
    QCOMPARE(dm.Account().sql().at(1), QStringLiteral("WHERE Id_File=") + QString::number(d));
}

void TestDataModule::dossierCascadeDeletesItsOwnDataOnly()
{
    TDataModule1 dm(config(), m_prompts);
    const qint64 gone = addDossier(dm, QStringLiteral("Maison"));
    const qint64 kept = addDossier(dm, QStringLiteral("Bureau"));
    const qint64 a1 = addAccount(dm, gone, QStringLiteral("Eau"));
    const qint64 a2 = addAccount(dm, gone, QStringLiteral("Gaz"));
    const qint64 other = addAccount(dm, kept, QStringLiteral("Eau"));
    addEntry(dm, gone, a1);
    addEntry(dm, gone, a2);
    addEntry(dm, kept, other);
    for (const char* t : {"CUSTOMLAB", "COMBOITEMS"})
        for (qint64 d : {gone, kept})
            ExecSql(dm.Query(), QStringLiteral("INSERT INTO %1 (Id_File) VALUES (%2)")
                                    .arg(QLatin1String(t))
                                    .arg(d));
    // A pick-list row of the program has no dossier and outlives every dossier.
    ExecSql(dm.Query(), QStringLiteral("INSERT INTO COMBOITEMS (Account_Unit) VALUES ('kWh')"));
    for (const char* t : {"BIT", "INT", "MEMO", "OLE", "REAL", "STR"})
        for (qint64 d : {gone, kept})
            ExecSql(dm.Query(), QStringLiteral("INSERT INTO OBJECT_VAL_%1 (ID_CLASS, ID_ATTRIBUTE, "
                                               "USERID) VALUES (1, 1, %2)")
                                    .arg(QLatin1String(t))
                                    .arg(d));

    DataSet& m = dm.MainFile();
    m.open();
    QVERIFY(m.locate(QStringLiteral("ID"), gone));
    m.remove();
    m.close();

    QCOMPARE(count(dm, QStringLiteral("PROFILES")), 1);
    QCOMPARE(count(dm, QStringLiteral("ACCOUNT")), 1);
    QCOMPARE(count(dm, QStringLiteral("CONSUMPTION WHERE Id_File=") + QString::number(kept)), 1);
    QCOMPARE(count(dm, QStringLiteral("CONSUMPTION")), 1);
    QCOMPARE(count(dm, QStringLiteral("CUSTOMLAB")), 1);
    QCOMPARE(count(dm, QStringLiteral("COMBOITEMS")), 2);
    for (const char* t : {"BIT", "INT", "MEMO", "OLE", "REAL", "STR"})
        QCOMPARE(count(dm, QStringLiteral("OBJECT_VAL_") + QLatin1String(t)), 1);
    QVERIFY(!QFileInfo::exists(dm.accountPicturePath(a1)));
    QVERIFY(!QFileInfo::exists(dm.accountPicturePath(a2)));
    QVERIFY(QFileInfo::exists(dm.accountPicturePath(other)));
}

void TestDataModule::cascadeErrorKeepsTheDossierRow()
{
    TDataModule1 dm(config(), m_prompts);
    const qint64 d = addDossier(dm, QStringLiteral("Maison"));
    const qint64 a = addAccount(dm, d, QStringLiteral("Eau"));
    addEntry(dm, d, a);
    ExecSql(dm.Query(), QStringLiteral("DROP TABLE CUSTOMLAB"));
    DataSet& m = dm.MainFile();
    m.open();
    QVERIFY(m.locate(QStringLiteral("ID"), d));
    try {
        m.remove();
        QFAIL("deleted");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("no such table: CUSTOMLAB"));
    }
    m.close();
    QCOMPARE(count(dm, QStringLiteral("PROFILES")), 1);
    // What went before the failing statement stays deleted.
    QCOMPARE(count(dm, QStringLiteral("ACCOUNT")), 0);
    QCOMPARE(count(dm, QStringLiteral("CONSUMPTION")), 0);
}

void TestDataModule::pictureHookCanBeReplaced()
{
    TDataModule1 dm(config(), m_prompts);
    const qint64 d = addDossier(dm, QStringLiteral("Maison"));
    const qint64 a = addAccount(dm, d, QStringLiteral("Eau"));
    QStringList asked;
    dm.setPictureFileDeleter([&asked](const QString& path) { asked << path; });
    DataSet& account = dm.Account();
    ReplaceWhereLine(account, QStringLiteral("WHERE Id_File=") + QString::number(d));
    account.open();
    account.remove();
    account.close();
    QCOMPARE(asked, QStringList({dm.accountPicturePath(a)}));
    QVERIFY(QFileInfo::exists(dm.accountPicturePath(a)));
}

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_DataModule.moc"
