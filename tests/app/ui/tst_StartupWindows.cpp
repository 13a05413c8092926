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

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

using namespace tilvo;

class TestStartupWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splash();
    void dataAccessNotice();
    void updateGauge();
    void backupQuestionAboveTheSplashAlone();
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

QTEST_MAIN(TestStartupWindows)
#include "tst_StartupWindows.moc"
