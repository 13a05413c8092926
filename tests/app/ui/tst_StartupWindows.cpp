// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/TMdacMsg.h"
#include "app/ui/TNewGauge.h"
#include "app/ui/TSplash.h"
#include "common/ui/Chrome.h"
#include "support/ScriptedPrompts.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
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
    QVERIFY(gauge && gauge->isVisible());
    QVERIFY(gauge->Btn_Cancel->isHidden());
    QCOMPARE(gauge->Btn_Cancel->text(), QString("Annuler"));
    display.setGaugeInfo("MISE A JOUR (Base de données)");
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

QTEST_MAIN(TestStartupWindows)
#include "tst_StartupWindows.moc"
