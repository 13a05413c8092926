// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

using namespace tilvo;
using test::ScriptedPrompts;

namespace {

const char* const kUnscriptedRun = "--unscripted-run";

} // namespace

// Run in a child process: each function leaves something unscripted, but one.
class UnscriptedRequests : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void question()
    {
        ScriptedPrompts prompts;
        prompts.askYesNo("Supprimer le compte ?\rIl sera perdu.", Prompts::Icon::Question, {});
    }
    void openDialog()
    {
        ScriptedPrompts prompts;
        prompts.openFileName("Choisir une image", "Image Jpeg|*.jpg", "/tmp/");
    }
    void saveDialog()
    {
        ScriptedPrompts prompts;
        prompts.saveFileName("Exporter la liste", "Texte|*.txt", "liste.txt", "txt");
    }
    void colourDialog()
    {
        ScriptedPrompts prompts;
        prompts.chooseColor(QColor(0x12, 0x34, 0x56));
    }
    void printDialog()
    {
        ScriptedPrompts prompts;
        Prompts::PrintSetup setup;
        setup.maxPage = 4;
        prompts.choosePrint(setup);
    }
    void printWithoutDialog()
    {
        ScriptedPrompts prompts;
        prompts.defaultPrintTarget();
    }
    void answerLeftOver()
    {
        ScriptedPrompts prompts;
        prompts.yesNoAnswers << true;
    }
    void everythingScripted()
    {
        ScriptedPrompts prompts;
        prompts.yesNoAnswers << true;
        QVERIFY(prompts.askYesNo("Continuer ?", Prompts::Icon::Question, {}));
    }
    // A test that already failed keeps its answers without a second report.
    void failedEarly()
    {
        ScriptedPrompts prompts;
        prompts.yesNoAnswers << true;
        QFAIL("failed before the question");
    }
};

class TestScriptedPrompts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersComeInOrderAndAreRecorded();
    void anythingUnscriptedFailsTheTestWithItsText();
};

void TestScriptedPrompts::answersComeInOrderAndAreRecorded()
{
    ScriptedPrompts prompts;
    prompts.yesNoAnswers << true << false;
    prompts.fileAnswers << QString("/tmp/a.jpg") << std::nullopt;
    prompts.colorAnswers << QColor(Qt::red);
    prompts.showMessage("Terminé.", Prompts::Icon::Information, "Tilvo");
    QVERIFY(prompts.askYesNo("Un ?", Prompts::Icon::Question, {}));
    QVERIFY(!prompts.askYesNo("Deux ?", Prompts::Icon::Warning, {}));
    QCOMPARE(prompts.openFileName("Ouvrir", "*.jpg", "/tmp/"),
             std::optional<QString>("/tmp/a.jpg"));
    QCOMPARE(prompts.saveFileName("Enregistrer", "*.txt", "a.txt", "txt"), std::nullopt);
    QCOMPARE(prompts.chooseColor(QColor(Qt::blue)), std::optional<QColor>(QColor(Qt::red)));
    QCOMPARE(prompts.texts(), (QStringList{"Terminé.", "Un ?", "Deux ?"}));
    QCOMPARE(prompts.shown.at(0).caption, QString("Tilvo"));
    QVERIFY(!prompts.shown.at(0).question && prompts.shown.at(2).question);
    QCOMPARE(prompts.shown.at(2).icon, Prompts::Icon::Warning);
    QCOMPARE(prompts.fileRequests, (QStringList{"Ouvrir", "Enregistrer"}));
    QCOMPARE(prompts.colorRequests, QList<QColor>{QColor(Qt::blue)});

    Prompts::PrintSetup chosen;
    chosen.copies = 2;
    chosen.target.pdfFile = "/tmp/a.pdf";
    prompts.printAnswers << chosen << std::nullopt;
    prompts.printTargetAnswers << Prompts::PrintTarget{"Bureau", {}};
    Prompts::PrintSetup setup;
    setup.maxPage = 3;
    QCOMPARE(prompts.choosePrint(setup)->copies, 2);
    QVERIFY(!prompts.choosePrint(setup));
    QCOMPARE(prompts.defaultPrintTarget()->printerName, QString("Bureau"));
    QCOMPARE(prompts.printRequests.size(), 2);
    QCOMPARE(prompts.printRequests.at(1).maxPage, 3);
    QCOMPARE(prompts.printTargetRequests, 1);
}

void TestScriptedPrompts::anythingUnscriptedFailsTheTestWithItsText()
{
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {kUnscriptedRun});
    QVERIFY(child.waitForFinished(60000));
    const QString log = QString::fromUtf8(child.readAll());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY2(child.exitCode() != 0, qPrintable(log));
    QVERIFY2(log.contains("Totals: 3 passed, 8 failed"), qPrintable(log));
    const QStringList failures{
        R"(UnscriptedRequests::question() unscripted question: "Supprimer le compte ?\rIl sera perdu.")",
        R"(UnscriptedRequests::openDialog() unscripted open dialog: "Choisir une image")",
        R"(UnscriptedRequests::saveDialog() unscripted save dialog: "Exporter la liste")",
        "UnscriptedRequests::colourDialog() unscripted colour dialog, starting from #123456",
        "UnscriptedRequests::printDialog() unscripted print dialog, pages 1 to 4",
        "UnscriptedRequests::printWithoutDialog() unscripted printing without a dialog",
        "UnscriptedRequests::answerLeftOver() scripted answer never asked for: Oui",
        "UnscriptedRequests::failedEarly() failed before the question"};
    for (const QString& failure : failures)
        QVERIFY2(log.contains("FAIL!  : " + failure), qPrintable(log));
    QCOMPARE(log.count("FAIL!"), 8);
    QVERIFY2(log.contains("PASS   : UnscriptedRequests::everythingScripted()"), qPrintable(log));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], kUnscriptedRun) == 0) {
        UnscriptedRequests child;
        return QTest::qExec(&child, 1, argv);
    }
    TestScriptedPrompts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ScriptedPrompts.moc"
