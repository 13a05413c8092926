// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/ErrorGuard.h"
#include "common/ui/WaitWindow.h"
#include "db/BackupHistory.h"
#include "db/CabinetReader.h"
#include "db/Compaction.h"
#include "db/MaintenanceFixture.h"
#include "db/ui/DBGrid.h"
#include "db/ui/DatabaseMenuActions.h"
#include "db/ui/TBackupList.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tilvo;
using namespace tilvo::test;

namespace {

// The scripted prompts, with the file dialogs' filters, proposed names and folders kept.
class FileDialogPrompts final : public Prompts
{
public:
    void showMessage(const QString& text, Icon icon, const QString& caption) override
    {
        scripted.showMessage(text, icon, caption);
    }
    bool askYesNo(const QString& text, Icon icon, const QString& caption) override
    {
        return scripted.askYesNo(text, icon, caption);
    }
    std::optional<QString> openFileName(const QString& title, const QString& filter,
                                        const QString& folder) override
    {
        dialogs << QStringList{title, filter, folder};
        return scripted.openFileName(title, filter, folder);
    }
    std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                        const QString& proposedName,
                                        const QString& defaultExtension) override
    {
        dialogs << QStringList{title, filter, proposedName, defaultExtension};
        return scripted.saveFileName(title, filter, proposedName, defaultExtension);
    }
    std::optional<QColor> chooseColor(const QColor& initial) override
    {
        return scripted.chooseColor(initial);
    }

    ScriptedPrompts scripted;
    QList<QStringList> dialogs;
};

const QString kFilter = QStringLiteral("Sauvegarde base de donnée|*bkp");

} // namespace

// The handlers of the menu "Outils › Base de données" and the history window.
class TestDatabaseMenuActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void backupAsksWhereAndConfirms();
    void cancelledBackupDoesNothing();
    void failedBackupShowsItsErrorOnly();
    void restoreAsksWhichArchiveAndConfirms();
    void cancelledRestoreDoesNothing();
    void compactionIsConfirmedFirst_data();
    void compactionIsConfirmedFirst();
    void historyWindowListsTheRows();
    void purgeIsConfirmedAndEmptiesTheHistory_data();
    void purgeIsConfirmedAndEmptiesTheHistory();
    void deleteKeyRemovesTheCurrentRowOnly();
    void historyMenuShowsTheWindowModally();
    void importOfAnOldDatabaseIsConfirmedAndSavesTheCurrentOne();
    void declinedImportChangesNothing_data();
    void declinedImportChangesNothing();
    void failedImportShowsItsErrorOnly();

private:
    DatabaseMenuContext context();
    void addRows(int count);

    MaintenanceFolder m_folder;
    FixedClock m_clock{QDateTime(QDate(2007, 3, 5), QTime(9, 4, 0))};
    FileDialogPrompts m_prompts;
    std::unique_ptr<QWidget> m_window;
    int m_closed = 0;
    int m_refreshed = 0;
};

void TestDatabaseMenuActions::initTestCase()
{
    m_folder.prepare();
}

void TestDatabaseMenuActions::init()
{
    m_folder.create(false);
    m_folder.addPicture(QStringLiteral("Account1.jpg"), "jpeg");
    m_prompts = FileDialogPrompts();
    m_window = std::make_unique<QWidget>();
    m_window->resize(800, 600);
    m_window->show();
    m_closed = 0;
    m_refreshed = 0;
}

void TestDatabaseMenuActions::cleanup()
{
    m_window.reset();
    m_folder.release();
}

DatabaseMenuContext TestDatabaseMenuActions::context()
{
    UpdateEnvironment env;
    env.config = m_folder.config();
    env.DataFolder = m_folder.dataFolder();
    env.ProgramFolder = m_folder.root() + QStringLiteral("program/");
    env.ProgramVersion = QStringLiteral("1.83");
    env.UpdateFileName = QStringLiteral("BD_183.maj");
    env.clock = &m_clock;
    return DatabaseMenuContext{
        m_folder.module(),        m_prompts, env, m_window.get(), [this] { ++m_closed; },
        [this] { ++m_refreshed; }};
}

void TestDatabaseMenuActions::addRows(int count)
{
    for (int i = 0; i < count; ++i)
        AddBackupHistory(m_folder.module(), QStringLiteral("ligne %1").arg(i),
                         QStringLiteral("/archives/%1.bkp").arg(i), m_clock);
}

void TestDatabaseMenuActions::backupAsksWhereAndConfirms()
{
    const QString target = m_folder.root() + QStringLiteral("choisie.bkp");
    m_prompts.scripted.fileAnswers.enqueue(target);
    DatabaseBackupAction(context());
    QCOMPARE(m_prompts.dialogs,
             QList<QStringList>({{"Localisation de la sauvegarde", kFilter,
                                  m_folder.dataFolder() +
                                      QStringLiteral("Backup/TILVO_ACCESS_BACKUP_05_03_2007.bkp"),
                                  "bkp"}}));
    QCOMPARE(m_prompts.scripted.texts(), QStringList({"Sauvegarde effectuée."}));
    QCOMPARE(m_prompts.scripted.shown.first().icon, Prompts::Icon::Information);
    QCOMPARE(CabinetReader(target).entries().size(), 2);
    QVERIFY(m_window->isEnabled());
    QCOMPARE(m_refreshed, 1);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // The wait window is gone.
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY(!(qobject_cast<TWait*>(w) && w->isVisible()));
}

void TestDatabaseMenuActions::cancelledBackupDoesNothing()
{
    m_prompts.scripted.fileAnswers.enqueue(std::nullopt);
    DatabaseBackupAction(context());
    QVERIFY(m_prompts.scripted.shown.isEmpty());
    QCOMPARE(m_folder.history(), QStringList());
    QCOMPARE(m_refreshed, 0);
}

void TestDatabaseMenuActions::failedBackupShowsItsErrorOnly()
{
    WriteFile(MovedAsideName(m_folder.live()), "older");
    m_prompts.scripted.fileAnswers.enqueue(m_folder.root() + QStringLiteral("x.bkp"));
    QVERIFY(!RunGuarded(m_prompts, [this] { DatabaseBackupAction(context()); }));
    QCOMPARE(m_prompts.scripted.shown.size(), 1);
    QCOMPARE(m_prompts.scripted.shown.first().icon, Prompts::Icon::Error);
    QVERIFY(m_prompts.scripted.shown.first().text.startsWith(
        QStringLiteral("La sauvegarde n'a pas été faite")));
    QVERIFY(m_window->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(m_folder.connection().isOpen());
}

void TestDatabaseMenuActions::restoreAsksWhichArchiveAndConfirms()
{
    const QString archive = m_folder.root() + QStringLiteral("archive.bkp");
    m_prompts.scripted.fileAnswers.enqueue(archive);
    DatabaseBackupAction(context());
    m_folder.changeEntries(1);
    m_prompts = FileDialogPrompts();
    m_prompts.scripted.fileAnswers.enqueue(archive);
    DatabaseRestoreAction(context());
    QCOMPARE(m_prompts.dialogs,
             QList<QStringList>({{"Sélectionnez la base de données à restaurer", kFilter,
                                  m_folder.dataFolder() + QStringLiteral("Backup/")}}));
    QCOMPARE(m_prompts.scripted.texts(), QStringList({"Sauvegarde restaurée."}));
    QCOMPARE(m_closed, 1);
    QCOMPARE(
        Scalar(m_folder.connection(), QStringLiteral("SELECT COUNT(*) FROM CONSUMPTION")).toInt(),
        MaintenanceFolder::kEntries);
    QVERIFY(m_window->isEnabled());
}

void TestDatabaseMenuActions::cancelledRestoreDoesNothing()
{
    m_prompts.scripted.fileAnswers.enqueue(std::nullopt);
    DatabaseRestoreAction(context());
    QVERIFY(m_prompts.scripted.shown.isEmpty());
    QCOMPARE(m_folder.history(), QStringList());
    QCOMPARE(m_closed, 0);
}

void TestDatabaseMenuActions::compactionIsConfirmedFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestDatabaseMenuActions::compactionIsConfirmedFirst()
{
    QFETCH(bool, answer);
    m_prompts.scripted.yesNoAnswers.enqueue(answer);
    DatabaseCompactAction(context());
    QCOMPARE(m_prompts.scripted.shown.first().text,
             QStringLiteral("Confirmez-vous le compactage de la base de données ?"));
    QCOMPARE(m_prompts.scripted.shown.first().icon, Prompts::Icon::Question);
    if (answer) {
        QCOMPARE(m_prompts.scripted.texts().last(), QStringLiteral("Compactage effectué."));
        QCOMPARE(m_folder.history().size(), 1);
    } else {
        QCOMPARE(m_prompts.scripted.shown.size(), 1);
        QCOMPARE(m_folder.history(), QStringList());
    }
}

void TestDatabaseMenuActions::historyWindowListsTheRows()
{
    addRows(2);
    TBackupList window(m_folder.module(), m_prompts, m_window.get());
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Historique des sauvegardes"));
    QCOMPARE(window.Title->text(), QStringLiteral("  Historique des sauvegardes"));
    const QAbstractItemModel* model = window.BFSDBGridColor2->model();
    QCOMPARE(model->rowCount(), 2);
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, QStringList({"Date", "Heure", "Description", "Fichier de sauvegarde"}));
    QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("ligne 1"));
    QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("09:04"));
    QVERIFY(window.Btn_Delete->isEnabled());
    QCOMPARE(window.Btn_Delete->text(), QStringLiteral("Purger l'historique"));
    QCOMPARE(window.Btn_Close->text(), QStringLiteral(" &Fermer"));
    QVERIFY(m_folder.module().Backup().isActive());
    window.Btn_Close->click();
    QVERIFY(!m_folder.module().Backup().isActive());
}

void TestDatabaseMenuActions::purgeIsConfirmedAndEmptiesTheHistory_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestDatabaseMenuActions::purgeIsConfirmedAndEmptiesTheHistory()
{
    QFETCH(bool, answer);
    addRows(3);
    const QString archive = m_folder.root() + QStringLiteral("kept.bkp");
    WriteFile(archive, "archive");
    AddBackupHistory(m_folder.module(), QStringLiteral("x"), archive, m_clock);
    TBackupList window(m_folder.module(), m_prompts, m_window.get());
    window.show();
    m_prompts.scripted.yesNoAnswers.enqueue(answer);
    window.Btn_Delete->click();
    QCOMPARE(m_prompts.scripted.shown.first().text,
             QStringLiteral("Désirez-vous purger l'historique des sauvegardes ?"));
    QCOMPARE(window.BFSDBGridColor2->model()->rowCount(), answer ? 0 : 4);
    QCOMPARE(window.Btn_Delete->isEnabled(), !answer);
    QCOMPARE(m_folder.history().size(), answer ? 0 : 4);
    QCOMPARE(ReadFile(archive), QByteArray("archive"));
}

void TestDatabaseMenuActions::deleteKeyRemovesTheCurrentRowOnly()
{
    addRows(3);
    TBackupList window(m_folder.module(), m_prompts, m_window.get());
    window.show();
    window.BFSDBGridColor2->setFocus();
    window.BFSDBGridColor2->selectRow(1);
    m_prompts.scripted.yesNoAnswers.enqueue(false);
    QTest::keyClick(window.BFSDBGridColor2, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(window.BFSDBGridColor2->model()->rowCount(), 3);
    m_prompts.scripted.yesNoAnswers.enqueue(true);
    QTest::keyClick(window.BFSDBGridColor2, Qt::Key_Delete);
    QCOMPARE(m_prompts.scripted.texts(),
             QStringList({"Supprimer l'enregistrement ?", "Supprimer l'enregistrement ?"}));
    QCOMPARE(window.BFSDBGridColor2->model()->rowCount(), 2);
    QStringList left = m_folder.history();
    QCOMPARE(left.size(), 2);
    QVERIFY(left.at(0).contains(QLatin1String("ligne 0")));
    QVERIFY(left.at(1).contains(QLatin1String("ligne 2")));
    QVERIFY(window.Btn_Delete->isEnabled());
}

void TestDatabaseMenuActions::historyMenuShowsTheWindowModally()
{
    addRows(1);
    bool seen = false;
    QTimer::singleShot(0, this, [&seen] {
        auto* window = qobject_cast<TBackupList*>(QApplication::activeModalWidget());
        seen = window != nullptr;
        if (window)
            window->Btn_Close->click();
    });
    DatabaseHistoryAction(context());
    QTRY_VERIFY(seen);
    QVERIFY(!m_folder.module().Backup().isActive());
}

namespace {

const QString kImportTitle =
    QStringLiteral("Sélectionnez la base de données de l'ancienne version");
const QString kImportFilter = QStringLiteral("Base de données de l'ancienne version|*.mdb");

// The program folder's template, from which conversions start.
void InstallTemplate(MaintenanceFolder& folder)
{
    const QString access = folder.root() + QStringLiteral("program/Ressources/DB/Data/Access/");
    QDir().mkpath(access);
    QFile::copy(QStringLiteral(TILVO_PROGRAM_DIR "/Ressources/DB/Data/Access/TILVO.MDB"),
                access + QStringLiteral("TILVO.MDB"));
}

} // namespace

void TestDatabaseMenuActions::importOfAnOldDatabaseIsConfirmedAndSavesTheCurrentOne()
{
    InstallTemplate(m_folder);
    // A data folder of the earlier platform: its database and a picture beside it.
    const QString old = m_folder.root() + QStringLiteral("ancien/Data/");
    QDir().mkpath(old + QStringLiteral("Access"));
    QVERIFY(QFile::copy(QStringLiteral(TILVO_SOURCE_DIR "/tests/data/jet/tilvo-jet4-small.mdb"),
                        old + QStringLiteral("Access/TILVO.MDB")));
    WriteFile(old + QStringLiteral("Images/Account3.jpg"), "fioul");
    const QString before = m_folder.content();

    m_prompts.scripted.fileAnswers.enqueue(old + QStringLiteral("Access/TILVO.MDB"));
    m_prompts.scripted.yesNoAnswers.enqueue(true);
    DatabaseImportOldAction(context());

    QCOMPARE(m_prompts.dialogs,
             QList<QStringList>({{kImportTitle, kImportFilter, m_folder.dataFolder()}}));
    const QString safety =
        m_folder.backup() + QStringLiteral("TILVO_AVANT_IMPORT_05_03_2007_09_04_00.bkp");
    const QStringList texts = m_prompts.scripted.texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY(texts.first().startsWith(
        QStringLiteral("La base de données actuelle va être remplacée par celle du fichier %1")
            .arg(old + QStringLiteral("Access/TILVO.MDB"))));
    QCOMPARE(texts.last(),
             QStringLiteral("Importation effectuée.\r2 dossier(s), 3 compte(s) et 1000 "
                            "consommation(s) ont été repris.\rLa base de données remplacée est "
                            "conservée dans le fichier %1.")
                 .arg(safety));
    QCOMPARE(m_closed, 1);
    QVERIFY(m_window->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // The safety archive holds the database and the picture as they were.
    QStringList names;
    const CabinetReader reader(safety);
    for (const CabinetEntry& e : reader.entries())
        names << e.name;
    QCOMPARE(names, QStringList({"TILVO.MDB", "Account1.jpg"}));
    // The live database is the converted one, with the pictures of the earlier data folder.
    Connection& c = m_folder.connection();
    QVERIFY(c.isOpen());
    QCOMPARE(Scalar(c, QStringLiteral("SELECT COUNT(*) FROM CONSUMPTION")).toInt(), 1000);
    QCOMPARE(QDir(m_folder.images()).entryList({"*.jpg"}), QStringList({"Account3.jpg"}));
    QVERIFY(m_folder.content() != before);
    QCOMPARE(m_folder.history().last(),
             QStringLiteral("2007-03-05|09:04|Importation d'une base de l'ancienne version|%1")
                 .arg(old + QStringLiteral("Access/TILVO.MDB")));
}

void TestDatabaseMenuActions::declinedImportChangesNothing_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("no file chosen") << false;
    QTest::newRow("not confirmed") << true;
}

void TestDatabaseMenuActions::declinedImportChangesNothing()
{
    QFETCH(bool, chosen);
    InstallTemplate(m_folder);
    const QString before = m_folder.content();
    if (chosen) {
        m_prompts.scripted.fileAnswers.enqueue(
            QStringLiteral(TILVO_SOURCE_DIR "/tests/data/jet/tilvo-jet4-small.mdb"));
        m_prompts.scripted.yesNoAnswers.enqueue(false);
    } else {
        m_prompts.scripted.fileAnswers.enqueue(std::nullopt);
    }
    DatabaseImportOldAction(context());
    QCOMPARE(m_prompts.scripted.shown.size(), chosen ? 1 : 0);
    QCOMPARE(m_folder.content(), before);
    QCOMPARE(m_closed, 0);
    QVERIFY(QDir(m_folder.backup()).entryList(QDir::Files).isEmpty());
}

void TestDatabaseMenuActions::failedImportShowsItsErrorOnly()
{
    InstallTemplate(m_folder);
    const QString before = m_folder.content();
    const QString file = m_folder.root() + QStringLiteral("notes.mdb");
    WriteFile(file, "pas une base");
    m_prompts.scripted.fileAnswers.enqueue(file);
    m_prompts.scripted.yesNoAnswers.enqueue(true);
    QVERIFY(!RunGuarded(m_prompts, [this] { DatabaseImportOldAction(context()); }));
    QCOMPARE(m_prompts.scripted.shown.size(), 2);
    QCOMPARE(m_prompts.scripted.shown.last().icon, Prompts::Icon::Error);
    QVERIFY(m_prompts.scripted.shown.last().text.contains(
        QStringLiteral("ce n'est pas une base de données de l'ancienne version")));
    QCOMPARE(m_folder.content(), before);
    QVERIFY(m_folder.connection().isOpen());
    QVERIFY(m_window->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    // Nothing was saved or converted for nothing.
    QVERIFY(QDir(m_folder.backup()).entryList(QDir::Files).isEmpty());
    QCOMPARE(QDir(m_folder.databaseFolder() + QStringLiteral("Access")).entryList(QDir::Files),
             QStringList({"TILVO.MDB"}));
}

QTEST_MAIN(TestDatabaseMenuActions)
#include "tst_DatabaseMenuActions.moc"
