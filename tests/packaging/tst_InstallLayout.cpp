// SPDX-License-Identifier: GPL-3.0-or-later
// What `cmake --install` lays out: the program folder whole under one folder, launchers that
// start the programs there from any working directory, and the desktop's files.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kAppId = QStringLiteral(TILVO_APP_ID);
const QString kProgramDir = QStringLiteral(TILVO_INSTALL_PROGRAM_DIR);

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run RunProgram(const QString& program, const QStringList& arguments,
               const QString& workingDirectory = QString())
{
    QProcess process;
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    // A DESTDIR of the caller's would move the installation away from the prefix given.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DESTDIR"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void WriteExecutable(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(text), text.size());
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup |
                                QFile::ExeOther));
}

// Stands in for a program: prints the folder it runs in, then each argument in <>, and
// exits with 7 so that the launcher is seen to pass the exit code on.
const QByteArray kStandIn = "#!/bin/sh\npwd -P\nfor a; do printf '<%s>\\n' \"$a\"; done\nexit 7\n";

QStringList Lines(const QString& text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestInstallLayout : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_prefix;
    QString m_manifest;

    QString installed(const QString& relative) const { return m_prefix + u'/' + relative; }

    // A root holding one launcher in bin/ and a stand-in for its program in the program
    // folder; returns the launcher's path.
    QString fakeInstallation(const QString& root, const QString& launcherSource,
                             const QString& program)
    {
        const QString launcher = root + QStringLiteral("/usr/bin/") + program;
        QDir().mkpath(QFileInfo(launcher).path());
        QFile::copy(launcherSource, launcher);
        QFile(launcher).setPermissions(QFile(launcherSource).permissions());
        WriteExecutable(root + QStringLiteral("/usr/") + kProgramDir + u'/' + program, kStandIn);
        return launcher;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_prefix = QDir(m_root.path()).canonicalPath() + QStringLiteral("/usr");
        const Run run = RunProgram(QStringLiteral(TILVO_CMAKE_COMMAND),
                                   {QStringLiteral("--install"), QStringLiteral(TILVO_BINARY_DIR),
                                    QStringLiteral("--prefix"), m_prefix});
        QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
        QFile manifest(QStringLiteral(TILVO_BINARY_DIR "/install_manifest.txt"));
        QVERIFY(manifest.open(QIODevice::ReadOnly));
        m_manifest = QString::fromUtf8(manifest.readAll());
    }

    void layout_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("executable");
        const QString program = kProgramDir + u'/';
        const auto row = [](const QString& path, bool folder = false, bool executable = false) {
            QTest::newRow(qPrintable(path)) << path << folder << executable;
        };
        row(program + QStringLiteral("tilvo"), false, true);
        row(program + QStringLiteral("doc.html"));
        row(program + QStringLiteral("tilvo.png"));
        row(program + QStringLiteral("Maj/BD_183.maj"));
        row(program + QStringLiteral("html/mdac.htm"));
        row(program + QStringLiteral("Reports"), true);
        row(program + QStringLiteral("Ressources/DB/Data/Access/TILVO.MDB"));
        row(program + QStringLiteral("Ressources/DB/Data/Images"), true);
        row(program + QStringLiteral("Ressources/DB/Data/Files"), true);
        row(QStringLiteral("bin/tilvo"), false, true);
        row(QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"));
        row(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"));
        for (const char* size : {"48x48", "64x64", "128x128", "256x256"})
            row(QStringLiteral("share/icons/hicolor/%1/apps/").arg(QLatin1String(size)) + kAppId +
                QStringLiteral(".png"));
        row(QStringLiteral("share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg"));
        row(QStringLiteral("share/man/man1/tilvo.1.gz"));
        row(QStringLiteral("share/man/fr/man1/tilvo.1.gz"));
        row(QStringLiteral("share/doc/tilvo/copyright"));
        row(QStringLiteral("share/doc/tilvo/changelog.gz"));
        if (TILVO_HAS_CLI) {
            row(program + QStringLiteral("tilvo-cli"), false, true);
            row(QStringLiteral("bin/tilvo-cli"), false, true);
            row(QStringLiteral("share/man/man1/tilvo-cli.1.gz"));
            row(QStringLiteral("share/man/fr/man1/tilvo-cli.1.gz"));
        }
    }

    void layout()
    {
        QFETCH(QString, path);
        QFETCH(bool, folder);
        QFETCH(bool, executable);
        const QFileInfo info(installed(path));
        QVERIFY2(folder ? info.isDir() : info.isFile(), qPrintable(path));
        QCOMPARE(info.isExecutable(), folder || executable);
    }

    void cliOnlyWithItsProgram()
    {
        QCOMPARE(QFileInfo::exists(installed(QStringLiteral("bin/tilvo-cli"))),
                 bool(TILVO_HAS_CLI));
        QCOMPARE(QFileInfo::exists(installed(QStringLiteral("share/man/man1/tilvo-cli.1.gz"))),
                 bool(TILVO_HAS_CLI));
    }

    void programFolderIsTheBuiltOne()
    {
        // Every file of the built program folder is installed as it is, and nothing else is;
        // the build's own desktop entry, which points into the build folder, stays behind.
        const QString built = QStringLiteral(TILVO_BUILT_PROGRAM_DIR);
        const QString program = installed(kProgramDir);
        QStringList builtFiles;
        QDirIterator walk(built, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (walk.hasNext()) {
            const QString relative = QDir(built).relativeFilePath(walk.next());
            if (relative != QLatin1String("tilvo.desktop"))
                builtFiles << relative;
        }
        QStringList installedFiles;
        QDirIterator walkInstalled(program, QDir::Files | QDir::Hidden,
                                   QDirIterator::Subdirectories);
        while (walkInstalled.hasNext())
            installedFiles << QDir(program).relativeFilePath(walkInstalled.next());
        builtFiles.sort();
        installedFiles.sort();
        QCOMPARE(installedFiles, builtFiles);
        for (const QString& relative : std::as_const(builtFiles)) {
            QFile a(built + u'/' + relative);
            QFile b(program + u'/' + relative);
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QVERIFY2(a.readAll() == b.readAll(), qPrintable(relative));
        }
    }

    void nothingOutsideThePrefix()
    {
        const QStringList files = Lines(m_manifest);
        QVERIFY(!files.isEmpty());
        for (const QString& file : files)
            QVERIFY2(file.startsWith(m_prefix + u'/'), qPrintable(file));
    }

    void compressedWithoutNameOrTime_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* path : {"share/man/man1/tilvo.1.gz", "share/man/fr/man1/tilvo.1.gz",
                                 "share/doc/tilvo/changelog.gz"})
            QTest::newRow(path) << QString::fromLatin1(path);
    }

    void compressedWithoutNameOrTime()
    {
        // Debian wants reproducible files: gzip's header carries no file name and no time.
        QFETCH(QString, path);
        QFile file(installed(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray header = file.read(10);
        QCOMPARE(header.size(), 10);
        QCOMPARE(header.left(2), QByteArray("\x1f\x8b"));
        QCOMPARE(header.at(3) & 0x08, 0); // no name
        QCOMPARE(header.mid(4, 4), QByteArray(4, '\0'));
    }

    void launcherStartsInTheProgramFolder()
    {
        // A copy of the installed launcher beside a stand-in program, started from another
        // folder, directly and through a link elsewhere.
        QTemporaryDir root;
        const QString rootPath = QDir(root.path()).canonicalPath();
        const QString launcher = fakeInstallation(rootPath, installed(QStringLiteral("bin/tilvo")),
                                                  QStringLiteral("tilvo"));
        const QString elsewhere = rootPath + QStringLiteral("/home/user");
        QVERIFY(QDir().mkpath(elsewhere));
        const QString link = elsewhere + QStringLiteral("/tilvo-link");
        QVERIFY(QFile::link(launcher, link));

        for (const QString& start : {launcher, link}) {
            const Run run = RunProgram(start,
                                       {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                                        QStringLiteral("a b"), QString()},
                                       elsewhere);
            QCOMPARE(run.exitCode, 7);
            QCOMPARE(Lines(run.out),
                     QStringList({rootPath + QStringLiteral("/usr/") + kProgramDir,
                                  QStringLiteral("<-platform>"), QStringLiteral("<offscreen>"),
                                  QStringLiteral("<a b>"), QStringLiteral("<>")}));
        }
    }

    void launcherSaysWhenTheProgramFolderIsMissing()
    {
        QTemporaryDir root;
        const QString launcher = root.path() + QStringLiteral("/usr/bin/tilvo");
        QVERIFY(QDir().mkpath(root.path() + QStringLiteral("/usr/bin")));
        QVERIFY(QFile::copy(installed(QStringLiteral("bin/tilvo")), launcher));
        const Run run = RunProgram(launcher, {}, root.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("dossier du programme introuvable")),
                 qPrintable(run.err));
    }

    void cliLauncherKeepsTheCallersPaths_data()
    {
        // "{cwd}" stands for the caller's working directory.
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("expected");
        const QString cwd = QStringLiteral("{cwd}/");
        QTest::newRow("backup to a relative file")
            << QStringList{QStringLiteral("backup"), QStringLiteral("save.bkp")}
            << QStringList{QStringLiteral("backup"), cwd + QStringLiteral("save.bkp")};
        QTest::newRow("restore from a parent folder")
            << QStringList{QStringLiteral("restore"), QStringLiteral("../old/save.bkp")}
            << QStringList{QStringLiteral("restore"), cwd + QStringLiteral("../old/save.bkp")};
        QTest::newRow("absolute file kept")
            << QStringList{QStringLiteral("backup"), QStringLiteral("/media/usb/s.bkp")}
            << QStringList{QStringLiteral("backup"), QStringLiteral("/media/usb/s.bkp")};
        QTest::newRow("name with blanks")
            << QStringList{QStringLiteral("backup"), QStringLiteral("ma sauvegarde.bkp")}
            << QStringList{QStringLiteral("backup"), cwd + QStringLiteral("ma sauvegarde.bkp")};
        QTest::newRow("data folder before the command")
            << QStringList{QStringLiteral("--data"), QStringLiteral("donnees"),
                           QStringLiteral("backup"), QStringLiteral("s.bkp")}
            << QStringList{QStringLiteral("--data"), cwd + QStringLiteral("donnees"),
                           QStringLiteral("backup"), cwd + QStringLiteral("s.bkp")};
        QTest::newRow("data folder between command and file")
            << QStringList{QStringLiteral("restore"), QStringLiteral("--data"), QStringLiteral("d"),
                           QStringLiteral("s.bkp")}
            << QStringList{QStringLiteral("restore"), QStringLiteral("--data"),
                           cwd + QStringLiteral("d"), cwd + QStringLiteral("s.bkp")};
        QTest::newRow("data folder with =")
            << QStringList{QStringLiteral("--data=donnees"), QStringLiteral("compact")}
            << QStringList{QStringLiteral("--data=") + cwd + QStringLiteral("donnees"),
                           QStringLiteral("compact")};
        QTest::newRow("absolute data folder kept")
            << QStringList{QStringLiteral("--data"), QStringLiteral("/srv/tilvo"),
                           QStringLiteral("history")}
            << QStringList{QStringLiteral("--data"), QStringLiteral("/srv/tilvo"),
                           QStringLiteral("history")};
        QTest::newRow("commands without files")
            << QStringList{QStringLiteral("update")} << QStringList{QStringLiteral("update")};
        QTest::newRow("help") << QStringList{QStringLiteral("--help")}
                              << QStringList{QStringLiteral("--help")};
        QTest::newRow("only the first word after backup is its file")
            << QStringList{QStringLiteral("backup"), QStringLiteral("a.bkp"),
                           QStringLiteral("extra")}
            << QStringList{QStringLiteral("backup"), cwd + QStringLiteral("a.bkp"),
                           QStringLiteral("extra")};
        QTest::newRow("export with its options") << QStringList{QStringLiteral("export"),
                                                                QStringLiteral("--account"),
                                                                QStringLiteral("3"),
                                                                QStringLiteral("eau.csv"),
                                                                QStringLiteral("--from"),
                                                                QStringLiteral("01/01/2008"),
                                                                QStringLiteral("--to=31/12/2008")}
                                                 << QStringList{QStringLiteral("export"),
                                                                QStringLiteral("--account"),
                                                                QStringLiteral("3"),
                                                                cwd + QStringLiteral("eau.csv"),
                                                                QStringLiteral("--from"),
                                                                QStringLiteral("01/01/2008"),
                                                                QStringLiteral("--to=31/12/2008")};
        QTest::newRow("an option's value before the command is no command")
            << QStringList{QStringLiteral("--account"), QStringLiteral("3"),
                           QStringLiteral("import"), QStringLiteral("releves.csv")}
            << QStringList{QStringLiteral("--account"), QStringLiteral("3"),
                           QStringLiteral("import"), cwd + QStringLiteral("releves.csv")};
        QTest::newRow("words after other commands untouched")
            << QStringList{QStringLiteral("history"), QStringLiteral("save.bkp")}
            << QStringList{QStringLiteral("history"), QStringLiteral("save.bkp")};
    }

    void cliLauncherKeepsTheCallersPaths()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, expected);
        // The launcher is made whether or not the program is built, so that it is tested.
        QTemporaryDir root;
        const QString rootPath = QDir(root.path()).canonicalPath();
        const QString launcher =
            fakeInstallation(rootPath, QStringLiteral(TILVO_PACKAGING_GENERATED "/bin/tilvo-cli"),
                             QStringLiteral("tilvo-cli"));
        const QString caller = rootPath + QStringLiteral("/home/user/docs");
        QVERIFY(QDir().mkpath(caller));

        const Run run = RunProgram(launcher, arguments, caller);
        QCOMPARE(run.exitCode, 7);
        QStringList wanted{rootPath + QStringLiteral("/usr/") + kProgramDir};
        for (const QString& argument : std::as_const(expected))
            wanted << u'<' + QString(argument).replace(QStringLiteral("{cwd}"), caller) + u'>';
        QCOMPARE(Lines(run.out), wanted);
    }
};

QTEST_APPLESS_MAIN(TestInstallLayout)
#include "tst_InstallLayout.moc"
