// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/ErrorGuard.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/DbTestSupport.h"
#include "db/FieldLink.h"
#include "db/TableDump.h"
#include "db/ui/DBCheckBox.h"
#include "db/ui/DBEdit.h"
#include "db/ui/DBImage.h"
#include "db/ui/DBMemo.h"
#include "support/ScriptedPrompts.h"

#include <QBuffer>
#include <QImage>
#include <QLocale>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

// The edit, memo and check box bound to the fields of an account, as a dialog uses them: the
// dialog's OK posts through PostIfEditing inside the error guard.
class TestDBEditors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void editShowsTheFieldAndTypingStartsEditing();
    void titleLengthIsTheColumns();
    void titlesAreStoredExactly_data();
    void titlesAreStoredExactly();
    void numbers_data();
    void numbers();
    void datesShowAsDayMonthYear();
    void codeFieldTakesTheProgramsText();
    void memoKeepsItsLines();
    void memoStopsAtTheColumnsLength();
    void imageShowsThePictureOfTheRow();
    void checkBoxWritesTheYesNoField();
    void cancelRestoresTheControlsAndTheDatabase();
    void closedDataSetShowsNothingAndTakesNothing();

private:
    // What a dialog's " &Ok" does; false when the error display was shown.
    bool ok()
    {
        return RunGuarded(m_prompts, [this] { PostIfEditing(*m_source, *m_account); });
    }
    QVariant stored(const QString& column)
    {
        return Scalar(m_db.connection(), "SELECT " + column + " FROM ACCOUNT WHERE Id=1");
    }

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_account;
    std::unique_ptr<DataSource> m_source;
    ScriptedPrompts m_prompts;
    QLocale m_locale;
};

void TestDBEditors::initTestCase()
{
    m_db.prepare();
}

void TestDBEditors::init()
{
    m_locale = QLocale();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    m_prompts = ScriptedPrompts();
    QVERIFY(m_db.copyTo("test.db"));
    m_db.open(false);
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("INSERT INTO ACCOUNT (Id_File, Title, Count, CreateDate, IncCount, Remark1) "
                   "VALUES (1, 'Eau', 10, '2008-03-05', 0, 'a\r\nb')"));
    m_account = std::make_unique<DataSet>(m_db.connection(), "Account");
    m_account->setSql({"SELECT * FROM ACCOUNT", "WHERE Id_File=1", "ORDER BY TITLE, DESCRIPTION"});
    m_source = std::make_unique<DataSource>(*m_account);
    m_account->open();
}

void TestDBEditors::cleanup()
{
    m_source.reset();
    m_account.reset();
    m_db.release();
    QLocale::setDefault(m_locale);
}

void TestDBEditors::editShowsTheFieldAndTypingStartsEditing()
{
    DBEdit edit(m_prompts);
    edit.setField(*m_source, "Title");
    QCOMPARE(edit.text(), QString("Eau"));
    QVERIFY(!edit.isReadOnly());
    edit.setFocus();
    edit.end(false);
    QTest::keyClicks(&edit, " chaude");
    QCOMPARE(m_account->state(), DataSetState::Editing);
    QCOMPARE(stored("Title").toString(), QString("Eau"));
    QVERIFY(ok());
    QCOMPARE(stored("Title").toString(), QString("Eau chaude"));
    QCOMPARE(m_account->state(), DataSetState::Browsing);
    QVERIFY(m_prompts.shown.isEmpty());
}

void TestDBEditors::titleLengthIsTheColumns()
{
    DBEdit edit(m_prompts);
    edit.setField(*m_source, "Title");
    QCOMPARE(edit.maxLength(), 128);
    edit.selectAll();
    QTest::keyClicks(&edit, QString(129, u'x'));
    QCOMPARE(edit.text().size(), 128);
    QVERIFY(ok());
    QCOMPARE(stored("Title").toString(), QString(128, u'x'));
    // Past the edit, the field itself refuses a 129th character: nothing is posted.
    m_account->edit();
    QVERIFY_THROWS_EXCEPTION(Error, m_account->fieldByName("Title").setText(QString(129, u'y')));
    m_account->cancel();
    QCOMPARE(stored("Title").toString(), QString(128, u'x'));
}

void TestDBEditors::titlesAreStoredExactly_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("quotes") << "L'eau \"chaude\"";
    QTest::newRow("hash") << "#1 # 2";
    QTest::newRow("markers") << "%&a%%&b% 0007#";
    QTest::newRow("sql") << "'); DROP TABLE ACCOUNT; --";
    QTest::newRow("accents and emoji") << "Électricité 🔌 été";
    QTest::newRow("blanks") << "  deux  blancs  ";
}

void TestDBEditors::titlesAreStoredExactly()
{
    QFETCH(QString, title);
    DBEdit edit(m_prompts);
    edit.setField(*m_source, "Title");
    edit.setText(title);
    QVERIFY(ok());
    QCOMPARE(stored("Title").toString(), title);
    ReopenKeepingRow(*m_account);
    QCOMPARE(edit.text(), title);
}

void TestDBEditors::numbers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("comma") << "12,5" << true << 12.5 << "12,5";
    QTest::newRow("point") << "12.5" << true << 12.5 << "12,5";
    QTest::newRow("whole") << "7" << true << 7.0 << "7";
    QTest::newRow("letters") << "abc" << false << 10.0 << "abc";
    QTest::newRow("number then letters") << "12,5 kWh" << false << 10.0 << "12,5 kWh";
}

void TestDBEditors::numbers()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(double, value);
    QFETCH(QString, shown);
    DBEdit count(m_prompts);
    count.setField(*m_source, "Count");
    DBEdit title(m_prompts);
    title.setField(*m_source, "Title");
    QCOMPARE(count.text(), QString("10"));
    const QString before = DumpTables(m_db.connection());
    title.setText("Gaz");
    count.selectAll();
    QTest::keyClicks(&count, typed);
    QCOMPARE(ok(), accepted);
    QCOMPARE(stored("Count").toDouble(), value);
    QCOMPARE(count.text(), shown);
    if (accepted) {
        QCOMPARE(stored("Title").toString(), QString("Gaz"));
        QVERIFY(m_prompts.shown.isEmpty());
        return;
    }
    // Refused with the field's French text; nothing posted, the dialog can go on.
    QCOMPARE(m_prompts.texts(),
             QStringList(QString("'%1' n'est pas une valeur numérique correcte.").arg(typed)));
    QCOMPARE(m_prompts.shown.first().icon, Prompts::Icon::Error);
    QCOMPARE(DumpTables(m_db.connection()), before);
    QCOMPARE(m_account->state(), DataSetState::Editing);
    QCOMPARE(title.text(), QString("Gaz"));
    count.setText("3,25");
    QVERIFY(ok());
    QCOMPARE(stored("Count").toDouble(), 3.25);
    QCOMPARE(stored("Title").toString(), QString("Gaz"));
}

void TestDBEditors::datesShowAsDayMonthYear()
{
    DBEdit date(m_prompts);
    date.setField(*m_source, "CreateDate");
    QCOMPARE(date.text(), QString("05/03/2008"));
    date.setText("01/02/2009");
    QVERIFY(ok());
    QCOMPARE(stored("CreateDate").toString(), QString("2009-02-01"));
    date.setText("31/02/2009");
    QVERIFY(!ok());
    QCOMPARE(m_prompts.texts(), QStringList("'31/02/2009' n'est pas une date correcte."));
    m_account->cancel();
    QCOMPARE(date.text(), QString("01/02/2009"));
    // Clearing a bound date empties the column.
    date.clearValue();
    QVERIFY(date.text().isEmpty());
    QVERIFY(ok());
    QVERIFY(stored("CreateDate").isNull());
}

void TestDBEditors::codeFieldTakesTheProgramsText()
{
    DBEdit unit(m_prompts);
    unit.setField(*m_source, "Unit");
    unit.setFieldReadOnly(true);
    QVERIFY(unit.isReadOnly());
    unit.setFocus();
    QTest::keyClicks(&unit, "abc");
    QVERIFY(unit.text().isEmpty());
    QCOMPARE(m_account->state(), DataSetState::Browsing);
    unit.setText("kWh"); // as a drop-down's choice does
    QCOMPARE(m_account->state(), DataSetState::Editing);
    QVERIFY(ok());
    QCOMPARE(stored("Unit").toString(), QString("kWh"));
}

void TestDBEditors::memoKeepsItsLines()
{
    DBMemo memo(m_prompts);
    memo.setField(*m_source, "Remark1");
    QCOMPARE(memo.toPlainText(), QString("a\nb"));
    memo.setPlainText("ligne 1\nligne 2\n😀");
    QCOMPARE(m_account->state(), DataSetState::Editing);
    QVERIFY(ok());
    QCOMPARE(stored("Remark1").toString(), QString("ligne 1\r\nligne 2\r\n😀"));
    QCOMPARE(memo.toPlainText(), QString("ligne 1\nligne 2\n😀"));
}

void TestDBEditors::memoStopsAtTheColumnsLength()
{
    DBMemo memo(m_prompts);
    memo.setField(*m_source, "Misc06"); // 128 characters
    memo.setFocus();
    QTest::keyClicks(&memo, QString(120, u'a'));
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, QString(10, u'b'));
    // The line break is stored as two characters.
    QCOMPARE(memo.storedText(), QString(120, u'a') + "\r\n" + QString(6, u'b'));
    // A paste in the middle is cut where it passes the length; what follows stays.
    memo.selectAll();
    memo.insertPlainText("debut fin");
    QTextCursor cursor = memo.textCursor();
    cursor.setPosition(6);
    memo.setTextCursor(cursor);
    memo.insertPlainText(QString(200, u'x'));
    QCOMPARE(memo.storedText(), "debut " + QString(119, u'x') + "fin");
    QVERIFY(ok());
    QCOMPARE(stored("Misc06").toString(), "debut " + QString(119, u'x') + "fin");
    QVERIFY(m_prompts.shown.isEmpty());
}

void TestDBEditors::imageShowsThePictureOfTheRow()
{
    QImage red(70, 70, QImage::Format_RGB888);
    red.fill(Qt::red);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(red.save(&buffer, "BMP"));
    QSqlQuery q(m_db.connection().database());
    q.prepare("UPDATE ACCOUNT SET ImgMini1=? WHERE Id=1");
    q.addBindValue(bmp);
    QVERIFY(q.exec());
    q.prepare("INSERT INTO ACCOUNT (Id_File, Title, ImgMini1) VALUES (1, 'Gaz', ?)");
    q.addBindValue(QByteArray("not a picture"));
    QVERIFY(q.exec());
    q.finish();
    m_account->close();
    m_account->open();

    DBImage image;
    image.resize(70, 70);
    QSignalSpy changed(&image, &DBImage::pictureChanged);
    image.setField(*m_source, "ImgMini1");
    QVERIFY(image.hasPicture()); // "Eau" comes first
    QCOMPARE(image.grab().toImage().pixelColor(35, 35), QColor(Qt::red));
    m_account->next(); // bytes that are no picture
    QVERIFY(!image.hasPicture());
    m_account->close();
    QVERIFY(!image.hasPicture());
    m_account->open();
    QVERIFY(image.hasPicture());
    // A change of another field leaves the picture as it was.
    const int before = int(changed.count());
    m_account->edit();
    m_account->fieldByName("Title").setText("Eau chaude");
    QCOMPARE(int(changed.count()), before);
    m_account->fieldByName("ImgMini1").clear();
    QVERIFY(!image.hasPicture());
    QCOMPARE(int(changed.count()), before + 1);
}

void TestDBEditors::checkBoxWritesTheYesNoField()
{
    DBCheckBox box("Compteur", m_prompts);
    box.setField(*m_source, "IncCount");
    QVERIFY(!box.isChecked());
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, box.height() / 2));
    QVERIFY(box.isChecked());
    QCOMPARE(m_account->state(), DataSetState::Editing);
    QVERIFY(ok());
    QCOMPARE(stored("IncCount").toInt(), 1);
    box.setChecked(false);
    QVERIFY(ok());
    QCOMPARE(stored("IncCount").toInt(), 0);
}

void TestDBEditors::cancelRestoresTheControlsAndTheDatabase()
{
    DBEdit title(m_prompts);
    title.setField(*m_source, "Title");
    DBMemo memo(m_prompts);
    memo.setField(*m_source, "Remark1");
    DBCheckBox box("Compteur", m_prompts);
    box.setField(*m_source, "IncCount");
    const QString before = DumpTables(m_db.connection());
    title.setText("Autre");
    memo.setPlainText("x");
    box.setChecked(true);
    m_account->cancel();
    QCOMPARE(title.text(), QString("Eau"));
    QCOMPARE(memo.toPlainText(), QString("a\nb"));
    QVERIFY(!box.isChecked());
    QCOMPARE(DumpTables(m_db.connection()), before);
}

void TestDBEditors::closedDataSetShowsNothingAndTakesNothing()
{
    DBEdit title(m_prompts);
    title.setField(*m_source, "Title");
    m_account->close();
    QVERIFY(title.text().isEmpty());
    QVERIFY(title.isReadOnly());
    title.setText("x");
    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY(title.text().isEmpty());
    m_account->open();
    QCOMPARE(title.text(), QString("Eau"));
    QVERIFY(!title.isReadOnly());
}

QTEST_MAIN(TestDBEditors)
#include "tst_DBEditors.moc"
