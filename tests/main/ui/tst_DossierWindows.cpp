// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/WaitWindow.h"
#include "db/DataSet.h"
#include "db/ui/DBEdit.h"
#include "db/ui/DBMemo.h"
#include "main/AccountListModel.h"
#include "main/DossierDeletion.h"
#include "main/ui/MainWindowFixture.h"
#include "main/ui/TEnterFile.h"
#include "main/ui/TEnterPassWord.h"
#include "main/ui/TFileList.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

using namespace tilvo;
using namespace tilvo::test;

namespace {

// Names a person may give a dossier, each shown exactly as typed.
const QString kOddName = "L'été \"chez nous\" #1 %&a% 100% ; DROP TABLE PROFILES;-- 🏠 [*]";

// Dragging a window's grip by an offset.
void DragGrip(QWidget* grip, const QPoint& by)
{
    const QPoint from(4, 4);
    QTest::mousePress(grip, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(from + by), grip->mapToGlobal(QPointF(from + by)),
                     Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(grip, &move);
    QTest::mouseRelease(grip, Qt::LeftButton, {}, from + by);
}

// Chooses the dossier at `row` of the dossier list, then answers the password dialog with
// `password` when it shows.
void ChooseAndAnswer(int row, const std::optional<QString>& password)
{
    WhenShown<TFileList>([row, password](TFileList* list) {
        list->Tree_Global->setCurrentItem(list->Tree_Global->topLevelItem(row));
        if (password) {
            WhenShown<TEnterPassWord>([password](TEnterPassWord* dialog) {
                dialog->Ed_PassWord->setText(*password);
                QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
            });
        }
        QTest::mouseClick(list->Btn_Ok, Qt::LeftButton);
    });
}

QString CaptionShown(QWidget& w)
{
    // What the desktop shows: the toolkit's own reading of the caption.
    w.winId();
    return w.windowHandle()->title();
}

} // namespace

class TestDossierWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Chrome() = ChromeContext{};
        Chrome().standardChrome = false;
        m_db.prepare();
    }

    void createWithPasswordThenReopen();
    void passwordDialogRules();
    void leavingADialogChangesNoTable_data();
    void leavingADialogChangesNoTable();
    void dossierListShowsEveryDossierAndKeepsItsMinimumSize();
    void startupOpensTheFirstDossierWithoutPassword_data();
    void startupOpensTheFirstDossierWithoutPassword();
    void editingKeepsTheOpeningName();
    void deletionWithItsWaitWindowAndSafetyCopy();
    void declinedDeletionDeletesNothing();
    void failedSafetyCopyIsShownAfterTheDeletion();
    void engineErrorLeavesTheWindowUsable();

private:
    TestDatabase m_db;
};

void TestDossierWindows::createWithPasswordThenReopen()
{
    MainWindowFixture f(m_db);
    TMainForm& w = f.shown();
    QCOMPARE(w.currentState(), CommandState::S0);
    QVERIFY(!w.Popup_File_Open->isEnabled());

    bool okAtFirst = true;
    WhenShown<TEnterFile>([&](TEnterFile* dialog) {
        QCOMPARE(dialog->windowTitle(), QString("Dossier"));
        okAtFirst = dialog->Btn_Ok->isEnabled();
        QCOMPARE(dialog->Ed_File->maxLength(), 128);
        dialog->Ed_File->setText(kOddName);
        QVERIFY(dialog->Btn_Ok->isEnabled());
        QTest::keyClicks(dialog->Ed_PassWord, "Secret");
        QCOMPARE(dialog->Ed_PassWord->echoMode(), QLineEdit::Normal);
        dialog->Ed_Name->setText("Jérôme");
        dialog->Memo_Observation->setPlainText("Première ligne\nseconde");
        Grab(dialog, "EnterFile");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    w.Popup_File_Add->trigger();
    QVERIFY(!okAtFirst);
    QCOMPARE(w.currentState(), CommandState::S1);
    QCOMPARE(w.Title->text(), " Tilvo 1.83 - " + kOddName);
    QCOMPARE(CaptionShown(w), "Tilvo 1.83 - " + kOddName);
    const QString stored = "SELECT %1 FROM PROFILES";
    QCOMPARE(f.db.scalar(stored.arg("LoginName")).toString(), kOddName);
    QCOMPARE(f.db.scalar(stored.arg("LoginPassword")).toString(), QString("Secret"));
    QCOMPARE(f.db.scalar(stored.arg("FullName")).toString(), QString("Jérôme"));
    QCOMPARE(f.db.scalar(stored.arg("Comment")).toString(), QString("Première ligne\r\nseconde"));
    QCOMPARE(w.CurrentDossierId, f.db.scalar(stored.arg("ID")).toInt());
    QVERIFY(!f.data.MainFile().isActive());

    w.Popup_File_Close->trigger();
    QCOMPARE(w.currentState(), CommandState::S0);
    QCOMPARE(w.Title->text(), QString(" Tilvo 1.83"));
    QCOMPARE(w.windowTitle(), QString("Tilvo 1.83"));
    QVERIFY(w.Popup_File_Open->isEnabled());

    // Wrong, then differing in case only: refused, nothing opened.
    for (const char* wrong : {"faux", "secret"}) {
        ChooseAndAnswer(0, QString(wrong));
        w.Popup_File_Open->trigger();
        QCOMPARE(f.prompts.texts().last(), QString("Mot de passe incorrect !"));
        QCOMPARE(f.prompts.shown.last().icon, Prompts::Icon::Information);
        QCOMPARE(w.currentState(), CommandState::S0);
        QCOMPARE(w.CurrentDossierId, -1);
    }
    ChooseAndAnswer(0, QString("Secret"));
    w.Popup_File_Open->trigger();
    QCOMPARE(f.prompts.shown.size(), 2);
    QCOMPARE(w.currentState(), CommandState::S1);
    QCOMPARE(w.Title->text(), " Tilvo 1.83 - " + kOddName);
    QVERIFY(!f.data.MainFile().isActive());
    QCOMPARE(f.data.MainFile().sql(), TDataModule1::mainFileSql());
}

void TestDossierWindows::passwordDialogRules()
{
    TEnterPassWord dialog;
    QCOMPARE(dialog.Title->text(), QString("  Identification"));
    QCOMPARE(dialog.Lab_PassWord->text(), QString("Saisssez le mot de passes"));
    QCOMPARE(dialog.Ed_PassWord->echoMode(), QLineEdit::Password);
    QVERIFY(!dialog.Btn_Ok->isEnabled());
    QTimer::singleShot(0, [&] {
        const ClosedOnFailure closing(&dialog);
        QTRY_VERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), dialog.Ed_PassWord);
        QTest::keyClicks(dialog.Ed_PassWord, "ab");
        QVERIFY(dialog.Btn_Ok->isEnabled());
        QTest::keyClick(dialog.Ed_PassWord, Qt::Key_Backspace);
        QTest::keyClick(dialog.Ed_PassWord, Qt::Key_Backspace);
        QVERIFY(!dialog.Btn_Ok->isEnabled());
        // Enter confirms even while the button is disabled.
        QTest::keyClick(dialog.Ed_PassWord, Qt::Key_Return);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.password(), QString());

    // Through the window: an empty answer is a wrong password.
    MainWindowFixture f(m_db);
    f.db.addDossier("Maison", "x");
    TMainForm& w = f.shown();
    WhenShown<TFileList>([](TFileList* list) {
        WhenShown<TEnterPassWord>(
            [](TEnterPassWord* dialog) { QTest::keyClick(dialog->Ed_PassWord, Qt::Key_Enter); });
        QTest::keyClick(list->Tree_Global, Qt::Key_Return);
    });
    w.Popup_File_Open->trigger();
    QCOMPARE(f.prompts.texts(), QStringList{"Mot de passe incorrect !"});
    QCOMPARE(w.CurrentDossierId, -1);
}

void TestDossierWindows::leavingADialogChangesNoTable_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("button");
    for (const char* button : {"Btn_Cancel", "SysExitBtn"}) {
        for (const char* action :
             {"Popup_File_Add", "Popup_File_Edit", "Popup_File_Open", "password"})
            QTest::addRow("%s, %s", action, button) << action << button;
    }
}

void TestDossierWindows::leavingADialogChangesNoTable()
{
    QFETCH(QString, action);
    QFETCH(QString, button);
    MainWindowFixture f(m_db);
    const qint64 id = f.db.addDossier("Maison", action == "password" ? "x" : "");
    f.db.addAccount(id, "Eau");
    TMainForm& w = f.shown();
    if (action != "Popup_File_Edit")
        w.CloseDossier();
    const CommandState state = w.currentState();
    const QString title = w.Title->text();
    const QString before = f.db.dump();

    const auto leave = [button](QDialog* dialog) {
        // Changes are typed first; none of them may stay.
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
            edit->setText("changé");
        QTest::mouseClick(dialog->findChild<QAbstractButton*>(button), Qt::LeftButton);
    };
    if (action == "password") {
        WhenShown<TFileList>([leave](TFileList* list) {
            WhenShown<TEnterPassWord>([leave](TEnterPassWord* dialog) { leave(dialog); });
            QTest::mouseClick(list->Btn_Ok, Qt::LeftButton);
        });
        w.Popup_File_Open->trigger();
    } else if (action == "Popup_File_Open") {
        WhenShown<TFileList>([leave](TFileList* list) { leave(list); });
        w.Popup_File_Open->trigger();
    } else {
        WhenShown<TEnterFile>([leave](TEnterFile* dialog) { leave(dialog); });
        w.findChild<QAction*>(action)->trigger();
    }
    QVERIFY(!OpenDialog<QDialog>());
    QCOMPARE(f.db.dump(), before);
    QCOMPARE(w.currentState(), state);
    QCOMPARE(w.Title->text(), title);
    QVERIFY(f.prompts.shown.isEmpty());
    QVERIFY(!f.data.MainFile().isActive());
}

void TestDossierWindows::dossierListShowsEveryDossierAndKeepsItsMinimumSize()
{
    const QList<DossierRef> dossiers = {{4, kOddName}, {2, "Bureau"}, {9, "Zèbre ⚡"}};
    TFileList list(dossiers);
    QCOMPARE(list.Title->text(), QString("  Liste des dossiers"));
    QCOMPARE(list.Tree_Global->topLevelItemCount(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(list.Tree_Global->topLevelItem(i)->text(0), dossiers.at(i).name);
    QVERIFY(!list.Tree_Global->topLevelItem(0)->icon(0).isNull());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.windowTitle(), QString("Liste des dossiers"));
    QVERIFY(list.Btn_Ok->isEnabled());
    Grab(&list, "FileList");

    // Nothing selected, nothing to confirm.
    list.Tree_Global->clearSelection();
    QTest::mouseClick(list.Tree_Global->viewport(), Qt::LeftButton, {}, QPoint(5, 200));
    QVERIFY(!list.Btn_Ok->isEnabled());

    // The grip resizes it, never down to 400 × 200.
    list.resize(420, 280);
    DragGrip(list.Image1, QPoint(-20, -80));
    QCOMPARE(list.size(), QSize(420, 280));
    DragGrip(list.Image1, QPoint(-19, -79));
    QCOMPARE(list.size(), QSize(401, 201));
    DragGrip(list.Image1, QPoint(60, 40));
    QCOMPARE(list.size(), QSize(461, 241));

    // A double-click on an item chooses it.
    QTimer::singleShot(0, [&] {
        const ClosedOnFailure closing(&list);
        QTreeWidgetItem* item = list.Tree_Global->topLevelItem(2);
        list.Tree_Global->setCurrentItem(item);
        Q_EMIT list.Tree_Global->itemDoubleClicked(item, 0);
    });
    QCOMPARE(list.exec(), int(QDialog::Accepted));
    QCOMPARE(*list.chosen(), dossiers.at(2));
}

void TestDossierWindows::startupOpensTheFirstDossierWithoutPassword_data()
{
    QTest::addColumn<QStringList>("passwords");
    QTest::addColumn<int>("opened");
    QTest::newRow("no dossier") << QStringList() << -1;
    QTest::newRow("one without password") << QStringList{""} << 0;
    QTest::newRow("one with password") << QStringList{"x"} << -1;
    QTest::newRow("several, first without") << QStringList{"", "x"} << 0;
    QTest::newRow("several, first with") << QStringList{"x", ""} << -1;
}

void TestDossierWindows::startupOpensTheFirstDossierWithoutPassword()
{
    QFETCH(QStringList, passwords);
    QFETCH(int, opened);
    MainWindowFixture f(m_db);
    QList<qint64> ids;
    for (int i = 0; i < passwords.size(); ++i)
        ids << f.db.addDossier(QString("Dossier %1").arg(i + 1), passwords.at(i));
    TMainForm& w = f.make();
    QVERIFY(f.prompts.shown.isEmpty());
    if (opened < 0) {
        QCOMPARE(w.CurrentDossierId, -1);
        QCOMPARE(w.currentState(), CommandState::S0);
        QCOMPARE(w.windowTitle(), QString("Tilvo 1.83"));
        QCOMPARE(w.Popup_File_Open->isEnabled(), !passwords.isEmpty());
        QVERIFY(w.Popup_File_Add->isEnabled());
    } else {
        QCOMPARE(w.CurrentDossierId, int(ids.at(opened)));
        QCOMPARE(w.windowTitle(), QString("Tilvo 1.83 - Dossier %1").arg(opened + 1));
        QCOMPARE(w.currentState(), CommandState::S1);
        QVERIFY(!w.Popup_File_Open->isEnabled());
    }
    // From the first enabling pass on, the entries stay open.
    QVERIFY(f.data.Consumption().isActive());
}

void TestDossierWindows::editingKeepsTheOpeningName()
{
    MainWindowFixture f(m_db);
    f.db.addDossier("Bureau");
    const qint64 home = f.db.addDossier("Maison");
    TMainForm& w = f.shown();
    w.CloseDossier();
    w.OpenDossier(int(home), "Maison");
    WhenShown<TEnterFile>([](TEnterFile* dialog) {
        QCOMPARE(dialog->Ed_File->text(), QString("Maison"));
        QVERIFY(dialog->Btn_Ok->isEnabled());
        dialog->Ed_File->clear();
        QVERIFY(!dialog->Btn_Ok->isEnabled());
        dialog->Ed_File->setText("Résidence");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    w.Popup_File_Edit->trigger();
    QCOMPARE(
        f.db.scalar("SELECT LoginName FROM PROFILES WHERE ID=" + QString::number(home)).toString(),
        QString("Résidence"));
    QCOMPARE(f.db.scalar("SELECT LoginName FROM PROFILES WHERE ID=1").toString(),
             QString("Bureau"));
    QCOMPARE(w.windowTitle(), QString("Tilvo 1.83 - Maison"));
    QCOMPARE(w.currentState(), CommandState::S1);
}

void TestDossierWindows::deletionWithItsWaitWindowAndSafetyCopy()
{
    MainWindowFixture f(m_db);
    const qint64 home = f.db.addDossier("Maison");
    const qint64 office = f.db.addDossier("Bureau", "x");
    const qint64 water = f.db.addAccount(home, "Eau");
    f.db.addAccount(office, "Électricité");
    f.db.addEntry(home, water, QDate(2008, 1, 2), 3, 4);
    TMainForm& w = f.shown();
    QCOMPARE(w.CurrentDossierId, int(home));

    // Seen while the cascade runs: the wait window over the middle of the disabled window.
    QString task;
    bool windowEnabled = true;
    QRect waitGeometry;
    f.data.setPictureFileDeleter([&](const QString&) {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* wait = qobject_cast<TWait*>(top); wait && wait->isVisible()) {
                task = wait->Lab_Task->text();
                waitGeometry = wait->geometry();
            }
        }
        windowEnabled = w.isEnabled();
    });
    f.prompts.yesNoAnswers.enqueue(true);
    w.Popup_File_Delete->trigger();

    QCOMPARE(f.prompts.shown.size(), 1);
    QCOMPARE(f.prompts.texts().first(), QString("Confirmez-vous la suppression de ce dossier ?"));
    QCOMPARE(f.prompts.shown.first().icon, Prompts::Icon::Question);
    QCOMPARE(task, QString("Suppression du dossier"));
    QVERIFY(!windowEnabled);
    const QRect frame = w.frameGeometry();
    QCOMPARE(waitGeometry.left(), frame.left() + (frame.width() - waitGeometry.width()) / 2);
    QCOMPARE(waitGeometry.top(), frame.top() + (frame.height() - waitGeometry.height()) / 2);

    QVERIFY(w.isEnabled());
    QCOMPARE(w.currentState(), CommandState::S0);
    QCOMPARE(w.windowTitle(), QString("Tilvo 1.83"));
    QCOMPARE(w.accountList()->rowCount(), 0);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(f.db.scalar("SELECT COUNT(*) FROM PROFILES").toInt(), 1);
    QCOMPARE(f.db.scalar("SELECT COUNT(*) FROM CONSUMPTION").toInt(), 0);
    // The copy holds the database as it was, the deleted dossier included.
    Connection copy;
    copy.setDatabaseFile(DeletionBackupPath(f.data), true);
    copy.open();
    QCOMPARE(Scalar(copy, "SELECT COUNT(*) FROM PROFILES").toInt(), 2);
    QCOMPARE(Scalar(copy, "SELECT COUNT(*) FROM CONSUMPTION").toInt(), 1);
}

void TestDossierWindows::declinedDeletionDeletesNothing()
{
    MainWindowFixture f(m_db);
    f.db.addDossier("Maison");
    TMainForm& w = f.shown();
    const QString before = f.db.dump();
    f.prompts.yesNoAnswers.enqueue(false);
    w.Popup_File_Delete->trigger();
    QCOMPARE(f.db.dump(), before);
    QCOMPARE(w.currentState(), CommandState::S1);
    QVERIFY(!QFileInfo::exists(DeletionBackupPath(f.data)));
}

void TestDossierWindows::failedSafetyCopyIsShownAfterTheDeletion()
{
    MainWindowFixture f(m_db);
    f.db.addDossier("Maison");
    // A folder where the copy should go: it cannot be replaced by a file.
    WriteFile(DeletionBackupPath(f.data) + "/gardé.txt", "à garder");
    TMainForm& w = f.shown();
    f.prompts.yesNoAnswers.enqueue(true);
    w.Popup_File_Delete->trigger();
    QCOMPARE(f.db.scalar("SELECT COUNT(*) FROM PROFILES").toInt(), 0);
    QCOMPARE(f.prompts.shown.size(), 2);
    QCOMPARE(f.prompts.shown.last().icon, Prompts::Icon::Error);
    QVERIFY(!f.prompts.texts().last().isEmpty());
    QVERIFY(w.isEnabled());
    QCOMPARE(w.currentState(), CommandState::S0);
    QVERIFY(!w.Popup_File_Open->isEnabled());
    QCOMPARE(ReadFile(DeletionBackupPath(f.data) + "/gardé.txt"), QByteArray("à garder"));
}

void TestDossierWindows::engineErrorLeavesTheWindowUsable()
{
    MainWindowFixture f(m_db);
    f.db.addDossier("Maison", "x");
    TMainForm& w = f.shown();
    f.db.exec("DROP TABLE ACCOUNT");
    ChooseAndAnswer(0, QString("x"));
    w.Popup_File_Open->trigger();
    QCOMPARE(f.prompts.shown.size(), 1);
    QCOMPARE(f.prompts.shown.first().icon, Prompts::Icon::Error);
    QVERIFY(w.isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(!f.data.Consumption().controlsDisabled());
    // The window goes on: the dossier can be closed, and the list is empty.
    w.Popup_File_Close->trigger();
    QCOMPARE(w.currentState(), CommandState::S0);
    QCOMPARE(f.prompts.shown.size(), 1);
}

QTEST_MAIN(TestDossierWindows)
#include "tst_DossierWindows.moc"
