// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DatabaseStartup.h"
#include "app/StartupFakes.h"
#include "app/ui/TMdacMsg.h"
#include "app/ui/TSplash.h"
#include "app/ui/WidgetStartupWindows.h"
#include "common/Clock.h"
#include "common/ui/Chrome.h"
#include "common/ui/WidgetPrompts.h"
#include "db/ui/TNewGauge.h"
#include "db/ui/WidgetUpdateDisplay.h"
#include "main/ui/TMainForm.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <functional>

using namespace tilvo;

namespace {

// The whole start-up with its real windows over a copy of the shipped template, in temporary
// program, documents and lock folders.
struct StartupRun
{
    QTemporaryDir dir;
    QString program = dir.filePath("program/");
    QString documents = dir.filePath("documents/");
    QString dataFolder = documents + "Vantrel Software Development/Tilvo/";
    test::ScriptedPrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 30, 15))};

    StartupRun()
    {
        QDir().mkpath(documents);
        QDir().mkpath(program + "Ressources/DB/Data/Access");
        QVERIFY(QFile::copy(QString::fromLocal8Bit(qgetenv("TILVO_PROGRAM_DIR")) +
                                "/Ressources/DB/Data/Access/TILVO.MDB",
                            program + "Ressources/DB/Data/Access/TILVO.MDB"));
    }

    int run()
    {
        WidgetUpdateDisplay updates(prompts);
        DatabaseStartup startupDatabase(clock, &updates);
        WidgetStartupWindows windows(
            prompts, clock, [](const QUrl&) { return true; },
            [&startupDatabase] { return startupDatabase.updateEnvironment(nullptr); });
        StartupContext context{program,
                               "/usr/local/bin/tilvo",
                               test::FixedPlatform(documents, dir.path()),
                               prompts,
                               clock,
                               windows,
                               startupDatabase};
        // Closes the main window as a user would, once the message loop runs.
        QTimer closer;
        mainWindowShown = false;
        QObject::connect(&closer, &QTimer::timeout, [this, &windows] {
            TMainForm* form = windows.mainForm();
            if (form && form->isVisible() && QThread::currentThread()->loopLevel() > 0 &&
                !mainWindowShown) {
                mainWindowShown = true;
                if (whenShown)
                    whenShown(*form);
                form->close();
            }
        });
        closer.start(20);
        const int code = RunProgram(context);
        // What is still on screen when the run ends, before its windows' owner goes.
        windowsLeft.clear();
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                windowsLeft.append(window->objectName());
        }
        return code;
    }

    bool mainWindowShown = false;
    QStringList windowsLeft;
    std::function<void(TMainForm&)> whenShown; // what the user does before closing it
};

} // namespace

class TestStartupWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splash();
    void dataAccessNotice();
    void updateGauge();
    void backupQuestionAboveTheSplashAlone();
    void startupFailureLeavesNoWindow_data();
    void startupFailureLeavesNoWindow();
    void mainWindowBacksUpTheStartupDatabase();
};

void TestStartupWindows::splash()
{
    TSplash splash(2031);
    QCOMPARE(splash.size(), QSize(480, 170));
    QCOMPARE(splash.version_->text(), QString("Version 1.83"));
    QVERIFY(splash.Lab_Maker->text().contains("2031"));
    QCOMPARE(splash.info(), QString("Chargement ..."));
    splash.setGauge(8, 4);
    splash.setInfo("Mise à jour");
    QCOMPARE(splash.barre->maximum(), 8);
    QCOMPARE(splash.gaugePosition(), 4);
    QCOMPARE(splash.findChild<QLabel*>("info")->text(), QString("Mise à jour"));
}

void TestStartupWindows::dataAccessNotice()
{
    const QString programFolder = QString::fromLocal8Bit(qgetenv("TILVO_PROGRAM_DIR")) + '/';
    for (const bool standard : {false, true}) {
        Chrome().standardChrome = standard;
        TMdacMsg notice(programFolder);
        QCOMPARE(notice.windowTitle(), QString("Information"));
        QVERIFY(notice.WebBrowser1->toPlainText().contains("SQLite"));
        QCOMPARE(notice.CloseBtn->text(), QString(" &Fermer"));
        QCOMPARE(notice.findChild<QToolButton*>("Exit")->toolTip(), QString("Quitter"));
        QTimer::singleShot(0, &notice, [&] { notice.CloseBtn->click(); });
        QCOMPARE(notice.exec(), int(QDialog::Accepted));
    }
}

void TestStartupWindows::updateGauge()
{
    test::ScriptedPrompts prompts;
    prompts.yesNoAnswers.enqueue(true);
    WidgetUpdateDisplay display(prompts);
    display.setGaugeInfo("ignored before the window exists");
    display.showGauge();
    TNewGauge* gauge = display.gauge();
    QVERIFY(gauge);
    // Nothing of the run is shown until its first progress text.
    QVERIFY(!gauge->isVisible());
    QVERIFY(gauge->Btn_Cancel->isHidden());
    QCOMPARE(gauge->Btn_Cancel->text(), QString("Annuler"));
    display.setGaugeInfo("MISE A JOUR (Base de données)");
    QVERIFY(gauge->isVisible());
    display.setGauge(3, 10);
    QCOMPARE(gauge->info->text(), QString("MISE A JOUR (Base de données)"));
    QCOMPARE(gauge->bar->value(), 3);
    QCOMPARE(gauge->bar->maximum(), 10);
    // A script of fewer than two lines shows a full bar.
    display.setGauge(1, 0);
    QCOMPARE(gauge->bar->value(), gauge->bar->maximum());
    QVERIFY(display.askBackup("Souhaitez-vous effectuer une sauvegarde ?"));
    QCOMPARE(prompts.shown.first().icon, Prompts::Icon::Question);
    display.closeGauge();
    QVERIFY(!display.gauge());
}

void TestStartupWindows::backupQuestionAboveTheSplashAlone()
{
    QTemporaryDir dir;
    const QString program = dir.filePath("program/");
    const QString documents = dir.filePath("documents/");
    const QString dataFolder = documents + "Vantrel Software Development/Tilvo/";
    QVERIFY(QDir().mkpath(documents));
    QVERIFY(QDir().mkpath(program + "Ressources/DB/Data/Access"));
    QVERIFY(QFile::copy(QString::fromLocal8Bit(qgetenv("TILVO_PROGRAM_DIR")) +
                            "/Ressources/DB/Data/Access/TILVO.MDB",
                        program + "Ressources/DB/Data/Access/TILVO.MDB"));
    const FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(9, 30, 15)));
    const Platform platform = test::FixedPlatform(documents, dir.path());

    // A first start installs the database.
    {
        test::ScriptedPrompts prompts;
        test::RecordingWindows windows;
        DatabaseStartup database(clock, nullptr);
        StartupContext context{program, "/usr/local/bin/tilvo", platform, prompts, clock, windows,
                               database};
        RunProgram(context);
        QVERIFY2(windows.mainWindow, qPrintable(prompts.texts().join('|')));
    }
    test::WriteFile(dataFolder + "notes.maj", "NotTableExists(NOTES)\r\nSqlExe{CREATE TABLE NOTES "
                                              "(Id COUNTER)}\r\nEND\r\n");

    // The next start runs the script with the program's own windows. Each box is answered
    // "Non" once what is on screen beneath it is noted; the main window is closed once shown.
    WidgetPrompts prompts;
    WidgetStartupWindows windows(prompts, clock, [](const QUrl&) { return true; });
    WidgetUpdateDisplay updates(prompts);
    DatabaseStartup database(clock, &updates);
    QStringList questions;
    QStringList beneath;
    QString owner;
    bool keptAbove = false;
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        const QWidgetList windowsNow = QApplication::topLevelWidgets();
        for (QWidget* window : windowsNow) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (!box || !box->isVisible())
                continue;
            questions << box->text();
            for (QWidget* other : windowsNow) {
                if (other != box && other->isVisible())
                    beneath << other->objectName();
            }
            owner = box->parentWidget() ? box->parentWidget()->objectName() : QString();
            keptAbove = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            QAbstractButton* answer = box->button(QMessageBox::No);
            (answer ? answer : box->button(QMessageBox::Ok))->click();
            return;
        }
        // The message loop runs once the splash is gone.
        const bool splashShown = std::any_of(windowsNow.begin(), windowsNow.end(), [](QWidget* w) {
            return w->isVisible() && w->objectName() == "TSplash";
        });
        if (windows.mainForm() && windows.mainForm()->isVisible() && !splashShown)
            windows.mainForm()->close();
    });
    watcher.start();
    StartupContext context{program, "/usr/local/bin/tilvo", platform, prompts, clock, windows,
                           database};
    QCOMPARE(RunProgram(context), 0);
    QCOMPARE(questions, QStringList{"Souhaitez-vous effectuer une sauvegarde de la base de données "
                                    "avant la mise à jour ?"});
    QCOMPARE(beneath, QStringList{"TSplash"});
    // Owned by the splash and kept on top as the splash is: the window manager stacks it above.
    QCOMPARE(owner, QString("TSplash"));
    QVERIFY(keptAbove);
    QVERIFY(!QFileInfo::exists(dataFolder + "notes.maj"));
}

void TestStartupWindows::startupFailureLeavesNoWindow_data()
{
    QTest::addColumn<QString>("linkTarget");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("backupQuestion");
    QTest::addColumn<QString>("message");
    // A kernel setting that may only be written: no user, root included, can read it.
    QTest::newRow("unreadable update script") << "/proc/sys/vm/drop_caches" << QByteArray() << false
                                              << "Impossible de lire le script de mise à jour ";
    QTest::newRow("version record dropped by the script")
        << QString() << QByteArray("SqlExe{DROP TABLE OBJECT_VAL_STR}\r\n") << true
        << "no such table: OBJECT_VAL_STR";
}

void TestStartupWindows::startupFailureLeavesNoWindow()
{
    QFETCH(QString, linkTarget);
    QFETCH(QByteArray, script);
    QFETCH(bool, backupQuestion);
    QFETCH(QString, message);
    StartupRun f;
    // A first start installs the database and reaches the main window.
    QCOMPARE(f.run(), 0);
    QVERIFY(f.mainWindowShown);

    // The next start finds an update script waiting, and fails on it.
    const QString scriptPath = f.dataFolder + "update.maj";
    if (linkTarget.isEmpty()) {
        test::WriteFile(scriptPath, script);
    } else {
        QFile target(linkTarget);
        QVERIFY(QFileInfo(linkTarget).isFile() && !target.open(QIODevice::ReadOnly));
        QVERIFY(QFile::link(linkTarget, scriptPath));
    }
    if (backupQuestion)
        f.prompts.yesNoAnswers << false;
    f.prompts.shown.clear();
    QCOMPARE(f.run(), 0);
    QVERIFY(!f.mainWindowShown);
    QVERIFY(!f.prompts.shown.isEmpty());
    const test::ScriptedPrompts::Shown& shown = f.prompts.shown.last();
    QVERIFY2(shown.text.contains(message), qPrintable(shown.text));
    QCOMPARE(shown.icon, Prompts::Icon::Error);
    QCOMPARE(f.prompts.shown.size(), backupQuestion ? 2 : 1);
    // Neither the splash nor the update gauge is left on screen.
    QCOMPARE(f.windowsLeft, QStringList());
}

void TestStartupWindows::mainWindowBacksUpTheStartupDatabase()
{
    // The database menu of the main window works on the database the start-up opened.
    StartupRun run;
    const QString archive = run.dir.filePath("sauvegarde.bkp");
    run.prompts.fileAnswers << archive;
    run.whenShown = [](TMainForm& form) { form.Popup_Tools_DataBase_Backup->trigger(); };
    QCOMPARE(run.run(), 0);
    QVERIFY(run.mainWindowShown);
    QCOMPARE(run.prompts.texts(), QStringList{"Sauvegarde effectuée."});
    QVERIFY(QFileInfo(archive).size() > 0);
    QVERIFY(QFileInfo::exists(run.dataFolder + "Data/Access/TILVO.MDB"));
}

QTEST_MAIN(TestStartupWindows)
#include "tst_StartupWindows.moc"
