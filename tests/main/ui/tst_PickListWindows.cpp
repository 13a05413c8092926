// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/DropDownRules.h"
#include "common/ui/Chrome.h"
#include "common/ui/TStrList.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "db/TableDump.h"
#include "db/ui/DBEdit.h"
#include "main/CustomCaptions.h"
#include "main/ui/EditPickList.h"
#include "main/ui/RenameCaption.h"
#include "main/ui/ShowDropDown.h"
#include "main/ui/TComboList.h"
#include "main/ui/TEnterStr.h"
#include "support/DialogDriving.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace tilvo;
using namespace tilvo::test;

// The pick-list editor, the drop-down over pick-lists and the caption dialog, over a database.
class TestPickListWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void editorShowsTheCleanedListAndSavesItUnchanged();
    void editorSavesTheTextAsItStands();
    void leavingTheEditorWritesNothing_data();
    void leavingTheEditorWritesNothing();
    void unitDropDownWritesTheBoundField();
    void fixedLinesGiveTheCode();
    void renamingACaptionStoresItForTheDossier();
    void leavingTheCaptionDialogChangesNothing_data();
    void leavingTheCaptionDialogChangesNothing();
    void refusedCaptionKeepsTheDialogOpen();

private:
    QString stored(const QString& select) { return Scalar(m_db.connection(), select).toString(); }

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_combo;
    std::unique_ptr<DataSource> m_comboSource;
    std::unique_ptr<DataSet> m_query;
    ScriptedPrompts m_prompts;
};

void TestPickListWindows::initTestCase()
{
    m_db.prepare();
    Chrome() = ChromeContext{};
    Chrome().standardChrome = false;
}

void TestPickListWindows::init()
{
    m_prompts = ScriptedPrompts();
    QVERIFY(m_db.copyTo("test.db"));
    m_db.open(false);
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("INSERT INTO COMBOITEMS (Account_Unit) VALUES ('kWh' || char(13, 10) || "
                   "'litres' || char(13, 10) || 'KWH')"));
    QVERIFY(q.exec("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, 'Eau')"));
    m_combo = std::make_unique<DataSet>(m_db.connection(), "ComboItems");
    m_combo->setSql({"SELECT * FROM COMBOITEMS"});
    m_comboSource = std::make_unique<DataSource>(*m_combo);
    m_query = std::make_unique<DataSet>(m_db.connection(), "Query");
}

void TestPickListWindows::cleanup()
{
    m_query.reset();
    m_comboSource.reset();
    m_combo.reset();
    m_db.release();
}

void TestPickListWindows::editorShowsTheCleanedListAndSavesItUnchanged()
{
    QString shown, title;
    WhenShown<TComboList>([&](TComboList* editor) {
        shown = editor->Memo->toPlainText();
        title = editor->Title->text();
        QCOMPARE(editor->windowTitle(), QString("Unités"));
        Grab(editor, "TComboList");
        QTest::mouseClick(editor->Btn_Ok, Qt::LeftButton);
    });
    QVERIFY(EditPickList(*m_comboSource, "Unités", "Account_Unit", m_prompts));
    QCOMPARE(shown, QString("kWh\nlitres"));
    QCOMPARE(title, QString(" Unités"));
    QCOMPARE(stored("SELECT Account_Unit FROM COMBOITEMS"), QString("kWh\r\nlitres"));
    QVERIFY(!m_combo->isActive());
    QVERIFY(m_prompts.shown.isEmpty());
}

void TestPickListWindows::editorSavesTheTextAsItStands()
{
    WhenShown<TComboList>([](TComboList* editor) {
        editor->Memo->setPlainText("m3\nkWh\nGaz");
        QTest::mouseClick(editor->Btn_Ok, Qt::LeftButton);
    });
    QVERIFY(EditPickList(*m_comboSource, "Unités", "Account_Unit", m_prompts));
    QCOMPARE(stored("SELECT Account_Unit FROM COMBOITEMS"), QString("m3\r\nkWh\r\nGaz"));
}

void TestPickListWindows::leavingTheEditorWritesNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("cancel") << "Btn_Cancel";
    QTest::newRow("close box") << "SysExitBtn";
}

void TestPickListWindows::leavingTheEditorWritesNothing()
{
    QFETCH(QString, button);
    const QString before = DumpTables(m_db.connection());
    WhenShown<TComboList>([button](TComboList* editor) {
        editor->Memo->setPlainText("autre chose");
        QTest::mouseClick(editor->findChild<QAbstractButton*>(button), Qt::LeftButton);
    });
    QVERIFY(!EditPickList(*m_comboSource, "Unités", "Account_Unit", m_prompts));
    QCOMPARE(DumpTables(m_db.connection()), before);
    QVERIFY(!m_combo->isActive());
}

void TestPickListWindows::unitDropDownWritesTheBoundField()
{
    DataSet account(m_db.connection(), "Account");
    account.setSql({"SELECT * FROM ACCOUNT", "WHERE Id_File=1", "ORDER BY TITLE, DESCRIPTION"});
    account.open();
    DataSource source(account);
    QWidget window;
    auto* unit = new DBEdit(m_prompts, &window);
    unit->setObjectName("Ed_Unit");
    unit->setField(source, "Unit");
    unit->setFieldReadOnly(true);
    unit->setGeometry(10, 10, 120, 21);
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QPointer<TStrList> list =
        ShowDropDown(unit, true, QString(), &source, m_combo.get(), "Account_Unit");
    QCOMPARE(account.state(), DataSetState::Editing);
    QVERIFY(!m_combo->isActive());
    QCOMPARE(list->lines(), QStringList({"", "kWh", "KWH", "litres"}));
    QTest::keyClick(list->List, Qt::Key_End);
    QTest::keyClick(list->List, Qt::Key_Return);
    QTRY_VERIFY(!list);
    QCOMPARE(unit->text(), QString("litres"));
    QCOMPARE(ChosenIndex(unit), 3);
    account.post();
    QCOMPARE(stored("SELECT Unit FROM ACCOUNT"), QString("litres"));

    // The empty first line clears the unit.
    list = ShowDropDown(unit, true, QString(), &source, m_combo.get(), "Account_Unit");
    QCOMPARE(list->List->currentRow(), 3);
    QTest::keyClick(list->List, Qt::Key_Home);
    QTest::keyClick(list->List, Qt::Key_Return);
    QTRY_VERIFY(!list);
    account.post();
    QCOMPARE(stored("SELECT Unit FROM ACCOUNT"), QString());
}

void TestPickListWindows::fixedLinesGiveTheCode()
{
    QWidget window;
    auto* period = new QLineEdit(&window);
    period->setObjectName("Ed_PeriodType");
    period->setReadOnly(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QPointer<TStrList> list = ShowDropDown(period, false, QString("Mois\rAnnée\rDécennie\rDates"));
    QCOMPARE(list->lines(), QStringList({"Mois", "Année", "Décennie", "Dates"}));
    const QPoint at = list->List->visualItemRect(list->List->item(2)).center();
    QTest::mouseClick(list->List->viewport(), Qt::LeftButton, {}, at);
    QTRY_VERIFY(!list);
    QCOMPARE(period->text(), QString("Décennie"));
    QCOMPARE(ChosenIndex(period), 2);
}

void TestPickListWindows::renamingACaptionStoresItForTheDossier()
{
    ReadCustomCaptions(*m_query, 1);
    ReadCustomCaptions(*m_query, 2);
    QLabel caption("Divers 3");
    caption.setObjectName("Lab_Misc03");
    bool okWhileEmpty = true;
    WhenShown<TEnterStr>([&](TEnterStr* dialog) {
        QCOMPARE(dialog->Lab_Title->text(), QString("Modifiez le libellé"));
        QCOMPARE(dialog->Ed_Str->text(), QString("Divers 3"));
        QCOMPARE(dialog->windowTitle(), QString("Saisie d'une chaine de caractère"));
        dialog->Ed_Str->clear();
        okWhileEmpty = dialog->Btn_Ok->isEnabled();
        QTest::keyClicks(dialog->Ed_Str, "Fournisseur");
        Grab(dialog, "TEnterStr");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    QVERIFY(RenameCaption(&caption, *m_query, 1, m_prompts));
    QVERIFY(!okWhileEmpty);
    QCOMPARE(caption.text(), QString("Fournisseur"));
    QCOMPARE(ReadCustomCaptions(*m_query, 1).at(2), QString("Fournisseur"));
    QCOMPARE(ReadCustomCaptions(*m_query, 2).at(2), QString("Divers 3"));
}

void TestPickListWindows::leavingTheCaptionDialogChangesNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("cancel") << "Btn_Cancel";
    QTest::newRow("close box") << "SysExitBtn";
}

void TestPickListWindows::leavingTheCaptionDialogChangesNothing()
{
    QFETCH(QString, button);
    ReadCustomCaptions(*m_query, 1);
    const QString before = DumpTables(m_db.connection());
    QLabel caption("Divers 1");
    caption.setObjectName("Lab_Misc01");
    WhenShown<TEnterStr>([button](TEnterStr* dialog) {
        dialog->Ed_Str->setText("Autre");
        QTest::mouseClick(dialog->findChild<QAbstractButton*>(button), Qt::LeftButton);
    });
    QVERIFY(!RenameCaption(&caption, *m_query, 1, m_prompts));
    QCOMPARE(caption.text(), QString("Divers 1"));
    QCOMPARE(DumpTables(m_db.connection()), before);
}

void TestPickListWindows::refusedCaptionKeepsTheDialogOpen()
{
    ReadCustomCaptions(*m_query, 1);
    const QString before = DumpTables(m_db.connection());
    QLabel caption("Divers 2");
    caption.setObjectName("Lab_Misc02");
    bool stillOpen = false;
    WhenShown<TEnterStr>([&](TEnterStr* dialog) {
        dialog->Ed_Str->setText(QString(129, u'x'));
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
        stillOpen = dialog->isVisible();
        QTest::mouseClick(dialog->Btn_Cancel, Qt::LeftButton);
    });
    QVERIFY(!RenameCaption(&caption, *m_query, 1, m_prompts));
    QVERIFY(stillOpen);
    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY(m_prompts.shown.first().text.contains("128"));
    QCOMPARE(caption.text(), QString("Divers 2"));
    QCOMPARE(DumpTables(m_db.connection()), before);
}

QTEST_MAIN(TestPickListWindows)
#include "tst_PickListWindows.moc"
