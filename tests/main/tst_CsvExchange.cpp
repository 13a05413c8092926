// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainTestData.h"
#include "common/Error.h"
#include "common/Windows1252.h"
#include "db/DataSet.h"
#include "main/ConsumptionActions.h"
#include "main/CsvExchange.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

namespace {

struct Entry
{
    QString date;
    double quantity;
    double price;
    QString comment;
    bool operator==(const Entry& o) const
    {
        return date == o.date && quantity == o.quantity && price == o.price && comment == o.comment;
    }
};

char* toString(const Entry& e)
{
    return QTest::toString(QStringLiteral("%1|%2|%3|%4")
                               .arg(e.date)
                               .arg(e.quantity, 0, 'g', 17)
                               .arg(e.price, 0, 'g', 17)
                               .arg(e.comment));
}

using C = CsvColumn;

AccountRow CountedAccount(double count)
{
    AccountRow row;
    row.title = QStringLiteral("Eau");
    row.count = count;
    return row;
}

ExportSelection OfAccount(qint64 account)
{
    ExportSelection selection;
    selection.accountId = int(account);
    return selection;
}

} // namespace

// Exporting entries to a spreadsheet file and importing such files into an account, on the
// program's schema, through both providers.
class TestCsvExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void roundTripGivesTheSameEntries();
    void exportedFileAsASpreadsheetReadsIt();
    void exportSelections_data();
    void exportSelections();
    void spreadsheetFileInWindows1252Imports();
    void badLinesAreListedWithTheirReason_data();
    void badLinesAreListedWithTheirReason();
    void refusedLinesLeaveTheChoice();
    void onlyTheFirstHundredRefusalsAreListed();
    void counterMovesAsAddingByHand_data();
    void counterMovesAsAddingByHand();
    void cancelledImportLeavesNothing();
    void cancelledOrFailedExportKeepsTheOldFile();
    void refusedRequests();

private:
    QString write(const QByteArray& bytes);
    QByteArray read(const QString& path);
    QList<Entry> entries(qint64 account);
    ImportReport import(qint64 account, const QString& path, const RefusalDecision& decision = {});

    TestDatabase m_db;
    std::unique_ptr<QTemporaryDir> m_dir;
    qint64 m_dossier = 0;
    int m_files = 0;
};

void TestCsvExchange::initTestCase_data()
{
    AddProviderRows();
}

void TestCsvExchange::initTestCase()
{
    m_db.prepare();
}

void TestCsvExchange::init()
{
    QFETCH_GLOBAL(bool, odbc);
    m_db.open(odbc);
    m_dir = std::make_unique<QTemporaryDir>();
    m_dossier = m_db.addDossier(QStringLiteral("Maison"));
}

void TestCsvExchange::cleanup()
{
    m_db.release();
    m_dir.reset();
}

QString TestCsvExchange::write(const QByteArray& bytes)
{
    const QString path = m_dir->filePath(QStringLiteral("in%1.csv").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray TestCsvExchange::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<Entry> TestCsvExchange::entries(qint64 account)
{
    DataSet& q = m_db.module().Query();
    q.setSqlText(QStringLiteral("SELECT DateAction, Quantity, Price, Description, Id_File FROM "
                                "CONSUMPTION WHERE Id_Account=%1 ORDER BY DateAction, Id")
                     .arg(account));
    q.open();
    QList<Entry> list;
    for (q.first(); !q.eof(); q.next()) {
        list.append({q.field(0).asText(), q.field(1).asDouble(), q.field(2).asDouble(),
                     q.field(3).asText()});
        if (q.field(4).asInteger() !=
            m_db.scalar(QStringLiteral("SELECT Id_File FROM ACCOUNT WHERE Id=%1").arg(account))
                .toLongLong())
            qWarning("entry of another dossier");
    }
    q.close();
    return list;
}

ImportReport TestCsvExchange::import(qint64 account, const QString& path,
                                     const RefusalDecision& decision)
{
    const CsvGuess guess = GuessCsvFormat(path);
    return ImportEntries(m_db.module().Query(), int(account), path, guess.format, guess.mapping, {},
                         decision);
}

void TestCsvExchange::roundTripGivesTheSameEntries()
{
    QFETCH_GLOBAL(bool, odbc);
    const qint64 source = m_db.addAccount(m_dossier, QStringLiteral("Eau"));
    // The SQLite ODBC driver carries reals with fewer digits than a double has, on its own.
    const double awkward = odbc ? 0.3 : 0.1 + 0.2;
    const QList<Entry> written{
        {"05/03/2008", 12.5, 30.25, "relevé ; compteur \"principal\""},
        {"05/03/2008", awkward, -4.125, "=SOMME(A1:A3)"},
        {"06/03/2008", -3, 0, "ligne 1\r\nligne 2"},
        {"31/12/2099", 1e-7, 123456789.125, ""},
        {"01/01/1900", 0, 0, "'-déjà gardé"},
    };
    for (const Entry& e : written)
        m_db.addEntry(m_dossier, source, QDate::fromString(e.date, "dd/MM/yyyy"), e.quantity,
                      e.price, e.comment);
    const QString path = m_dir->filePath(QStringLiteral("eau.csv"));
    ExportSelection selection;
    selection.accountId = int(source);
    QCOMPARE(ExportEntries(m_db.module().Query(), path, selection).entries, 5);

    const qint64 otherDossier = m_db.addDossier(QStringLiteral("Chalet"));
    const qint64 target = m_db.addAccount(otherDossier, QStringLiteral("Eau du chalet"));
    const ImportReport report = import(target, path);
    QCOMPARE(report.refusedCount, 0);
    QCOMPARE(report.imported, 5);
    QList<Entry> expected = written;
    std::stable_sort(expected.begin(), expected.end(), [](const Entry& a, const Entry& b) {
        return QDate::fromString(a.date, "dd/MM/yyyy") < QDate::fromString(b.date, "dd/MM/yyyy");
    });
    QCOMPARE(entries(target), expected);
    QCOMPARE(m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CONSUMPTION WHERE Id_File=%1")
                             .arg(otherDossier))
                 .toInt(),
             5);
    // An empty comment stays empty (NULL), as an entry added in the dialog has it.
    QCOMPARE(m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CONSUMPTION WHERE Id_Account=%1 "
                                        "AND Description IS NULL")
                             .arg(target))
                 .toInt(),
             1);
}

void TestCsvExchange::exportedFileAsASpreadsheetReadsIt()
{
    AccountRow row;
    row.title = QStringLiteral("+Électricité");
    row.unit = QStringLiteral("kWh");
    const qint64 account = m_db.addAccount(m_dossier, row);
    m_db.addEntry(m_dossier, account, QDate(2008, 3, 5), 1234.5, 12.5, "a;b");
    const QString path = m_dir->filePath(QStringLiteral("e.csv"));
    ExportEntries(m_db.module().Query(), path, OfAccount(account));
    QCOMPARE(read(path), QByteArray("\xEF\xBB\xBF"
                                    "Compte;Date;Quantité;Unité;Montant;Commentaire\r\n"
                                    "'+Électricité;05/03/2008;1234,5;kWh;12,5;\"a;b\"\r\n"));
}

void TestCsvExchange::exportSelections_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("one account") << "account"
                                 << QStringList{"Gaz;01/01/2008;1;;0;", "Gaz;03/01/2008;3;;0;"};
    QTest::newRow("date range, both ends kept")
        << "range" << QStringList{"Eau;02/01/2008;2;;0;", "Gaz;03/01/2008;3;;0;"};
    QTest::newRow("the dossier, accounts by title")
        << "dossier"
        << QStringList{"Eau;02/01/2008;2;;0;", "Gaz;01/01/2008;1;;0;", "Gaz;03/01/2008;3;;0;"};
    QTest::newRow("every dossier") << "all"
                                   << QStringList{"Autre;01/01/2008;9;;0;", "Eau;02/01/2008;2;;0;",
                                                  "Gaz;01/01/2008;1;;0;", "Gaz;03/01/2008;3;;0;"};
}

void TestCsvExchange::exportSelections()
{
    QFETCH(QString, selection);
    QFETCH(QStringList, lines);
    const qint64 gas = m_db.addAccount(m_dossier, QStringLiteral("Gaz"));
    const qint64 water = m_db.addAccount(m_dossier, QStringLiteral("Eau"));
    const qint64 other = m_db.addDossier(QStringLiteral("Autre"));
    const qint64 elsewhere = m_db.addAccount(other, QStringLiteral("Autre"));
    m_db.addEntry(m_dossier, gas, QDate(2008, 1, 3), 3, 0);
    m_db.addEntry(m_dossier, gas, QDate(2008, 1, 1), 1, 0);
    m_db.addEntry(m_dossier, water, QDate(2008, 1, 2), 2, 0);
    m_db.addEntry(other, elsewhere, QDate(2008, 1, 1), 9, 0);
    ExportSelection s;
    if (selection == u"account") {
        s.accountId = int(gas);
    } else if (selection == u"range") {
        s.dossierId = int(m_dossier);
        s.from = QDate(2008, 1, 2);
        s.to = QDate(2008, 1, 3);
        // The account with entries in the range but outside the dossier stays out too.
        m_db.addEntry(other, elsewhere, QDate(2008, 1, 2), 8, 0);
    } else if (selection == u"dossier") {
        s.dossierId = int(m_dossier);
    }
    const QString path = m_dir->filePath(QStringLiteral("x.csv"));
    QList<qint64> progress;
    const ExportResult result =
        ExportEntries(m_db.module().Query(), path, s, [&progress](qint64 done, qint64 total) {
            progress << done << total;
            return true;
        });
    QCOMPARE(result.entries, lines.size());
    QVERIFY(!result.cancelled);
    QCOMPARE(progress, (QList<qint64>{lines.size(), lines.size()}));
    QStringList written = QString::fromUtf8(read(path).mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(written.takeFirst(), CsvExportHeader());
    QCOMPARE(written.takeLast(), QString());
    QCOMPARE(written, lines);
}

void TestCsvExchange::spreadsheetFileInWindows1252Imports()
{
    const qint64 account = m_db.addAccount(m_dossier, QStringLiteral("Fioul"));
    const QString path =
        write(EncodeWindows1252(QStringLiteral("Date;Quantité;Montant;Commentaire\r\n"
                                               "5/3/2008;1 200,5;1\u00a0023,40 €;plein d'été\r\n"
                                               "2008-04-01;;;\r\n")));
    const ImportReport report = import(account, path);
    QCOMPARE(report.refusedCount, 0);
    QCOMPARE(report.imported, 2);
    QCOMPARE(entries(account), (QList<Entry>{{"05/03/2008", 1200.5, 1023.4, "plein d'été"},
                                             {"01/04/2008", 0, 0, ""}}));
}

void TestCsvExchange::badLinesAreListedWithTheirReason_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<int>("valid");
    QTest::newRow("too few fields")
        << QByteArray("05/03/2008;1\n") << QStringList{"Ligne 2 : 2 champs au lieu de 4"} << 1;
    QTest::newRow("too many fields") << QByteArray("05/03/2008;1;2;x;y\n")
                                     << QStringList{"Ligne 2 : 5 champs au lieu de 4"} << 1;
    QTest::newRow("no such day") << QByteArray("31/02/2008;1;2;x\n")
                                 << QStringList{"Ligne 2 : date invalide : « 31/02/2008 »"} << 1;
    QTest::newRow("no date") << QByteArray(";1;2;x\n") << QStringList{"Ligne 2 : date absente"}
                             << 1;
    QTest::newRow("two decimal commas")
        << QByteArray("05/03/2008;\"12,5,3\";2;x\n")
        << QStringList{"Ligne 2 : quantité invalide : « 12,5,3 »"} << 1;
    QTest::newRow("amount") << QByteArray("05/03/2008;1;douze;x\n")
                            << QStringList{"Ligne 2 : montant invalide : « douze »"} << 1;
    QTest::newRow("field of 1 MB")
        << QByteArray("05/03/2008;1;2;" + QByteArray(1024 * 1024, 'x') + "\n")
        << QStringList{"Ligne 2 : ligne trop longue (plus de 65536 caractères)"} << 1;
    QTest::newRow("comment too long")
        << QByteArray("05/03/2008;1;2;" + QByteArray(300, 'x') + "\n")
        << QStringList{"Ligne 2 : commentaire trop long (300 caractères, 255 au plus)"} << 1;
    QTest::newRow("windows-1252 read as utf-8")
        << QByteArray("05/03/2008;1;2;\xE9t\xE9\n")
        << QStringList{"Ligne 2 : commentaire illisible dans le codage choisi : « \uFFFDt\uFFFD »"}
        << 1;
    QTest::newRow("quote never closed")
        << QByteArray("05/03/2008;1;2;\"x\n06/03/2008;1;2;y\n")
        << QStringList{"Ligne 2 : guillemet non fermé : le champ va jusqu'à la fin du fichier"}
        << 0;
    QTest::newRow("long value cut in the reason")
        << QByteArray("05/03/2008;" + QByteArray(60, '7') + "x;2;c\n")
        << QStringList{"Ligne 2 : quantité invalide : « " + QString(40, u'7') + "… »"} << 1;
}

void TestCsvExchange::badLinesAreListedWithTheirReason()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, refused);
    QFETCH(int, valid);
    const qint64 account = m_db.addAccount(m_dossier, QStringLiteral("Eau"));
    const QString path =
        write("Date;Quantité;Montant;Commentaire\n" + body + "\n07/03/2008;1,5;2;bon\n");
    int asked = 0;
    // Read as UTF-8 whatever the guess, as when the person chose it.
    CsvFormat format = GuessCsvFormat(path).format;
    format.encoding = CsvEncoding::Utf8;
    const ImportReport report = ImportEntries(m_db.module().Query(), int(account), path, format,
                                              {C::Date, C::Quantity, C::Amount, C::Comment}, {},
                                              [&](const ImportReport& r) {
                                                  ++asked;
                                                  return r.valid == 1;
                                              });
    // Asked only when something could be imported.
    QCOMPARE(asked, valid);
    QCOMPARE(report.refusedCount, refused.size());
    QCOMPARE(report.refusedText(), refused.join(u'\r'));
    QCOMPARE(report.imported, valid);
    if (valid)
        QCOMPARE(entries(account), (QList<Entry>{{"07/03/2008", 1.5, 2, "bon"}}));
    else
        QVERIFY(entries(account).isEmpty());
}

void TestCsvExchange::refusedLinesLeaveTheChoice()
{
    const qint64 account = m_db.addAccount(m_dossier, QStringLiteral("Eau"));
    const QString path = write("Date;Quantité\n05/03/2008;1\n31/02/2008;2\n06/03/2008;3\n");
    // No, or nobody to ask: nothing is imported.
    for (const RefusalDecision& decision :
         {RefusalDecision(), RefusalDecision([](const ImportReport&) { return false; })}) {
        const ImportReport report = import(account, path, decision);
        QCOMPARE(report.valid, 2);
        QCOMPARE(report.refusedCount, 1);
        QCOMPARE(report.imported, 0);
        QVERIFY(entries(account).isEmpty());
    }
    const ImportReport report = import(account, path, [](const ImportReport&) { return true; });
    QCOMPARE(report.imported, 2);
    QCOMPARE(entries(account).size(), 2);
    // A file without any valid line asks nothing and imports nothing.
    const QString bad = write("Date;Quantité\n31/02/2008;1\n");
    QCOMPARE(import(account, bad, [](const ImportReport&) -> bool { qFatal("asked"); }).imported,
             0);
}

void TestCsvExchange::onlyTheFirstHundredRefusalsAreListed()
{
    const qint64 account = m_db.addAccount(m_dossier, QStringLiteral("Eau"));
    QByteArray bytes("Date;Quantité\n");
    for (int i = 0; i < 150; ++i)
        bytes += "32/01/2008;1\n";
    const ImportReport report = import(account, write(bytes));
    QCOMPARE(report.refusedCount, 150);
    QCOMPARE(report.refused.size(), ImportReport::kListedRefusals);
    QCOMPARE(report.refused.last().line, 101);
    QVERIFY(report.refusedText().endsWith(QStringLiteral("\r… et 50 autres lignes refusées.")));
}

void TestCsvExchange::counterMovesAsAddingByHand_data()
{
    QTest::addColumn<double>("count");
    QTest::addColumn<bool>("incCount");
    QTest::newRow("follows the entries") << 3.0 << true;
    QTest::newRow("never below 0 on the way") << 0.5 << true;
    QTest::newRow("IncCount off") << 7.0 << false;
}

void TestCsvExchange::counterMovesAsAddingByHand()
{
    QFETCH(double, count);
    QFETCH(bool, incCount);
    AccountRow row;
    row.count = count;
    row.incCount = incCount;
    row.title = QStringLiteral("importé");
    const qint64 imported = m_db.addAccount(m_dossier, row);
    row.title = QStringLiteral("à la main");
    const qint64 byHand = m_db.addAccount(m_dossier, row);
    const QList<double> quantities{5, -10, 4.1, 0.2, -0.3, 2.5};
    QByteArray bytes("Date;Quantité\n");
    for (const double q : quantities) {
        bytes += "05/03/2008;" + CsvNumberField(q).toUtf8() + "\n";
        AdjustCounter(m_db.module().Query(), int(byHand), q);
    }
    QCOMPARE(import(imported, write(bytes)).imported, quantities.size());
    const QString counter = QStringLiteral("SELECT Count FROM ACCOUNT WHERE Id=%1");
    QCOMPARE(m_db.scalar(counter.arg(imported)).toDouble(),
             m_db.scalar(counter.arg(byHand)).toDouble());
    if (!incCount)
        QCOMPARE(m_db.scalar(counter.arg(imported)).toDouble(), count);
}

void TestCsvExchange::cancelledImportLeavesNothing()
{
    const qint64 account = m_db.addAccount(m_dossier, CountedAccount(10.0));
    QByteArray bytes("Date;Quantité\n");
    for (int i = 0; i < 5000; ++i)
        bytes += "05/03/2008;1\n";
    const QString path = write(bytes);
    const CsvGuess guess = GuessCsvFormat(path);
    QList<qint64> positions;
    const ImportReport report =
        ImportEntries(m_db.module().Query(), int(account), path, guess.format, guess.mapping,
                      [&positions](qint64 done, qint64 total) {
                          positions << done;
                          return positions.size() < 3 && done <= total;
                      });
    QVERIFY(report.cancelled);
    QCOMPARE(report.imported, 0);
    QCOMPARE(positions.size(), 3);
    QVERIFY(positions[0] > 0 && positions[0] <= positions[1]);
    QVERIFY(entries(account).isEmpty());
    QCOMPARE(m_db.scalar(QStringLiteral("SELECT Count FROM ACCOUNT WHERE Id=%1").arg(account))
                 .toDouble(),
             10.0);
    // The connection is usable afterwards.
    QCOMPARE(import(account, path).imported, 5000);
}

void TestCsvExchange::cancelledOrFailedExportKeepsTheOldFile()
{
    const qint64 account = m_db.addAccount(m_dossier, QStringLiteral("Eau"));
    for (int i = 0; i < 3; ++i)
        m_db.addEntry(m_dossier, account, QDate(2008, 1, 1).addDays(i), i, 0);
    const QString path = write("ancien contenu");
    const ExportResult result = ExportEntries(m_db.module().Query(), path, OfAccount(account),
                                              [](qint64, qint64) { return false; });
    QVERIFY(result.cancelled);
    QCOMPARE(read(path), QByteArray("ancien contenu"));
    const QString folder = m_dir->filePath(QStringLiteral("absent/x.csv"));
    QVERIFY_THROWS_EXCEPTION(Error,
                             ExportEntries(m_db.module().Query(), folder, OfAccount(account)));
    QVERIFY(!m_db.module().Query().isActive());
}

void TestCsvExchange::refusedRequests()
{
    const qint64 account = m_db.addAccount(m_dossier, QStringLiteral("Eau"));
    const QString path = write("Date;Quantité\n05/03/2008;1\n");
    const CsvFormat format;
    const auto message = [&](int id, const std::vector<CsvColumn>& mapping) {
        try {
            ImportEntries(m_db.module().Query(), id, path, format, mapping);
        } catch (const Error& e) {
            return e.text();
        }
        return QString();
    };
    QCOMPARE(message(9999, {C::Date, C::Quantity}), QStringLiteral("Le compte 9999 n'existe pas."));
    QCOMPARE(message(int(account), {C::Quantity, C::Skip}),
             QStringLiteral("Choisissez la colonne de la date."));
    QVERIFY(message(int(account), {C::Date, C::Quantity}).isEmpty());
}

QTEST_MAIN(TestCsvExchange)
#include "tst_CsvExchange.moc"
