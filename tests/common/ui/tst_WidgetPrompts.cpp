// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/FrenchTranslations.h"
#include "common/ui/WidgetPrompts.h"
#include "support/ScriptedPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTest>
#include <QTimer>

using namespace tilvo;

namespace {

// Answers the next message box with the button whose text is `answer`, after noting what it showed.
struct BoxAnswer
{
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* owner = nullptr;
    bool keptOnTop = false;
    bool selectable = false;

    void answerWith(const QString& answer)
    {
        QTimer::singleShot(0, [this, answer] { find(answer); });
    }

private:
    void find(const QString& answer)
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible())
                continue;
            text = box->text();
            icon = box->icon();
            owner = box->parentWidget();
            keptOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            selectable = box->textInteractionFlags().testFlag(Qt::TextSelectableByMouse);
            QAbstractButton* chosen = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                buttons.append(b->text());
                if (b->text() == answer)
                    chosen = b;
            }
            if (chosen) {
                chosen->click();
                return;
            }
        }
        QTimer::singleShot(10, [this, answer] { find(answer); });
    }
};

} // namespace

class TestWidgetPrompts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void frenchButtonsAndLineBreaks();
    void questionAnswers_data();
    void questionAnswers();
    void dialogFilter();
    void guardShowsTheErrorText();
    void boxAboveAWindowKeptOnTop_data();
    void boxAboveAWindowKeptOnTop();
    void printDialogAnswersWhereAndWhat();
};

void TestWidgetPrompts::initTestCase()
{
    QVERIFY(InstallFrenchTranslations());
}

void TestWidgetPrompts::frenchButtonsAndLineBreaks()
{
    WidgetPrompts prompts;
    BoxAnswer box;
    box.answerWith("OK");
    prompts.showMessage("IMPORTANT !!\r\rNE SUPPRIMEZ PAS", Prompts::Icon::Warning, QString());
    QCOMPARE(box.text, QString("IMPORTANT !!\n\nNE SUPPRIMEZ PAS"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, QStringList{"OK"});
    QVERIFY(box.selectable);
}

void TestWidgetPrompts::questionAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("yes");
    QTest::newRow("oui") << "&Oui" << true;
    QTest::newRow("non") << "&Non" << false;
}

void TestWidgetPrompts::questionAnswers()
{
    QFETCH(QString, button);
    QFETCH(bool, yes);
    WidgetPrompts prompts;
    BoxAnswer box;
    box.answerWith(button);
    QCOMPARE(prompts.askYesNo("Sauvegarder ?", Prompts::Icon::Question, QString()), yes);
    QVERIFY(box.buttons.contains("&Oui") && box.buttons.contains("&Non"));
    QCOMPARE(box.icon, QMessageBox::Question);
}

void TestWidgetPrompts::dialogFilter()
{
    QCOMPARE(DialogFilter("Image Jpeg|*.jpg"), QString("Image Jpeg (*.jpg)"));
    QCOMPARE(DialogFilter("Sauvegarde|*.bkp|Tous|*.*"), QString("Sauvegarde (*.bkp);;Tous (*.*)"));
    QCOMPARE(DisplayText("a\r\nb\rc"), QString("a\nb\nc"));
}

void TestWidgetPrompts::guardShowsTheErrorText()
{
    test::ScriptedPrompts prompts;
    QVERIFY(!RunGuarded(prompts, [] { throw Error("Le fichier est endommagé."); }));
    QVERIFY(!RunGuarded(prompts, [] { throw std::runtime_error("disk"); }));
    QVERIFY(RunGuarded(prompts, [] {}));
    QCOMPARE(prompts.texts(), (QStringList{"Le fichier est endommagé.", "disk"}));
    QCOMPARE(prompts.shown.first().icon, Prompts::Icon::Error);
}

void TestWidgetPrompts::boxAboveAWindowKeptOnTop_data()
{
    QTest::addColumn<bool>("onTop");
    QTest::newRow("window kept on top") << true;
    QTest::newRow("ordinary window") << false;
}

void TestWidgetPrompts::boxAboveAWindowKeptOnTop()
{
    // A box belongs to the window on screen and, when that window is kept on top (the splash
    // at start-up), is kept on top as well; a window manager would otherwise stack it beneath.
    QFETCH(bool, onTop);
    QWidget window(nullptr,
                   onTop ? Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                         : Qt::Window);
    window.resize(480, 170);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WidgetPrompts prompts;
    BoxAnswer box;
    box.answerWith("&Non");
    QVERIFY(!prompts.askYesNo("Sauvegarder ?", Prompts::Icon::Question, QString()));
    QCOMPARE(box.owner, &window);
    QCOMPARE(box.keptOnTop, onTop);
}

void TestWidgetPrompts::printDialogAnswersWhereAndWhat()
{
    WidgetPrompts prompts;
    Prompts::PrintSetup setup;
    setup.maxPage = 7;
    setup.toPage = 7;
    bool shown = false;
    int minPage = 0, maxPage = 0;
    QPrinter::OutputFormat format = QPrinter::NativeFormat;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        shown = true;
        minPage = dialog->minPage();
        maxPage = dialog->maxPage();
        format = dialog->printer()->outputFormat();
        QDir().mkpath("screenshots");
        dialog->grab().save("screenshots/print_dialog.png");
        dialog->accept();
    });
    const std::optional<Prompts::PrintSetup> chosen = prompts.choosePrint(setup);
    QVERIFY(shown);
    QCOMPARE(minPage, 1);
    QCOMPARE(maxPage, 7);
    QVERIFY(chosen);
    QCOMPARE(chosen->fromPage, 1);
    QCOMPARE(chosen->toPage, 7);
    QCOMPARE(chosen->copies, 1);
    QVERIFY(!chosen->currentPageOnly);
    // Without a printer the dialog offers a PDF file; with one, the printer chosen.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        QCOMPARE(format, QPrinter::PdfFormat);
        QVERIFY(chosen->target.pdfFile.endsWith("impression.pdf"));
    } else {
        QVERIFY(!chosen->target.printerName.isEmpty() || !chosen->target.pdfFile.isEmpty());
    }

    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    QVERIFY(!prompts.choosePrint(setup));
}

QTEST_MAIN(TestWidgetPrompts)
#include "tst_WidgetPrompts.moc"
