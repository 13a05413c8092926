// SPDX-License-Identifier: GPL-3.0-or-later
#include "../MainTestData.h"
#include "common/Clock.h"
#include "common/Windows1252.h"
#include "common/ui/Chrome.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "main/ui/ExchangeMenu.h"
#include "main/ui/TExportEntries.h"
#include "main/ui/TImportEntries.h"
#include "stats/ui/TEnterPeriod.h"
#include "support/DialogDriving.h"
#include "support/ScriptedPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

// The exchange entries of the tools menu, their dialogs driven as a person would.
class TestExchangeWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void importShowsThePreviewAndImportsTheValidLines();
    void decliningRefusedLinesImportsNothing();
    void columnsAndFormatCanBeChanged();
    void cancellingARunningImportLeavesNothing();
    void exportOfAPeriod();
    void exportOfTheDossier();
    void menuFollowsTheSelection();
    void badFileIsShownAsAnError();
    void lineOfManyFieldsOffersTheFirstColumnsOnly();

private:
    QString write(const QByteArray& bytes);
    QByteArray read(const QString& path);
    ExchangeContext context();
    int entries() { return m_db.scalar("SELECT COUNT(*) FROM CONSUMPTION").toInt(); }

    TestDatabase m_db;
    ScriptedPrompts m_prompts;
    FixedClock m_clock{QDateTime(QDate(2008, 6, 1), QTime(10, 0))};
    std::unique_ptr<QTemporaryDir> m_dir;
    qint64 m_dossier = -1;
    qint64 m_account = -1;
    QStringList m_calls;
};

void TestExchangeWindows::initTestCase()
{
    Chrome() = ChromeContext{};
    Chrome().standardChrome = false;
    m_db.prepare();
}

void TestExchangeWindows::init()
{
    m_db.open();
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompts = ScriptedPrompts();
    m_calls.clear();
    m_dossier = m_db.addDossier(QStringLiteral("Maison"));
    AccountRow row;
    row.title = QStringLiteral("Eau");
    row.unit = QStringLiteral("m3");
    row.count = 10;
    m_account = m_db.addAccount(m_dossier, row);
}

void TestExchangeWindows::cleanup()
{
    m_db.release();
    m_dir.reset();
}

QString TestExchangeWindows::write(const QByteArray& bytes)
{
    const QString path = m_dir->filePath(QStringLiteral("releves.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray TestExchangeWindows::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ExchangeContext TestExchangeWindows::context()
{
    MainWindowHooks hooks;
    hooks.ComputeStatistic = [this] { m_calls << QStringLiteral("ComputeStatistic"); };
    hooks.RefreshAccountEntry = [this](int id) {
        m_calls << QStringLiteral("RefreshAccountEntry %1").arg(id);
    };
    hooks.RefreshCommands = [this] { m_calls << QStringLiteral("RefreshCommands"); };
    return ExchangeContext{m_db.module(),  m_prompts,      m_clock, m_dir->path() + u'/',
                           int(m_dossier), int(m_account), hooks,   nullptr};
}

void TestExchangeWindows::importShowsThePreviewAndImportsTheValidLines()
{
    const QString path =
        write(EncodeWindows1252(QStringLiteral("Date;Quantité;Montant;Commentaire\r\n"
                                               "05/03/2008;12,5;30,25 €;relevé d'été\r\n"
                                               "31/02/2008;1;2;jour impossible\r\n"
                                               "06/03/2008;\"12,5,3\";2;trois nombres\r\n"
                                               "2008-04-01;1 000;;\r\n")));
    m_prompts.fileAnswers.enqueue(path);
    m_prompts.yesNoAnswers.enqueue(true);
    // The entries of the selected account, as the main window keeps them open.
    DataSet& shown = m_db.module().Consumption();
    ReplaceWhereLine(shown, QStringLiteral("WHERE Id_Account=%1").arg(m_account));
    shown.open();
    QCOMPARE(shown.recordCount(), 0);
    WhenShown<TImportEntries>([](TImportEntries* dialog) {
        QCOMPARE(dialog->Cb_Separator->currentText(), QStringLiteral("Point-virgule ( ; )"));
        QCOMPARE(dialog->Cb_Decimal->currentText(), QStringLiteral("Virgule ( , )"));
        QCOMPARE(dialog->Cb_Encoding->currentText(), QStringLiteral("Windows-1252"));
        QVERIFY(dialog->Chk_Header->isChecked());
        QTableWidget* grid = dialog->Grid_Preview;
        QCOMPARE(grid->columnCount(), 6);
        QCOMPARE(grid->rowCount(), 5);
        QCOMPARE(grid->horizontalHeaderItem(2)->text(), QStringLiteral("Quantité"));
        QStringList kinds;
        for (int c = 0; c < 4; ++c)
            kinds << dialog->columnChoice(c)->currentText();
        QCOMPARE(kinds, (QStringList{"Date", "Quantité", "Montant", "Commentaire"}));
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("2"));
        QCOMPARE(grid->item(1, 4)->text(), QStringLiteral("relevé d'été"));
        QStringList states;
        for (int r = 1; r < grid->rowCount(); ++r)
            states << grid->item(r, 5)->text();
        QCOMPARE(states, (QStringList{"valide", "date invalide : « 31/02/2008 »",
                                      "quantité invalide : « 12,5,3 »", "valide"}));
        QVERIFY(dialog->Btn_Ok->isEnabled());
        Grab(dialog, QStringLiteral("import_dialog"));
        dialog->Btn_Ok->click();
    });
    QVERIFY(ImportEntriesAction(context()));
    QCOMPARE(m_prompts.texts(),
             (QStringList{"2 ligne(s) refusée(s) : voir la liste.\rImporter les 2 ligne(s) "
                          "valide(s) ?",
                          "2 consommation(s) importée(s)."}));
    QCOMPARE(m_calls,
             (QStringList{"ComputeStatistic", QString("RefreshAccountEntry %1").arg(m_account),
                          "RefreshCommands"}));
    QCOMPARE(entries(), 2);
    QCOMPARE(shown.recordCount(), 2);
    QCOMPARE(shown.recNo(), 1);
    QCOMPARE(shown.fieldByName(QStringLiteral("DateAction")).asDate(), QDate(2008, 4, 1));
    QCOMPARE(
        m_db.scalar(QString("SELECT Count FROM ACCOUNT WHERE Id=%1").arg(m_account)).toDouble(),
        1022.5);
}

void TestExchangeWindows::decliningRefusedLinesImportsNothing()
{
    QByteArray bytes("Date;Quantité\n05/03/2008;1\n");
    for (int i = 0; i < 120; ++i)
        bytes += "30/02/2008;1\n";
    m_prompts.fileAnswers.enqueue(write(bytes));
    m_prompts.yesNoAnswers.enqueue(false);
    WhenShown<TImportEntries>([](TImportEntries* dialog) {
        dialog->Btn_Ok->click();
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->Memo_Refused->isVisible());
        const QStringList lines = dialog->Memo_Refused->toPlainText().split(u'\n');
        QCOMPARE(lines.size(), 101);
        QCOMPARE(lines.first(), QStringLiteral("Ligne 3 : date invalide : « 30/02/2008 »"));
        QCOMPARE(lines.last(), QStringLiteral("… et 20 autres lignes refusées."));
        QCOMPARE(dialog->Lab_Status->text(), QStringLiteral("Rien n'a été importé."));
        QVERIFY(dialog->Btn_Ok->isEnabled());
        Grab(dialog, QStringLiteral("import_refused"));
        dialog->Btn_Cancel->click();
    });
    QVERIFY(!ImportEntriesAction(context()));
    QCOMPARE(m_prompts.texts(),
             QStringList{"120 ligne(s) refusée(s) : voir la liste.\rImporter les 1 ligne(s) "
                         "valide(s) ?"});
    QCOMPARE(entries(), 0);
    QVERIFY(m_calls.isEmpty());
}

void TestExchangeWindows::columnsAndFormatCanBeChanged()
{
    const QString path = write("05/03/2008,12.5,first\n06/03/2008,3,second\n");
    const CsvGuess guess = GuessCsvFormat(path);
    TImportEntries dialog(m_db.module().Query(), int(m_account), path, guess, m_prompts);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.Cb_Separator->currentText(), QStringLiteral("Virgule ( , )"));
    QCOMPARE(dialog.Cb_Decimal->currentText(), QStringLiteral("Point ( . )"));
    QVERIFY(!dialog.Chk_Header->isChecked());
    QCOMPARE(dialog.Grid_Preview->rowCount(), 3);
    QCOMPARE(dialog.Grid_Preview->horizontalHeaderItem(1)->text(), QStringLiteral("Colonne 1"));

    // Without a date column nothing can be imported.
    dialog.columnChoice(0)->setCurrentIndex(0);
    QVERIFY(!dialog.Btn_Ok->isEnabled());
    QCOMPARE(dialog.Lab_Status->text(), QStringLiteral("Choisissez la colonne de la date."));
    QCOMPARE(dialog.Grid_Preview->item(1, 4)->text(), QStringLiteral("aucune colonne de date"));
    dialog.columnChoice(0)->setCurrentIndex(1);
    dialog.columnChoice(2)->setCurrentIndex(1);
    QVERIFY(!dialog.Btn_Ok->isEnabled());
    QCOMPARE(dialog.Lab_Status->text(),
             QStringLiteral("La colonne « Date » est choisie plusieurs fois."));
    dialog.columnChoice(2)->setCurrentIndex(0);
    QVERIFY(dialog.Btn_Ok->isEnabled());
    QCOMPARE(dialog.mapping(),
             (std::vector<CsvColumn>{CsvColumn::Date, CsvColumn::Quantity, CsvColumn::Skip}));

    // Another separator reads other columns; the first line may be taken as names.
    dialog.Cb_Separator->setCurrentIndex(0);
    QCOMPARE(dialog.Grid_Preview->columnCount(), 3);
    QCOMPARE(dialog.Grid_Preview->item(1, 1)->text(), QStringLiteral("05/03/2008,12.5,first"));
    dialog.Cb_Separator->setCurrentIndex(1);
    dialog.Chk_Header->setChecked(true);
    QCOMPARE(dialog.Grid_Preview->columnCount(), 5);
    QCOMPARE(dialog.Grid_Preview->rowCount(), 2);
    QCOMPARE(dialog.Grid_Preview->horizontalHeaderItem(3)->text(), QStringLiteral("first"));
}

void TestExchangeWindows::cancellingARunningImportLeavesNothing()
{
    QByteArray bytes("Date;Quantité\n");
    for (int i = 0; i < 5000; ++i)
        bytes += "05/03/2008;1\n";
    const QString path = write(bytes);
    m_prompts.fileAnswers.enqueue(path);
    WhenShown<TImportEntries>([](TImportEntries* dialog) {
        // The click arrives while the import runs, through the gauge's repaint.
        QTimer::singleShot(0, dialog->Btn_Cancel, [dialog] {
            QVERIFY(dialog->importing());
            QVERIFY(dialog->Gauge->isVisible());
            QVERIFY(!dialog->Btn_Ok->isEnabled());
            dialog->Btn_Cancel->click();
        });
        dialog->Btn_Ok->click();
        QVERIFY(dialog->report().cancelled);
        QCOMPARE(dialog->Lab_Status->text(),
                 QStringLiteral("Importation annulée : rien n'a été importé."));
        QVERIFY(dialog->isVisible());
        dialog->Btn_Cancel->click();
    });
    QVERIFY(!ImportEntriesAction(context()));
    QCOMPARE(entries(), 0);
    QVERIFY(m_calls.isEmpty());
    QVERIFY(m_prompts.texts().isEmpty());
}

void TestExchangeWindows::exportOfAPeriod()
{
    m_db.addEntry(m_dossier, m_account, QDate(2008, 1, 1), 1, 0.5, "premier");
    m_db.addEntry(m_dossier, m_account, QDate(2008, 2, 1), 2, 0, "=2+3");
    m_db.addEntry(m_dossier, m_account, QDate(2008, 3, 1), 3, 0);
    const QString path = m_dir->filePath(QStringLiteral("periode.csv"));
    m_prompts.fileAnswers.enqueue(path);
    WhenShown<TExportEntries>([](TExportEntries* dialog) {
        QVERIFY(dialog->Rb_Account->isChecked());
        QCOMPARE(dialog->Rb_Period->text(),
                 QStringLiteral("Les consommations du compte « Eau » sur une période …"));
        Grab(dialog, QStringLiteral("export_dialog"));
        dialog->Rb_Period->setChecked(true);
        WhenShown<TEnterPeriod>([](TEnterPeriod* period) {
            // Preset with the account's first and last entries.
            QCOMPARE(period->Ed_Begin_Date->text(), QStringLiteral("01/01/2008"));
            QCOMPARE(period->Ed_End_Date->text(), QStringLiteral("01/03/2008"));
            period->Ed_End_Date->setText(QStringLiteral("01/02/2008"));
            period->Btn_Ok->click();
        });
        dialog->Btn_Ok->click();
    });
    QVERIFY(ExportEntriesAction(context()));
    QCOMPARE(m_prompts.fileRequests, QStringList{"Exporter les consommations"});
    QCOMPARE(m_prompts.texts(),
             QStringList{QStringLiteral("2 consommation(s) exportée(s) dans « %1 ».").arg(path)});
    QCOMPARE(read(path), QByteArray("\xEF\xBB\xBF"
                                    "Compte;Date;Quantité;Unité;Montant;Commentaire\r\n"
                                    "Eau;01/01/2008;1;m3;0,5;premier\r\n"
                                    "Eau;01/02/2008;2;m3;0;'=2+3\r\n"));
}

void TestExchangeWindows::exportOfTheDossier()
{
    const qint64 gas = m_db.addAccount(m_dossier, QStringLiteral("Gaz"));
    m_db.addEntry(m_dossier, gas, QDate(2008, 1, 1), 4, 0);
    m_db.addEntry(m_dossier, m_account, QDate(2008, 1, 2), 1, 0);
    const QString path = m_dir->filePath(QStringLiteral("maison.csv"));
    m_prompts.fileAnswers.enqueue(path);
    WhenShown<TExportEntries>([](TExportEntries* dialog) {
        dialog->Rb_Dossier->setChecked(true);
        dialog->Btn_Ok->click();
    });
    ExchangeContext c = context();
    c.accountId = -1;
    QVERIFY(ExportEntriesAction(c));
    QCOMPARE(QString::fromUtf8(read(path)).count(QStringLiteral("\r\n")), 3);
    QVERIFY(read(path).contains("Gaz;01/01/2008;4;;0;"));

    // Cancelling the choice writes nothing.
    QFile::remove(path);
    WhenShown<TExportEntries>([](TExportEntries* dialog) { dialog->Btn_Cancel->click(); });
    QVERIFY(!ExportEntriesAction(context()));
    QVERIFY(!QFile::exists(path));
}

void TestExchangeWindows::menuFollowsTheSelection()
{
    QMenu tools;
    ExchangeContext current = context();
    QMenu* menu = AddExchangeMenu(&tools, [&current] { return current; });
    QCOMPARE(menu->objectName(), QStringLiteral("Popup_Tools_Exchange"));
    QCOMPARE(menu->title(), QStringLiteral("&Echanges"));
    auto* exportEntries = menu->findChild<QAction*>(QStringLiteral("Popup_Tools_Exchange_Export"));
    auto* importEntries = menu->findChild<QAction*>(QStringLiteral("Popup_Tools_Exchange_Import"));
    QVERIFY(exportEntries && importEntries);
    QCOMPARE(exportEntries->text(), QStringLiteral("&Exporter les consommations …"));
    QCOMPARE(importEntries->text(), QStringLiteral("&Importer des consommations …"));

    const auto states = [&] {
        Q_EMIT menu->aboutToShow();
        return std::make_pair(exportEntries->isEnabled(), importEntries->isEnabled());
    };
    QCOMPARE(states(), std::make_pair(true, true));
    current.accountId = -1;
    QCOMPARE(states(), std::make_pair(true, false));
    current.dossierId = -1;
    QCOMPARE(states(), std::make_pair(false, false));

    // The entry asks for the file; cancelling it ends there.
    current.dossierId = int(m_dossier);
    current.accountId = int(m_account);
    QCOMPARE(states(), std::make_pair(true, true));
    m_prompts.fileAnswers.enqueue(std::nullopt);
    importEntries->trigger();
    QCOMPARE(m_prompts.fileRequests, QStringList{"Importer des consommations"});
    QVERIFY(m_calls.isEmpty());
}

void TestExchangeWindows::badFileIsShownAsAnError()
{
    QMenu tools;
    QMenu* menu = AddExchangeMenu(&tools, [this] { return context(); });
    const QString path = write(QByteArray("\x89PNG\r\n\x1A\n\0\0", 10));
    m_prompts.fileAnswers.enqueue(path);
    menu->findChild<QAction*>(QStringLiteral("Popup_Tools_Exchange_Import"))->trigger();
    QCOMPARE(
        m_prompts.texts(),
        QStringList{QStringLiteral("Le fichier « %1 » n'est pas un fichier texte.").arg(path)});
    QCOMPARE(entries(), 0);
}

void TestExchangeWindows::lineOfManyFieldsOffersTheFirstColumnsOnly()
{
    const QString path = write("05/03/2008;1" + QByteArray(10000, ';') + "\n");
    const CsvGuess guess = GuessCsvFormat(path);
    TImportEntries dialog(m_db.module().Query(), int(m_account), path, guess, m_prompts);
    QCOMPARE(dialog.mapping().size(), size_t(10002));
    QCOMPARE(dialog.Grid_Preview->columnCount(), TImportEntries::kShownColumns + 2);
    QCOMPARE(dialog.columnChoice(0)->currentText(), QStringLiteral("Date"));
    QCOMPARE(dialog.columnChoice(1)->currentText(), QStringLiteral("Quantité"));
    QVERIFY(dialog.Btn_Ok->isEnabled());
    QCOMPARE(dialog.Grid_Preview->item(1, TImportEntries::kShownColumns + 1)->text(),
             QStringLiteral("valide"));
}

QTEST_MAIN(TestExchangeWindows)
#include "tst_ExchangeWindows.moc"
