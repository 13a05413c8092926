// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "common/Windows1252.h"
#include "main/CsvFormat.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;

Q_DECLARE_METATYPE(tilvo::CsvEncoding)

// The text form of the exchange files: fields written, values and records read back, and the
// layout of an unknown file guessed.
class TestCsvFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textFields_data();
    void textFields();
    void numbersReadBackExactly_data();
    void numbersReadBackExactly();
    void dates_data();
    void dates();
    void numbers_data();
    void numbers();
    void records();
    void recordsAcrossChunks();
    void longRecordIsSkippedNotKept();
    void unterminatedQuote();
    void guess_data();
    void guess();
    void guessRefusesBadFiles_data();
    void guessRefusesBadFiles();
    void lateAccentStillMeansWindows1252();
    void mappingCheck();

private:
    QString write(const QByteArray& bytes);
    QTemporaryDir m_dir;
    int m_files = 0;
};

QString TestCsvFormat::write(const QByteArray& bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("f%1.csv").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestCsvFormat::textFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "Eau froide"
                           << "Eau froide";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("separator") << "a;b"
                               << "\"a;b\"";
    QTest::newRow("quote") << "dit \"oui\""
                           << "\"dit \"\"oui\"\"\"";
    QTest::newRow("line break") << "ligne 1\r\nligne 2"
                                << "\"ligne 1\r\nligne 2\"";
    QTest::newRow("formula =") << "=SOMME(A1:A9)"
                               << "'=SOMME(A1:A9)";
    QTest::newRow("formula +") << "+33 1 23"
                               << "'+33 1 23";
    QTest::newRow("formula -") << "-relevé"
                               << "'-relevé";
    QTest::newRow("formula @") << "@cmd"
                               << "'@cmd";
    QTest::newRow("guarded already") << "'=x"
                                     << "''=x";
    QTest::newRow("apostrophes") << "''"
                                 << "'''";
    QTest::newRow("apostrophe alone") << "'bonjour"
                                      << "'bonjour";
    QTest::newRow("formula and separator") << "=A1;B1"
                                           << "\"'=A1;B1\"";
}

void TestCsvFormat::textFields()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(CsvTextField(text), field);
    // Read back through the reader and the guard, the text is the one written.
    QByteArray line = (field + QStringLiteral(";x\r\n")).toUtf8();
    QBuffer buffer(&line);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, u';', CsvEncoding::Utf8);
    CsvRecord record;
    QVERIFY(reader.next(record));
    QCOMPARE(record.fields.size(), 2);
    QCOMPARE(UnguardCsvText(record.fields.at(0)), text);
}

void TestCsvFormat::numbersReadBackExactly_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("field");
    QTest::newRow("twelve and a half") << 12.5 << "12,5";
    QTest::newRow("negative") << -0.25 << "-0,25";
    QTest::newRow("integer") << 1234567.0 << "1234567";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("binary fraction") << 0.1 + 0.2 << "0,30000000000000004";
    QTest::newRow("tiny") << 1e-7 << "0,0000001";
    QTest::newRow("large") << 1e20 << "100000000000000000000";
}

void TestCsvFormat::numbersReadBackExactly()
{
    QFETCH(double, value);
    QFETCH(QString, field);
    QCOMPARE(CsvNumberField(value), field);
    const std::optional<double> back = ParseCsvNumber(field, u',');
    QVERIFY(back.has_value());
    QCOMPARE(*back, value);
}

void TestCsvFormat::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("dd/mm/yyyy") << "05/03/2008" << QDate(2008, 3, 5);
    QTest::newRow("d/m/yyyy") << "5/3/2008" << QDate(2008, 3, 5);
    QTest::newRow("iso") << "2008-03-05" << QDate(2008, 3, 5);
    QTest::newRow("blanks") << " 29/02/2008 " << QDate(2008, 2, 29);
    QTest::newRow("31 February") << "31/02/2008" << QDate();
    QTest::newRow("29 February 2007") << "29/02/2007" << QDate();
    QTest::newRow("month 13") << "01/13/2008" << QDate();
    QTest::newRow("two-digit year") << "05/03/08" << QDate();
    QTest::newRow("before 1900") << "01/01/1899" << QDate();
    QTest::newRow("time after") << "05/03/2008 10:00" << QDate();
    QTest::newRow("text") << "hier" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("iso month 0") << "2008-00-05" << QDate();
}

void TestCsvFormat::dates()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(ParseCsvDate(text), date);
    if (date.isValid())
        QCOMPARE(ParseCsvDate(CsvDateField(date)), date);
}

void TestCsvFormat::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decimalMark");
    QTest::addColumn<bool>("currency");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("comma") << "12,5"
                           << "," << false << true << 12.5;
    QTest::newRow("point under comma") << "12.5"
                                       << "," << false << true << 12.5;
    QTest::newRow("comma under point") << "12,5"
                                       << "." << false << true << 12.5;
    QTest::newRow("space groups") << "1 234 567,25"
                                  << "," << false << true << 1234567.25;
    QTest::newRow("nbsp groups") << "1\u00a0234,5"
                                 << "," << false << true << 1234.5;
    QTest::newRow("narrow nbsp groups") << "1\u202f234,5"
                                        << "," << false << true << 1234.5;
    QTest::newRow("point groups") << "1.234.567,5"
                                  << "," << false << true << 1234567.5;
    QTest::newRow("comma groups") << "1,234,567.5"
                                  << "." << false << true << 1234567.5;
    QTest::newRow("empty is 0") << ""
                                << "," << false << true << 0.0;
    QTest::newRow("blank is 0") << "  "
                                << "," << false << true << 0.0;
    QTest::newRow("negative") << "-3,75"
                              << "," << false << true << -3.75;
    QTest::newRow("plus") << "+3"
                          << "," << false << true << 3.0;
    QTest::newRow("leading mark") << ",5"
                                  << "," << false << true << 0.5;
    QTest::newRow("euro") << "12,50 €"
                          << "," << true << true << 12.5;
    QTest::newRow("euro refused for quantities") << "12,50 €"
                                                 << "," << false << false << 0.0;
    QTest::newRow("two commas") << "12,5,3"
                                << "," << false << false << 0.0;
    QTest::newRow("two commas under point") << "12,5,3"
                                            << "." << false << false << 0.0;
    QTest::newRow("groups of two") << "1.23.456,5"
                                   << "," << false << false << 0.0;
    QTest::newRow("group after decimal") << "1,234.5"
                                         << "," << false << false << 0.0;
    QTest::newRow("letters") << "abc"
                             << "," << false << false << 0.0;
    QTest::newRow("exponent") << "1e5"
                              << "," << false << false << 0.0;
    QTest::newRow("sign alone") << "-"
                                << "," << false << false << 0.0;
    QTest::newRow("blank inside") << "12 ,5"
                                  << "," << false << false << 0.0;
    QTest::newRow("overflow") << QString(400, u'9') << "," << false << false << 0.0;
}

void TestCsvFormat::numbers()
{
    QFETCH(QString, text);
    QFETCH(QString, decimalMark);
    QFETCH(bool, currency);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> number = ParseCsvNumber(text, decimalMark.at(0), currency);
    QCOMPARE(number.has_value(), valid);
    if (valid)
        QCOMPARE(*number, value);
}

void TestCsvFormat::records()
{
    QByteArray bytes("\xEF\xBB\xBF"
                     "a;\"b;c\";d\r\n"
                     "\r\n"
                     "\"multi\r\nligne\";\"dit \"\"x\"\"\";\n"
                     "mac\rfin;\"\"");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, u';', CsvEncoding::Utf8);
    QList<QStringList> fields;
    QList<qint64> lines;
    CsvRecord record;
    while (reader.next(record)) {
        fields << record.fields;
        lines << record.line;
        QVERIFY(!record.tooLong && !record.unterminated);
    }
    QCOMPARE(
        fields,
        (QList<QStringList>{
            {"a", "b;c", "d"}, {""}, {"multi\r\nligne", "dit \"x\"", ""}, {"mac"}, {"fin", ""}}));
    // A record starts on the line of the file it begins on, line breaks inside quotes counted.
    QCOMPARE(lines, (QList<qint64>{1, 2, 3, 5, 6}));
    QCOMPARE(reader.bytesRead(), qint64(bytes.size()));
}

void TestCsvFormat::recordsAcrossChunks()
{
    // Quotes, doubled quotes, CR LF pairs and multi-byte characters cut by the reading chunks.
    QByteArray bytes;
    QList<QStringList> expected;
    for (int i = 0; bytes.size() < 300 * 1024; ++i) {
        const QString comment = QStringLiteral("é\"%1\"\r\n€").arg(i);
        expected << QStringList{QString::number(i), comment};
        bytes += QString::number(i).toUtf8() + ";" + CsvTextField(comment).toUtf8() + "\r\n";
    }
    for (const CsvEncoding encoding : {CsvEncoding::Utf8, CsvEncoding::Windows1252}) {
        QByteArray file =
            encoding == CsvEncoding::Utf8 ? bytes : EncodeWindows1252(QString::fromUtf8(bytes));
        QBuffer buffer(&file);
        buffer.open(QIODevice::ReadOnly);
        CsvReader reader(buffer, u';', encoding);
        CsvRecord record;
        int n = 0;
        while (reader.next(record)) {
            QCOMPARE(record.fields, expected.at(n));
            QCOMPARE(record.line, qint64(2 * n + 1));
            ++n;
        }
        QCOMPARE(n, expected.size());
    }
}

void TestCsvFormat::longRecordIsSkippedNotKept()
{
    QByteArray bytes = "1;\"" + QByteArray(1024 * 1024, 'x') + "\n;y\"\n2;ok\n";
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, u';', CsvEncoding::Utf8);
    CsvRecord record;
    QVERIFY(reader.next(record));
    QVERIFY(record.tooLong);
    QCOMPARE(record.line, qint64(1));
    qsizetype kept = 0;
    for (const QString& f : record.fields)
        kept += f.size();
    QVERIFY(kept <= CsvReader::kMaxRecordLength);
    QVERIFY(reader.next(record));
    QVERIFY(!record.tooLong);
    QCOMPARE(record.fields, (QStringList{"2", "ok"}));
    QCOMPARE(record.line, qint64(3));
    // Separators alone are bounded too.
    QByteArray separators = QByteArray(10 * 1024 * 1024, ';') + "\n3;ok\n";
    QBuffer many(&separators);
    many.open(QIODevice::ReadOnly);
    CsvReader manyReader(many, u';', CsvEncoding::Utf8);
    QVERIFY(manyReader.next(record));
    QVERIFY(record.tooLong);
    QVERIFY(record.fields.size() <= CsvReader::kMaxRecordLength);
    QVERIFY(manyReader.next(record));
    QCOMPARE(record.fields, (QStringList{"3", "ok"}));
}

void TestCsvFormat::unterminatedQuote()
{
    QByteArray bytes = "1;ok\n2;\"sans fin\n3;x\n";
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, u';', CsvEncoding::Utf8);
    CsvRecord record;
    QVERIFY(reader.next(record));
    QVERIFY(!record.unterminated);
    QVERIFY(reader.next(record));
    QVERIFY(record.unterminated);
    QCOMPARE(record.line, qint64(2));
    QVERIFY(!reader.next(record));
}

void TestCsvFormat::guess_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("decimalMark");
    QTest::addColumn<tilvo::CsvEncoding>("encoding");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("mapping");

    QTest::newRow("our export") << QByteArray("\xEF\xBB\xBF"
                                              "Compte;Date;Quantité;Unité;Montant;Commentaire\r\n"
                                              "Eau;05/03/2008;12,5;m3;30,25;relevé\r\n")
                                << ";"
                                << "," << CsvEncoding::Utf8 << true
                                << "(ignorer),Date,Quantité,(ignorer),Montant,Commentaire";
    QTest::newRow("spreadsheet in windows-1252")
        << EncodeWindows1252(QStringLiteral("Date;Quantité;Montant;Remarque\r\n"
                                            "05/03/2008;12,5;30,25 €;été\r\n"
                                            "06/03/2008;1 200;8;\r\n"))
        << ";"
        << "," << CsvEncoding::Windows1252 << true << "Date,Quantité,Montant,(ignorer)";
    QTest::newRow("commas, points, no header")
        << QByteArray("2008-03-05,12.5,30.25,first\n2008-03-06,3,4.5,\"a, b\"\n") << ","
        << "." << CsvEncoding::Utf8 << false << "Date,Quantité,Montant,Commentaire";
    QTest::newRow("tabs, columns in another order")
        << QByteArray("note\t5/3/2008\t7,25\nautre\t6/3/2008\t8\n") << "\t"
        << "," << CsvEncoding::Utf8 << false << "Commentaire,Date,Quantité";
    QTest::newRow("english header")
        << QByteArray("Amount;Quantity;Date;Comment\n1.5;2;2008-03-05;x\n") << ";"
        << "." << CsvEncoding::Utf8 << true << "Montant,Quantité,Date,Commentaire";
    QTest::newRow("one column") << QByteArray("05/03/2008\n06/03/2008\n") << ";"
                                << "," << CsvEncoding::Utf8 << false << "Date";
}

void TestCsvFormat::guess()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, separator);
    QFETCH(QString, decimalMark);
    QFETCH(tilvo::CsvEncoding, encoding);
    QFETCH(bool, header);
    QFETCH(QString, mapping);
    const CsvGuess guess = GuessCsvFormat(write(bytes));
    QCOMPARE(guess.format.separator, separator.at(0));
    QCOMPARE(guess.format.decimalMark, decimalMark.at(0));
    QCOMPARE(guess.format.encoding, encoding);
    QCOMPARE(guess.format.hasHeader, header);
    QStringList names;
    for (const CsvColumn c : guess.mapping)
        names << CsvColumnName(c);
    QCOMPARE(names.join(u','), mapping);
    QCOMPARE(guess.columnCount, int(guess.mapping.size()));
}

void TestCsvFormat::guessRefusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << "est vide.";
    QTest::newRow("only a byte-order mark") << QByteArray("\xEF\xBB\xBF") << "est vide.";
    QTest::newRow("blank lines") << QByteArray("\r\n\r\n\n") << "est vide.";
    QByteArray binary("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    QTest::newRow("picture") << binary << "n'est pas un fichier texte.";
    QTest::newRow("utf-16") << QByteArray("\xFF\xFE"
                                          "D\0a\0t\0e\0",
                                          10)
                            << "n'est pas un fichier texte.";
}

void TestCsvFormat::guessRefusesBadFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = write(bytes);
    try {
        GuessCsvFormat(path);
        QFAIL("no error");
    } catch (const Error& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Le fichier « %1 »").arg(path)),
                 qPrintable(e.text()));
        QVERIFY2(e.text().endsWith(message), qPrintable(e.text()));
    }
    try {
        GuessCsvFormat(m_dir.filePath(QStringLiteral("absent.csv")));
        QFAIL("no error");
    } catch (const Error& e) {
        QVERIFY(e.text().contains(QStringLiteral("ne peut pas être lu")));
    }
}

void TestCsvFormat::lateAccentStillMeansWindows1252()
{
    QByteArray bytes("Date;Commentaire\r\n");
    while (bytes.size() < 200 * 1024)
        bytes += "05/03/2008;texte ascii\r\n";
    bytes += "06/03/2008;r\xE9sum\xE9\r\n";
    QCOMPARE(GuessCsvFormat(write(bytes)).format.encoding, CsvEncoding::Windows1252);
}

void TestCsvFormat::mappingCheck()
{
    using C = CsvColumn;
    QCOMPARE(CheckCsvMapping({C::Date, C::Quantity, C::Skip, C::Skip}), QString());
    QCOMPARE(CheckCsvMapping({C::Quantity, C::Comment}),
             QStringLiteral("Choisissez la colonne de la date."));
    QCOMPARE(CheckCsvMapping({C::Date, C::Amount, C::Amount}),
             QStringLiteral("La colonne « Montant » est choisie plusieurs fois."));
}

QTEST_APPLESS_MAIN(TestCsvFormat)
#include "tst_CsvFormat.moc"
