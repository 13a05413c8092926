// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "support/TestFiles.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tilvo;
using namespace tilvo::test;

namespace {

constexpr uid_t kNobody = 65534;

// Root may write any file, so a file is read-only only for another user: run as root, the
// attempt runs in a child process that has become "nobody". Returns the attempt's text.
QString AsUnprivilegedUser(const std::function<QString()>& attempt)
{
    if (geteuid() != 0)
        return attempt();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        QString text = QStringLiteral("could not become nobody");
        if (setgid(kNobody) == 0 && setuid(kNobody) == 0) {
            try {
                text = attempt();
            } catch (const std::exception& e) {
                text = QString::fromUtf8(e.what());
            }
        }
        const QByteArray bytes = text.toUtf8();
        const ssize_t written = write(pipeEnds[1], bytes.constData(), size_t(bytes.size()));
        _exit(written == bytes.size() ? 0 : 1);
    }
    close(pipeEnds[1]);
    QByteArray bytes;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        bytes.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return QString::fromUtf8(bytes);
}

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();

    void badFilesFailToOpenAndStayUntouched_data();
    void badFilesFailToOpenAndStayUntouched();
    void lockedFileFailsToOpen();
    void readOnlyFileIsRefusedNamingIt_data();
    void readOnlyFileIsRefusedNamingIt();
    void damagedPagesFailTheIntegrityCheck();
    void missingFileIsNeverCreated();
    void closingClosesItsDataSets();
    void engineErrorsReadTheSame();
    void fullDiskReadsInFrench();
    void alterColumnWidensKeepingRowsIndexesAndCounter();
    void alterColumnRefusesWhatTheDataBreaks();
    void connectionStringsChooseTheProvider_data();
    void connectionStringsChooseTheProvider();

private:
    QTemporaryDir m_dir;
};

void TestConnection::initTestCase_data()
{
    AddProviderRows();
}

void TestConnection::initTestCase()
{
    OdbcSandbox::instance();
}

void TestConnection::badFilesFailToOpenAndStayUntouched_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray garbage;
    for (int i = 0; i < 8192; ++i)
        garbage.append(char((i * 37) % 251));
    QTest::newRow("garbage") << garbage;
    QTest::newRow("text") << QByteArray("Ceci n'est pas une base de données.\r\n");
    // A real database cut in half.
    QTemporaryDir dir;
    const QString full = dir.path() + QStringLiteral("/full.db");
    MakeSchemaDatabase(full, dir.path() + u'/');
    const QByteArray whole = ReadFile(full);
    QTest::newRow("truncated") << whole.left(whole.size() / 2);
    QByteArray header = whole.left(100);
    QTest::newRow("header only") << header;
}

void TestConnection::badFilesFailToOpenAndStayUntouched()
{
    QFETCH_GLOBAL(bool, odbc);
    QFETCH(QByteArray, bytes);
    const QString file = m_dir.path() + QStringLiteral("/bad-%1.db").arg(QTest::currentDataTag());
    WriteFile(file, bytes);
    Connection c;
    try {
        ConnectTo(c, odbc, file);
        QFAIL("opened");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(QStringLiteral("Impossible d'ouvrir la base de données")),
                 qPrintable(e.text()));
        QVERIFY2(e.text().contains(QLatin1String("not a database")) ||
                     e.text().contains(QLatin1String("malformed")),
                 qPrintable(e.text()));
        // The French reason and the way out come before the engine's text.
        QVERIFY2(e.text().contains(QStringLiteral("n'est pas une base de données")) ||
                     e.text().contains(QStringLiteral("est endommagée")),
                 qPrintable(e.text()));
        QVERIFY2(e.text().contains(QStringLiteral("Restaurez une sauvegarde")),
                 qPrintable(e.text()));
    }
    QVERIFY(!c.isOpen());
    QCOMPARE(ReadFile(file), bytes);
    QVERIFY(!QFileInfo::exists(file + QStringLiteral("-journal")));
}

void TestConnection::lockedFileFailsToOpen()
{
    QFETCH_GLOBAL(bool, odbc);
    const QString file = m_dir.path() + QStringLiteral("/locked-%1.db").arg(odbc);
    MakeSchemaDatabase(file, m_dir.path() + u'/');
    const QByteArray before = FileDigest(file);
    Connection holder;
    holder.setDatabaseFile(file);
    holder.open();
    QSqlQuery q(holder.database());
    QVERIFY(q.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE")));
    QVERIFY(q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    Connection c;
    try {
        ConnectTo(c, odbc, file);
        QFAIL("opened a locked file");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(QLatin1String("locked")), qPrintable(e.text()));
        QVERIFY2(e.text().contains(QStringLiteral("utilisée par un autre programme")),
                 qPrintable(e.text()));
    }
    QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
    q.finish();
    holder.close();
    QCOMPARE(FileDigest(file), before);
}

void TestConnection::readOnlyFileIsRefusedNamingIt_data()
{
    QTest::addColumn<bool>("folderOnly");
    QTest::newRow("file") << false;
    QTest::newRow("folder of the journal") << true;
}

void TestConnection::readOnlyFileIsRefusedNamingIt()
{
    QFETCH_GLOBAL(bool, odbc);
    QFETCH(bool, folderOnly);
    const QString folder =
        m_dir.path() + QStringLiteral("/readonly-%1-%2/").arg(odbc).arg(folderOnly);
    const QString file = folder + QStringLiteral("TILVO.MDB");
    QDir().mkpath(folder);
    MakeSchemaDatabase(file, m_dir.path() + u'/');
    const QByteArray before = ReadFile(file);
    const QString dataSource = odbc ? OdbcSandbox::instance().registerFile(file) : QString();
    // Everything on the way stays readable by the other user.
    for (const QString& path : {m_dir.path(), OdbcSandbox::instance().folder()})
        QVERIFY(chmod(QFile::encodeName(path).constData(), 0755) == 0);
    if (folderOnly) {
        // The file may be written, its folder not, so the engine has nowhere for its journal.
        if (geteuid() == 0)
            QVERIFY(chown(QFile::encodeName(file).constData(), kNobody, kNobody) == 0);
        QVERIFY(chmod(QFile::encodeName(folder).constData(), 0555) == 0);
    } else {
        QVERIFY(chmod(QFile::encodeName(file).constData(), 0444) == 0);
    }
    const QString text = AsUnprivilegedUser([&]() {
        Connection c;
        try {
            if (odbc)
                c.setOdbcDataSource(dataSource);
            else
                c.setDatabaseFile(file);
            c.setBusyTimeout(0);
            c.open();
        } catch (const Error& e) {
            return c.isOpen() ? QStringLiteral("open after: ") + e.text() : e.text();
        }
        return QStringLiteral("opened");
    });
    chmod(QFile::encodeName(folder).constData(), 0755);
    QVERIFY2(text.contains(QStringLiteral("lecture seule")), qPrintable(text));
    QVERIFY2(text.contains(folderOnly ? folder.chopped(1) : file), qPrintable(text));
    QCOMPARE(ReadFile(file), before);
    QVERIFY(!QFileInfo::exists(file + QStringLiteral("-journal")));
}

void TestConnection::damagedPagesFailTheIntegrityCheck()
{
    QFETCH_GLOBAL(bool, odbc);
    const QString file = m_dir.path() + QStringLiteral("/zeroed-%1.db").arg(odbc);
    MakeSchemaDatabase(file, m_dir.path() + u'/');
    {
        Connection c;
        ConnectTo(c, odbc, file);
        c.checkIntegrity(); // a sound file passes
    }
    const QByteArray bytes = Damaged(ReadFile(file), Damage::PagesZeroed);
    WriteFile(file, bytes);
    Connection c;
    try {
        ConnectTo(c, odbc, file);
        c.checkIntegrity();
        QFAIL("a damaged file passed");
    } catch (const Error& e) {
        QVERIFY2(
            e.text().startsWith(QStringLiteral("La base de données %1 est endommagée").arg(file)) ||
                e.text().contains(QStringLiteral("La base de données est endommagée")),
            qPrintable(e.text()));
        QVERIFY2(e.text().contains(QStringLiteral("Restaurez une sauvegarde")),
                 qPrintable(e.text()));
    }
    c.close();
    QCOMPARE(ReadFile(file), bytes);
}

void TestConnection::missingFileIsNeverCreated()
{
    QFETCH_GLOBAL(bool, odbc);
    const QString file = m_dir.path() + QStringLiteral("/missing-%1.db").arg(odbc);
    Connection c;
    if (odbc) {
        // The data source cannot even be registered for a missing file.
        QVERIFY(
            !RegisterDataSource(QStringLiteral("TILVO_MISSING"), QStringLiteral("SQLite3"), file));
        c.setOdbcDataSource(QStringLiteral("TILVO_MISSING"));
    } else {
        c.setDatabaseFile(file);
    }
    QVERIFY_THROWS_EXCEPTION(Error, c.open());
    QVERIFY(!QFileInfo::exists(file));
}

void TestConnection::closingClosesItsDataSets()
{
    QFETCH_GLOBAL(bool, odbc);
    const QString file = m_dir.path() + QStringLiteral("/close-%1.db").arg(odbc);
    MakeSchemaDatabase(file, m_dir.path() + u'/');
    Connection c;
    ConnectTo(c, odbc, file);
    DataSet a(c);
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT"));
    a.open();
    c.close();
    QVERIFY(!a.isActive());
    QVERIFY_THROWS_EXCEPTION(Error, a.open());
    QVERIFY_THROWS_EXCEPTION(Error, c.exec(QStringLiteral("DELETE FROM ACCOUNT")));
    c.open();
    a.open();
    QVERIFY(a.isActive());
}

void TestConnection::engineErrorsReadTheSame()
{
    QFETCH_GLOBAL(bool, odbc);
    const QString file = m_dir.path() + QStringLiteral("/errors-%1.db").arg(odbc);
    MakeSchemaDatabase(file, m_dir.path() + u'/');
    Connection c;
    ConnectTo(c, odbc, file);
    try {
        c.exec(QStringLiteral("DELETE FROM NOPE WHERE Id=1"));
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("no such table: NOPE"));
    }
    try {
        c.exec(QStringLiteral("ALTER TABLE ACCOUNT ADD COLUMN Title TEXT(10)"));
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("duplicate column name: Title"));
    }
}

void TestConnection::fullDiskReadsInFrench()
{
    QFETCH_GLOBAL(bool, odbc);
    const QString file = m_dir.path() + QStringLiteral("/full-%1.db").arg(odbc);
    MakeSchemaDatabase(file, m_dir.path() + u'/');
    Connection c;
    ConnectTo(c, odbc, file);
    // The engine reports a file that may not grow as a full disk.
    c.exec(QStringLiteral("PRAGMA max_page_count=%1")
               .arg(RawScalar(file, QStringLiteral("PRAGMA page_count")).toInt()));
    try {
        c.exec(QStringLiteral("INSERT INTO ACCOUNT (Remark1) VALUES ('%1')")
                   .arg(QString(20000, u'x')));
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.text(),
                 QStringLiteral("Le disque est plein. (moteur : database or disk is full)"));
    }
}

void TestConnection::alterColumnWidensKeepingRowsIndexesAndCounter()
{
    QFETCH_GLOBAL(bool, odbc);
    const QString file = m_dir.path() + QStringLiteral("/alter-%1.db").arg(odbc);
    {
        Connection c;
        CreateEmptyDatabase(c, file);
        c.exec(QStringLiteral("CREATE TABLE ACCOUNT (Id COUNTER, Id_File SHORT, Title TEXT(20))"));
        c.exec(QStringLiteral("CREATE INDEX IX_ACCOUNT_FILE ON ACCOUNT (Id_File)"));
        for (int i = 1; i <= 5; ++i)
            c.exec(
                QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES (%1, 'c%1')").arg(i));
        c.exec(QStringLiteral("DELETE FROM ACCOUNT WHERE Id=5"));
    }
    Connection c;
    ConnectTo(c, odbc, file);
    QCOMPARE(c.table(QStringLiteral("ACCOUNT"))->column(QStringLiteral("Id_File"))->type,
             FieldType::ftSmallint);
    c.exec(QStringLiteral("ALTER TABLE ACCOUNT ALTER COLUMN Id_File LONG"));
    const TableInfo* t = c.table(QStringLiteral("ACCOUNT"));
    QCOMPARE(t->column(QStringLiteral("Id_File"))->type, FieldType::ftInteger);
    QCOMPARE(t->column(QStringLiteral("Id"))->type, FieldType::ftAutoInc);
    QCOMPARE(t->column(QStringLiteral("Title"))->size, 20);

    DataSet a(c);
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT ORDER BY Id"));
    a.open();
    QCOMPARE(a.recordCount(), 4);
    a.last();
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("c4"));
    a.append();
    a.fieldByName(QStringLiteral("Id_File")).setInteger(70000);
    QVERIFY_THROWS_EXCEPTION(Error,
                             a.fieldByName(QStringLiteral("Title")).setText(QString(21, u'x')));
    a.post();
    QCOMPARE(a.fieldByName(QStringLiteral("Id")).asInteger(), 6); // 5 stays used
    a.close();
    c.close();
    QCOMPARE(RawScalar(file, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                                            "name='IX_ACCOUNT_FILE'"))
                 .toInt(),
             1);
}

void TestConnection::alterColumnRefusesWhatTheDataBreaks()
{
    QFETCH_GLOBAL(bool, odbc);
    const QString file = m_dir.path() + QStringLiteral("/shrink-%1.db").arg(odbc);
    {
        Connection c;
        CreateEmptyDatabase(c, file);
        c.exec(QStringLiteral("CREATE TABLE T (Id COUNTER, Name TEXT(20))"));
        c.exec(QStringLiteral("INSERT INTO T (Name) VALUES ('bien trop long')"));
    }
    Connection c;
    ConnectTo(c, odbc, file);
    QVERIFY_THROWS_EXCEPTION(Error,
                             c.exec(QStringLiteral("ALTER TABLE T ALTER COLUMN Name TEXT(4)")));
    QVERIFY_THROWS_EXCEPTION(Error, c.exec(QStringLiteral("ALTER TABLE T ALTER COLUMN Nope LONG")));
    DataSet t(c);
    t.setSqlText(QStringLiteral("SELECT * FROM T"));
    t.open();
    QCOMPARE(t.fieldByName(QStringLiteral("Name")).asText(), QStringLiteral("bien trop long"));
    QCOMPARE(t.fieldByName(QStringLiteral("Name")).size(), 20);
    QCOMPARE(c.tableNames(), QStringList({"T"}));
}

void TestConnection::connectionStringsChooseTheProvider_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("odbcProvider");
    QTest::addColumn<QString>("source");
    QTest::newRow("ole db") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/Access/TILVO.MDB;"
                               "Mode=ReadWrite;Jet OLEDB:Engine Type=5"
                            << false << "/d/Access/TILVO.MDB";
    QTest::newRow("odbc") << "Provider=MSDASQL.1;Data Source=ZEMBRALIK_TILVO;Persist Security "
                             "Info=True;Mode=ReadWrite"
                          << true << "ZEMBRALIK_TILVO";
}

void TestConnection::connectionStringsChooseTheProvider()
{
    QFETCH(QString, text);
    QFETCH(bool, odbcProvider);
    QFETCH(QString, source);
    Connection c;
    c.setConnectionString(text);
    QCOMPARE(c.provider() == Connection::Provider::Odbc, odbcProvider);
    QCOMPARE(c.dataSource(), source);
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_Connection.moc"
