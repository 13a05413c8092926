// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/IniFile.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;

class TestIniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readString_data();
    void readString();
    void readInteger_data();
    void readInteger();
    void readBool();
    void sectionsAndKeys();
    void writeReplacesOnlyItsLine();
    void writeAddsKeyAtEndOfSection();
    void writeAddsSection();
    void writeKeepsLineEndsAndLastLineWithoutOne_data();
    void writeKeepsLineEndsAndLastLineWithoutOne();
    void valuesAreKeptByteForByte();
    void garbageIsReadAroundAndKept();
    void windows1252RoundTrip();
    void utf8FileStaysUtf8();
    void valueOutsideWindows1252SwitchesToUtf8();
    void lineBreakInValueIsFlattened();
    void missingFileAndSave();
    void saveToUnwritablePathFails();

private:
    QTemporaryDir m_dir;
};

static const QByteArray kDbIni = "[DataBase]\r\n"
                                 "Provider=OLEDB\r\n"
                                 "Path=Data\\\r\n"
                                 "\r\n"
                                 "; how the ODBC way is reached\r\n"
                                 "[ODBC]\r\n"
                                 "Name = ZEMBRALIK_TILVO \r\n"
                                 "Driver=\"Microsoft Access Driver (*.mdb)\"\r\n"
                                 "Empty=\r\n"
                                 "name=second wins not\r\n"
                                 "\r\n"
                                 "[OLEDB]\r\n"
                                 "FileName=Access\\TILVO.MDB\r\n"
                                 "[odbc]\r\n"
                                 "Name=duplicate section ignored\r\n";

void TestIniFile::readString_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "DataBase"
                           << "Provider"
                           << "OLEDB";
    QTest::newRow("backslash kept") << "DataBase"
                                    << "Path"
                                    << "Data\\";
    QTest::newRow("case-insensitive names") << "database"
                                            << "PROVIDER"
                                            << "OLEDB";
    QTest::newRow("blanks trimmed, first key wins") << "ODBC"
                                                    << "name"
                                                    << "ZEMBRALIK_TILVO";
    QTest::newRow("quotes removed") << "ODBC"
                                    << "Driver"
                                    << "Microsoft Access Driver (*.mdb)";
    QTest::newRow("empty value") << "ODBC"
                                 << "Empty"
                                 << "";
    QTest::newRow("missing key") << "ODBC"
                                 << "Path"
                                 << "<default>";
    QTest::newRow("missing section") << "Nothing"
                                     << "Name"
                                     << "<default>";
    QTest::newRow("comment is no key") << "DataBase"
                                       << "; how the ODBC way is reached"
                                       << "<default>";
}

void TestIniFile::readString()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const IniFile ini = IniFile::fromBytes(kDbIni);
    QCOMPARE(ini.readString(section, key, "<default>"), expected);
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << "640" << 640;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("blanks") << "  12 " << 12;
    QTest::newRow("hex 0x") << "0x1F" << 31;
    QTest::newRow("hex dollar") << "$10" << 16;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("too large") << "2147483648" << 77;
    QTest::newRow("huge") << "99999999999999999999999999" << 77;
    QTest::newRow("not a number") << "abc" << 77;
    QTest::newRow("trailing garbage") << "12px" << 77;
    QTest::newRow("decimal point") << "1.5" << 77;
    QTest::newRow("empty") << "" << 77;
}

void TestIniFile::readInteger()
{
    QFETCH(QString, value);
    QFETCH(int, expected);
    const IniFile ini = IniFile::fromBytes("[Windows]\nWidth=" + value.toLatin1() + "\n");
    QCOMPARE(ini.readInteger("Windows", "Width", 77), expected);
    QCOMPARE(ini.readInteger("Windows", "Missing", 77), 77);
}

void TestIniFile::readBool()
{
    const IniFile ini = IniFile::fromBytes("[P]\nA=1\nB=0\nC=-5\nD=yes\n");
    QCOMPARE(ini.readBool("P", "A", false), true);
    QCOMPARE(ini.readBool("P", "B", true), false);
    QCOMPARE(ini.readBool("P", "C", false), true);
    QCOMPARE(ini.readBool("P", "D", true), true);
    QCOMPARE(ini.readBool("P", "D", false), false);
    QCOMPARE(ini.readBool("P", "E", true), true);
}

void TestIniFile::sectionsAndKeys()
{
    const IniFile ini = IniFile::fromBytes(kDbIni);
    QCOMPARE(ini.sections(), (QStringList{"DataBase", "ODBC", "OLEDB", "odbc"}));
    QCOMPARE(ini.keys("odbc"), (QStringList{"Name", "Driver", "Empty", "name"}));
    QVERIFY(ini.hasSection("oledb"));
    QVERIFY(ini.hasKey("OLEDB", "filename"));
    QVERIFY(!ini.hasKey("OLEDB", "Provider"));
}

void TestIniFile::writeReplacesOnlyItsLine()
{
    IniFile ini = IniFile::fromBytes(kDbIni);
    ini.writeString("odbc", "NAME", "OTHER");
    QByteArray expected = kDbIni;
    expected.replace("Name = ZEMBRALIK_TILVO \r\n", "NAME=OTHER\r\n");
    QCOMPARE(ini.toBytes(), expected);
    QCOMPARE(ini.readString("ODBC", "Name"), QString("OTHER"));
}

void TestIniFile::writeAddsKeyAtEndOfSection()
{
    IniFile ini = IniFile::fromBytes(kDbIni);
    ini.writeString("DataBase", "Extra", "1");
    QByteArray expected = kDbIni;
    expected.replace("Path=Data\\\r\n", "Path=Data\\\r\nExtra=1\r\n");
    QCOMPARE(ini.toBytes(), expected);
}

void TestIniFile::writeAddsSection()
{
    IniFile ini = IniFile::fromBytes(kDbIni);
    ini.writeInteger("Windows", "Left", -1);
    ini.writeBool("Windows", "Style", false);
    QCOMPARE(ini.toBytes(), kDbIni + "[Windows]\r\nLeft=-1\r\nStyle=0\r\n");
}

void TestIniFile::writeKeepsLineEndsAndLastLineWithoutOne_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("lf file") << QByteArray("[A]\nx=1\n") << QByteArray("[A]\nx=1\ny=2\n");
    QTest::newRow("cr-only file") << QByteArray("[A]\rx=1") << QByteArray("[A]\rx=1\ry=2\r");
    QTest::newRow("header without line end") << QByteArray("[A]") << QByteArray("[A]\r\ny=2\r\n");
    QTest::newRow("empty file") << QByteArray() << QByteArray("[A]\r\ny=2\r\n");
    QTest::newRow("other section after blank")
        << QByteArray("[A]\nx=1\n\n[B]\n") << QByteArray("[A]\nx=1\ny=2\n\n[B]\n");
}

void TestIniFile::writeKeepsLineEndsAndLastLineWithoutOne()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    IniFile ini = IniFile::fromBytes(input);
    ini.writeInteger("A", "y", 2);
    QCOMPARE(ini.toBytes(), expected);
}

void TestIniFile::valuesAreKeptByteForByte()
{
    IniFile ini = IniFile::fromBytes(QByteArray());
    const QString path = "C:\\Données\\Tilvo\\ \"quoted\" %PATH% ; not a comment";
    ini.writeString("Path", "AppDataDir", path);
    QCOMPARE(ini.readString("Path", "AppDataDir"), path);
    QCOMPARE(ini.toBytes(), QByteArray("[Path]\r\nAppDataDir=C:\\Donn\xe9"
                                       "es\\Tilvo\\ \"quoted\" %PATH% ; not a comment\r\n"));
}

void TestIniFile::garbageIsReadAroundAndKept()
{
    const QByteArray input = QByteArray(1, '\0') +
                             "\xff garbage\r\n[Properties\r\nSplash=0\r\n=novalue\r\n"
                             "noequals\r\n]oops[\r\n[Scan]\r\nMaxWidth=5000";
    IniFile ini = IniFile::fromBytes(input);
    // An unclosed section header still opens its section, as the profile functions do.
    QCOMPARE(ini.readBool("Properties", "Splash", true), false);
    QCOMPARE(ini.readInteger("Scan", "MaxWidth", 0), 5000);
    QCOMPARE(ini.readString("Properties", "", "d"), QString("d"));
    QCOMPARE(ini.toBytes(), input);
    ini.writeInteger("Scan", "JpegQuality", 100);
    QCOMPARE(ini.toBytes(), input + "\r\nJpegQuality=100\r\n");
}

void TestIniFile::windows1252RoundTrip()
{
    const QString path = m_dir.filePath("cp.ini");
    const QByteArray bytes = "[Montant]\r\nSymbole=\x80\r\nNote=pr\xe9"
                             "f\xe9r\xe9\r\n";
    test::WriteFile(path, bytes);
    IniFile ini(path);
    QVERIFY(ini.existed());
    QCOMPARE(ini.readString("Montant", "Symbole"), QString::fromUtf8("€"));
    QCOMPARE(ini.readString("Montant", "Note"), QString::fromUtf8("préféré"));
    ini.writeString("Montant", "Unité", QString::fromUtf8("m³ d'eau"));
    QVERIFY(ini.save());
    QCOMPARE(test::ReadFile(path), bytes + "Unit\xe9=m\xb3 d'eau\r\n");
}

void TestIniFile::utf8FileStaysUtf8()
{
    IniFile ini = IniFile::fromBytes("[A]\nNote=pr\xc3\xa9"
                                     "f\xc3\xa9r\xc3\xa9\n");
    QCOMPARE(ini.readString("A", "Note"), QString::fromUtf8("préféré"));
    ini.writeString("A", "Sym", QString::fromUtf8("€"));
    QCOMPARE(ini.toBytes(), QByteArray("[A]\nNote=pr\xc3\xa9"
                                       "f\xc3\xa9r\xc3\xa9\nSym=\xe2\x82\xac\n"));
}

void TestIniFile::valueOutsideWindows1252SwitchesToUtf8()
{
    IniFile ini = IniFile::fromBytes("[A]\r\nNote=\xe9t\xe9\r\n");
    ini.writeString("Path", "AppDataDir", QString::fromUtf8("/home/山田/"));
    QCOMPARE(ini.toBytes(),
             QByteArray("[A]\r\nNote=\xc3\xa9t\xc3\xa9\r\n[Path]\r\nAppDataDir=/home/"
                        "\xe5\xb1\xb1\xe7\x94\xb0/\r\n"));
    const IniFile reread = IniFile::fromBytes(ini.toBytes());
    QCOMPARE(reread.readString("A", "Note"), QString::fromUtf8("été"));
    QCOMPARE(reread.readString("Path", "AppDataDir"), QString::fromUtf8("/home/山田/"));
}

void TestIniFile::lineBreakInValueIsFlattened()
{
    IniFile ini = IniFile::fromBytes(QByteArray());
    ini.writeString("A", "x", "one\r\ntwo\nthree");
    QCOMPARE(ini.keys("A"), QStringList{"x"});
    QCOMPARE(ini.readString("A", "x"), QString("one  two three"));
}

void TestIniFile::missingFileAndSave()
{
    const QString path = m_dir.filePath("db.ini");
    IniFile ini(path);
    QVERIFY(!ini.existed());
    QCOMPARE(ini.readString("DataBase", "Provider", "OLEDB"), QString("OLEDB"));
    ini.writeString("DataBase", "Provider", "OLEDB");
    QVERIFY(ini.save());
    QCOMPARE(test::ReadFile(m_dir.filePath("db.ini")),
             QByteArray("[DataBase]\r\nProvider=OLEDB\r\n"));
}

void TestIniFile::saveToUnwritablePathFails()
{
    IniFile ini(m_dir.filePath("missing-folder/x.ini"));
    ini.writeBool("A", "b", true);
    QVERIFY(!ini.save());
    QVERIFY(!QFile::exists(m_dir.filePath("missing-folder")));
}

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
