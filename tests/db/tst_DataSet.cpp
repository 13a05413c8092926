// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

// Every test runs twice: on the file directly and through an ODBC data source.
class TestDataSet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void navigatesWithBeginAndEndTests();
    void emptyDataSetIsAtBothEnds();
    void insertedRowReadsBackEveryType();
    void datesAreStoredAsIsoText();
    void editWritesBackByKeyAndCancelRestores();
    void lostEditIsReportedAndTheDataSetGoesOn();
    void textSortsAndComparesAsTheOriginalEngine();
    void closingDiscardsPendingChanges();
    void deleteMovesToTheNextRow();
    void counterNeverReusesADeletedKey();
    void tooLongTextIsRefusedNotCut();
    void sixteenBitColumnsRefuseLargeValuesButIdsAreFull();
    void textConversions_data();
    void textConversions();
    void binaryFieldFromAndToFile();
    void joinReadsTableQualifiedNames();
    void aliasedFieldWritesItsColumn();
    void locateFindsByValue();
    void midReadsDatesAsDayMonthYear();
    void dateRangesGiveTheSameRowsAsText_data();
    void dateRangesGiveTheSameRowsAsText();
    void schemaQuestions();
    void disabledControlsHoldSignalsBack();

private:
    qint64 addAccount(qint64 dossier, const QString& title);
    qint64 addEntry(qint64 account, const QString& date, double quantity);

    SchemaCopy m_db;
};

void TestDataSet::initTestCase_data()
{
    AddProviderRows();
}

void TestDataSet::initTestCase()
{
    m_db.prepare();
}

void TestDataSet::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("test.db")));
    m_db.open(odbc);
}

void TestDataSet::cleanup()
{
    m_db.release();
}

qint64 TestDataSet::addAccount(qint64 dossier, const QString& title)
{
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT WHERE Id=-1"));
    a.open();
    a.append();
    a.fieldByName(QStringLiteral("Id_File")).setInteger(dossier);
    a.fieldByName(QStringLiteral("Title")).setText(title);
    a.post();
    return a.fieldByName(QStringLiteral("Id")).asInteger();
}

qint64 TestDataSet::addEntry(qint64 account, const QString& date, double quantity)
{
    DataSet e(m_db.connection());
    e.setSqlText(QStringLiteral("SELECT * FROM CONSUMPTION WHERE Id=-1"));
    e.open();
    e.append();
    e.fieldByName(QStringLiteral("Id_File")).setInteger(1);
    e.fieldByName(QStringLiteral("Id_Account")).setInteger(account);
    e.fieldByName(QStringLiteral("DateAction")).setText(date);
    e.fieldByName(QStringLiteral("Quantity")).setDouble(quantity);
    e.post();
    return e.fieldByName(QStringLiteral("Id")).asInteger();
}

void TestDataSet::navigatesWithBeginAndEndTests()
{
    addAccount(1, QStringLiteral("B"));
    addAccount(1, QStringLiteral("A"));
    addAccount(1, QStringLiteral("C"));
    DataSet a(m_db.connection(), QStringLiteral("Account"));
    a.setSql({QStringLiteral("SELECT * FROM ACCOUNT"), QStringLiteral("WHERE Id_File=1"),
              QStringLiteral("ORDER BY TITLE")});
    a.open();
    QCOMPARE(a.recordCount(), 3);
    QVERIFY(a.bof());
    QVERIFY(!a.eof());
    QStringList titles;
    for (a.first(); !a.eof(); a.next())
        titles << a.fieldByName(QStringLiteral("title")).asText();
    QCOMPARE(titles, QStringList({"A", "B", "C"}));
    QCOMPARE(a.recNo(), 2); // next() at the last row stays there
    a.prior();
    QVERIFY(!a.bof() && !a.eof());
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("B"));
    a.prior();
    a.prior();
    QVERIFY(a.bof());
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("A"));
    a.last();
    QVERIFY(a.eof());
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("C"));
    a.close();
    QVERIFY(!a.isActive());
    QVERIFY_THROWS_EXCEPTION(Error, a.next());
}

void TestDataSet::emptyDataSetIsAtBothEnds()
{
    DataSet c(m_db.connection());
    c.setSql({QStringLiteral("SELECT * FROM CONSUMPTION"), QStringLiteral("WHERE Id_Account=-1"),
              QStringLiteral("ORDER BY DATEACTION")});
    c.open();
    QVERIFY(c.isEmpty());
    QVERIFY(c.bof() && c.eof());
    QVERIFY(c.fieldByName(QStringLiteral("Quantity")).isNull());
    c.edit(); // an empty dataset starts an insertion
    QCOMPARE(c.state(), DataSetState::Inserting);
    c.cancel();
    QVERIFY(c.isEmpty());
    QVERIFY_THROWS_EXCEPTION(Error, c.remove());
}

void TestDataSet::insertedRowReadsBackEveryType()
{
    const QByteArray picture("\x00\xff\x10JPEG\x00", 8);
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT WHERE Id_File=7"));
    a.open();
    a.append();
    a.fieldByName(QStringLiteral("Id_File")).setInteger(7);
    a.fieldByName(QStringLiteral("Title")).setText(QStringLiteral("Électricité € ✓"));
    a.fieldByName(QStringLiteral("Decimal")).setInteger(2);
    a.fieldByName(QStringLiteral("Count")).setDouble(12.5);
    a.fieldByName(QStringLiteral("IncCount")).setBoolean(true);
    a.fieldByName(QStringLiteral("CreateDate")).setDate(QDate(2008, 2, 1));
    a.fieldByName(QStringLiteral("ImgMini1")).setBytes(picture);
    a.fieldByName(QStringLiteral("Remark1")).setText(QString(5000, u'é'));
    a.post();
    const qint64 id = a.fieldByName(QStringLiteral("Id")).asInteger();
    QVERIFY(id > 0);
    QCOMPARE(a.state(), DataSetState::Browsing);
    a.close();

    a.open();
    QCOMPARE(a.recordCount(), 1);
    QCOMPARE(a.fieldByName(QStringLiteral("Id")).asInteger(), id);
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("Électricité € ✓"));
    QCOMPARE(a.fieldByName(QStringLiteral("Decimal")).asInteger(), 2);
    QCOMPARE(a.fieldByName(QStringLiteral("Count")).asDouble(), 12.5);
    QCOMPARE(a.fieldByName(QStringLiteral("Count")).asText(), QStringLiteral("12.5"));
    QVERIFY(a.fieldByName(QStringLiteral("IncCount")).asBoolean());
    QCOMPARE(a.fieldByName(QStringLiteral("CreateDate")).asDate(), QDate(2008, 2, 1));
    QCOMPARE(a.fieldByName(QStringLiteral("CreateDate")).asText(), QStringLiteral("01/02/2008"));
    QCOMPARE(a.fieldByName(QStringLiteral("ImgMini1")).asBytes(), picture);
    QCOMPARE(a.fieldByName(QStringLiteral("Remark1")).asText().size(), 5000);
    QVERIFY(a.fieldByName(QStringLiteral("ImgMini2")).isNull());
    QVERIFY(a.fieldByName(QStringLiteral("Misc01")).isNull());
    QCOMPARE(a.fieldByName(QStringLiteral("Misc01")).asText(), QString());
    QCOMPARE(a.fieldByName(QStringLiteral("Id")).type(), FieldType::ftAutoInc);
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).type(), FieldType::ftWideString);
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).size(), 128);
    QCOMPARE(a.fieldByName(QStringLiteral("ImgMini1")).type(), FieldType::ftBlob);
}

void TestDataSet::datesAreStoredAsIsoText()
{
    const qint64 account = addAccount(1, QStringLiteral("Eau"));
    const qint64 id = addEntry(account, QStringLiteral("05/03/2008"), 1);
    m_db.connection().close();
    QCOMPARE(RawScalar(m_db.file(),
                       QStringLiteral("SELECT DateAction FROM CONSUMPTION WHERE Id=%1").arg(id))
                 .toString(),
             QStringLiteral("2008-03-05"));
}

void TestDataSet::editWritesBackByKeyAndCancelRestores()
{
    const qint64 first = addAccount(1, QStringLiteral("Eau"));
    const qint64 second = addAccount(1, QStringLiteral("Gaz"));
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT WHERE Id_File=1 ORDER BY Title"));
    a.open();
    a.last();
    a.edit();
    QCOMPARE(a.state(), DataSetState::Editing);
    a.fieldByName(QStringLiteral("Description")).setText(QStringLiteral("Chaudière"));
    a.post();
    a.first();
    a.edit();
    a.fieldByName(QStringLiteral("Description")).setText(QStringLiteral("jamais"));
    QCOMPARE(a.fieldByName(QStringLiteral("Description")).asText(), QStringLiteral("jamais"));
    a.cancel();
    QVERIFY(a.fieldByName(QStringLiteral("Description")).isNull());
    QVERIFY_THROWS_EXCEPTION(Error, a.fieldByName(QStringLiteral("Description")).setText("x"));
    a.close();

    DataSet check(m_db.connection());
    check.setSqlText(QStringLiteral("SELECT Id, Description FROM ACCOUNT ORDER BY Id"));
    check.open();
    QVERIFY(check.locate(QStringLiteral("Id"), second));
    QCOMPARE(check.fieldByName(QStringLiteral("Description")).asText(),
             QStringLiteral("Chaudière"));
    QVERIFY(check.locate(QStringLiteral("Id"), first));
    QVERIFY(check.fieldByName(QStringLiteral("Description")).isNull());
}

void TestDataSet::lostEditIsReportedAndTheDataSetGoesOn()
{
    addAccount(1, QStringLiteral("Eau"));
    const qint64 gas = addAccount(1, QStringLiteral("Gaz"));
    addAccount(1, QStringLiteral("Bois"));
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT WHERE Id_File=1 ORDER BY Id"));
    a.open();
    QVERIFY(a.locate(QStringLiteral("Id"), gas));
    a.edit();
    a.fieldByName(QStringLiteral("Description")).setText(QStringLiteral("Chaudière"));
    m_db.connection().exec(QStringLiteral("DELETE FROM ACCOUNT WHERE Id=%1").arg(gas));
    try {
        a.post();
        QFAIL("the lost edit went unreported");
    } catch (const Error& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("La modification n'a pas été enregistrée")),
                 qPrintable(e.text()));
    }
    // The vanished row is gone from the dataset, which browses and edits the others.
    QCOMPARE(a.state(), DataSetState::Browsing);
    QCOMPARE(a.recordCount(), 2);
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("Bois"));
    a.first();
    a.edit();
    a.fieldByName(QStringLiteral("Description")).setText(QStringLiteral("Robinet"));
    a.post();
    a.close();
    QCOMPARE(RawScalar(m_db.file(), QStringLiteral("SELECT group_concat(Title || ':' || "
                                                   "ifnull(Description, '')) FROM ACCOUNT"))
                 .toString(),
             QStringLiteral("Eau:Robinet,Bois:"));
}

void TestDataSet::textSortsAndComparesAsTheOriginalEngine()
{
    for (const char* title : {"élan", "Zèbre", "banane", "Abricot", "cerise"})
        addAccount(1, QString::fromUtf8(title));
    DataSet a(m_db.connection(), QStringLiteral("Account"));
    // The account list's own statement.
    a.setSqlText(QStringLiteral("SELECT ACCOUNT.Id, ACCOUNT.Title, ACCOUNT.Description FROM "
                                "ACCOUNT WHERE ACCOUNT.Id_File=1 ORDER BY ACCOUNT.Title, "
                                "ACCOUNT.Description"));
    a.open();
    QStringList titles;
    for (a.first(); !a.eof(); a.next())
        titles << a.fieldByName(QStringLiteral("Title")).asText();
    QCOMPARE(titles, QStringList({"Abricot", "banane", "cerise", "élan", "Zèbre"}));
    a.close();
    // Comparisons ignore case, as the original engine's did.
    a.setSqlText(QStringLiteral("SELECT Title FROM ACCOUNT WHERE Title='ABRICOT'"));
    a.open();
    QCOMPARE(a.recordCount(), 1);
    QCOMPARE(a.field(0).asText(), QStringLiteral("Abricot"));
    a.close();
    // Accents still count.
    a.setSqlText(QStringLiteral("SELECT Title FROM ACCOUNT WHERE Title='ÉLAN' OR Title='zebre'"));
    a.open();
    QCOMPARE(a.recordCount(), 1);
    QCOMPARE(a.field(0).asText(), QStringLiteral("élan"));
    a.close();
    a.setSqlText(QStringLiteral("SELECT Title FROM ACCOUNT WHERE Title >= 'C' AND Title < 'f' "
                                "ORDER BY Title DESC"));
    a.open();
    titles.clear();
    for (a.first(); !a.eof(); a.next())
        titles << a.field(0).asText();
    QCOMPARE(titles, QStringList({"élan", "cerise"}));
    a.close();
    // Nothing of it is stored: the file reads the same without the program.
    QCOMPARE(RawScalar(m_db.file(), QStringLiteral("SELECT count(*) FROM sqlite_master WHERE sql "
                                                   "LIKE '%COLLATE%'"))
                 .toInt(),
             0);
}

void TestDataSet::closingDiscardsPendingChanges()
{
    addAccount(1, QStringLiteral("Eau"));
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT"));
    a.open();
    a.append();
    a.fieldByName(QStringLiteral("Title")).setText(QStringLiteral("jamais posté"));
    a.close();
    a.open();
    QCOMPARE(a.recordCount(), 1);
    // Moving posts the pending change.
    a.edit();
    a.fieldByName(QStringLiteral("Title")).setText(QStringLiteral("posté"));
    a.first();
    QCOMPARE(a.state(), DataSetState::Browsing);
    a.close();
    a.open();
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("posté"));
}

void TestDataSet::deleteMovesToTheNextRow()
{
    for (const char* t : {"A", "B", "C"})
        addAccount(1, QLatin1String(t));
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT ORDER BY Title"));
    a.open();
    a.next();
    int hooks = 0;
    a.setBeforeDelete([&hooks](DataSet& set) {
        ++hooks;
        QCOMPARE(set.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("B"));
    });
    a.remove();
    QCOMPARE(hooks, 1);
    QCOMPARE(a.recordCount(), 2);
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("C"));
    a.setBeforeDelete([](DataSet&) { throw Error(QStringLiteral("refusé")); });
    QVERIFY_THROWS_EXCEPTION(Error, a.remove());
    a.setBeforeDelete({});
    a.remove();
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("A"));
    a.close();
    a.open();
    QCOMPARE(a.recordCount(), 1);
}

void TestDataSet::counterNeverReusesADeletedKey()
{
    addAccount(1, QStringLiteral("A"));
    const qint64 last = addAccount(1, QStringLiteral("B"));
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT ORDER BY Id"));
    a.open();
    a.last();
    a.remove();
    a.close();
    QCOMPARE(addAccount(1, QStringLiteral("C")), last + 1);
}

void TestDataSet::tooLongTextIsRefusedNotCut()
{
    addAccount(1, QStringLiteral("court"));
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT"));
    a.open();
    a.edit();
    try {
        a.fieldByName(QStringLiteral("Title")).setText(QString(129, u'x'));
        QFAIL("accepted");
    } catch (const Error& e) {
        QVERIFY(e.text().contains(QLatin1String("128")));
    }
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("court"));
    a.fieldByName(QStringLiteral("Title")).setText(QString(128, u'é'));
    a.post();
    // Statements are held to the same length by the engine itself.
    QVERIFY_THROWS_EXCEPTION(Error,
                             m_db.connection().exec(QStringLiteral("UPDATE ACCOUNT SET Title='") +
                                                    QString(129, u'y') + u'\''));
    a.close();
    a.open();
    QCOMPARE(a.fieldByName(QStringLiteral("Title")).asText(), QString(128, u'é'));
}

void TestDataSet::sixteenBitColumnsRefuseLargeValuesButIdsAreFull()
{
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT"));
    a.open();
    a.append();
    QVERIFY_THROWS_EXCEPTION(Error, a.fieldByName(QStringLiteral("Decimal")).setInteger(40000));
    a.fieldByName(QStringLiteral("Id_File")).setInteger(40000);
    a.post();
    a.close();
    // A dossier ID above 32767 is stored and found again.
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT WHERE Id_File=40000"));
    a.open();
    QCOMPARE(a.recordCount(), 1);
    QCOMPARE(a.fieldByName(QStringLiteral("Id_File")).type(), FieldType::ftInteger);
}

void TestDataSet::textConversions_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("decimal comma") << "Count"
                                   << "12,5" << true << "12.5";
    QTest::newRow("decimal point") << "Count"
                                   << "-0.25" << true << "-0.25";
    QTest::newRow("not a number") << "Count"
                                  << "douze" << false << "";
    QTest::newRow("empty number is null") << "Count"
                                          << "" << true << "";
    QTest::newRow("integer") << "Color"
                             << "255" << true << "255";
    QTest::newRow("integer with decimals") << "Color"
                                           << "2.5" << false << "";
    QTest::newRow("date") << "CreateDate"
                          << "29/02/2008" << true << "29/02/2008";
    QTest::newRow("short date") << "CreateDate"
                                << "1/2/2008" << true << "01/02/2008";
    QTest::newRow("no such day") << "CreateDate"
                                 << "31/02/2008" << false << "";
    QTest::newRow("boolean") << "SetColor"
                             << "True" << true << "True";
    QTest::newRow("not a boolean") << "SetColor"
                                   << "peut-être" << false << "";
}

void TestDataSet::textConversions()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, readBack);
    addAccount(1, QStringLiteral("A"));
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT"));
    a.open();
    a.edit();
    Field f = a.fieldByName(field);
    if (!accepted) {
        QVERIFY_THROWS_EXCEPTION(Error, f.setText(text));
        QVERIFY(f.isNull());
        return;
    }
    f.setText(text);
    a.post();
    a.close();
    a.open();
    QCOMPARE(a.fieldByName(field).asText(), readBack);
}

void TestDataSet::binaryFieldFromAndToFile()
{
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes.append(char(i * 7));
    const QString in = m_db.folder() + QStringLiteral("in.jpg");
    const QString out = m_db.folder() + QStringLiteral("out.jpg");
    {
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    addAccount(1, QStringLiteral("A"));
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT"));
    a.open();
    a.edit();
    a.fieldByName(QStringLiteral("ImgMini1")).loadFromFile(in);
    QVERIFY_THROWS_EXCEPTION(Error, a.fieldByName(QStringLiteral("Img1"))
                                        .loadFromFile(m_db.folder() + QStringLiteral("none.jpg")));
    QVERIFY(a.fieldByName(QStringLiteral("Img1")).isNull());
    a.post();
    a.close();
    a.open();
    a.fieldByName(QStringLiteral("ImgMini1")).saveToFile(out);
    QCOMPARE(ReadFile(out), bytes);
    QVERIFY_THROWS_EXCEPTION(Error,
                             a.fieldByName(QStringLiteral("ImgMini1"))
                                 .saveToFile(m_db.folder() + QStringLiteral("no/such/x.jpg")));
}

void TestDataSet::joinReadsTableQualifiedNames()
{
    const qint64 account = addAccount(1, QStringLiteral("Eau"));
    {
        DataSet a(m_db.connection());
        a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT"));
        a.open();
        a.edit();
        a.fieldByName(QStringLiteral("Description")).setText(QStringLiteral("du compte"));
        a.fieldByName(QStringLiteral("ImgMini1")).setBytes("mini");
        a.post();
    }
    const qint64 entry = addEntry(account, QStringLiteral("02/01/2008"), 3);
    DataSet e(m_db.connection());
    e.setSqlText(QStringLiteral("SELECT * FROM CONSUMPTION WHERE Id=%1").arg(entry));
    e.open();
    e.edit();
    e.fieldByName(QStringLiteral("Description")).setText(QStringLiteral("de l'entrée"));
    e.post();
    e.close();

    DataSet q(m_db.connection(), QStringLiteral("Query"));
    q.setSqlText(QStringLiteral("SELECT * FROM CONSUMPTION LEFT JOIN ACCOUNT ON "
                                "CONSUMPTION.Id_Account = ACCOUNT.Id WHERE Id_Account=%1 ORDER BY "
                                "DateAction")
                     .arg(account));
    q.open();
    QCOMPARE(q.recordCount(), 1);
    QCOMPARE(q.fieldByName(QStringLiteral("ACCOUNT.DESCRIPTION")).asText(),
             QStringLiteral("du compte"));
    QCOMPARE(q.fieldByName(QStringLiteral("CONSUMPTION.DESCRIPTION")).asText(),
             QStringLiteral("de l'entrée"));
    QCOMPARE(q.fieldByName(QStringLiteral("TITLE")).asText(), QStringLiteral("Eau"));
    QCOMPARE(q.fieldByName(QStringLiteral("DATEACTION")).asText(), QStringLiteral("02/01/2008"));
    QCOMPARE(q.fieldByName(QStringLiteral("ACCOUNT.IMGMINI1")).asBytes(), QByteArray("mini"));
    QCOMPARE(q.fieldByName(QStringLiteral("QUANTITY")).asDouble(), 3.0);
    QVERIFY_THROWS_EXCEPTION(Error, q.edit());

    // A qualified name also finds the plain column of that table.
    DataSet list(m_db.connection());
    list.setSqlText(QStringLiteral("SELECT ACCOUNT.Id, ACCOUNT.Title, ACCOUNT.CreateDate FROM "
                                   "ACCOUNT WHERE ACCOUNT.Id_File=1 ORDER BY ACCOUNT.Title"));
    list.open();
    QCOMPARE(list.fieldByName(QStringLiteral("ACCOUNT.Title")).asText(), QStringLiteral("Eau"));
    QCOMPARE(list.fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("Eau"));
    QVERIFY(!list.findField(QStringLiteral("CONSUMPTION.Title")));
    QVERIFY_THROWS_EXCEPTION(Error, list.fieldByName(QStringLiteral("Nope")));
}

void TestDataSet::aliasedFieldWritesItsColumn()
{
    DataSet m(m_db.connection(), QStringLiteral("MainFile"));
    m.setSqlText(
        QStringLiteral("SELECT ID, FullName, LoginName, LoginPassword, Administrator, "
                       "Image, Comment as [Color], Custom00144243 as [Size] FROM PROFILES"));
    m.open();
    m.append();
    m.fieldByName(QStringLiteral("LoginName")).setText(QStringLiteral("Maison"));
    m.fieldByName(QStringLiteral("Color")).setText(QStringLiteral("remarques"));
    m.post();
    const qint64 id = m.fieldByName(QStringLiteral("ID")).asInteger();
    m.close();
    DataSet p(m_db.connection());
    p.setSqlText(QStringLiteral("SELECT Comment FROM PROFILES WHERE ID=%1").arg(id));
    p.open();
    QCOMPARE(p.field(0).asText(), QStringLiteral("remarques"));
    QCOMPARE(p.field(0).type(), FieldType::ftWideMemo);
}

void TestDataSet::locateFindsByValue()
{
    const qint64 account = addAccount(1, QStringLiteral("Eau"));
    addEntry(account, QStringLiteral("01/01/2008"), 1);
    addEntry(account, QStringLiteral("15/06/2008"), 2.5);
    DataSet e(m_db.connection());
    e.setSqlText(QStringLiteral("SELECT * FROM CONSUMPTION ORDER BY DateAction"));
    e.open();
    QVERIFY(e.locate(QStringLiteral("Quantity"), 2.5));
    QCOMPARE(e.recNo(), 1);
    QVERIFY(e.locate(QStringLiteral("DateAction"), QDate(2008, 1, 1)));
    QCOMPARE(e.recNo(), 0);
    QVERIFY(e.locate(QStringLiteral("DateAction"), QStringLiteral("15/06/2008")));
    QCOMPARE(e.recNo(), 1);
    QVERIFY(!e.locate(QStringLiteral("Quantity"), 7));
    QCOMPARE(e.recNo(), 1);
    QVERIFY_THROWS_EXCEPTION(Error, e.locate(QStringLiteral("Nope"), 1));
}

void TestDataSet::midReadsDatesAsDayMonthYear()
{
    const qint64 account = addAccount(1, QStringLiteral("Eau"));
    addEntry(account, QStringLiteral("03/03/2008"), 1);
    addEntry(account, QStringLiteral("04/04/2008"), 2);
    addEntry(account, QStringLiteral("03/03/2009"), 4);
    DataSet q(m_db.connection());
    q.setSqlText(QStringLiteral("SELECT DATEACTION, PRICE, QUANTITY FROM CONSUMPTION WHERE "
                                "Id_Account=%1 AND MID(DATEACTION, 4, 2)='03'")
                     .arg(account));
    q.open();
    QCOMPARE(q.recordCount(), 2);
    q.setSqlText(
        QStringLiteral("SELECT MID(DateAction, 1, 5) AS DayMonth FROM CONSUMPTION ORDER BY "
                       "DateAction"));
    q.open();
    QCOMPARE(q.fieldByName(QStringLiteral("DayMonth")).asText(), QStringLiteral("03/03"));
}

void TestDataSet::dateRangesGiveTheSameRowsAsText_data()
{
    QTest::addColumn<QString>("test");
    QTest::newRow("year") << "MID(DATEACTION, 7, 4)='2008'";
    QTest::newRow("first year") << "MID(DATEACTION, 7, 4)='1999'";
    QTest::newRow("January") << "MID(DATEACTION, 4, 2)='01' AND MID(DATEACTION, 7, 4)='2008'";
    QTest::newRow("February leap") << "MID(DATEACTION, 4, 2)='02' AND MID(DATEACTION, 7, 4)='2008'";
    QTest::newRow("December") << "MID(DATEACTION, 4, 2)='12' AND MID(DATEACTION, 7, 4)='2007'";
    QTest::newRow("decade") << "MID(DATEACTION, 7, 4)>='2000' AND MID(DATEACTION, 7, 4)<='2009'";
    QTest::newRow("after") << "MID(DATEACTION, 7, 4)>'2009'";
    QTest::newRow("before") << "MID(DATEACTION, 7, 4)<'2000'";
    QTest::newRow("other years") << "MID(DATEACTION, 7, 4)<>'2005'";
}

void TestDataSet::dateRangesGiveTheSameRowsAsText()
{
    QFETCH(QString, test);
    const qint64 account = addAccount(1, QStringLiteral("Eau"));
    m_db.connection().beginTransaction();
    // The first and last day of every month from 1999 to 2011, and a day in the middle.
    for (int year = 1999; year <= 2011; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const QDate d(year, month, 1);
            for (const QDate& day : {d, d.addDays(14), QDate(year, month, d.daysInMonth())})
                m_db.connection().exec(
                    QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, "
                                   "DateAction, Quantity) VALUES (1, %1, #%2#, 1)")
                        .arg(account)
                        .arg(day.toString(QStringLiteral("M/d/yyyy"))));
        }
    }
    m_db.connection().commit();
    const QString sql = QStringLiteral("SELECT Id, DATEACTION FROM CONSUMPTION WHERE Id_Account=%1 "
                                       "AND %2 ORDER BY Id")
                            .arg(account)
                            .arg(test);
    auto ids = [&](bool ranges) {
        m_db.connection().setDateRangeRewriting(ranges);
        DataSet q(m_db.connection());
        q.setSqlText(sql);
        q.open();
        QList<qint64> list;
        for (q.first(); !q.eof(); q.next())
            list << q.field(0).asInteger();
        return list;
    };
    QVERIFY(m_db.connection().translate(sql).contains(QLatin1String("-01'")));
    const QList<qint64> ranged = ids(true);
    const QList<qint64> textual = ids(false);
    QVERIFY(!ranged.isEmpty());
    QCOMPARE(ranged, textual);
}

void TestDataSet::schemaQuestions()
{
    const QStringList tables = m_db.connection().tableNames();
    for (const char* t :
         {"PROFILES", "ACCOUNT", "CONSUMPTION", "COMBOITEMS", "CUSTOMLAB", "BACKUP",
          "OBJECT_VAL_BIT", "OBJECT_VAL_INT", "OBJECT_VAL_MEMO", "OBJECT_VAL_OLE",
          "OBJECT_VAL_REAL", "OBJECT_VAL_STR", "STAT_TREE", "SQL_TREE", "STAT_QUERY", "SQL_QUERY"})
        QVERIFY2(tables.contains(QLatin1String(t)), t);
    QVERIFY(!tables.contains(QStringLiteral("sqlite_sequence")));
    QVERIFY(m_db.connection().hasColumn(QStringLiteral("account"), QStringLiteral("MISC01")));
    QVERIFY(!m_db.connection().hasColumn(QStringLiteral("ACCOUNT"), QStringLiteral("Misc13")));
    QVERIFY(!m_db.connection().hasColumn(QStringLiteral("NOPE"), QStringLiteral("Id")));
    const TableInfo* c = m_db.connection().table(QStringLiteral("CONSUMPTION"));
    QVERIFY(c);
    QCOMPARE(c->column(QStringLiteral("DateAction"))->type, FieldType::ftDateTime);
    QCOMPARE(c->column(QStringLiteral("Id_Account"))->type, FieldType::ftInteger);
    QCOMPARE(c->column(QStringLiteral("Description"))->size, 255);
    QCOMPARE(c->column(QStringLiteral("Remark1"))->type, FieldType::ftWideMemo);
    QCOMPARE(QFileInfo(m_db.connection().databaseFilePath()).canonicalFilePath(),
             QFileInfo(m_db.file()).canonicalFilePath());
    // A change of the schema is seen at once.
    m_db.connection().exec(QStringLiteral("ALTER TABLE ACCOUNT ADD COLUMN Misc13 TEXT(10)"));
    QVERIFY(m_db.connection().hasColumn(QStringLiteral("ACCOUNT"), QStringLiteral("Misc13")));
}

void TestDataSet::disabledControlsHoldSignalsBack()
{
    addAccount(1, QStringLiteral("A"));
    addAccount(1, QStringLiteral("B"));
    DataSet a(m_db.connection());
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT"));
    QSignalSpy current(&a, &DataSet::currentChanged);
    a.open();
    QVERIFY(current.count() > 0);
    current.clear();
    a.disableControls();
    a.next();
    a.first();
    QCOMPARE(current.count(), 0);
    a.enableControls();
    QCOMPARE(current.count(), 1);
}

QTEST_GUILESS_MAIN(TestDataSet)
#include "tst_DataSet.moc"
