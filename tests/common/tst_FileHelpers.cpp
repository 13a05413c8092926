// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "common/FileHelpers.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace tilvo;

class TestFileHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withTrailingBackslash_data();
    void withTrailingBackslash();
    void toSlashes();
    void executablePathIsThisProgram();
    void specialFolders();
    void matchesMask_data();
    void matchesMask();
    void listFiles();
    void listFilesOfEmptyOrMissingFolder();
    void copyFilesByMask();
    void writeTextFile();
    void writeTextFileFailsOnMissingFolder();
    void readTextFileDecodesBothEncodings();
    void fileSizeOf();
    void deleteFilesByMask();
    void moveFileReplacesInOneStep();
    void moveFileAcrossFileSystems();
    void failedMoveKeepsBothFiles();

private:
    QString makeFolder(const QString& name);
    QTemporaryDir m_dir;
};

QString TestFileHelpers::makeFolder(const QString& name)
{
    const QString path = m_dir.filePath(name) + u'/';
    QDir().mkpath(path);
    return path;
}

void TestFileHelpers::withTrailingBackslash_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("added") << "/home/u/Data"
                           << "/home/u/Data/";
    QTest::newRow("kept") << "/home/u/Data/"
                          << "/home/u/Data/";
    QTest::newRow("empty") << ""
                           << "/";
}

void TestFileHelpers::withTrailingBackslash()
{
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(WithTrailingBackslash(folder), expected);
}

void TestFileHelpers::toSlashes()
{
    QCOMPARE(ToSlashes("Data\\Access\\TILVO.MDB"), QString("Data/Access/TILVO.MDB"));
    QCOMPARE(ToSlashes("/already/fine"), QString("/already/fine"));
}

void TestFileHelpers::executablePathIsThisProgram()
{
    const QString path = ExecutablePath();
    QVERIFY2(path.endsWith("tst_FileHelpers"), qPrintable(path));
    QVERIFY(QFileInfo(path).isExecutable());
}

void TestFileHelpers::specialFolders()
{
    qputenv("HOME", QFile::encodeName(m_dir.filePath("home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath("home/.config")));
    QDir().mkpath(m_dir.filePath("home"));
    const QString documents = SpecialFolder(SpecialFolderKind::Documents);
    QVERIFY(documents.endsWith(u'/'));
    QVERIFY2(documents.startsWith(m_dir.filePath("home")), qPrintable(documents));
    QVERIFY(QFileInfo(documents).isDir());
    const QString programs = SpecialFolder(SpecialFolderKind::Programs);
    QVERIFY(programs.endsWith(u'/'));
    QVERIFY(programs.startsWith(u'/'));
}

void TestFileHelpers::matchesMask_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("matches");
    QTest::newRow("extension") << "Account12.jpg"
                               << "*.jpg" << true;
    QTest::newRow("case-insensitive") << "A.JPG"
                                      << "*.jpg" << true;
    QTest::newRow("other extension") << "a.jpeg"
                                     << "*.jpg" << false;
    QTest::newRow("star dot star without dot") << "README"
                                               << "*.*" << true;
    QTest::newRow("question mark") << "BD_183.maj"
                                   << "BD_???.maj" << true;
    QTest::newRow("question needs a char") << "BD_18.maj"
                                           << "BD_???.maj" << false;
    QTest::newRow("exact") << "db.ini"
                           << "DB.INI" << true;
    QTest::newRow("star in middle") << "a.b.c.f"
                                    << "a*.f" << true;
    QTest::newRow("backtracking") << "aXbXc"
                                  << "a*b*c" << true;
    QTest::newRow("accented case") << "Été.jpg"
                                   << "été.JPG" << true;
}

void TestFileHelpers::matchesMask()
{
    QFETCH(QString, name);
    QFETCH(QString, mask);
    QFETCH(bool, matches);
    QCOMPARE(MatchesMask(name, mask), matches);
}

void TestFileHelpers::listFiles()
{
    const QString folder = makeFolder("list");
    for (const char* name : {"b.jpg", "a.JPG", "C.jpg", "notes.txt", ".hidden.jpg"})
        test::WriteFile(folder + name, "x");
    QDir().mkpath(folder + "folder.jpg");
    QCOMPARE(ListFiles(folder, "*.jpg"), (QStringList{"C.jpg", "a.JPG", "b.jpg"}));
    QCOMPARE(ListFiles(folder, "*.*"), (QStringList{"C.jpg", "a.JPG", "b.jpg", "notes.txt"}));
    QCOMPARE(ListFiles(folder, "*.bmp"), QStringList());
}

void TestFileHelpers::listFilesOfEmptyOrMissingFolder()
{
    QCOMPARE(ListFiles(makeFolder("empty"), "*.*"), QStringList());
    QCOMPARE(ListFiles(m_dir.filePath("missing/"), "*.*"), QStringList());
}

void TestFileHelpers::copyFilesByMask()
{
    const QString source = makeFolder("copy-src");
    const QString target = makeFolder("copy-dst");
    test::WriteFile(source + "1.f", "new one");
    test::WriteFile(source + "2.f", "two");
    test::WriteFile(source + "3.jpg", "not copied");
    test::WriteFile(target + "1.f", "old one");
    test::WriteFile(target + "keep.f", "kept");
    CopyFilesByMask(source, target, "*.f");
    QCOMPARE(test::ReadFile(target + "1.f"), QByteArray("new one"));
    QCOMPARE(test::ReadFile(target + "2.f"), QByteArray("two"));
    QCOMPARE(test::ReadFile(target + "keep.f"), QByteArray("kept"));
    QVERIFY(!QFile::exists(target + "3.jpg"));
    QCOMPARE(ListFiles(target, "*.*"), (QStringList{"1.f", "2.f", "keep.f"}));
    // A missing target folder makes every copy fail; nothing is raised.
    CopyFilesByMask(source, m_dir.filePath("nowhere"), "*.f");
    QVERIFY(!QFile::exists(m_dir.filePath("nowhere")));
}

void TestFileHelpers::writeTextFile()
{
    const QString path = m_dir.filePath("Avertissement.txt");
    test::WriteFile(path, "older and longer content");
    QVERIFY(WriteTextFile(path, QString::fromUtf8("répertoire\r\n\rlf\nfin 12 €")));
    QCOMPARE(test::ReadFile(path), QByteArray("r\xe9pertoire\r\n\r\nlf\r\nfin 12 \x80\r\n"));
    QVERIFY(WriteTextFile(path, QString::fromUtf8("été"), TextEncoding::Utf8));
    QCOMPARE(test::ReadFile(path), QByteArray("\xc3\xa9t\xc3\xa9\r\n"));
}

void TestFileHelpers::writeTextFileFailsOnMissingFolder()
{
    QVERIFY(!WriteTextFile(m_dir.filePath("missing/file.txt"), "x"));
}

void TestFileHelpers::readTextFileDecodesBothEncodings()
{
    test::WriteFile(m_dir.filePath("cp.txt"), "12,500 \x80");
    test::WriteFile(m_dir.filePath("utf.txt"), "12,500 \xe2\x82\xac");
    QCOMPARE(ReadTextFile(m_dir.filePath("cp.txt")), QString::fromUtf8("12,500 €"));
    QCOMPARE(ReadTextFile(m_dir.filePath("utf.txt")), QString::fromUtf8("12,500 €"));
    QVERIFY(!ReadTextFile(m_dir.filePath("none.txt")).has_value());
}

void TestFileHelpers::fileSizeOf()
{
    const QString folder = makeFolder("sizes");
    test::WriteFile(folder + "b.bkp", QByteArray(20, 'x'));
    test::WriteFile(folder + "a.bkp", QByteArray(10, 'x'));
    QCOMPARE(FileSizeOf(folder + "b.bkp"), qint64(20));
    QCOMPARE(FileSizeOf(folder + "*.bkp"), qint64(10));
    QCOMPARE(FileSizeOf(folder + "*.none"), qint64(0));
    QCOMPARE(FileSizeOf(folder + "missing.bkp"), qint64(0));
    QCOMPARE(FileSizeOf(folder), qint64(0));
}

void TestFileHelpers::deleteFilesByMask()
{
    const QString folder = makeFolder(QStringLiteral("delete"));
    for (const char* name : {"a.jpg", "b.JPG", "c.txt", ".hidden.jpg"})
        test::WriteFile(folder + QLatin1String(name), "x");
    QDir().mkpath(folder + QStringLiteral("dossier.jpg"));
    DeleteFilesByMask(folder, QStringLiteral("*.jpg"));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({".hidden.jpg", "c.txt", "dossier.jpg"}));
}

void TestFileHelpers::moveFileReplacesInOneStep()
{
    const QString folder = makeFolder(QStringLiteral("move"));
    test::WriteFile(folder + QStringLiteral("new"), "new content");
    test::WriteFile(folder + QStringLiteral("target"), "old content");
    MoveFileReplacing(folder + QStringLiteral("new"), folder + QStringLiteral("target"));
    QCOMPARE(test::ReadFile(folder + QStringLiteral("target")), QByteArray("new content"));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"target"}));
    QVERIFY(SyncToDisk(folder + QStringLiteral("target")));
    QVERIFY(SyncToDisk(folder));
    QVERIFY(!SyncToDisk(folder + QStringLiteral("missing")));
}

void TestFileHelpers::moveFileAcrossFileSystems()
{
    // Memory-backed /dev/shm is another file system than the temporary folder on most machines.
    QTemporaryDir other(QStringLiteral("/dev/shm/tilvo-XXXXXX"));
    struct stat here = {};
    struct stat there = {};
    if (!other.isValid() || ::stat(QFile::encodeName(m_dir.path()).constData(), &here) != 0 ||
        ::stat(QFile::encodeName(other.path()).constData(), &there) != 0 ||
        here.st_dev == there.st_dev)
        QSKIP("no second file system to move a file to");
    const QString source = makeFolder(QStringLiteral("across")) + QStringLiteral("archive");
    const QByteArray content(3 * 1024 * 1024 + 17, 'z');
    test::WriteFile(source, content);
    const QString target = other.path() + QStringLiteral("/archive.bkp");
    test::WriteFile(target, "an older archive");
    MoveFileReplacing(source, target);
    QCOMPARE(test::ReadFile(target), content);
    QVERIFY(!QFileInfo::exists(source));
    QVERIFY(!QFileInfo::exists(target + QStringLiteral(".part")));
}

void TestFileHelpers::failedMoveKeepsBothFiles()
{
    const QString folder = makeFolder(QStringLiteral("failed"));
    test::WriteFile(folder + QStringLiteral("source"), "kept");
    const QString target = folder + QStringLiteral("missing/target");
    try {
        MoveFileReplacing(folder + QStringLiteral("source"), target);
        QFAIL("moved");
    } catch (const Error& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Impossible de déplacer le fichier %1 vers %2 "
                                                    ": ")
                                         .arg(folder + QStringLiteral("source"), target)),
                 qPrintable(e.text()));
    }
    QCOMPARE(test::ReadFile(folder + QStringLiteral("source")), QByteArray("kept"));
}

QTEST_APPLESS_MAIN(TestFileHelpers)
#include "tst_FileHelpers.moc"
