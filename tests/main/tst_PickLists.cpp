// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "db/TableDump.h"
#include "main/PickLists.h"

#include <QSqlQuery>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

// Pick-lists: the cleaning rule, the lines of a drop-down and saving, over COMBOITEMS.
class TestPickLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void cleaning_data();
    void cleaning();
    void dropDownOfAPickListHasAnEmptyFirstLine();
    void dropDownOfFixedLines_data();
    void dropDownOfFixedLines();
    void missingPickListGivesTheEmptyLineAlone();
    void savingUnchangedStoresTheCleanedLines();
    void firstSaveInAnEmptyTableInsertsARow();

private:
    void storeUnits(const QString& text);

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_combo;
    std::unique_ptr<DataSource> m_source;
};

void TestPickLists::initTestCase()
{
    m_db.prepare();
}

void TestPickLists::init()
{
    QVERIFY(m_db.copyTo("test.db"));
    m_db.open(false);
    m_combo = std::make_unique<DataSet>(m_db.connection(), "ComboItems");
    m_combo->setSql({"SELECT * FROM COMBOITEMS"});
    m_source = std::make_unique<DataSource>(*m_combo);
}

void TestPickLists::cleanup()
{
    m_source.reset();
    m_combo.reset();
    m_db.release();
}

void TestPickLists::storeUnits(const QString& text)
{
    QSqlQuery q(m_db.connection().database());
    q.prepare("INSERT INTO COMBOITEMS (Account_Unit) VALUES (?)");
    q.addBindValue(text);
    QVERIFY(q.exec());
}

void TestPickLists::cleaning_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("cleaned");
    QTest::newRow("case-insensitive duplicate dropped")
        << QStringList{"kWh", "litres", "KWH"} << QStringList{"kWh", "litres"};
    QTest::newRow("first kept of equals")
        << QStringList{"M3", "m3", "gaz"} << QStringList{"gaz", "M3"};
    QTest::newRow("accents") << QStringList{"Électricité", "eau", "ÉLECTRICITÉ"}
                             << QStringList{"eau", "Électricité"};
    QTest::newRow("repeated empty lines") << QStringList{"", "a", ""} << QStringList{"", "a"};
    QTest::newRow("empty") << QStringList{} << QStringList{};
}

void TestPickLists::cleaning()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, cleaned);
    QCOMPARE(CleanPickList(lines), cleaned);
}

void TestPickLists::dropDownOfAPickListHasAnEmptyFirstLine()
{
    storeUnits("litres\r\nkWh\r\nm3");
    QCOMPARE(DropDownLines(m_combo.get(), "Account_Unit", QString(), true),
             QStringList({"", "kWh", "litres", "m3"}));
    QCOMPARE(DropDownLines(m_combo.get(), "Account_Unit", QString(), false),
             QStringList({"", "litres", "kWh", "m3"}));
    QVERIFY(!m_combo->isActive());
}

void TestPickLists::dropDownOfFixedLines_data()
{
    QTest::addColumn<QString>("lines");
    QTest::addColumn<bool>("sorted");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("period kinds keep their order")
        << "Mois\rAnnée\rDécennie\rDates" << false
        << QStringList{"Mois", "Année", "Décennie", "Dates"};
    QTest::newRow("decimals sorted") << "0\r1\r2\r3" << true << QStringList{"0", "1", "2", "3"};
    QTest::newRow("value kinds") << "Quantité\rMontant" << false
                                 << QStringList{"Quantité", "Montant"};
}

void TestPickLists::dropDownOfFixedLines()
{
    QFETCH(QString, lines);
    QFETCH(bool, sorted);
    QFETCH(QStringList, shown);
    QCOMPARE(DropDownLines(nullptr, QString(), lines, sorted), shown);
}

void TestPickLists::missingPickListGivesTheEmptyLineAlone()
{
    QCOMPARE(DropDownLines(m_combo.get(), "Account_Misc01", QString(), true), QStringList{""});
    storeUnits("kWh");
    QCOMPARE(DropDownLines(m_combo.get(), "Account_Misc01", QString(), true), QStringList{""});
    QVERIFY_THROWS_EXCEPTION(Error, DropDownLines(m_combo.get(), "NoSuchColumn", QString(), true));
    QVERIFY(!m_combo->isActive());
}

void TestPickLists::savingUnchangedStoresTheCleanedLines()
{
    storeUnits("kWh\r\nlitres\r\nKWH");
    m_combo->open();
    const QString shown = CleanPickList(PickListLines(*m_combo, "Account_Unit")).join(u'\n');
    QCOMPARE(shown, QString("kWh\nlitres"));
    SavePickList(*m_source, "Account_Unit", shown);
    m_combo->close();
    QCOMPARE(Scalar(m_db.connection(), "SELECT Account_Unit FROM COMBOITEMS").toString(),
             QString("kWh\r\nlitres"));
    QCOMPARE(Scalar(m_db.connection(), "SELECT COUNT(*) FROM COMBOITEMS").toInt(), 1);
}

void TestPickLists::firstSaveInAnEmptyTableInsertsARow()
{
    m_combo->open();
    QVERIFY(PickListLines(*m_combo, "Account_Misc02").isEmpty());
    SavePickList(*m_source, "Account_Misc02", "bleu\nRouge\n");
    m_combo->close();
    QCOMPARE(Scalar(m_db.connection(), "SELECT Account_Misc02 FROM COMBOITEMS").toString(),
             QString("bleu\r\nRouge"));
    // Such a row belongs to no dossier: every dossier shares it.
    QVERIFY(Scalar(m_db.connection(), "SELECT Id_File FROM COMBOITEMS").isNull());
}

QTEST_GUILESS_MAIN(TestPickLists)
#include "tst_PickLists.moc"
