// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "TableDump.h"
#include "common/Error.h"
#include "db/DataSet.h"
#include "db/FieldEditText.h"
#include "db/FieldLink.h"

#include <QLocale>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

// Controls bound to fields, without the controls: what FieldLink and the edit texts do.
class TestFieldLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void modifyStartsEditingAndPostWritesThePendingValue();
    void modifyOnAnEmptyDataSetStartsAnInsertion();
    void refusedValueStopsThePostAndKeepsItPending();
    void editTexts_data();
    void editTexts();
    void shownTextsUnderAFrenchLocale();
    void pendingValueSurvivesOtherFieldsButNotItsOwn();
    void endOfEditingDropsThePendingValue();
    void readOnlySourcesAndFieldsRefuseChanges();

private:
    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_account;
    std::unique_ptr<DataSource> m_source;
    QLocale m_locale;
};

void TestFieldLink::initTestCase()
{
    m_db.prepare();
}

void TestFieldLink::init()
{
    m_locale = QLocale();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(m_db.copyTo("test.db"));
    m_db.open(false);
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("INSERT INTO ACCOUNT (Id_File, Title, Description, Count, CreateDate) "
                   "VALUES (1, 'Eau', 'Cuisine', 10, '2008-03-05')"));
    m_account = std::make_unique<DataSet>(m_db.connection(), "Account");
    m_account->setSql({"SELECT * FROM ACCOUNT", "WHERE Id_File=1", "ORDER BY TITLE, DESCRIPTION"});
    m_source = std::make_unique<DataSource>(*m_account);
    m_account->open();
}

void TestFieldLink::cleanup()
{
    m_source.reset();
    m_account.reset();
    m_db.release();
    QLocale::setDefault(m_locale);
}

void TestFieldLink::modifyStartsEditingAndPostWritesThePendingValue()
{
    FieldLink link(*m_source, "Title");
    QString typed = "Eau froide";
    int writes = 0;
    link.setWriter([&](Field& f) {
        ++writes;
        f.setText(typed);
    });
    link.modify();
    QCOMPARE(m_account->state(), DataSetState::Editing);
    QVERIFY(link.isModified());
    QCOMPARE(writes, 0);
    m_account->post();
    QCOMPARE(writes, 1);
    QVERIFY(!link.isModified());
    QCOMPARE(Scalar(m_db.connection(), "SELECT Title FROM ACCOUNT").toString(), typed);
    // Nothing pending: a second post writes nothing.
    m_account->edit();
    m_account->post();
    QCOMPARE(writes, 1);
}

void TestFieldLink::modifyOnAnEmptyDataSetStartsAnInsertion()
{
    m_account->setSql({"SELECT * FROM ACCOUNT", "WHERE Id_File=2", "ORDER BY TITLE"});
    m_account->open();
    FieldLink link(*m_source, "Title");
    link.setWriter([](Field& f) { f.setText("Gaz"); });
    link.modify();
    QCOMPARE(m_account->state(), DataSetState::Inserting);
    m_account->fieldByName("Id_File").setInteger(2);
    m_account->post();
    QCOMPARE(Scalar(m_db.connection(), "SELECT Title FROM ACCOUNT WHERE Id_File=2").toString(),
             QString("Gaz"));
}

void TestFieldLink::refusedValueStopsThePostAndKeepsItPending()
{
    FieldLink title(*m_source, "Title");
    FieldLink count(*m_source, "Count");
    title.setWriter([](Field& f) { f.setText("Changé"); });
    count.setWriter([](Field& f) { SetFieldFromEditText(f, "abc"); });
    const QString before = DumpTables(m_db.connection());
    title.modify();
    count.modify();
    try {
        m_account->post();
        QFAIL("the post went through");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QString("'abc' n'est pas une valeur numérique correcte."));
    }
    QCOMPARE(m_account->state(), DataSetState::Editing);
    QVERIFY(count.isModified());
    QCOMPARE(DumpTables(m_db.connection()), before);
    // Corrected, the same post goes through.
    count.setWriter([](Field& f) { SetFieldFromEditText(f, "12,5"); });
    m_account->post();
    QCOMPARE(Scalar(m_db.connection(), "SELECT Count FROM ACCOUNT").toDouble(), 12.5);
    QCOMPARE(Scalar(m_db.connection(), "SELECT Title FROM ACCOUNT").toString(), QString("Changé"));
}

void TestFieldLink::editTexts_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("stored"); // invalid: refused
    const QVariant refused;
    const QString title128(128, u'é');
    QTest::newRow("title of 128") << "Title" << title128 << QVariant(title128);
    QTest::newRow("title of 129") << "Title" << QString(129, u'x') << refused;
    QTest::newRow("quotes and markers")
        << "Title"
        << "L'eau \"chaude\" # %&a% ; DROP TABLE ACCOUNT --"
        << QVariant("L'eau \"chaude\" # %&a% ; DROP TABLE ACCOUNT --");
    QTest::newRow("emoji") << "Title"
                           << "Gaz 🔥 été" << QVariant("Gaz 🔥 été");
    QTest::newRow("blanks kept in text") << "Description"
                                         << "  a  " << QVariant("  a  ");
    QTest::newRow("comma") << "Count"
                           << "12,5" << QVariant(12.5);
    QTest::newRow("point") << "Count"
                           << "12.5" << QVariant(12.5);
    QTest::newRow("blanks around a number") << "Count"
                                            << " 12,5 " << QVariant(12.5);
    QTest::newRow("negative") << "Count"
                              << "-3" << QVariant(-3.0);
    QTest::newRow("letters") << "Count"
                             << "abc" << refused;
    QTest::newRow("both separators") << "Count"
                                     << "1.234,5" << refused;
    QTest::newRow("two commas") << "Count"
                                << "1,2,3" << refused;
    QTest::newRow("empty number is null") << "Count"
                                          << "" << QVariant(QString("<null>"));
    QTest::newRow("decimals") << "Decimal"
                              << "2" << QVariant(qint64(2));
    QTest::newRow("decimals not whole") << "Decimal"
                                        << "2,5" << refused;
    QTest::newRow("date") << "CreateDate"
                          << "01/02/2009" << QVariant(QDate(2009, 2, 1));
    QTest::newRow("no such day") << "CreateDate"
                                 << "31/02/2008" << refused;
    QTest::newRow("not a date") << "CreateDate"
                                << "demain" << refused;
    QTest::newRow("empty date is null") << "CreateDate"
                                        << "" << QVariant(QString("<null>"));
}

void TestFieldLink::editTexts()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QVariant, stored);
    m_account->edit();
    Field f = m_account->fieldByName(field);
    const QVariant before = f.value();
    if (!stored.isValid()) {
        QVERIFY_THROWS_EXCEPTION(Error, SetFieldFromEditText(f, text));
        QCOMPARE(f.value(), before);
        return;
    }
    SetFieldFromEditText(f, text);
    m_account->post();
    const Field after = m_account->fieldByName(field);
    if (stored == QVariant(QString("<null>")))
        QVERIFY(after.isNull());
    else
        QCOMPARE(after.value(), stored);
}

void TestFieldLink::shownTextsUnderAFrenchLocale()
{
    m_account->edit();
    m_account->fieldByName("Count").setDouble(12.5);
    QCOMPARE(FieldEditText(m_account->fieldByName("Count")), QString("12,5"));
    QCOMPARE(FieldEditText(m_account->fieldByName("CreateDate")), QString("05/03/2008"));
    QCOMPARE(FieldEditText(m_account->fieldByName("Unit")), QString());
    FieldDisplay display;
    display.editFormat = "#######0.000";
    m_account->setFieldDisplay("Count", display);
    QCOMPARE(FieldEditText(m_account->fieldByName("Count")), QString("12,500"));
}

void TestFieldLink::pendingValueSurvivesOtherFieldsButNotItsOwn()
{
    FieldLink title(*m_source, "Title");
    QSignalSpy refreshed(&title, &FieldLink::refresh);
    title.setWriter([](Field& f) { f.setText("tapé"); });
    title.modify();
    m_account->fieldByName("PeriodType").setInteger(2);
    QVERIFY(title.isModified());
    QCOMPARE(refreshed.count(), 0);
    // The program writes the very field: its value wins over the typed one.
    m_account->fieldByName("Title").setText("du programme");
    QVERIFY(!title.isModified());
    QCOMPARE(refreshed.count(), 1);
    m_account->post();
    QCOMPARE(Scalar(m_db.connection(), "SELECT Title FROM ACCOUNT").toString(),
             QString("du programme"));
}

void TestFieldLink::endOfEditingDropsThePendingValue()
{
    FieldLink title(*m_source, "Title");
    QSignalSpy refreshed(&title, &FieldLink::refresh);
    title.setWriter([](Field& f) { f.setText("tapé"); });
    title.modify();
    m_account->cancel();
    QVERIFY(!title.isModified());
    QVERIFY(refreshed.count() >= 1);
    m_account->close();
    QVERIFY(!title.field());
    QVERIFY(!title.canModify());
}

void TestFieldLink::readOnlySourcesAndFieldsRefuseChanges()
{
    FieldLink title(*m_source, "Title");
    QVERIFY(title.canModify());
    m_source->setAutoEdit(false);
    QVERIFY(!title.canModify());
    QVERIFY_THROWS_EXCEPTION(Error, title.modify());
    QCOMPARE(m_account->state(), DataSetState::Browsing);
    m_account->edit();
    QVERIFY(title.canModify());
    m_account->cancel();
    m_source->setAutoEdit(true);

    FieldLink id(*m_source, "Id");
    QVERIFY(!id.canModify());
    QVERIFY_THROWS_EXCEPTION(Error, id.modify());
    FieldLink missing(*m_source, "NoSuchColumn");
    QVERIFY_THROWS_EXCEPTION(Error, missing.modify());

    // A join cannot be edited.
    DataSet join(m_db.connection());
    join.setSqlText("SELECT ACCOUNT.Title, CONSUMPTION.Quantity FROM ACCOUNT, CONSUMPTION");
    join.open();
    DataSource joined(join);
    FieldLink joinedTitle(joined, "Title");
    QVERIFY(!joinedTitle.canModify());
}

QTEST_GUILESS_MAIN(TestFieldLink)
#include "tst_FieldLink.moc"
