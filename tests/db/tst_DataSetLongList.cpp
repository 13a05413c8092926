// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "TableDump.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/DataSetModel.h"
#include "db/DataSetOps.h"

#include <QSqlRecord>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

namespace {

constexpr int kEntries = 3000;

QStringList EntriesSql(int account)
{
    return {QStringLiteral("SELECT * FROM CONSUMPTION"),
            QStringLiteral("WHERE Id_Account=%1").arg(account),
            QStringLiteral("ORDER BY DATEACTION")};
}

// Every value of every row as the dataset shows it, row by row.
QStringList Shown(DataSet& set)
{
    QStringList rows;
    for (int r = 0; r < set.recordCount(); ++r) {
        QStringList values;
        for (int c = 0; c < set.fieldCount(); ++c)
            values << set.textAt(r, c);
        rows << values.join(u'|');
    }
    return rows;
}

} // namespace

// A long sorted list over one table, read through the embedded engine: its rows are read when
// first used, and it shows exactly what reading it all at once shows.
class TestDataSetLongList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_db.prepare(); }
    void init();
    void cleanup() { m_db.release(); }

    void showsWhatReadingItAllShows();
    void rowsAreReadAroundTheOneUsed();
    void shortListsAreReadAtOnce();
    void writesElsewhereLeaveWhatItShows_data();
    void writesElsewhereLeaveWhatItShows();
    void writesToAnotherTableLeaveItsRowsUnread();
    void locatesByKeyWithoutReadingEverything();
    void editsInsertsAndDeletesOnALongList();
    void rowGoneBehindItsBackShowsEmpty();
    void unreadableRowShowsEmptyInTheGridAndFailsInTheProgram();

private:
    // The same statement read whole by the dataset: without the ORDER BY line it reads at
    // once, then the rows are put in the order a plain query gives.
    QStringList readAllAtOnce(int account);

    SchemaCopy m_db;
};

void TestDataSetLongList::init()
{
    QVERIFY(m_db.copyTo(QStringLiteral("test.db")));
    m_db.open(false);
    Connection& c = m_db.connection();
    Transaction t(c);
    QSqlQuery q(c.database());
    q.prepare("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, Price, "
              "Description, Remark1, Misc05, Img1) VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int i = 0; i < kEntries; ++i) {
        // Dates go backwards and repeat, so that the order is not the keys' and has ties.
        q.addBindValue(i % 7 == 0 ? 2 : 1);
        q.addBindValue(QDate(2000, 1, 1).addDays((kEntries - i) / 3).toString("yyyy-MM-dd"));
        q.addBindValue(i * 0.25);
        q.addBindValue(i % 5 == 0 ? QVariant() : QVariant(i * 1.5));
        q.addBindValue(i % 10 == 0 ? QString("Relevé n° %1 ⚡").arg(i) : QString());
        q.addBindValue(i % 97 == 0 ? QVariant("remarque\r\nsur deux lignes") : QVariant());
        q.addBindValue(i % 89 == 0 ? QVariant("divers") : QVariant());
        q.addBindValue(i % 101 == 0 ? QVariant(QByteArray("\x00\x01image", 7)) : QVariant());
        QVERIFY(q.exec());
    }
    t.commit();
}

QStringList TestDataSetLongList::readAllAtOnce(int account)
{
    // The engine's order of the sorted statement, by key.
    QList<qint64> order;
    {
        QSqlQuery q(m_db.connection().database());
        q.exec(m_db.connection().translate(EntriesSql(account).join('\n')));
        const int key = q.record().indexOf(JetDialect::kKeyColumn);
        while (q.next())
            order << q.value(key).toLongLong();
    }
    DataSet whole(m_db.connection());
    whole.setSql({"SELECT * FROM CONSUMPTION", QString("WHERE Id_Account=%1").arg(account)});
    whole.open();
    QHash<qint64, QString> byKey;
    const QStringList rows = Shown(whole);
    for (int r = 0; r < rows.size(); ++r)
        byKey.insert(whole.valueAt(r, 0).toLongLong(), rows.at(r)); // Id is the row key
    QStringList ordered;
    for (qint64 key : order)
        ordered << byKey.value(key);
    return ordered;
}

void TestDataSetLongList::showsWhatReadingItAllShows()
{
    const QStringList expected = readAllAtOnce(1);
    QVERIFY(expected.size() > DataSet::kRowsReadAtOnce);
    DataSet entries(m_db.connection(), "Consumption");
    entries.setSql(EntriesSql(1));
    entries.open();
    QCOMPARE(entries.unreadRows(), int(expected.size()));
    QCOMPARE(entries.recordCount(), int(expected.size()));
    QCOMPARE(Shown(entries), expected);
    QCOMPARE(entries.unreadRows(), 0);
    // Through the fields, from the first row to the last.
    entries.close();
    entries.open();
    int row = 0;
    for (entries.first(); !entries.eof(); entries.next(), ++row) {
        const QStringList values = expected.at(row).split(u'|');
        QCOMPARE(entries.fieldByName("Description").asText(), values.at(6));
        QCOMPARE(entries.fieldByName("DateAction").asText(), values.at(3));
    }
    QCOMPARE(row, int(expected.size()));
}

void TestDataSetLongList::rowsAreReadAroundTheOneUsed()
{
    DataSet entries(m_db.connection());
    entries.setSql(EntriesSql(1));
    entries.open();
    const int total = entries.recordCount();
    entries.last();
    QCOMPARE(entries.unreadRows(), total);
    QVERIFY(!entries.fieldByName("DateAction").asText().isEmpty());
    const int read = total - entries.unreadRows();
    QVERIFY(read > 0 && read <= DataSet::kRowsReadTogether);
    // Its neighbours, those a grid shows with it, came with it.
    const int unread = entries.unreadRows();
    for (int r = total - 30; r < total; ++r)
        entries.valueAt(r, 0);
    QCOMPARE(entries.unreadRows(), unread);
}

void TestDataSetLongList::shortListsAreReadAtOnce()
{
    DataSet entries(m_db.connection());
    entries.setSql(EntriesSql(2));
    entries.open();
    QVERIFY(entries.recordCount() > 100 && entries.recordCount() <= DataSet::kRowsReadAtOnce);
    QCOMPARE(entries.unreadRows(), 0);
    QCOMPARE(Shown(entries), readAllAtOnce(2));
}

void TestDataSetLongList::writesElsewhereLeaveWhatItShows_data()
{
    QTest::addColumn<QString>("writer");
    QTest::newRow("statement") << "statement";
    QTest::newRow("another dataset") << "dataset";
    QTest::newRow("deletion through another dataset") << "deletion";
}

void TestDataSetLongList::writesElsewhereLeaveWhatItShows()
{
    QFETCH(QString, writer);
    const QStringList expected = readAllAtOnce(1);
    DataSet entries(m_db.connection());
    entries.setSql(EntriesSql(1));
    entries.open();
    entries.last();
    entries.fieldByName("Id").asInteger();
    QVERIFY(entries.unreadRows() > 0);

    if (writer == "statement") {
        ExecSql(*std::make_unique<DataSet>(m_db.connection()),
                "UPDATE CONSUMPTION SET Quantity=-1, Description='changé' WHERE Id_Account=1");
    } else {
        DataSet other(m_db.connection());
        other.setSqlText("SELECT * FROM CONSUMPTION WHERE Id_Account=1 AND Quantity < 100");
        other.open();
        QVERIFY(!other.isEmpty());
        if (writer == "dataset") {
            other.edit();
            other.fieldByName("Description").setText("changé");
            other.post();
        } else {
            other.remove();
        }
    }
    QCOMPARE(entries.unreadRows(), 0);
    QCOMPARE(Shown(entries), expected);
    // The next opening shows the change.
    entries.close();
    entries.open();
    QVERIFY(Shown(entries) != expected);
}

void TestDataSetLongList::writesToAnotherTableLeaveItsRowsUnread()
{
    const QStringList expected = readAllAtOnce(1);
    DataSet entries(m_db.connection());
    entries.setSql(EntriesSql(1));
    entries.open();
    const int unread = entries.unreadRows();
    QVERIFY(unread > 0);

    // An account's counter posted through a dataset (as adding an entry does) touches no entry.
    DataSet account(m_db.connection());
    account.setSqlText("SELECT * FROM ACCOUNT");
    account.open();
    account.append();
    account.fieldByName("Title").setText("Eau");
    account.post();
    account.edit();
    account.fieldByName("Count").setDouble(12.5);
    account.post();
    account.remove();
    QCOMPARE(entries.unreadRows(), unread);

    // A statement may write anywhere: the list reads what it lacks first.
    ExecSql(*std::make_unique<DataSet>(m_db.connection()), "UPDATE ACCOUNT SET Count=1");
    QCOMPARE(entries.unreadRows(), 0);
    QCOMPARE(Shown(entries), expected);
}

void TestDataSetLongList::locatesByKeyWithoutReadingEverything()
{
    const qint64 id =
        m_db.connection().database().isOpen()
            ? Scalar(m_db.connection(), "SELECT Id FROM CONSUMPTION WHERE Id_Account=1 "
                                        "AND Quantity=500")
                  .toLongLong()
            : -1;
    DataSet entries(m_db.connection());
    entries.setSql(EntriesSql(1));
    entries.open();
    QVERIFY(entries.locate("Id", id));
    QCOMPARE(entries.fieldByName("Quantity").asDouble(), 500.0);
    QVERIFY(entries.unreadRows() >= entries.recordCount() - DataSet::kRowsReadTogether);
    QVERIFY(!entries.locate("Id", 999999));

    // Any other field needs every row.
    QVERIFY(entries.locate("Quantity", 250.0));
    QCOMPARE(entries.unreadRows(), 0);
    QCOMPARE(entries.fieldByName("Quantity").asDouble(), 250.0);
}

void TestDataSetLongList::editsInsertsAndDeletesOnALongList()
{
    DataSet entries(m_db.connection());
    entries.setSql(EntriesSql(1));
    entries.open();
    const int total = entries.recordCount();
    entries.moveTo(total / 2);
    const qint64 id = entries.fieldByName("Id").asInteger();
    const QString date = entries.fieldByName("DateAction").asText();
    entries.edit();
    entries.fieldByName("Description").setText("modifié ✓");
    entries.post();
    QCOMPARE(entries.fieldByName("DateAction").asText(), date);
    QCOMPARE(Scalar(m_db.connection(),
                    QString("SELECT Description FROM CONSUMPTION WHERE Id=%1").arg(id))
                 .toString(),
             QString("modifié ✓"));
    QVERIFY(entries.unreadRows() > 0);

    entries.moveTo(10);
    const qint64 deleted = entries.fieldByName("Id").asInteger();
    const QString next = entries.textAt(11, 0);
    entries.remove();
    QCOMPARE(entries.recordCount(), total - 1);
    QCOMPARE(entries.fieldByName("Id").asText(), next);
    QVERIFY(Scalar(m_db.connection(),
                   QString("SELECT COUNT(*) FROM CONSUMPTION WHERE Id=%1").arg(deleted))
                .toInt() == 0);

    entries.append();
    entries.fieldByName("Id_Account").setInteger(1);
    entries.fieldByName("DateAction").setText("01/01/2030");
    entries.post();
    QCOMPARE(entries.recordCount(), total);
    const qint64 added = entries.fieldByName("Id").asInteger();
    ReopenKeepingRow(entries);
    QCOMPARE(entries.fieldByName("Id").asInteger(), added);
    QCOMPARE(entries.recNo(), total - 1);
    QCOMPARE(Shown(entries), readAllAtOnce(1));
}

void TestDataSetLongList::rowGoneBehindItsBackShowsEmpty()
{
    DataSet entries(m_db.connection());
    entries.setSql(EntriesSql(1));
    entries.open();
    const qint64 key =
        Scalar(m_db.connection(), m_db.connection().translate(EntriesSql(1).join('\n')))
            .toLongLong();
    QVERIFY(key > 0);
    // Another program's change, which the connection never saw.
    QSqlQuery(m_db.connection().database())
        .exec(QString("DELETE FROM CONSUMPTION WHERE rowid=%1").arg(key));
    QCOMPARE(entries.textAt(0, 0), QString());
    QVERIFY(!entries.textAt(1, 0).isEmpty());
}

void TestDataSetLongList::unreadableRowShowsEmptyInTheGridAndFailsInTheProgram()
{
    DataSet entries(m_db.connection());
    entries.setSql(EntriesSql(1));
    entries.open();
    DataSource source(entries);
    DataSetModel model(source);
    model.setColumns({"DateAction", "Quantity"});
    QSqlQuery(m_db.connection().database()).exec("ALTER TABLE CONSUMPTION RENAME TO AILLEURS");
    QCOMPARE(model.displayText(5, 0), QString());
    QVERIFY_THROWS_EXCEPTION(Error, entries.fieldByName("Quantity").asDouble());
}

QTEST_GUILESS_MAIN(TestDataSetLongList)
#include "tst_DataSetLongList.moc"
