// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/BucketTable.h"

#include <QDate>
#include <QTest>
#include <cmath>

using namespace tilvo;

class TestBucketTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsEmpty();
    void findBucket_data();
    void findBucket();
    void clearingEmptiesEverythingUsed();
    void fullTableRefusesMore();
    void outsideTheTableNothingIsWritten();
    void labels();
    void allZero_data();
    void allZero();
};

void TestBucketTable::startsEmpty()
{
    BucketTable t;
    QCOMPARE(t.count(), 0);
    QCOMPARE(t.value(1), 0.0);
    QCOMPARE(t.value(BucketTable::Capacity), 0.0);
    QVERIFY(t.label(1).isEmpty());
    QVERIFY(t.allZero());
}

void TestBucketTable::findBucket_data()
{
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("bucket");
    const QStringList days = {"01", "02", "03", "04"};
    QTest::newRow("found") << days << "02" << 2;
    QTest::newRow("first of equal labels") << QStringList{"Jui", "Jui", "Aoû"} << "Jui" << 1;
    // The last bucket is never searched: it takes whatever matches nothing.
    QTest::newRow("last label") << days << "04" << 4;
    QTest::newRow("missing goes last") << days << "31" << 4;
    QTest::newRow("empty key goes last") << days << "" << 4;
    QTest::newRow("exact comparison") << days << "2" << 4;
    QTest::newRow("one bucket") << QStringList{"2000"} << "2000" << 1;
    QTest::newRow("no bucket") << QStringList{} << "2000" << 0;
}

void TestBucketTable::findBucket()
{
    QFETCH(QStringList, labels);
    QFETCH(QString, key);
    QFETCH(int, bucket);
    BucketTable t;
    for (const QString& label : labels)
        QVERIFY(t.append(label, 0));
    QCOMPARE(t.FindBucket(key), bucket);
}

void TestBucketTable::clearingEmptiesEverythingUsed()
{
    BucketTable t;
    for (int i = 1; i <= 40; ++i)
        t.append(QString::number(i), i);
    t.setValue(1000, 5); // past the count: cleared all the same
    t.setCount(12);
    QCOMPARE(t.value(13), 0.0);
    QVERIFY(t.label(13).isEmpty());
    QCOMPARE(t.value(12), 12.0);
    t.ClearBuckets();
    QCOMPARE(t.count(), 0);
    for (const int i : {1, 12, 40, 1000}) {
        QCOMPARE(t.value(i), 0.0);
        QVERIFY(t.label(i).isEmpty());
    }
}

void TestBucketTable::fullTableRefusesMore()
{
    BucketTable t;
    const QDate first(1990, 1, 1);
    for (int i = 0; i < BucketTable::Capacity; ++i)
        QVERIFY(t.appendDate(first.addDays(i), 1));
    QCOMPARE(t.count(), BucketTable::Capacity);
    QVERIFY(!t.appendDate(first, 2));
    QVERIFY(!t.append(QStringLiteral("x"), 2));
    QCOMPARE(t.count(), BucketTable::Capacity);
    QCOMPARE(t.label(BucketTable::Capacity),
             first.addDays(BucketTable::Capacity - 1).toString(QStringLiteral("dd/MM/yyyy")));
    // Filling again after clearing gives the same texts.
    t.ClearBuckets();
    QVERIFY(t.appendDate(QDate(2008, 3, 5), 1));
    QCOMPARE(t.label(1), QStringLiteral("05/03/2008"));
    QVERIFY(t.label(2).isEmpty());
}

void TestBucketTable::outsideTheTableNothingIsWritten()
{
    BucketTable t;
    t.setValue(0, 3);
    t.setValue(BucketTable::Capacity + 1, 3);
    t.addToValue(-5, 3);
    t.setLabel(BucketTable::Capacity + 1, u"x");
    QCOMPARE(t.value(0), 0.0);
    QCOMPARE(t.value(BucketTable::Capacity + 1), 0.0);
    QVERIFY(t.label(BucketTable::Capacity + 1).isEmpty());
    t.setCount(BucketTable::Capacity + 10);
    QCOMPARE(t.count(), BucketTable::Capacity);
    t.setCount(-1);
    QCOMPARE(t.count(), 0);
}

void TestBucketTable::labels()
{
    BucketTable t;
    t.setLabel(1, QString(300, u'é'));
    QCOMPARE(t.label(1), QString(BucketTable::MaxLabelLength, u'é'));
    t.setDateLabel(2, QDate(2008, 2, 29));
    QCOMPARE(t.label(2), QStringLiteral("29/02/2008"));
    t.setDateLabel(2, QDate());
    QVERIFY(t.label(2).isEmpty());
    // A label handed to someone else keeps its text when the table is cleared and refilled.
    t.setDateLabel(3, QDate(2001, 1, 1));
    const QString kept = t.label(3);
    t.ClearBuckets();
    t.setDateLabel(3, QDate(2002, 2, 2));
    QCOMPARE(kept, QStringLiteral("01/01/2001"));
    QCOMPARE(t.label(3), QStringLiteral("02/02/2002"));
}

void TestBucketTable::allZero_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<bool>("allZero");
    QTest::newRow("zeros") << QList<double>{0, 0, 0} << true;
    QTest::newRow("negatives") << QList<double>{-1, 0, -3} << true;
    QTest::newRow("NaN") << QList<double>{std::nan(""), 0} << true;
    QTest::newRow("one positive") << QList<double>{0, 0.001, -5} << false;
    QTest::newRow("empty") << QList<double>{} << true;
}

void TestBucketTable::allZero()
{
    QFETCH(QList<double>, values);
    QFETCH(bool, allZero);
    BucketTable t;
    for (const double v : values)
        t.append(u"x", v);
    QCOMPARE(t.allZero(), allZero);
}

QTEST_APPLESS_MAIN(TestBucketTable)
#include "tst_BucketTable.moc"
