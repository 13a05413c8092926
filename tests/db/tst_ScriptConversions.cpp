// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Clock.h"
#include "common/FileHelpers.h"
#include "common/SqlText.h"
#include "common/Windows1252.h"
#include "db/DataSet.h"
#include "db/ScriptConversions.h"
#include "images/BmpFile.h"
#include "images/ImageScriptPictures.h"
#include "images/JpegFile.h"
#include "support/TestFiles.h"

#include <QSqlQuery>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

namespace {

const QString kStamp = QStringLiteral("05/03/2008-14:07:09 : ");

// A picture of the size, red on the left half and blue on the right.
QByteArray Bitmap(int width, int height)
{
    Picture picture(width, height);
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.row(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = x < width / 2 ? 0 : 255;
            row[3 * x + 2] = x < width / 2 ? 255 : 0;
        }
    }
    return EncodeBmp(picture);
}

} // namespace

class TestScriptConversions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void statisticDefinitionsAreMoved();
    void queryDefinitionsAreMovedAsTheyAre();
    void withoutTreeFileNothingIsConverted();
    void shortDefinitionFileEndsTheCommand();
    void textsAreReplacedInDefinitions_data();
    void textsAreReplacedInDefinitions();
    void pictureArguments_data();
    void pictureArguments();
    void pictureCommandsLog_data();
    void pictureCommandsLog();
    void extractedPicturesBecomeJpegFiles_data();
    void extractedPicturesBecomeJpegFiles();
    void existingPictureFileIsKept();
    void jpegColumnsAreSavedAsTheyAre();
    void bitmapsAreFittedIntoTheBox_data();
    void bitmapsAreFittedIntoTheBox();
    void bitmapsBecomeJpegInTheTable();
    void unreadablePictureEndsTheCommandOnly();
    void missingTableIsLogged();

private:
    // Runs the script's lines and gives the log lines they wrote (the closing lines left out).
    QStringList run(const QString& lines);
    QString program() const { return m_db.folder() + QStringLiteral("program/"); }
    QString images() const { return m_db.folder() + QStringLiteral("Data/Images/"); }
    void writeProgramFile(const QString& name, const QString& text)
    {
        WriteFile(program() + name, EncodeWindows1252(text));
    }
    void createPictures(const QString& state);
    QVariantList column(const QString& select);

    SchemaCopy m_db;
    FixedClock m_clock{QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9))};
    ImageScriptPictures m_pictures;
    UpdateEnvironment m_env;
};

void TestScriptConversions::initTestCase_data()
{
    AddProviderRows();
}

void TestScriptConversions::initTestCase()
{
    m_db.prepare();
}

void TestScriptConversions::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("Data/Access/TILVO.MDB")));
    m_db.open(odbc);
    m_env = UpdateEnvironment();
    m_env.config.DatabaseFolder = m_db.folder() + QStringLiteral("Data/");
    m_env.DataFolder = m_db.folder();
    m_env.ProgramFolder = program();
    m_env.clock = &m_clock;
    m_env.pictures = &m_pictures;
}

void TestScriptConversions::cleanup()
{
    m_db.release();
}

QStringList TestScriptConversions::run(const QString& lines)
{
    WriteFile(m_db.folder() + QStringLiteral("test.maj"), EncodeWindows1252(lines));
    RunUpdateScript(m_db.connection(), m_db.folder(), QStringLiteral("test.maj"), ProgressLabel(),
                    false, m_env);
    QStringList log = SplitLines(ReadTextFile(UpdateLogPath(m_db.folder())).value_or(QString()));
    // The run's own closing line and the empty line after it.
    log.removeLast();
    log.removeLast();
    return log;
}

QVariantList TestScriptConversions::column(const QString& select)
{
    QVariantList values;
    QSqlQuery q(m_db.connection().database());
    if (!q.exec(select))
        return values;
    while (q.next())
        values << q.value(0);
    return values;
}

void TestScriptConversions::statisticDefinitionsAreMoved()
{
    writeProgramFile(
        QStringLiteral("Stat/StatTree.def"),
        QStringLiteral("Eau|1\r\n\t Relevé mensuel |2\r\n\tAbsent|2\r\nÉlectricité|1\r\n"));
    // The definition file is found by the title as written, blanks included.
    writeProgramFile(QStringLiteral("Stat/ Relevé mensuel .stq"),
                     QStringLiteral("[Statistique]\r\nSELECT Quantity\r\nFROM CONSUMPTION\r\n"));
    QCOMPARE(run(QStringLiteral("ConvertStatScript{Mensuel}\r\n")),
             QStringList({kStamp + QStringLiteral("CONVERSION:Statistiques (Ok)")}));
    QCOMPARE(column(QStringLiteral("SELECT Id_File || '|' || NodeTitle || '|' || NodeLevel || "
                                   "'|' || NodePos || '|' || NodeType FROM STAT_TREE ORDER BY Id")),
             QVariantList({"-1|Eau|0|0|1", "-1|Relevé mensuel|1|1|2", "-1|Absent|1|2|2",
                           "-1|Électricité|0|3|1"}));
    QCOMPARE(column(QStringLiteral("SELECT Id_Tree FROM STAT_QUERY")),
             column(QStringLiteral("SELECT Id FROM STAT_TREE WHERE NodePos=1")));
    QCOMPARE(column(QStringLiteral("SELECT Query FROM STAT_QUERY")),
             QVariantList({"[Statistique]\r\nSELECT Quantity{Mensuel}\r\nFROM CONSUMPTION"}));
}

void TestScriptConversions::queryDefinitionsAreMovedAsTheyAre()
{
    writeProgramFile(QStringLiteral("Query/QueryTree.def"),
                     QStringLiteral("Requêtes|1\r\n\tListe|2\r\n"));
    writeProgramFile(QStringLiteral("Query/Liste.req"), QStringLiteral("SELECT *\r\nFROM ACCOUNT"));
    QCOMPARE(run(QStringLiteral("ConvertQueryScript\r\n")),
             QStringList({kStamp + QStringLiteral("CONVERSION:Requêtes (Ok)")}));
    QCOMPARE(column(QStringLiteral("SELECT NodeTitle FROM SQL_TREE ORDER BY Id")),
             QVariantList({"Requêtes", "Liste"}));
    QCOMPARE(column(QStringLiteral("SELECT Query FROM SQL_QUERY")),
             QVariantList({"SELECT *\r\nFROM ACCOUNT"}));
}

void TestScriptConversions::withoutTreeFileNothingIsConverted()
{
    QCOMPARE(run(QStringLiteral("ConvertStatScript{X}\r\nConvertQueryScript\r\n")),
             QStringList({kStamp + QStringLiteral("CONVERSION:Statistiques (Ok)"),
                          kStamp + QStringLiteral("CONVERSION:Requêtes (Ok)")}));
    QCOMPARE(column(QStringLiteral("SELECT COUNT(*) FROM STAT_TREE")), QVariantList({0}));
}

void TestScriptConversions::shortDefinitionFileEndsTheCommand()
{
    writeProgramFile(QStringLiteral("Stat/StatTree.def"),
                     QStringLiteral("\tCourt|2\r\n\tSuivant|2\r\n"));
    writeProgramFile(QStringLiteral("Stat/Court.stq"), QStringLiteral("une seule ligne\r\n"));
    writeProgramFile(QStringLiteral("Stat/Suivant.stq"), QStringLiteral("a\r\nb\r\n"));
    const QStringList log = run(QStringLiteral("ConvertStatScript{X}\r\nSqlExe{DELETE FROM "
                                               "BACKUP}\r\n"));
    QCOMPARE(log,
             QStringList({kStamp + QStringLiteral("CONVERSION:Statistiques (error : le fichier "
                                                  "%1 a moins de deux lignes)")
                                       .arg(program() + QStringLiteral("Stat/Court.stq")),
                          kStamp + QStringLiteral("SQL:DELETE FROM BACKUP (Ok)")}));
    // The node inserted before the failure stays; the rest of the tree is not converted.
    QCOMPARE(column(QStringLiteral("SELECT NodeTitle FROM STAT_TREE")), QVariantList({"Court"}));
    QCOMPARE(column(QStringLiteral("SELECT COUNT(*) FROM STAT_QUERY")), QVariantList({0}));
}

void TestScriptConversions::textsAreReplacedInDefinitions_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("logged");
    QTest::newRow("statistics") << "STAT_QUERY"
                                << "ReplaceStringInStatScript('abc','xyz')"
                                << "MODIFICATION:Statistiques(abc) (Ok)";
    QTest::newRow("queries") << "SQL_QUERY"
                             << "ReplaceStringInQueryScript(\"abc\",\"xyz\")"
                             << "MODIFICATION:Requêtes(abc) (Ok)";
}

void TestScriptConversions::textsAreReplacedInDefinitions()
{
    QFETCH(QString, table);
    QFETCH(QString, line);
    QFETCH(QString, logged);
    for (const char* text : {"a abc b abc", "ABC", "sans"})
        m_db.connection().exec(QStringLiteral("INSERT INTO %1 (Id_Tree, Query) VALUES (1, '%2')")
                                   .arg(table, QLatin1String(text)));
    QCOMPARE(run(line + QStringLiteral("\r\n")), QStringList({kStamp + logged}));
    QCOMPARE(column(QStringLiteral("SELECT Query FROM %1 ORDER BY Id").arg(table)),
             QVariantList({"a xyz b xyz", "ABC", "sans"}));
}

void TestScriptConversions::pictureArguments_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("three") << "ExtractImageToJpeg('ACCOUNT','Img1','Account')" << 3
                           << QStringList{"ACCOUNT", "Img1", "Account"};
    QTest::newRow("four") << "ResizeBitmapInDataBase('T','F','70','35')" << 4
                          << QStringList{"T", "F", "70", "35"};
    QTest::newRow("any delimiter")
        << "ConvertBitmapToJpegInDataBase(\"T\",[F])" << 2 << QStringList{"T", "F"};
    QTest::newRow("text around") << "  ExtractJpegImage('T','F','p') // fin" << 3
                                 << QStringList{"T", "F", "p"};
    // Without its ",", an argument has no end: nothing is cut out.
    QTest::newRow("missing") << "ExtractJpegImage('T')" << 3 << QStringList{"", "", ""};
}

void TestScriptConversions::pictureArguments()
{
    QFETCH(QString, line);
    QFETCH(int, count);
    QFETCH(QStringList, arguments);
    QCOMPARE(PictureCommandArguments(line, count), arguments);
}

void TestScriptConversions::createPictures(const QString& state)
{
    m_db.connection().exec(QStringLiteral("CREATE TABLE PICS (Id COUNTER, Pic LONGBINARY)"));
    if (state == u"empty")
        return;
    DataSet set(m_db.connection());
    set.setSqlText(QStringLiteral("SELECT * FROM PICS"));
    set.open();
    const QList<QByteArray> pictures =
        state == u"pictures" ? QList<QByteArray>{Bitmap(300, 100), QByteArray(), Bitmap(40, 40)}
                             : QList<QByteArray>{QByteArray(), QByteArray()};
    for (const QByteArray& bytes : pictures) {
        set.append();
        if (!bytes.isEmpty())
            set.fieldByName(QStringLiteral("Pic")).setBytes(bytes);
        else
            set.fieldByName(QStringLiteral("Pic")).clear();
        set.post();
    }
}

void TestScriptConversions::pictureCommandsLog_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QStringList>("expected");
    const QString extract =
        QStringLiteral("OPTIMISATION:Extraction des images au format jpeg de la table PICS");
    const QString jpeg = QStringLiteral("OPTIMISATION:Extraction des images jpeg de la table PICS");
    const QString resize =
        QStringLiteral("OPTIMISATION:Redimensionne les images Bitmap de la table PICS");
    const QString convert =
        QStringLiteral("OPTIMISATION:Conversion des images Bitmap en Jpeg de la table PICS");
    const QString noRowsBase = QStringLiteral("Pas d'images dans la base");
    const QString noRowsTable = QStringLiteral("Pas d'images dans la table");
    struct Command
    {
        const char* name;
        QString line;
        QString header;
        QString noRows;
        QStringList handled;
    };
    const QList<Command> commands = {
        {"ExtractImageToJpeg",
         "ExtractImageToJpeg('PICS','Pic','Pic')",
         extract,
         noRowsBase,
         {"Conversion de l'image : %IMG%Pic1.jpg", "Conversion de l'image : %IMG%Pic3.jpg"}},
        {"ExtractImageToJpegCopy",
         "ExtractImageToJpegCopy('PICS','Pic','Pic')",
         extract,
         noRowsBase,
         {"Conversion de l'image : %IMG%Pic1.jpg", "Conversion de l'image : %IMG%Pic3.jpg"}},
        {"ExtractJpegImage",
         "ExtractJpegImage('PICS','Pic','Photo')",
         jpeg,
         noRowsBase,
         {"Extraction de l'image : %IMG%Photo1.jpg", "Extraction de l'image : %IMG%Photo3.jpg"}},
        {"ResizeBitmapInDataBase",
         "ResizeBitmapInDataBase('PICS','Pic','70','70')",
         resize,
         noRowsTable,
         {"Redimensionnement de l'image : 1.jpg", "Redimensionnement de l'image : 3.jpg"}},
        {"ResizeBitmapDataBaseInWhiteRect",
         "ResizeBitmapInDataBase('PICS','Pic','70','70') ResizeBitmapDataBaseInWhiteRect",
         resize,
         noRowsTable,
         {"Redimensionnement de l'image : 1.jpg", "Redimensionnement de l'image : 3.jpg"}},
        {"ConvertBitmapToJpegInDataBase",
         "ConvertBitmapToJpegInDataBase('PICS','Pic')",
         convert,
         noRowsTable,
         {"Conversion de l'image : 1.jpg", "Conversion de l'image : 3.jpg"}},
    };
    for (const Command& c : commands) {
        QTest::addRow("%s, pictures", c.name)
            << c.line << "pictures" << (QStringList{c.header} + c.handled + QStringList{""});
        QTest::addRow("%s, null rows", c.name)
            << c.line << "nulls" << QStringList{c.header, c.header};
        QTest::addRow("%s, empty", c.name) << c.line << "empty" << QStringList{c.header, c.noRows};
    }
}

void TestScriptConversions::pictureCommandsLog()
{
    QFETCH(QString, line);
    QFETCH(QString, state);
    QFETCH(QStringList, expected);
    createPictures(state);
    QStringList stamped;
    for (const QString& text : expected)
        stamped << (text.isEmpty() ? QString() : kStamp + QString(text).replace("%IMG%", images()));
    QCOMPARE(run(line + QStringLiteral("\r\n")), stamped);
}

void TestScriptConversions::extractedPicturesBecomeJpegFiles_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("moved") << "ExtractImageToJpeg('PICS','Pic','Pic')" << true;
    QTest::newRow("copied") << "ExtractImageToJpegCopy('PICS','Pic','Pic')" << false;
}

void TestScriptConversions::extractedPicturesBecomeJpegFiles()
{
    QFETCH(QString, line);
    QFETCH(bool, cleared);
    createPictures(QStringLiteral("pictures"));
    run(line + QStringLiteral("\r\n"));
    Picture first;
    QVERIFY(ReadJpegFile(first, images() + QStringLiteral("Pic1.jpg")));
    QCOMPARE(first.width(), 300);
    QCOMPARE(first.height(), 100);
    QCOMPARE(first.format(), PixelFormat::Bgr24);
    QVERIFY(QFileInfo::exists(images() + QStringLiteral("Pic3.jpg")));
    QVERIFY(!QFileInfo::exists(images() + QStringLiteral("Pic2.jpg")));
    QCOMPARE(column(QStringLiteral("SELECT COUNT(*) FROM PICS WHERE Pic IS NULL")),
             QVariantList({cleared ? 3 : 1}));
    QVERIFY(!QFileInfo::exists(images() + QStringLiteral("Temp.Bmp")));
}

void TestScriptConversions::existingPictureFileIsKept()
{
    createPictures(QStringLiteral("pictures"));
    WriteFile(images() + QStringLiteral("Pic1.jpg"), "already there");
    run(QStringLiteral("ExtractImageToJpeg('PICS','Pic','Pic')\r\n"));
    QCOMPARE(ReadFile(images() + QStringLiteral("Pic1.jpg")), QByteArray("already there"));
    QCOMPARE(column(QStringLiteral("SELECT COUNT(*) FROM PICS WHERE Pic IS NULL")),
             QVariantList({3}));
}

void TestScriptConversions::jpegColumnsAreSavedAsTheyAre()
{
    m_db.connection().exec(QStringLiteral("CREATE TABLE PICS (Id COUNTER, Pic LONGBINARY)"));
    DataSet set(m_db.connection());
    set.setSqlText(QStringLiteral("SELECT * FROM PICS"));
    set.open();
    set.append();
    set.fieldByName(QStringLiteral("Pic")).setBytes(QByteArray("\xff\xd8 any bytes\0\1", 14));
    set.post();
    set.close();
    run(QStringLiteral("ExtractJpegImage('PICS','Pic','Photo')\r\n"));
    QCOMPARE(ReadFile(images() + QStringLiteral("Photo1.jpg")),
             QByteArray("\xff\xd8 any bytes\0\1", 14));
    QCOMPARE(column(QStringLiteral("SELECT COUNT(*) FROM PICS WHERE Pic IS NULL")),
             QVariantList({1}));
}

void TestScriptConversions::bitmapsAreFittedIntoTheBox_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QSize>("first");
    QTest::addColumn<QSize>("second");
    QTest::newRow("fitted") << "ResizeBitmapInDataBase('PICS','Pic','70','70')" << QSize(70, 23)
                            << QSize(40, 40);
    QTest::newRow("white box")
        << "ResizeBitmapInDataBase('PICS','Pic','70','70') ResizeBitmapDataBaseInWhiteRect"
        << QSize(70, 70) << QSize(70, 70);
}

void TestScriptConversions::bitmapsAreFittedIntoTheBox()
{
    QFETCH(QString, line);
    QFETCH(QSize, first);
    QFETCH(QSize, second);
    createPictures(QStringLiteral("pictures"));
    run(line + QStringLiteral("\r\n"));
    const QVariantList stored = column(QStringLiteral("SELECT Pic FROM PICS ORDER BY Id"));
    QCOMPARE(stored.size(), 3);
    const Picture one = DecodeBmp(stored.at(0).toByteArray());
    const Picture three = DecodeBmp(stored.at(2).toByteArray());
    QCOMPARE(QSize(one.width(), one.height()), first);
    QCOMPARE(QSize(three.width(), three.height()), second);
    QVERIFY(stored.at(1).isNull());
    if (first.height() == 70) {
        // 70 × 23 in the middle of a white 70 × 70: 47 rows left, the half 23.5 goes to 24.
        const auto pixel = [&one](int x, int y) {
            const uchar* p = one.row(y) + 3 * x;
            return QColor(p[2], p[1], p[0]);
        };
        QCOMPARE(pixel(5, 23), QColor(Qt::white));
        QVERIFY(pixel(5, 24) != QColor(Qt::white));
        QVERIFY(pixel(5, 24 + 22) != QColor(Qt::white));
        QCOMPARE(pixel(5, 24 + 23), QColor(Qt::white));
    }
}

void TestScriptConversions::bitmapsBecomeJpegInTheTable()
{
    createPictures(QStringLiteral("pictures"));
    run(QStringLiteral("ConvertBitmapToJpegInDataBase('PICS','Pic')\r\n"));
    const QVariantList stored = column(QStringLiteral("SELECT Pic FROM PICS ORDER BY Id"));
    Picture picture;
    QVERIFY(DecodeJpeg(picture, stored.at(0).toByteArray()));
    QCOMPARE(picture.width(), 300);
    QVERIFY(stored.at(1).isNull());
    QVERIFY(DecodeJpeg(picture, stored.at(2).toByteArray()));
    QCOMPARE(picture.width(), 40);
    QVERIFY(!QFileInfo::exists(images() + QStringLiteral("temp.jpg")));
}

void TestScriptConversions::unreadablePictureEndsTheCommandOnly()
{
    createPictures(QStringLiteral("pictures"));
    m_db.connection().exec(QStringLiteral("UPDATE PICS SET Pic = X'00112233' WHERE Id = 1"));
    const QStringList log = run(QStringLiteral(
        "ConvertBitmapToJpegInDataBase('PICS','Pic')\r\nSqlExe{DELETE FROM BACKUP}\r\n"));
    QCOMPARE(log.size(), 4);
    QCOMPARE(log.at(1), kStamp + QStringLiteral("Conversion de l'image : 1.jpg"));
    QVERIFY2(
        log.at(2).startsWith(kStamp + QStringLiteral("Conversion de l'image : 1.jpg (error : ")),
        qPrintable(log.at(2)));
    QCOMPARE(log.at(3), kStamp + QStringLiteral("SQL:DELETE FROM BACKUP (Ok)"));
    // The rows after the failure are left as they were.
    QCOMPARE(column(QStringLiteral("SELECT Pic FROM PICS WHERE Id = 3")).value(0).toByteArray(),
             Bitmap(40, 40));
}

void TestScriptConversions::missingTableIsLogged()
{
    const QStringList log = run(QStringLiteral("ExtractImageToJpeg('NOPE','Pic','x')\r\n"));
    const QString header =
        QStringLiteral("OPTIMISATION:Extraction des images au format jpeg de la table NOPE");
    QCOMPARE(log.size(), 2);
    QCOMPARE(log.at(0), kStamp + header);
    QVERIFY2(log.at(1).startsWith(kStamp + header + QStringLiteral(" (error : ")),
             qPrintable(log.at(1)));
}

QTEST_GUILESS_MAIN(TestScriptConversions)
#include "tst_ScriptConversions.moc"
