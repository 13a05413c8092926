// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "JetFixtures.h"
#include "TableDump.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/JetConverter.h"
#include "db/TDataModule1.h"
#include "db/VersionRecord.h"
#include "main/AccountListModel.h"
#include "main/Dossiers.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QMap>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <memory>

using namespace tilvo;
using namespace tilvo::test;

namespace {

const QString kSmall = QStringLiteral("tilvo-jet4-small.mdb");
const QString kEmpty = QStringLiteral("tilvo-jet4-empty.mdb");

// A table as mdb-export prints it: the header, then one row per record, fields split on
// control characters so that texts keep their commas, quotes and line breaks; binary columns in
// hexadecimal, dates as "yyyy-mm-dd hh:mm:ss".
struct Export
{
    QStringList header;
    QList<QStringList> rows;
};

Export MdbExport(const QString& file, const QString& table)
{
    QProcess tool;
    tool.start(QStringLiteral("mdb-export"),
               {QStringLiteral("-Q"), QStringLiteral("-d"), QStringLiteral("\x1f"),
                QStringLiteral("-R"), QStringLiteral("\x1e"), QStringLiteral("-b"),
                QStringLiteral("hex"), QStringLiteral("-T"), QStringLiteral("%Y-%m-%d %H:%M:%S"),
                file, table});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        throw Error(QStringLiteral("mdb-export failed on ") + table);
    const QString text = QString::fromUtf8(tool.readAllStandardOutput());
    QStringList records = text.split(QChar(0x1e));
    if (!records.isEmpty() && records.last().isEmpty())
        records.removeLast();
    Export result;
    result.header = records.takeFirst().split(QChar(0x1f));
    for (const QString& record : records)
        result.rows << record.split(QChar(0x1f));
    return result;
}

// The value as mdb-export would print it, from what the converted database holds.
QString AsExported(const QVariant& value)
{
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
        return QString::asprintf("%.16g", value.toDouble());
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex().toUpper());
    default: {
        QString text = value.toString();
        // Dates are stored as "yyyy-mm-dd", with the time only when there is one.
        if (text.size() == 10 && text.at(4) == u'-' && text.at(7) == u'-')
            text += QStringLiteral(" 00:00:00");
        return text;
    }
    }
}

QByteArray Digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QStringList FilesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(folder.size());
    files.sort();
    return files;
}

} // namespace

class TestJetConverter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void everyTableReadsAsTheJetToolPrintsIt_data();
    void everyTableReadsAsTheJetToolPrintsIt();
    void quantitiesAndAmountsAreTheStoredDoubles();
    void thumbnailKeepsItsBytes();
    void reportTellsWhatWasConverted();
    void convertedDossierOpensWithItsPassword();
    void emptyDatabaseConvertsToTheSchemaAlone();
    void olderVersionIsBroughtUpToDate();
    void unknownTableIsReportedAndUnknownColumnKept();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void importTakesTheLiveNameAndKeepsTheOldFile();

private:
    std::unique_ptr<ConversionFolders> m_folders;
    QString m_converted;
    JetConversionReport m_report;
};

void TestJetConverter::initTestCase()
{
    m_folders = std::make_unique<ConversionFolders>();
    QVERIFY(QFileInfo(m_folders->templateFile()).isFile());
    m_converted = m_folders->root() + QStringLiteral("converted.MDB");
    const QByteArray before = Digest(JetFixture(kSmall));
    QStringList progress;
    m_report = ConvertJetDatabase(JetFixture(kSmall), m_converted, m_folders->environment(),
                                  [&progress](const QString& text) { progress << text; });
    QVERIFY(progress.contains(QStringLiteral("Conversion de la table CONSUMPTION ...")));
    // The Jet file is only read.
    QCOMPARE(Digest(JetFixture(kSmall)), before);
}

void TestJetConverter::cleanupTestCase()
{
    m_folders.reset();
}

void TestJetConverter::everyTableReadsAsTheJetToolPrintsIt_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("rows");
    QTest::newRow("dossiers") << "PROFILES" << 2;
    QTest::newRow("accounts") << "ACCOUNT" << 3;
    QTest::newRow("entries") << "CONSUMPTION" << 1000;
    QTest::newRow("pick-lists") << "COMBOITEMS" << 1;
    QTest::newRow("captions") << "CUSTOMLAB" << 2;
    QTest::newRow("history") << "BACKUP" << 2;
    QTest::newRow("texts") << "OBJECT_VAL_STR" << 1;
    QTest::newRow("integers") << "OBJECT_VAL_INT" << 1;
    QTest::newRow("reals") << "OBJECT_VAL_REAL" << 1;
    QTest::newRow("booleans") << "OBJECT_VAL_BIT" << 0;
}

void TestJetConverter::everyTableReadsAsTheJetToolPrintsIt()
{
    QFETCH(QString, table);
    QFETCH(int, rows);
    const Export source = MdbExport(JetFixture(kSmall), table);
    QCOMPARE(source.rows.size(), rows);

    Connection c;
    c.setDatabaseFile(m_converted, true);
    c.open();
    QSqlQuery q(c.database());
    QVERIFY(q.exec(QStringLiteral("SELECT [%1] FROM [%2]")
                       .arg(source.header.join(QStringLiteral("], [")), table)));
    QMap<QString, QStringList> converted; // by Id, the first column
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < source.header.size(); ++i)
            values << AsExported(q.value(i));
        converted.insert(values.first(), values);
    }
    QCOMPARE(converted.size(), rows);
    for (const QStringList& expected : source.rows) {
        QVERIFY2(converted.contains(expected.first()), qPrintable(expected.first()));
        const QStringList& actual = converted.value(expected.first());
        for (int i = 0; i < source.header.size(); ++i)
            QVERIFY2(actual.at(i) == expected.at(i),
                     qPrintable(QStringLiteral("%1.%2 (Id %3): \"%4\" instead of \"%5\"")
                                    .arg(table, source.header.at(i), expected.first(), actual.at(i),
                                         expected.at(i))));
    }
}

void TestJetConverter::quantitiesAndAmountsAreTheStoredDoubles()
{
    const Export source = MdbExport(JetFixture(kSmall), QStringLiteral("CONSUMPTION"));
    const int quantityColumn = int(source.header.indexOf(QStringLiteral("Quantity")));
    const int priceColumn = int(source.header.indexOf(QStringLiteral("Price")));
    QMap<qint64, QPair<QString, QString>> printed;
    for (const QStringList& row : source.rows)
        printed.insert(row.first().toLongLong(), {row.at(quantityColumn), row.at(priceColumn)});

    Connection c;
    c.setDatabaseFile(m_converted, true);
    c.open();
    QSqlQuery q(c.database());
    QVERIFY(q.exec(QStringLiteral("SELECT Id, Quantity, Price, Id_Account FROM CONSUMPTION")));
    double sum = 0;
    int nullPrices = 0;
    QMap<qint64, int> perAccount;
    // The fixture's values are decimals of a few digits, stored as the double nearest to each:
    // the converted value must be that very double, and mdb-export's printing of it.
    const auto check = [](const QVariant& value, const QString& text) {
        const double d = value.toDouble();
        const double nearest = QString::number(text.toDouble(), 'g', 15).toDouble();
        return std::memcmp(&d, &nearest, sizeof d) == 0 && QString::asprintf("%.16g", d) == text;
    };
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        QVERIFY(printed.contains(id));
        QVERIFY2(check(q.value(1), printed.value(id).first), qPrintable(QString::number(id)));
        sum += q.value(1).toDouble();
        if (q.value(2).isNull()) {
            ++nullPrices;
            QVERIFY(printed.value(id).second.isEmpty());
        } else {
            QVERIFY2(check(q.value(2), printed.value(id).second), qPrintable(QString::number(id)));
        }
        ++perAccount[q.value(3).toLongLong()];
    }
    QCOMPARE(qRound64(sum * 1000), qint64(20292126));
    QCOMPARE(nullPrices, 51);
    QCOMPARE(perAccount, (QMap<qint64, int>{{1, 450}, {2, 400}, {3, 150}}));
}

void TestJetConverter::thumbnailKeepsItsBytes()
{
    QProcess tool;
    tool.start(QStringLiteral("mdb-export"),
               {QStringLiteral("-H"), QStringLiteral("-Q"), QStringLiteral("-d"),
                QStringLiteral("\x1f"), QStringLiteral("-b"), QStringLiteral("hex"),
                JetFixture(kSmall), QStringLiteral("ACCOUNT")});
    QVERIFY(tool.waitForFinished(60000));
    const QString firstRow = QString::fromUtf8(tool.readAllStandardOutput());
    const QByteArray exported =
        QByteArray::fromHex(firstRow.split(QChar(0x1f)).at(9).toLatin1()); // ImgMini1

    Connection c;
    c.setDatabaseFile(m_converted, true);
    c.open();
    QSqlQuery q(c.database());
    QVERIFY(q.exec(QStringLiteral("SELECT ImgMini1 FROM ACCOUNT WHERE Id = 1")) && q.next());
    const QByteArray stored = q.value(0).toByteArray();
    QCOMPARE(stored, exported);
    // A 70 × 70 BMP of 24 bits.
    QVERIFY(stored.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<qint32>(stored.constData() + 18), 70);
    QCOMPARE(qFromLittleEndian<qint32>(stored.constData() + 22), 70);
    QCOMPARE(qFromLittleEndian<qint16>(stored.constData() + 28), qint16(24));
}

void TestJetConverter::reportTellsWhatWasConverted()
{
    QCOMPARE(m_report.dossiers, 2);
    QCOMPARE(m_report.accounts, 3);
    QCOMPARE(m_report.entries, 1000);
    QCOMPARE(m_report.sourceVersion, QStringLiteral("1.83"));
    QVERIFY(m_report.leftAside.isEmpty());
    QCOMPARE(m_report.summary(),
             QStringLiteral("2 dossier(s), 3 compte(s) et 1000 consommation(s) ont été repris."));

    Connection c;
    c.setDatabaseFile(m_converted, true);
    c.open();
    QCOMPARE(GetBDVersion(c, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE")),
             QStringLiteral("1.83"));
    // The counters go on from the highest Id kept.
    QSqlQuery q(c.database());
    QVERIFY(q.exec(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'CONSUMPTION'")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toLongLong(),
             Scalar(c, QStringLiteral("SELECT MAX(Id) FROM CONSUMPTION")).toLongLong());
}

void TestJetConverter::convertedDossierOpensWithItsPassword()
{
    QDir().mkpath(m_folders->root() + QStringLiteral("dossier/Access"));
    QDir().mkpath(m_folders->root() + QStringLiteral("dossier/Images"));
    QVERIFY(
        QFile::copy(m_converted, m_folders->root() + QStringLiteral("dossier/Access/TILVO.MDB")));
    DatabaseConfig config;
    config.DatabasePath = m_folders->root() + QStringLiteral("dossier/");
    config.DatabaseFolder = config.DatabasePath;
    config.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
    config.ActiveDatabaseFile = config.OleDbFileName;
    config.Provider = QStringLiteral("OLEDB");
    ScriptedPrompts prompts;
    TDataModule1 module(config, prompts);
    QVERIFY(module.connectionOk());

    const QList<DossierRef> dossiers = ListDossiers(module.MainFile());
    QCOMPARE(dossiers, (QList<DossierRef>{{1, QStringLiteral("Maison de Léa")},
                                          {2, QStringLiteral("Appartement Paris")}}));
    QVERIFY(PasswordMatches(ReadDossierPassword(module.MainFile(), 1), QStringLiteral("Secret")));
    QVERIFY(!PasswordMatches(ReadDossierPassword(module.MainFile(), 1), QStringLiteral("secret")));
    QVERIFY(!FirstDossierForStartup(module.MainFile()));

    AccountListModel accounts;
    QCOMPARE(accounts.rebuild(module.Query(), 1, 2), 1);
    QCOMPARE(accounts.rowCount(), 2);
    const AccountEntry water = accounts.entry(0);
    QCOMPARE(water.AccountId, qint64(1));
    QCOMPARE(water.Title, QStringLiteral("Eau froide"));
    QCOMPARE(water.Unit, QStringLiteral("m3"));
    QCOMPARE(water.InfoLine, QStringLiteral("01/01/2007  - 1234.567 m3"));
    const AccountEntry power = accounts.entry(1);
    QCOMPARE(power.Title, QStringLiteral("Électricité d'EDF 100% HC"));
    QCOMPARE(power.InfoLine, QStringLiteral("15/03/2007  - kWh"));
    QCOMPARE(accounts.rebuild(module.Query(), 2, -1), 0);
    QCOMPARE(accounts.entry(0).InfoLine, QStringLiteral("02/10/2008  - 812.25 L"));
}

void TestJetConverter::emptyDatabaseConvertsToTheSchemaAlone()
{
    const QString target = m_folders->root() + QStringLiteral("empty.MDB");
    const JetConversionReport report =
        ConvertJetDatabase(JetFixture(kEmpty), target, m_folders->environment());
    QCOMPARE(report.dossiers + report.accounts + report.entries, 0);
    QCOMPARE(report.sourceVersion, QStringLiteral("1.83"));
    Connection c;
    c.setDatabaseFile(target, true);
    c.open();
    QCOMPARE(Scalar(c, QStringLiteral("SELECT COUNT(*) FROM OBJECT_VAL_STR")).toInt(), 1);
    for (const char* table : {"STAT_TREE", "SQL_TREE", "STAT_QUERY", "SQL_QUERY"})
        QVERIFY(c.table(QLatin1String(table)));
}

void TestJetConverter::olderVersionIsBroughtUpToDate()
{
    // A program one version ahead, whose script adds a column.
    UpdateEnvironment env = m_folders->environment();
    env.ProgramVersion = QStringLiteral("1.84");
    env.UpdateFileName = QStringLiteral("BD_184.maj");
    WriteFile(env.ProgramFolder + QStringLiteral("Maj/BD_184.maj"),
              "NotFieldExists(ACCOUNT.Budget)\r\nSqlExe{ALTER TABLE ACCOUNT ADD COLUMN Budget "
              "DOUBLE}\r\nEND\r\n");
    const QString target = m_folders->root() + QStringLiteral("newer.MDB");
    const JetConversionReport report = ConvertJetDatabase(JetFixture(kSmall), target, env);
    QFile::remove(env.ProgramFolder + QStringLiteral("Maj/BD_184.maj"));
    QCOMPARE(report.sourceVersion, QStringLiteral("1.83"));
    Connection c;
    c.setDatabaseFile(target, true);
    c.open();
    QVERIFY(c.hasColumn(QStringLiteral("ACCOUNT"), QStringLiteral("Budget")));
    QCOMPARE(GetBDVersion(c, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE")),
             QStringLiteral("1.84"));
    QVERIFY(QFileInfo(UpdateLogPath(env.DataFolder)).isFile());
}

void TestJetConverter::unknownTableIsReportedAndUnknownColumnKept()
{
    const QString source = m_folders->root() + QStringLiteral("renamed.mdb");
    WritePatchedFixture(kSmall, source,
                        {{Utf16("COMBOITEMS"), Utf16("COMBOLISTS")},
                         {Utf16("Misc06"), Utf16("Postal")},
                         {Utf16("Remark2"), Utf16("x];DROP")}});
    const QString target = m_folders->root() + QStringLiteral("renamed.MDB.new");
    const JetConversionReport report = ConvertJetDatabase(source, target, m_folders->environment());
    // A name that would end its brackets in a statement is not used.
    const QStringList leftAside{
        QStringLiteral("La colonne ACCOUNT.x];DROP n'a pas été reprise : son nom contient des "
                       "caractères que ce logiciel n'accepte pas."),
        QStringLiteral("La colonne CONSUMPTION.x];DROP n'a pas été reprise : son nom contient des "
                       "caractères que ce logiciel n'accepte pas."),
        QStringLiteral("La table COMBOLISTS, inconnue de ce logiciel, n'a pas été reprise.")};
    QCOMPARE(report.leftAside, leftAside);
    QVERIFY(report.summary().endsWith(QStringLiteral("\rN'ont pas été repris :\r") +
                                      leftAside.join(u'\r')));
    Connection c;
    c.setDatabaseFile(target, true);
    c.open();
    QCOMPARE(Scalar(c, QStringLiteral("SELECT COUNT(*) FROM COMBOITEMS")).toInt(), 0);
    QVERIFY(!c.table(QStringLiteral("COMBOLISTS")));
    // The text column the program does not know keeps its values (line break included) beside
    // the program's own column, which stays empty.
    QCOMPARE(Scalar(c, QStringLiteral("SELECT Postal FROM ACCOUNT WHERE Id = 1")).toString(),
             QStringLiteral("Ligne 1\r\nLigne 2"));
    QVERIFY(Scalar(c, QStringLiteral("SELECT Misc06 FROM ACCOUNT WHERE Id = 1")).isNull());
    QCOMPARE(c.table(QStringLiteral("ACCOUNT"))->column(QStringLiteral("Postal"))->size, 128);
}

void TestJetConverter::badInputChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("no database") << "text"
                                 << "ce n'est pas une base de données de l'ancienne version";
    QTest::newRow("empty file") << "empty"
                                << "ce fichier est vide";
    QTest::newRow("cut short") << "half"
                               << "le fichier est coupé";
    QTest::newRow("cut on a page") << "pages"
                                   << "endommagée ou incomplète";
    QTest::newRow("table missing") << "table"
                                   << "la table CONSUMPTION manque dans ce fichier";
    QTest::newRow("orphan entry") << "orphan"
                                  << "appartient au compte n° 3, qui n'existe pas";
    QTest::newRow("two accounts of one Id")
        << "duplicate"
        << "la ligne 3 de la table ACCOUNT ne respecte pas une règle de ce logiciel";
    QTest::newRow("title too long")
        << "title"
        << "la ligne 2 de la table ACCOUNT a dans la colonne Title un texte de 25 caractères, "
           "alors que ce logiciel en accepte au plus 20";
}

void TestJetConverter::badInputChangesNothing()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    ConversionFolders folders;
    UpdateEnvironment env = folders.environment();
    const QString live = folders.dataFolder() + QStringLiteral("Data/Access/TILVO.MDB");
    QDir().mkpath(folders.dataFolder() + QStringLiteral("Data/Images"));
    QDir().mkpath(folders.dataFolder() + QStringLiteral("Data/Access"));
    QVERIFY(QFile::copy(folders.templateFile(), live));
    WriteFile(folders.dataFolder() + QStringLiteral("Data/Images/Account1.jpg"), "\xFF\xD8jpeg");
    const QString source = folders.root() + QStringLiteral("source.mdb");
    const QByteArray small = ReadFile(JetFixture(kSmall));
    if (kind == u"text") {
        WriteFile(source, "Nom;Quantité\r\nEau;12\r\n");
    } else if (kind == u"empty") {
        WriteFile(source, QByteArray());
    } else if (kind == u"half") {
        WriteFile(source, small.left(small.size() / 2 + 100));
    } else if (kind == u"pages") {
        WriteFile(source, small.left(60 * 4096));
    } else if (kind == u"table") {
        WritePatchedFixture(kSmall, source, {{Utf16("CONSUMPTION"), Utf16("CONSUMPTIOX")}});
    } else if (kind == u"orphan" || kind == u"duplicate") {
        // The fixed part of account 3 (Id, Id_File, Decimal, Count) gets Id 9, or the Id of
        // account 2.
        QByteArray from(16, 0);
        qToLittleEndian<qint32>(3, from.data());
        qToLittleEndian<qint16>(2, from.data() + 4);
        qToLittleEndian<qint16>(2, from.data() + 6);
        qToLittleEndian<double>(812.25, from.data() + 8);
        QByteArray to = from;
        qToLittleEndian<qint32>(kind == u"orphan" ? 9 : 2, to.data());
        WritePatchedFixture(kSmall, source, {{from, to}});
    } else {
        // A program whose titles are shorter than the source's.
        QFile::copy(JetFixture(kSmall), source);
        Connection c;
        c.setDatabaseFile(folders.templateFile());
        c.open();
        c.exec(QStringLiteral("ALTER TABLE ACCOUNT ALTER COLUMN Title TEXT(20)"));
    }
    const QStringList before = FilesUnder(folders.dataFolder() + QStringLiteral("Data/"));
    const QByteArray liveDigest = Digest(live);
    const QByteArray sourceDigest = Digest(source);
    try {
        ImportJetDatabase(source, live, env);
        QFAIL("the conversion went through");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        QVERIFY2(e.text().startsWith(
                     QStringLiteral("Le fichier %1 n'a pas pu être converti").arg(source)),
                 qPrintable(e.text()));
        QVERIFY(e.text().endsWith(QStringLiteral("Rien n'a été modifié.")));
    }
    QCOMPARE(Digest(live), liveDigest);
    QCOMPARE(Digest(source), sourceDigest);
    QCOMPARE(FilesUnder(folders.dataFolder() + QStringLiteral("Data/")), before);
}

void TestJetConverter::importTakesTheLiveNameAndKeepsTheOldFile()
{
    ConversionFolders folders;
    const QString live = folders.dataFolder() + QStringLiteral("Data/Access/TILVO.MDB");
    QDir().mkpath(folders.dataFolder() + QStringLiteral("Data/Access"));
    // A copied old data folder: the Jet file under the live name.
    QVERIFY(QFile::copy(JetFixture(kSmall), live));
    const QString kept = live + QStringLiteral(".jet");
    const JetConversionReport report =
        ImportJetDatabase(live, live, folders.environment(), {}, kept);
    QCOMPARE(report.entries, 1000);
    QCOMPARE(Digest(kept), Digest(JetFixture(kSmall)));
    QVERIFY(!IsJetDatabaseFile(live));
    QCOMPARE(FilesUnder(folders.dataFolder() + QStringLiteral("Data/Access/")),
             (QStringList{"TILVO.MDB", "TILVO.MDB.jet"}));
    Connection c;
    c.setDatabaseFile(live);
    c.open();
    c.checkIntegrity();
    QCOMPARE(Scalar(c, QStringLiteral("SELECT COUNT(*) FROM CONSUMPTION")).toInt(), 1000);
    c.close();

    // A second start never writes over the file kept the first time.
    QVERIFY(QFile::copy(JetFixture(kEmpty), folders.root() + QStringLiteral("other.mdb")));
    QVERIFY_THROWS_EXCEPTION(Error, ImportJetDatabase(folders.root() + QStringLiteral("other.mdb"),
                                                      live, folders.environment(), {}, kept));
    QCOMPARE(Digest(kept), Digest(JetFixture(kSmall)));
    QCOMPARE(FilesUnder(folders.dataFolder() + QStringLiteral("Data/Access/")),
             (QStringList{"TILVO.MDB", "TILVO.MDB.jet"}));
}

QTEST_GUILESS_MAIN(TestJetConverter)
#include "tst_JetConverter.moc"
