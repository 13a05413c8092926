// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "common/Error.h"
#include "common/ui/Chrome.h"
#include "env/Environment.h"
#include "env/Settings.h"
#include "main/MainFormData.h"
#include "main/ui/TMainForm.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace tilvo;

namespace {

struct FakeData final : MainFormData
{
    bool profiles = false;
    bool consumptionEmpty = true;
    bool failProfiles = false;
    bool ProfilesHasRow() override
    {
        if (failProfiles)
            throw Error("Table PROFILES introuvable");
        return profiles;
    }
    bool ConsumptionEmpty() override { return consumptionEmpty; }
    int FirstDossierToOpen() override
    {
        if (failProfiles)
            throw Error("Table PROFILES introuvable");
        return firstDossier;
    }
    int firstDossier = -1;
};

// One main window over temporary folders, a fixed clock and scripted prompts.
struct Fixture
{
    QTemporaryDir dir;
    Environment env = MakeEnvironment(dir.path(), "/usr/bin/tilvo", true);
    Settings settings;
    test::ScriptedPrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(14, 5, 9))};
    FakeData data;
    QList<QUrl> opened;
    std::unique_ptr<TMainForm> form;

    explicit Fixture(bool standardChrome = false)
    {
        Chrome() = ChromeContext{};
        Chrome().standardChrome = standardChrome;
        env.DataFolder = env.ProgramFolder;
    }

    TMainForm& make()
    {
        form = std::make_unique<TMainForm>(MainFormServices{env, settings,
                                                            env.DataFolder + "tilvo.ini", prompts,
                                                            clock, data, [this](const QUrl& url) {
                                                                opened.append(url);
                                                                return true;
                                                            }});
        return *form;
    }
};

void Drag(QWidget* handle, const QPoint& by)
{
    const QPoint from(4, 4);
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(from + by), handle->mapToGlobal(QPointF(from + by)),
                     Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, from + by);
}

void Grab(QWidget& window, const QString& name)
{
    QDir().mkpath("screenshots");
    QVERIFY(window.grab().save("screenshots/" + name + ".png"));
}

} // namespace

class TestTMainForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createdInStateS0();
    void enablingPassFollowsTheState();
    void unreadableDossierTableIsShownNotThrown();
    void firstDossierWithoutPasswordOpens();
    void screenshotsOfS0AndS1();
    void clockBlinks();
    void helpEntries();
    void aboutWindowOnlyOnce();
    void sizeToggleAndGrip();
    void placementRestoredAndSaved();
    void standardChromeKeepsTheGrip();
};

void TestTMainForm::createdInStateS0()
{
    Fixture f;
    f.data.profiles = true;
    TMainForm& w = f.make();
    QCOMPARE(w.currentState(), CommandState::S0);
    QCOMPARE(w.windowTitle(), QString("Tilvo 1.83"));
    QCOMPARE(w.Title->text(), QString(" Tilvo 1.83"));
    QVERIFY(!f.settings.FirstLaunch);
    QVERIFY(w.Popup_File_Open->isEnabled());
    QVERIFY(w.Popup_File_Add->isEnabled());
    QVERIFY(!w.Popup_File_Close->isEnabled());
    QVERIFY(!w.Menu_Report->isEnabled());
    QVERIFY(!w.Btn_Html->isEnabled());
    QVERIFY(!w.Grid_AccountList->isEnabled());
    QVERIFY(w.Lab_Copyright->text().contains("2026"));
    QVERIFY(!w.Lab_Copyright->text().contains("2008"));
    for (const char* name : {"TitleBar",
                             "Title",
                             "SysMiniBtn",
                             "SysMaxiBtn",
                             "SysExitBtn",
                             "Menu_File",
                             "Menu_Report",
                             "Menu_Html",
                             "Menu_Tools",
                             "Menu_Help",
                             "BarreLeft",
                             "DigitalTime",
                             "Btn_Report",
                             "Btn_Html",
                             "Pan_Tree",
                             "Grid_AccountList",
                             "Btn_Account_Add",
                             "Btn_Account_Edit",
                             "Btn_Account_Delete",
                             "Splitter",
                             "Splitter1",
                             "Chart1",
                             "Grid_Consumption",
                             "Btn_Consumption_Add",
                             "Btn_Consumption_Edit",
                             "Btn_Consumption_Delete",
                             "Image1",
                             "Popup_File_Exit",
                             "Popup_Tools_DataBase_Compact",
                             "Popup_Help_About"})
        QVERIFY2(w.findChild<QObject*>(name), name);
    QCOMPARE(w.Btn_Consumption_Add->text(), QString("  Ajouter une consom."));
}

void TestTMainForm::enablingPassFollowsTheState()
{
    Fixture f;
    TMainForm& w = f.make();
    QVERIFY(!w.Popup_File_Open->isEnabled());

    w.CurrentDossierId = 3;
    w.RefreshCommands();
    QCOMPARE(w.currentState(), CommandState::S1);
    QVERIFY(w.Menu_Report->isEnabled() && w.Btn_Report->isEnabled());
    QVERIFY(!w.Popup_Report_Stat->isEnabled());
    QVERIFY(w.Btn_Account_Add->isEnabled());
    QVERIFY(!w.Btn_Account_Edit->isEnabled());
    QVERIFY(!w.Popup_File_Add->isEnabled() && w.Popup_File_Delete->isEnabled());

    w.CurrentAccountId = 8;
    f.data.consumptionEmpty = true;
    w.RefreshCommands();
    QCOMPARE(w.currentState(), CommandState::S2);
    QVERIFY(w.Menu_Html->isEnabled());
    QVERIFY(!w.Popup_Html_Stat->isEnabled());
    QVERIFY(!w.Popup_Html_List->menuAction()->isEnabled());
    QVERIFY(w.Btn_Consumption_Add->isEnabled());
    QVERIFY(!w.Btn_Consumption_Delete->isEnabled());
    QVERIFY(!w.Chart1->isEnabled());

    f.data.consumptionEmpty = false;
    w.RefreshCommands();
    QCOMPARE(w.currentState(), CommandState::S3);
    QVERIFY(w.Popup_Html_Stat->isEnabled() && w.Popup_Report_List->menuAction()->isEnabled());
    QVERIFY(w.Btn_Consumption_Edit->isEnabled() && w.Chart1->isEnabled());

    // Back to S0: the publishing entries, unreachable, keep their state.
    w.CurrentDossierId = -1;
    w.RefreshCommands();
    QCOMPARE(w.currentState(), CommandState::S0);
    QCOMPARE(w.CurrentAccountId, -1);
    QVERIFY(w.Popup_Html_Stat->isEnabled());
    QVERIFY(!w.Menu_Html->isEnabled());
}

void TestTMainForm::unreadableDossierTableIsShownNotThrown()
{
    Fixture f;
    f.data.failProfiles = true;
    TMainForm& w = f.make();
    QCOMPARE(w.currentState(), CommandState::S0);
    QCOMPARE(f.prompts.shown.size(), 2);
    QCOMPARE(
        f.prompts.texts().first(),
        QString("INSTABILITE DETECTEE !!\r\rL'exécutable de ce logiciel ne semble pas être "
                "compatible. Installer une mise à jour peut résoudre ce problème.\rTéléchargez "
                "et installez la mise à jour gratuite de ce logiciel sur le site "
                "https://www.vantrel-software.example/ (rubrique : MISES A JOUR)"));
    QCOMPARE(f.prompts.shown.first().icon, Prompts::Icon::Warning);
    QCOMPARE(f.opened, QList<QUrl>{QUrl("https://www.vantrel-software.example/")});
    // The enabling pass that follows meets the same error and shows it.
    QCOMPARE(f.prompts.texts().last(), QString("Table PROFILES introuvable"));
}

void TestTMainForm::firstDossierWithoutPasswordOpens()
{
    Fixture f;
    f.data.firstDossier = 5;
    TMainForm& w = f.make();
    QCOMPARE(w.CurrentDossierId, 5);
    QCOMPARE(w.currentState(), CommandState::S1);
}

void TestTMainForm::screenshotsOfS0AndS1()
{
    Fixture f;
    TMainForm& w = f.make();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Grab(w, "MainForm_S0");
    w.CurrentDossierId = 1;
    w.RefreshCommands();
    Grab(w, "MainForm_S1");
    QVERIFY(QFileInfo::exists("screenshots/MainForm_S1.png"));
}

void TestTMainForm::clockBlinks()
{
    Fixture f;
    TMainForm& w = f.make();
    QCOMPARE(w.DigitalTime->text(), QString("00:00"));
    QCOMPARE(w.Timer1->interval(), 1000);
    w.Timer1Timer();
    const QString first = w.DigitalTime->text();
    w.Timer1Timer();
    const QString second = w.DigitalTime->text();
    QCOMPARE(QStringList({first, second}).join('|').count("14:05"), 1);
    QVERIFY(first == "14 05" || second == "14 05");
}

void TestTMainForm::helpEntries()
{
    Fixture f;
    TMainForm& w = f.make();
    w.Popup_Help_Doc->trigger();
    QCOMPARE(f.prompts.texts(), QStringList{"Le fichier d'aide est introuvable !"});
    QVERIFY(f.opened.isEmpty());
    test::WriteFile(f.env.HelpFile, "<html></html>");
    w.Popup_Help_Doc->trigger();
    w.Popup_Help_Web->trigger();
    QCOMPARE(f.opened.size(), 2);
    QCOMPARE(f.opened.at(0), QUrl::fromLocalFile(f.env.HelpFile));
    QVERIFY(f.opened.at(1).scheme().startsWith("http"));
}

void TestTMainForm::aboutWindowOnlyOnce()
{
    Fixture f;
    TMainForm& w = f.make();
    int shown = 0;
    std::function<void()> closeIt = [&] {
        const auto boxes = w.findChildren<QDialog*>("AboutBox");
        if (boxes.isEmpty()) {
            QTimer::singleShot(0, closeIt);
            return;
        }
        shown = boxes.size();
        boxes.first()->accept();
    };
    QTimer::singleShot(0, closeIt);
    w.Popup_Help_AboutClick();
    QCOMPARE(shown, 1);
}

void TestTMainForm::sizeToggleAndGrip()
{
    Fixture f;
    TMainForm& w = f.make();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect area = WorkAreaOf(&w);
    w.SysMaxiBtn->click();
    QCOMPARE(QRect(w.pos(), w.size()), area);
    QVERIFY(!w.isMaximized());
    QCOMPARE(w.SysMaxiBtn->toolTip(), QString("Réduire"));
    w.SysMaxiBtn->click();
    QCOMPARE(w.size(), QSize(800, 600));
    QCOMPARE(w.SysMaxiBtn->toolTip(), QString("Agrandir"));

    // A width of 700 or less is refused while the height still follows.
    Drag(w.Image1, QPoint(-100, -50));
    QCOMPARE(w.size(), QSize(800, 550));
    Drag(w.Image1, QPoint(-99, 0));
    QCOMPARE(w.size(), QSize(701, 550));
    Drag(w.Image1, QPoint(0, -50));
    QCOMPARE(w.size(), QSize(701, 550));
}

void TestTMainForm::placementRestoredAndSaved()
{
    Fixture f;
    test::WriteFile(f.env.DataFolder + "tilvo.ini", "[Mine]\r\nKept=1\r\n");
    f.settings.Left = 20;
    f.settings.Top = 30;
    f.settings.Width = 720;
    f.settings.Height = 540;
    TMainForm& w = f.make();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(QRect(w.pos(), w.size()), QRect(20, 30, 720, 540));
    // Covering the work area through the size toggle is saved as a normal placement.
    w.SysMaxiBtn->click();
    const QRect area = WorkAreaOf(&w);
    w.close();
    const Settings saved = LoadSettings(f.env.DataFolder + "tilvo.ini");
    QCOMPARE(QRect(saved.Left, saved.Top, saved.Width, saved.Height), area);
    QCOMPARE(saved.State, QString("wsNormal"));
    QVERIFY(!saved.FirstLaunch);
    QVERIFY(test::ReadFile(f.env.DataFolder + "tilvo.ini").startsWith("[Mine]\r\nKept=1\r\n"));
}

void TestTMainForm::standardChromeKeepsTheGrip()
{
    Fixture f(true);
    TMainForm& w = f.make();
    QVERIFY(w.TitleBar->isHidden());
    QCOMPARE(w.windowTitle(), QString("Tilvo 1.83"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QSize before = w.size();
    Drag(w.Image1, QPoint(30, 20));
    QCOMPARE(w.size(), before + QSize(30, 20));
}

QTEST_MAIN(TestTMainForm)
#include "tst_TMainForm.moc"
