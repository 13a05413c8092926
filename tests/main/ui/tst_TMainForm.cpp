// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "common/Error.h"
#include "common/ui/Chrome.h"
#include "db/DataSet.h"
#include "db/ui/DBGrid.h"
#include "env/Environment.h"
#include "env/Settings.h"
#include "main/AccountListModel.h"
#include "main/MainTestData.h"
#include "main/ui/AccountListView.h"
#include "main/ui/TMainForm.h"
#include "stats/ui/ChartView.h"
#include "stats/ui/StatisticBar.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace tilvo;

namespace {

// The database of every window of this test case: the full schema, copied for each one.
test::TestDatabase& Database()
{
    static test::TestDatabase database;
    return database;
}

// One main window over temporary folders, a database, a fixed clock and scripted prompts.
struct Fixture
{
    QTemporaryDir dir;
    Environment env = MakeEnvironment(dir.path(), "/usr/bin/tilvo", true);
    Settings settings;
    test::ScriptedPrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(14, 5, 9))};
    test::TestDatabase& db = Database();
    TDataModule1& data = db.open();
    QList<QUrl> opened;
    bool desktopOpens = true; // whether the desktop has a handler for what is opened
    std::unique_ptr<TMainForm> form;

    explicit Fixture(bool standardChrome = false)
    {
        Chrome() = ChromeContext{};
        Chrome().standardChrome = standardChrome;
        env.DataFolder = env.ProgramFolder;
    }
    ~Fixture()
    {
        form.reset();
        db.release();
    }

    TMainForm& make()
    {
        form = std::make_unique<TMainForm>(MainFormServices{env,
                                                            settings,
                                                            env.DataFolder + "tilvo.ini",
                                                            prompts,
                                                            clock,
                                                            data,
                                                            [this](const QUrl& url) {
                                                                opened.append(url);
                                                                return desktopOpens;
                                                            },
                                                            {}});
        return *form;
    }

    QString settingsPath() const { return env.DataFolder + "tilvo.ini"; }

    void savePlacement(const QRect& rect, const QString& state)
    {
        settings.Left = rect.left();
        settings.Top = rect.top();
        settings.Width = rect.width();
        settings.Height = rect.height();
        settings.State = state;
    }

    TMainForm& shown()
    {
        TMainForm& w = make();
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qWarning("main window not exposed");
        return w;
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

// The main window's placement as the settings hold it: the frame's corner, the client size.
QRect Placement(const QWidget& w)
{
    return QRect(w.pos(), w.size());
}

QPoint CentredFor(const QSize& client, const QRect& area)
{
    return QPoint(int(std::lround((area.left() + area.width() - client.width()) / 2.0)),
                  int(std::lround((area.top() + area.height() - client.height()) / 2.0)));
}

} // namespace

class TestTMainForm : public QObject
{
    Q_OBJECT

public:
    // The offscreen platform's screen is 800 × 600 unless told otherwise: a larger one lets
    // saved placements above the default size fit.
    static void initMain()
    {
        if (qgetenv("QT_QPA_PLATFORM") != "offscreen")
            return;
        static QTemporaryDir folder;
        const QString config = folder.filePath("screen.json");
        test::WriteFile(config, R"({"screens": [{"name": "Bureau", "x": 0, "y": 0,
                                   "width": 1280, "height": 1024, "logicalDpi": 96}]})");
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    }

private Q_SLOTS:
    void initTestCase() { Database().prepare(); }
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
    void captionIsExact_data();
    void captionIsExact();
    void defaultPlacement_data();
    void defaultPlacement();
    void placementRoundTrip_data();
    void placementRoundTrip();
    void maximisedUnderStandardChrome();
    void regionsKeepProportionsAndMinimums();
    void helpWithoutDesktopHandler();
    void menuKeysMoveAlongTheRow();
    void screenshotsAtDefaultAndSavedSize();
};

void TestTMainForm::createdInStateS0()
{
    Fixture f;
    f.db.addDossier("Maison", "secret");
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
    // Accounts of dossiers 3 (none) and 4, while the dossier table itself is empty.
    Fixture f;
    const qint64 water = f.db.addAccount(4, "Eau");
    const qint64 gas = f.db.addAccount(4, "Gaz");
    f.db.addEntry(4, gas, QDate(2008, 3, 1), 5, 1.5);
    TMainForm& w = f.make();
    QVERIFY(!w.Popup_File_Open->isEnabled());

    w.OpenDossier(3, "Vide");
    QCOMPARE(w.currentState(), CommandState::S1);
    QVERIFY(w.Menu_Report->isEnabled() && w.Btn_Report->isEnabled());
    QVERIFY(!w.Popup_Report_Stat->isEnabled());
    QVERIFY(w.Btn_Account_Add->isEnabled());
    QVERIFY(!w.Btn_Account_Edit->isEnabled());
    QVERIFY(!w.Popup_File_Add->isEnabled() && w.Popup_File_Delete->isEnabled());

    // The first account has no entries.
    w.CloseDossier();
    w.OpenDossier(4, "Maison");
    QCOMPARE(w.CurrentAccountId, int(water));
    QCOMPARE(w.currentState(), CommandState::S2);
    QVERIFY(w.Menu_Html->isEnabled());
    QVERIFY(!w.Popup_Html_Stat->isEnabled());
    QVERIFY(!w.Popup_Html_List->menuAction()->isEnabled());
    QVERIFY(w.Btn_Consumption_Add->isEnabled());
    QVERIFY(!w.Btn_Consumption_Delete->isEnabled());
    QVERIFY(!w.Chart1->isEnabled());

    // The second has one.
    QTest::keyClick(w.Grid_AccountList, Qt::Key_Down);
    QTest::keyClick(w.Grid_AccountList, Qt::Key_Space);
    QCOMPARE(w.CurrentAccountId, int(gas));
    QCOMPARE(w.currentState(), CommandState::S3);
    QVERIFY(w.Popup_Html_Stat->isEnabled() && w.Popup_Report_List->menuAction()->isEnabled());
    QVERIFY(w.Btn_Consumption_Edit->isEnabled() && w.Chart1->isEnabled());

    // Back to S0: the publishing entries, unreachable, keep their state.
    w.CloseDossier();
    QCOMPARE(w.currentState(), CommandState::S0);
    QCOMPARE(w.CurrentAccountId, -1);
    QVERIFY(w.Popup_Html_Stat->isEnabled());
    QVERIFY(!w.Menu_Html->isEnabled());
    QCOMPARE(w.accountList()->rowCount(), 0);
    QCOMPARE(w.Grid_Consumption->model()->rowCount(), 0);
}

void TestTMainForm::unreadableDossierTableIsShownNotThrown()
{
    Fixture f;
    f.db.exec("DROP TABLE PROFILES");
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
    QVERIFY2(f.prompts.texts().last().contains("PROFILES"), qPrintable(f.prompts.texts().last()));
    QCOMPARE(f.prompts.shown.last().icon, Prompts::Icon::Error);
    // No command that needs a dossier is offered, nor a dossier to open.
    for (QWidget* control : std::initializer_list<QWidget*>{
             w.Menu_Report, w.Menu_Html, w.Btn_Report, w.Btn_Html, w.Grid_AccountList,
             w.Btn_Account_Add, w.Btn_Account_Edit, w.Btn_Account_Delete, w.Grid_Consumption,
             w.Btn_Consumption_Add, w.Btn_Consumption_Edit, w.Btn_Consumption_Delete, w.Pan_Stat,
             w.Chart1})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    for (QAction* action :
         {w.Popup_File_Open, w.Popup_File_Close, w.Popup_File_Edit, w.Popup_File_Delete})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(w.Popup_File_Add->isEnabled());

    // Entries that cannot be read are reported, and cannot be edited or drawn.
    f.data.Consumption().close();
    f.db.exec("DROP TABLE CONSUMPTION");
    w.CurrentDossierId = 3;
    w.CurrentAccountId = 8;
    QVERIFY_THROWS_EXCEPTION(Error, w.RefreshCommands());
    QCOMPARE(w.currentState(), CommandState::S2);
    QVERIFY(w.Btn_Consumption_Add->isEnabled());
    QVERIFY(!w.Btn_Consumption_Edit->isEnabled());
    QVERIFY(!w.Btn_Consumption_Delete->isEnabled());
    QVERIFY(!w.Chart1->isEnabled());
}

void TestTMainForm::firstDossierWithoutPasswordOpens()
{
    Fixture f;
    f.db.addDossier("Autre", "x");
    f.db.exec("DELETE FROM PROFILES");
    const qint64 id = f.db.addDossier("Maison");
    TMainForm& w = f.make();
    QCOMPARE(w.CurrentDossierId, int(id));
    QCOMPARE(w.currentState(), CommandState::S1);
    QCOMPARE(w.windowTitle(), QString("Tilvo 1.83 - Maison"));
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

void TestTMainForm::captionIsExact_data()
{
    QTest::addColumn<bool>("standardChrome");
    QTest::newRow("own chrome") << false;
    QTest::newRow("standard chrome") << true;
}

void TestTMainForm::captionIsExact()
{
    QFETCH(bool, standardChrome);
    Fixture f(standardChrome);
    TMainForm& w = f.make();
    QCOMPARE(w.windowTitle(), QString("Tilvo 1.83"));
    // A display name set for the application is appended by the toolkit to every caption the
    // desktop shows; left unset, it reads as the application's name.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

void TestTMainForm::defaultPlacement_data()
{
    QTest::addColumn<bool>("standardChrome");
    QTest::addColumn<QRect>("saved");
    QTest::newRow("own chrome, never saved") << false << QRect(-1, -1, -1, -1);
    QTest::newRow("standard chrome, never saved") << true << QRect(-1, -1, -1, -1);
    QTest::newRow("standard chrome, wider than the screen") << true << QRect(0, 0, 2000, 700);
}

void TestTMainForm::defaultPlacement()
{
    QFETCH(bool, standardChrome);
    QFETCH(QRect, saved);
    Fixture f(standardChrome);
    f.savePlacement(saved, "wsNormal");
    TMainForm& w = f.shown();
    QCOMPARE(w.size(), QSize(800, 600));
    QCOMPARE(w.pos(), CentredFor(QSize(800, 600), WorkAreaOf(&w)));
}

void TestTMainForm::placementRoundTrip_data()
{
    QTest::addColumn<bool>("standardChrome");
    QTest::addColumn<QRect>("saved");
    QTest::newRow("own chrome, larger") << false << QRect(100, 50, 900, 700);
    QTest::newRow("standard chrome, larger") << true << QRect(100, 50, 900, 700);
    QTest::newRow("standard chrome, smaller by the grip") << true << QRect(339, 252, 748, 520);
}

void TestTMainForm::placementRoundTrip()
{
    QFETCH(bool, standardChrome);
    QFETCH(QRect, saved);
    Fixture f(standardChrome);
    f.savePlacement(saved, "wsNormal");
    TMainForm& first = f.shown();
    QCOMPARE(Placement(first), saved);
    const QRect frame = first.frameGeometry();
    const QRect client = first.geometry();
    first.close();

    // Stored and restored, the window comes back exactly where and as large as it was.
    f.settings = LoadSettings(f.settingsPath());
    QCOMPARE(QRect(f.settings.Left, f.settings.Top, f.settings.Width, f.settings.Height), saved);
    TMainForm& second = f.shown();
    QCOMPARE(second.frameGeometry(), frame);
    QCOMPARE(second.geometry(), client);
}

void TestTMainForm::maximisedUnderStandardChrome()
{
    Fixture f(true);
    const QRect normal(100, 50, 900, 700);
    f.savePlacement(normal, "wsMaximized");
    TMainForm& w = f.make();
    // The frame resizes the window, down to just above the grip's minimums, and maximises it.
    QCOMPARE(w.minimumSize(), QSize(701, 501));
    QCOMPARE(w.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.isMaximized());
    QTRY_COMPARE(w.frameGeometry(), WorkAreaOf(&w));

    // Restored, it takes the saved normal placement.
    w.showNormal();
    QTRY_COMPARE(Placement(w), normal);

    // Maximised again and closed: the normal placement stays for the next restore.
    w.showMaximized();
    QTRY_COMPARE(w.frameGeometry(), WorkAreaOf(&w));
    w.close();
    const Settings saved = LoadSettings(f.settingsPath());
    QCOMPARE(QRect(saved.Left, saved.Top, saved.Width, saved.Height), normal);
    QCOMPARE(saved.State, QString("wsMaximized"));
}

void TestTMainForm::regionsKeepProportionsAndMinimums()
{
    Fixture f;
    TMainForm& w = f.shown();
    QWidget* chart = w.Splitter1->widget(0);
    QWidget* history = w.Splitter1->widget(1);
    const double across = double(w.Pan_Tree->width()) / w.Splitter->width();
    const double down = double(chart->height()) / w.Splitter1->height();

    // A larger window keeps the regions' proportions.
    w.resize(1200, 900);
    QTRY_COMPARE(w.Splitter->width() > 1000, true);
    QVERIFY(qAbs(double(w.Pan_Tree->width()) / w.Splitter->width() - across) < 0.01);
    QVERIFY(qAbs(double(chart->height()) / w.Splitter1->height() - down) < 0.01);

    // Dragged as far as the splitters go, no region disappears.
    w.Splitter->setSizes({0, 5000});
    QCOMPARE(w.Pan_Tree->width(), 150);
    w.Splitter->setSizes({5000, 0});
    QVERIFY(w.Splitter1->width() >= w.Splitter1->minimumSizeHint().width());
    QVERIFY(w.Btn_Consumption_Delete->mapTo(&w, QPoint(w.Btn_Consumption_Delete->width(), 0)).x() <=
            w.width());
    w.Splitter1->setSizes({0, 5000});
    QCOMPARE(chart->height(), 120);
    w.Splitter1->setSizes({5000, 0});
    QVERIFY(history->height() >= 90);
    QVERIFY(w.Btn_Consumption_Add->mapTo(&w, QPoint(0, w.Btn_Consumption_Add->height())).y() <=
            w.Image1->mapTo(&w, QPoint(0, 0)).y());

    // At the smallest size the grip allows, every region keeps its minimum.
    w.resize(701, 501);
    QTRY_COMPARE(w.size(), QSize(701, 501));
    QVERIFY(w.Pan_Tree->width() >= 150);
    QVERIFY(w.Splitter1->width() >= w.Splitter1->minimumSizeHint().width());
    QVERIFY(chart->height() >= 120);
    QVERIFY(history->height() >= 90);
}

void TestTMainForm::helpWithoutDesktopHandler()
{
    Fixture f;
    f.desktopOpens = false;
    TMainForm& w = f.make();
    test::WriteFile(f.env.HelpFile, "<html></html>");
    w.Popup_Help_Doc->trigger();
    w.Popup_Help_Web->trigger();
    QCOMPARE(f.opened.size(), 2);
    QCOMPARE(f.prompts.texts(),
             QStringList({"Le fichier d'aide n'a pas pu être ouvert : aucune application du "
                          "bureau ne prend en charge ce type de fichier.\rVous pouvez l'ouvrir "
                          "vous-même : " +
                              QDir::toNativeSeparators(f.env.HelpFile),
                          "Le site web n'a pas pu être ouvert : aucun navigateur n'est associé "
                          "aux adresses web sur ce bureau.\rVous pouvez vous y rendre vous-même "
                          ": https://www.vantrel-software.example/"}));
    QCOMPARE(f.prompts.shown.at(0).icon, Prompts::Icon::Warning);
    QCOMPARE(f.prompts.shown.at(1).icon, Prompts::Icon::Warning);
}

void TestTMainForm::menuKeysMoveAlongTheRow()
{
    Fixture f;
    TMainForm& w = f.shown();
    QStringList seen;
    const auto press = [&seen](Qt::Key key) {
        if (QWidget* open = QApplication::activePopupWidget())
            QTest::keyClick(open, key);
        QWidget* now = QApplication::activePopupWidget();
        seen << (now ? now->objectName() : QStringLiteral("none"));
    };
    // Opens `from`'s menu as a click does, then presses the keys, noting the open menu after
    // each.
    const auto walk = [&](QToolButton* from, const QList<Qt::Key>& keys) {
        seen.clear();
        QTimer::singleShot(0, &w, [&] {
            for (Qt::Key key : keys)
                press(key);
            for (int i = 0; i < 4 && QApplication::activePopupWidget(); ++i)
                QApplication::activePopupWidget()->close();
        });
        from->showMenu();
    };

    // With a dossier open, every menu of the row is reachable; Right opens a sub-menu and
    // Left closes it, before moving on.
    w.CurrentDossierId = 1;
    w.RefreshCommands();
    walk(w.Menu_File, {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left,
                       Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left});
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(seen, QStringList({"Popup_Report", "Popup_Html", "Popup_Tools", "Popup_Tools_DataBase",
                                "Popup_Tools", "Popup_Tools_DataBase", "Popup_Help", "Popup_File",
                                "Popup_Help", "Popup_Tools"}));

    // Without one, the disabled menus are passed over.
    w.CurrentDossierId = -1;
    w.RefreshCommands();
    walk(w.Menu_File, {Qt::Key_Right, Qt::Key_Left, Qt::Key_Left});
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(seen, QStringList({"Popup_Tools", "Popup_File", "Popup_Help"}));
}

void TestTMainForm::screenshotsAtDefaultAndSavedSize()
{
    for (const QRect& saved : {QRect(-1, -1, -1, -1), QRect(60, 40, 1100, 800)}) {
        Fixture f;
        f.savePlacement(saved, "wsNormal");
        TMainForm& w = f.shown();
        const QSize expected = saved.width() > 0 ? saved.size() : QSize(800, 600);
        QCOMPARE(w.size(), expected);
        const QString name =
            QStringLiteral("MainForm_%1x%2").arg(expected.width()).arg(expected.height());
        Grab(w, name);
        QCOMPARE(QImage("screenshots/" + name + ".png").size(), expected);
    }
}

QTEST_MAIN(TestTMainForm)
#include "tst_TMainForm.moc"
