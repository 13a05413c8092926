// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainTestData.h"
#include "common/Error.h"
#include "db/DataSet.h"
#include "main/DossierDeletion.h"
#include "main/Dossiers.h"
#include "support/RecordingWaitDisplay.h"
#include "support/TestFiles.h"

#include <QFileInfo>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

namespace {

// Names a person may give a dossier, each stored and read back exactly.
const QStringList kNames = {"Maison", "l'appartement \"du bas\"", "N°#2 %&a% 100%",
                            "DROP TABLE PROFILES;--", "Résidence d'été ⛱️ 🏠"};

// What the deletion did to the windows around it.
struct Windows
{
    RecordingWaitDisplay wait;
    QList<bool> enabled;
    int repaints = 0;
    int closed = 0;
    DossierDeletionWindows steps()
    {
        return {wait, [this](bool on) { enabled.append(on); }, [this] { ++repaints; },
                [this] { ++closed; }};
    }
};

// The dossiers of another database file, read on their own connection.
QStringList DossiersIn(const QString& file)
{
    Connection c;
    c.setDatabaseFile(file, true);
    c.open();
    QStringList names;
    QSqlQuery q(c.database());
    q.exec("SELECT LoginName FROM PROFILES ORDER BY ID");
    while (q.next())
        names << q.value(0).toString();
    return names;
}

} // namespace

// The rules of dossier access, run through both providers.
class TestDossiers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { AddProviderRows(); }
    void initTestCase() { m_db.prepare(); }
    void init()
    {
        QFETCH_GLOBAL(bool, odbc);
        m_db.open(odbc);
    }
    void cleanup() { m_db.release(); }

    void passwordsCompareExactly_data();
    void passwordsCompareExactly();
    void startupOpensOnlyAFirstDossierWithoutPassword_data();
    void startupOpensOnlyAFirstDossierWithoutPassword();
    void dossiersListInEngineOrderWithTheirNames();
    void passwordIsReadForTheChosenDossier();
    void createdDossierIsStoredAsTyped();
    void cancelledCreationWritesNothing();
    void editingChangesOnlyThatDossier();
    void editingAMissingDossierChangesNothing();
    void deletionKeepsASafetyCopyOfTheWholeDatabase();
    void failedSafetyCopyStillDeletesAndIsReported();
    void missingDossierIsReportedAndNothingElseDeleted();

private:
    TestDatabase m_db;
};

void TestDossiers::passwordsCompareExactly_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("matches");
    QTest::newRow("same") << "s3cret!"
                          << "s3cret!" << true;
    QTest::newRow("letter case") << "Secret"
                                 << "secret" << false;
    QTest::newRow("accent case") << "Été"
                                 << "été" << false;
    QTest::newRow("trailing blank") << "secret"
                                    << "secret " << false;
    QTest::newRow("prefix") << "secret"
                            << "secre" << false;
    QTest::newRow("emoji") << "🔑clé"
                           << "🔑clé" << true;
}

void TestDossiers::passwordsCompareExactly()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, matches);
    QCOMPARE(PasswordMatches(stored, typed), matches);
}

void TestDossiers::startupOpensOnlyAFirstDossierWithoutPassword_data()
{
    QTest::addColumn<QStringList>("passwords"); // one dossier per password, in table order
    QTest::addColumn<int>("opened");            // the index of the dossier opened, -1 for none
    QTest::newRow("no dossier") << QStringList() << -1;
    QTest::newRow("one without password") << QStringList{""} << 0;
    QTest::newRow("one with password") << QStringList{"x"} << -1;
    QTest::newRow("several, first without") << QStringList{"", "x", ""} << 0;
    QTest::newRow("several, first with") << QStringList{"x", "", ""} << -1;
}

void TestDossiers::startupOpensOnlyAFirstDossierWithoutPassword()
{
    QFETCH(QStringList, passwords);
    QFETCH(int, opened);
    QList<qint64> ids;
    for (int i = 0; i < passwords.size(); ++i)
        ids << m_db.addDossier(kNames.at(i), passwords.at(i));
    DataSet& mainFile = m_db.module().MainFile();
    const std::optional<DossierRef> first = FirstDossierForStartup(mainFile);
    if (opened < 0)
        QVERIFY(!first);
    else
        QCOMPARE(*first, (DossierRef{ids.at(opened), kNames.at(opened)}));
    QCOMPARE(AnyDossier(mainFile), !passwords.isEmpty());
    QVERIFY(!mainFile.isActive());
}

void TestDossiers::dossiersListInEngineOrderWithTheirNames()
{
    QList<DossierRef> expected;
    for (const QString& name : kNames)
        expected << DossierRef{m_db.addDossier(name), name};
    DataSet& mainFile = m_db.module().MainFile();
    QCOMPARE(ListDossiers(mainFile), expected);
    QVERIFY(!mainFile.isActive());
}

void TestDossiers::passwordIsReadForTheChosenDossier()
{
    m_db.addDossier("Maison", "premier");
    const qint64 second = m_db.addDossier("Bureau", "Deuxième 🔑");
    m_db.addDossier("Garage");
    DataSet& mainFile = m_db.module().MainFile();
    const QStringList statement = mainFile.sql();
    QCOMPARE(ReadDossierPassword(mainFile, second), QString("Deuxième 🔑"));
    QCOMPARE(ReadDossierPassword(mainFile, second + 1), QString());
    QCOMPARE(mainFile.sql(), statement);
    QVERIFY(!mainFile.isActive());

    // A dossier deleted meanwhile is reported; the statement is given back all the same.
    QVERIFY_THROWS_EXCEPTION(Error, ReadDossierPassword(mainFile, 999));
    QCOMPARE(mainFile.sql(), statement);
    QVERIFY(!mainFile.isActive());
}

void TestDossiers::createdDossierIsStoredAsTyped()
{
    DataSet& mainFile = m_db.module().MainFile();
    for (const QString& name : kNames) {
        const std::optional<DossierRef> created = CreateDossier(mainFile, [&] {
            mainFile.fieldByName("LoginName").setText(name);
            mainFile.fieldByName("LoginPassword").setText(name + "!");
            mainFile.fieldByName("Color").setText("Observations\r\nsur deux lignes");
            mainFile.post();
            return true;
        });
        QVERIFY(created);
        QCOMPARE(created->name, name);
        QVERIFY(!mainFile.isActive());
        QCOMPARE(ReadDossierPassword(mainFile, created->id), name + "!");
        QCOMPARE(m_db.scalar(QString("SELECT LoginName FROM PROFILES WHERE ID=%1").arg(created->id))
                     .toString(),
                 name);
    }
    QCOMPARE(m_db.scalar("SELECT Comment FROM PROFILES WHERE ID=1").toString(),
             QString("Observations\r\nsur deux lignes"));
}

void TestDossiers::cancelledCreationWritesNothing()
{
    m_db.addDossier("Maison");
    DataSet& mainFile = m_db.module().MainFile();
    const QString before = m_db.dump();
    // Cancelled, or closed without posting: the new row is dropped either way.
    QVERIFY(!CreateDossier(mainFile, [&] {
        mainFile.fieldByName("LoginName").setText("Bureau");
        mainFile.cancel();
        return false;
    }));
    QVERIFY(!CreateDossier(mainFile, [&] {
        mainFile.fieldByName("LoginName").setText("Bureau");
        return false;
    }));
    QVERIFY(!mainFile.isActive());
    QCOMPARE(m_db.dump(), before);
}

void TestDossiers::editingChangesOnlyThatDossier()
{
    m_db.addDossier("Maison");
    const qint64 office = m_db.addDossier("Bureau", "x");
    DataSet& mainFile = m_db.module().MainFile();
    QVERIFY(EditDossier(mainFile, office, [&] {
        mainFile.fieldByName("LoginName").setText("Bureau 🏢");
        mainFile.post();
        return true;
    }));
    QCOMPARE(ListDossiers(mainFile),
             (QList<DossierRef>{{office - 1, "Maison"}, {office, "Bureau 🏢"}}));

    // Closed by the close box: nothing written.
    const QString before = m_db.dump();
    QVERIFY(!EditDossier(mainFile, office, [&] {
        mainFile.fieldByName("LoginName").setText("Autre");
        return false;
    }));
    QCOMPARE(m_db.dump(), before);
    QVERIFY(!mainFile.isActive());
}

void TestDossiers::editingAMissingDossierChangesNothing()
{
    m_db.addDossier("Maison");
    DataSet& mainFile = m_db.module().MainFile();
    const QString before = m_db.dump();
    bool shown = false;
    QVERIFY_THROWS_EXCEPTION(Error, EditDossier(mainFile, 999, [&] {
                                 shown = true;
                                 return true;
                             }));
    QVERIFY(!shown);
    QCOMPARE(m_db.dump(), before);
    QVERIFY(!mainFile.isActive());
}

void TestDossiers::deletionKeepsASafetyCopyOfTheWholeDatabase()
{
    TDataModule1& dm = m_db.module();
    const qint64 home = m_db.addDossier("Maison");
    const qint64 office = m_db.addDossier("Bureau");
    const qint64 water = m_db.addAccount(home, "Eau");
    const qint64 desk = m_db.addAccount(office, "Électricité");
    m_db.addEntry(home, water, QDate(2008, 1, 2), 3, 4);
    m_db.addEntry(office, desk, QDate(2008, 1, 2), 5, 6);
    WriteFile(dm.accountPicturePath(water), "jpeg");
    WriteFile(dm.accountPicturePath(desk), "jpeg");
    WriteFile(DeletionBackupPath(dm), "an older copy");
    dm.Consumption().open();

    Windows windows;
    DeleteDossier(dm, home, windows.steps());

    QCOMPARE(DeletionBackupPath(dm), m_db.folder() + "Access/DEL_BACKUP.MDB");
    QCOMPARE(DossiersIn(DeletionBackupPath(dm)), QStringList({"Maison", "Bureau"}));
    QCOMPARE(m_db.scalar("SELECT COUNT(*) FROM PROFILES").toInt(), 1);
    QCOMPARE(m_db.scalar("SELECT COUNT(*) FROM ACCOUNT").toInt(), 1);
    QCOMPARE(m_db.scalar("SELECT COUNT(*) FROM CONSUMPTION WHERE Id_File=" + QString::number(home))
                 .toInt(),
             0);
    QCOMPARE(m_db.scalar("SELECT COUNT(*) FROM CONSUMPTION").toInt(), 1);
    QVERIFY(!QFileInfo::exists(dm.accountPicturePath(water)));
    QVERIFY(QFileInfo::exists(dm.accountPicturePath(desk)));

    QCOMPARE(windows.wait.tasks, QStringList({"Sauvegarde de la base", "Suppression du dossier"}));
    QCOMPARE(windows.wait.messages, QStringList{"Quelques instants, SVP ..."});
    QVERIFY(windows.wait.visible && windows.wait.closed);
    QCOMPARE(windows.enabled, QList<bool>({false, true}));
    QCOMPARE(windows.closed, 1);
    QVERIFY(windows.repaints >= 2);
    QVERIFY(dm.ADOConnection1().isOpen());
    QVERIFY(dm.Consumption().isActive());
    QVERIFY(!dm.Consumption().controlsDisabled());
    QVERIFY(!dm.MainFile().isActive());
}

void TestDossiers::failedSafetyCopyStillDeletesAndIsReported()
{
    TDataModule1& dm = m_db.module();
    const qint64 home = m_db.addDossier("Maison");
    m_db.addDossier("Bureau");
    Windows windows;
    bool connectionClosed = false;
    const auto failingCopy = [&](const QString& source, const QString&) {
        connectionClosed = !dm.ADOConnection1().isOpen();
        QCOMPARE(source, m_db.file());
        throw Error("Disque plein : la copie n'a pas pu être écrite.");
    };
    try {
        DeleteDossier(dm, home, windows.steps(), failingCopy);
        QFAIL("the failed copy was not reported");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QString("Disque plein : la copie n'a pas pu être écrite."));
    }
    QVERIFY(connectionClosed);
    QCOMPARE(ListDossiers(dm.MainFile()), QList<DossierRef>({{home + 1, "Bureau"}}));
    QCOMPARE(windows.enabled, QList<bool>({false, true}));
    QCOMPARE(windows.closed, 1);
    QVERIFY(windows.wait.closed);
    QVERIFY(dm.ADOConnection1().isOpen());
}

void TestDossiers::missingDossierIsReportedAndNothingElseDeleted()
{
    TDataModule1& dm = m_db.module();
    m_db.addDossier("Maison");
    const QString before = m_db.dump();
    Windows windows;
    QVERIFY_THROWS_EXCEPTION(Error, DeleteDossier(dm, 999, windows.steps()));
    QCOMPARE(m_db.dump(), before);
    QCOMPARE(windows.enabled, QList<bool>({false, true}));
    QCOMPARE(windows.closed, 1);
    QVERIFY(windows.wait.closed);
}

QTEST_APPLESS_MAIN(TestDossiers)
#include "tst_Dossiers.moc"
