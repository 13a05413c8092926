// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "common/SqlText.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;

class TestSqlText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitLines_data();
    void splitLines();
    void joinLinesEndsEveryLine();
    void clauseLines_data();
    void clauseLines();
    void buildQuery_data();
    void buildQuery();
    void buildQueryErrorsNameTheFile_data();
    void buildQueryErrorsNameTheFile();
    void formatReal_data();
    void formatReal();
    void zeroPad_data();
    void zeroPad();
    void trimLeadingBlanks_data();
    void trimLeadingBlanks();

private:
    QTemporaryDir m_dir;
};

void TestSqlText::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one line") << "SELECT" << QStringList{"SELECT"};
    QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("lone cr and lf") << "a\rb\nc" << QStringList{"a", "b", "c"};
    QTest::newRow("lf cr is two breaks") << "a\n\rb" << QStringList{"a", "", "b"};
    QTest::newRow("blank lines kept") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
}

void TestSqlText::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitLines(text), lines);
}

void TestSqlText::joinLinesEndsEveryLine()
{
    QCOMPARE(JoinLines({"SELECT *", "FROM ACCOUNT"}), QString("SELECT *\r\nFROM ACCOUNT\r\n"));
    QCOMPARE(JoinLines({}), QString());
}

void TestSqlText::clauseLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("where");
    QTest::addColumn<int>("having");
    QTest::addColumn<int>("orderBy");
    QTest::newRow("account statement")
        << "SELECT * FROM ACCOUNT\r\nWHERE ID_FILE=-1\r\nORDER BY TITLE, DESCRIPTION" << 0 << 1
        << -1 << 2;
    QTest::newRow("lower case keywords")
        << "select *\nfrom account\nwhere id_file=-1\nhaving x\norder by title" << 1 << 2 << 3 << 4;
    QTest::newRow("empty text") << QString() << -1 << -1 << -1 << -1;
    QTest::newRow("plain substring") << "SELECT FROMAGE\nNOWHERE" << 0 << 1 << -1 << -1;
    QTest::newRow("first line wins") << "WHERE a\nWHERE b" << -1 << 0 << -1 << -1;
    QTest::newRow("ORDER and BY apart") << "ORDER  BY x" << -1 << -1 << -1 << -1;
    // Only a-z are upper-cased: a dotless i does not become I.
    QTest::newRow("no unicode folding") << QString::fromUtf8("wher\u0131") << -1 << -1 << -1 << -1;
}

void TestSqlText::clauseLines()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, where);
    QFETCH(int, having);
    QFETCH(int, orderBy);
    QCOMPARE(GetFromLine(text), from);
    QCOMPARE(GetWhereLine(text), where);
    QCOMPARE(GetHavingLine(text), having);
    QCOMPARE(GetOrderByLine(text), orderBy);
    QCOMPARE(GetWhereLine(SplitLines(text)), where);
}

void TestSqlText::buildQuery_data()
{
    QTest::addColumn<QByteArray>("templateText");
    QTest::addColumn<bool>("dropFirst");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("having");
    QTest::addColumn<QString>("orderBy");
    QTest::addColumn<QString>("expected");

    const QByteArray report = "Statistiques\r\nSELECT DateAction, Quantity\r\nFROM CONSUMPTION\r\n"
                              "WHERE Id_Account=-1\r\nORDER BY DateAction";
    QTest::newRow("nothing given keeps the template")
        << report << false << ""
        << ""
        << ""
        << ""
        << "Statistiques\r\nSELECT DateAction, Quantity\r\nFROM CONSUMPTION\r\n"
           "WHERE Id_Account=-1\r\nORDER BY DateAction\r\n";
    QTest::newRow("report use")
        << report << true << ""
        << "Id_Account=12"
        << ""
        << "DateAction"
        << "SELECT DateAction, Quantity\r\nFROM CONSUMPTION\r\nWHERE Id_Account=12\r\n"
           "ORDER BY DateAction\r\n";
    QTest::newRow("every clause")
        << report << true << "ACCOUNT"
        << "ID=3"
        << "COUNT(*)>1"
        << "Title"
        << "SELECT DateAction, Quantity\r\nFROM ACCOUNT\r\nWHERE ID=3\r\nHAVING COUNT(*)>1\r\n"
           "ORDER BY Title\r\n";
    QTest::newRow("having before a last ORDER BY line")
        << QByteArray("SELECT x\nFROM T\nWHERE a=1\nGROUP BY x\norder by DateAction") << false << ""
        << ""
        << "SUM(x)>0"
        << ""
        << "SELECT x\r\nFROM T\r\nWHERE a=1\r\nGROUP BY x\r\nHAVING SUM(x)>0\r\n"
           "order by DateAction\r\n";
    QTest::newRow("having appended without ORDER BY")
        << QByteArray("SELECT x\nFROM T\nGROUP BY x\n") << false << ""
        << ""
        << "SUM(x)>0"
        << ""
        << "SELECT x\r\nFROM T\r\nGROUP BY x\r\nHAVING SUM(x)>0\r\n";
    QTest::newRow("existing having replaced")
        << QByteArray("SELECT x\nFROM T\nHAVING 1=1\nORDER BY x") << false << ""
        << ""
        << "SUM(x)>0"
        << ""
        << "SELECT x\r\nFROM T\r\nHAVING SUM(x)>0\r\nORDER BY x\r\n";
    QTest::newRow("drop first of an empty file") << QByteArray() << true << ""
                                                 << ""
                                                 << ""
                                                 << ""
                                                 << "";
}

void TestSqlText::buildQuery()
{
    QFETCH(QByteArray, templateText);
    QFETCH(bool, dropFirst);
    QFETCH(QString, from);
    QFETCH(QString, where);
    QFETCH(QString, having);
    QFETCH(QString, orderBy);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath("report.req");
    test::WriteFile(path, templateText);
    QCOMPARE(BuildQueryFromFile(path, dropFirst, from, where, having, orderBy), expected);
    QCOMPARE(test::ReadFile(path), templateText);
}

void TestSqlText::buildQueryErrorsNameTheFile_data()
{
    QTest::addColumn<bool>("create");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("orderBy");
    QTest::newRow("missing file") << false << ""
                                  << ""
                                  << "";
    QTest::newRow("no FROM line") << true << "T"
                                  << ""
                                  << "";
    QTest::newRow("no WHERE line") << true << ""
                                   << "a=1"
                                   << "";
    QTest::newRow("no ORDER BY line") << true << ""
                                      << ""
                                      << "x";
}

void TestSqlText::buildQueryErrorsNameTheFile()
{
    QFETCH(bool, create);
    QFETCH(QString, from);
    QFETCH(QString, where);
    QFETCH(QString, orderBy);
    const QString path = m_dir.filePath(QString("bad-%1.req").arg(QTest::currentDataTag()));
    const QByteArray body = "SELECT x\r\n";
    if (create)
        test::WriteFile(path, body);
    try {
        BuildQueryFromFile(path, false, from, where, QString(), orderBy);
        QFAIL("no error raised");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(path), qPrintable(e.text()));
    }
    if (create)
        QCOMPARE(test::ReadFile(path), body);
}

void TestSqlText::formatReal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two decimals") << 12.5 << 7 << 2 << "     12.50";
    QTest::newRow("no decimals") << 2.0 << 7 << 0 << "      2";
    QTest::newRow("negative") << -0.5 << 7 << 1 << "     -0.5";
    QTest::newRow("rounds") << 2.346 << 1 << 2 << "2.35";
    QTest::newRow("rounds to integer") << 2.6 << 3 << 0 << "  3";
    QTest::newRow("never cut") << 123456789.0 << 3 << 1 << "123456789.0";
    QTest::newRow("no thousands separator") << 1234567.125 << 0 << 3 << "1234567.125";
    QTest::newRow("zero width") << 5.0 << 0 << 0 << "5";
    QTest::newRow("tiny negative has no sign") << -0.0001 << 1 << 2 << "0.00";
    QTest::newRow("negative zero") << -0.0 << 1 << 0 << "0";
    QTest::newRow("not a number") << std::nan("") << 5 << 0 << "  NAN";
    QTest::newRow("infinite") << -HUGE_VAL << 0 << 0 << "-INF";
}

void TestSqlText::formatReal()
{
    QFETCH(double, value);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(FormatReal(value, width, decimals), expected);
}

void TestSqlText::zeroPad_data()
{
    QTest::addColumn<qint64>("number");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::newRow("padded") << qint64(7) << 3 << "007";
    QTest::newRow("longer than width") << qint64(123) << 2 << "123";
    QTest::newRow("zero") << qint64(0) << 2 << "00";
    QTest::newRow("hundred") << qint64(100) << 2 << "100";
    QTest::newRow("width capped at 8") << qint64(5) << 12 << "00000005";
    QTest::newRow("width 0") << qint64(5) << 0 << "5";
}

void TestSqlText::zeroPad()
{
    QFETCH(qint64, number);
    QFETCH(int, width);
    QFETCH(QString, expected);
    QCOMPARE(ZeroPad(number, width), expected);
}

void TestSqlText::trimLeadingBlanks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks") << "     12.50"
                            << "12.50";
    QTest::newRow("none") << "12.50 "
                          << "12.50 ";
    QTest::newRow("tab stays") << "\t 1"
                               << "\t 1";
    QTest::newRow("only blanks") << "   "
                                 << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestSqlText::trimLeadingBlanks()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TrimLeadingBlanks(text), expected);
}

QTEST_APPLESS_MAIN(TestSqlText)
#include "tst_SqlText.moc"
