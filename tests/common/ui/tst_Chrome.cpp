// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/Chrome.h"
#include "common/ui/WaitWindow.h"

#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace tilvo;

namespace {

// A dialog as the windows build them: a title bar over the content, optionally a grip.
QDialog* MakeDialog(const QString& title, const QSize& designed, const QString& gripName = {},
                    bool maximize = false)
{
    auto* dialog = new QDialog;
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildTitleBar(dialog, title, false, maximize).bar);
    layout->addStretch();
    if (!gripName.isEmpty())
        layout->addWidget(BuildGrip(dialog, gripName), 0, Qt::AlignRight);
    dialog->resize(designed);
    return dialog;
}

void Drag(QWidget* handle, const QPoint& from, const QPoint& by)
{
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(from + by), handle->mapToGlobal(QPointF(from + by)),
                     Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, from + by);
}

} // namespace

class TestChrome : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void standardChromeGivesPlatformFrame();
    void standardChromeKeepsImage1GripWorking();
    void standardChromeResizablePadAndMaximize();
    void standardChromeMainWindowIsResizable();
    void keepOwnChromeIsNeverReplaced();
    void customChromeDragsByTitleBar();
    void customChromeGripMinimums_data();
    void customChromeGripMinimums();
    void closeBoxCancelsDialog();
    void showCaption_data();
    void showCaption();
    void titleColoursFollowActivation();
    void workAreaToggle();
    void waitGaugeWidth_data();
    void waitGaugeWidth();
};

void TestChrome::init()
{
    Chrome() = ChromeContext{};
}

void TestChrome::standardChromeGivesPlatformFrame()
{
    Chrome().standardChrome = true;
    std::unique_ptr<QDialog> dialog(MakeDialog("  Dossier", QSize(300, 200)));
    SetUpChrome(dialog.get());
    QCOMPARE(dialog->windowTitle(), QString("Dossier"));
    QVERIFY(dialog->findChild<QWidget*>("TitleBar")->isHidden());
    QCOMPARE(dialog->size(), QSize(300, 182));
    QCOMPARE(dialog->property("tilvoFrame").toString(), QString("fixed"));
    const Qt::WindowFlags flags = dialog->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::FramelessWindowHint));
}

void TestChrome::standardChromeKeepsImage1GripWorking()
{
    Chrome().standardChrome = true;
    std::unique_ptr<QDialog> dialog(MakeDialog("  Liste des dossiers", QSize(500, 300), "Image1"));
    SetUpChrome(dialog.get(), ChromeOptions{400, 200});
    QCOMPARE(dialog->property("tilvoFrame").toString(), QString("fixed"));
    dialog->show();
    Drag(dialog->findChild<QWidget*>("Image1"), QPoint(5, 5), QPoint(40, 30));
    QCOMPARE(dialog->size(), QSize(540, 312));
}

void TestChrome::standardChromeResizablePadAndMaximize()
{
    Chrome().standardChrome = true;
    std::unique_ptr<QDialog> dialog(MakeDialog("  Aperçu", QSize(600, 400), "RezisePad", true));
    SetUpChrome(dialog.get(), ChromeOptions{400, 200, SizeButtonKind::Platform});
    QCOMPARE(dialog->property("tilvoFrame").toString(), QString("resizable"));
    QVERIFY(dialog->windowFlags() & Qt::WindowMaximizeButtonHint);
    QVERIFY(dialog->minimumSize() != dialog->maximumSize());
}

void TestChrome::standardChromeMainWindowIsResizable()
{
    Chrome().standardChrome = true;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildTitleBar(&window, " Tilvo 1.83", true, true).bar);
    layout->addStretch();
    layout->addWidget(BuildGrip(&window), 0, Qt::AlignRight);
    window.resize(798, 598);
    SetUpChrome(&window, ChromeOptions{700, 500, SizeButtonKind::WorkArea, true});
    QCOMPARE(window.property("tilvoFrame").toString(), QString("resizable"));
    QCOMPARE(window.size(), QSize(798, 580));
    QCOMPARE(window.minimumSize(), QSize(701, 501));
    QVERIFY(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    window.resize(900, 700);
    QCOMPARE(window.size(), QSize(900, 700));
    window.resize(600, 400);
    QCOMPARE(window.size(), QSize(701, 501));
}

void TestChrome::keepOwnChromeIsNeverReplaced()
{
    Chrome().standardChrome = true;
    std::unique_ptr<QDialog> dialog(MakeDialog("  A propos", QSize(300, 200)));
    ChromeOptions options;
    options.keepOwnChrome = true;
    SetUpChrome(dialog.get(), options);
    QVERIFY(!dialog->findChild<QWidget*>("TitleBar")->isHidden());
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog->size(), QSize(300, 200));
}

void TestChrome::customChromeDragsByTitleBar()
{
    Chrome().standardChrome = false;
    std::unique_ptr<QDialog> dialog(MakeDialog("  Dossier", QSize(300, 200)));
    SetUpChrome(dialog.get());
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    dialog->move(100, 100);
    dialog->show();
    const QPoint start = dialog->pos();
    Drag(dialog->findChild<QWidget*>("Title"), QPoint(20, 5), QPoint(10, 5));
    QCOMPARE(dialog->pos(), start + QPoint(10, 5));
    Drag(dialog->findChild<QWidget*>("TitleBar"), QPoint(3, 3), QPoint(-4, 7));
    QCOMPARE(dialog->pos(), start + QPoint(6, 12));
}

void TestChrome::customChromeGripMinimums_data()
{
    QTest::addColumn<QPoint>("by");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("both grow") << QPoint(50, 20) << QSize(550, 320);
    QTest::newRow("width at the minimum stays") << QPoint(-100, 20) << QSize(500, 320);
    QTest::newRow("width just above") << QPoint(-99, -99) << QSize(401, 201);
    QTest::newRow("height at the minimum stays") << QPoint(-10, -100) << QSize(490, 300);
}

void TestChrome::customChromeGripMinimums()
{
    QFETCH(QPoint, by);
    QFETCH(QSize, expected);
    Chrome().standardChrome = false;
    std::unique_ptr<QDialog> dialog(MakeDialog("  Historique", QSize(500, 300), "Image1"));
    SetUpChrome(dialog.get(), ChromeOptions{400, 200});
    dialog->show();
    Drag(dialog->findChild<QWidget*>("Image1"), QPoint(5, 5), by);
    QCOMPARE(dialog->size(), expected);
}

void TestChrome::closeBoxCancelsDialog()
{
    for (const bool standard : {false, true}) {
        Chrome().standardChrome = standard;
        std::unique_ptr<QDialog> dialog(MakeDialog("  Dossier", QSize(300, 200)));
        SetUpChrome(dialog.get());
        QTimer::singleShot(0, dialog.get(),
                           [&] { dialog->findChild<QToolButton*>("SysExitBtn")->click(); });
        QCOMPARE(dialog->exec(), int(QDialog::Rejected));
    }
}

void TestChrome::showCaption_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    QTest::newRow("two blanks") << "  Saisie d'une consommation"
                                << "Saisie d'une consommation";
    QTest::newRow("doubled apostrophe") << " Saisie d''une consommation"
                                        << "Saisie d'une consommation";
    QTest::newRow("no blank") << "Dossier"
                              << "Dossier";
}

void TestChrome::showCaption()
{
    QFETCH(QString, title);
    QFETCH(QString, caption);
    std::unique_ptr<QDialog> dialog(MakeDialog(title, QSize(300, 200)));
    ShowCaption(dialog.get());
    QCOMPARE(dialog->windowTitle(), caption);
}

void TestChrome::titleColoursFollowActivation()
{
    Chrome().standardChrome = false;
    std::unique_ptr<QDialog> first(MakeDialog("  Un", QSize(300, 200)));
    std::unique_ptr<QDialog> second(MakeDialog("  Deux", QSize(300, 200)));
    SetUpChrome(first.get());
    SetUpChrome(second.get());
    first->show();
    second->show();
    auto* bar = first->findChild<TitleBar*>("TitleBar");
    QApplication::setActiveWindow(first.get());
    QTRY_VERIFY(first->isActiveWindow());
    QCOMPARE(bar->startColor(), kActiveTitleStart);
    QCOMPARE(bar->endColor(), kActiveTitleEnd);
    QApplication::setActiveWindow(second.get());
    QTRY_VERIFY(second->isActiveWindow());
    QCOMPARE(bar->startColor(), kInactiveTitleStart);
    QCOMPARE(bar->endColor(), kInactiveTitleEnd);
    QCOMPARE(first->findChild<QLabel*>("Title")->palette().color(QPalette::WindowText), kTitleText);
}

void TestChrome::workAreaToggle()
{
    Chrome().standardChrome = false;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(BuildTitleBar(&window, " Tilvo 1.83", true, true).bar);
    SetUpChrome(&window, ChromeOptions{700, 500, SizeButtonKind::WorkArea, true});
    window.resize(900, 700);
    window.move(13, 17);
    window.show();
    const QRect area(0, 0, 1280, 1000);
    ToggleWorkArea(&window, area);
    QCOMPARE(QRect(window.pos(), window.size()), area);
    QCOMPARE(window.findChild<QWidget*>("SysMaxiBtn")->toolTip(), QString("Réduire"));
    ToggleWorkArea(&window, area);
    QCOMPARE(QRect(window.pos(), window.size()), QRect(240, 200, 800, 600));
    QCOMPARE(window.findChild<QWidget*>("SysMaxiBtn")->toolTip(), QString("Agrandir"));
}

void TestChrome::waitGaugeWidth_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("width");
    QTest::newRow("empty") << 3 << 0 << 0;
    QTest::newRow("one third truncated") << 3 << 1 << 83;
    QTest::newRow("two thirds truncated") << 3 << 2 << 167;
    QTest::newRow("full") << 3 << 3 << 251;
    QTest::newRow("past the end") << 3 << 5 << 251;
    QTest::newRow("no maximum") << 0 << 2 << 0;
}

void TestChrome::waitGaugeWidth()
{
    QFETCH(int, maximum);
    QFETCH(int, position);
    QFETCH(int, width);
    TWait wait;
    wait.open("TRANSFERT DES DONNEES", "Quelques instants, SVP ...", maximum, false);
    wait.setPosition(position);
    QCOMPARE(wait.Gauge->filledWidth(), width);
    QVERIFY(!wait.isVisible());
    QCOMPARE(wait.Lab_Task->text(), QString("TRANSFERT DES DONNEES"));
}

QTEST_MAIN(TestChrome)
#include "tst_Chrome.moc"
