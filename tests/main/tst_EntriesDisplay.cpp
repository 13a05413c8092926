// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainTestData.h"
#include "common/NumberPicture.h"
#include "db/DataSet.h"
#include "db/DataSetModel.h"
#include "main/AccountEntry.h"
#include "main/EntriesDisplay.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

namespace {

AccountEntry EntryOf(qint64 id, int decimals, const QString& unit)
{
    AccountEntry e;
    e.AccountId = id;
    e.QuantityEditFormat = QuantityEditFormat(decimals);
    e.Unit = unit;
    return e;
}

} // namespace

// The entries grid's dataset following the selected account, and the currency of amounts.
class TestEntriesDisplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_db.prepare(); }
    void init() { m_db.open(); }
    void cleanup() { m_db.release(); }

    void currencySymbol_data();
    void currencySymbol();
    void priceShowsWithTheLocaleSeparatorAndSymbol();
    void accountEntriesOpenOnTheLatest();
    void quantityTakesTheAccountFormats_data();
    void quantityTakesTheAccountFormats();
    void noAccountOpensEmpty();
    void controlsFollowOnceWhenTheReopeningFails();

private:
    DataSet& consumption() { return m_db.module().Consumption(); }
    TestDatabase m_db;
};

void TestEntriesDisplay::currencySymbol_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("France") << QLocale(QLocale::French, QLocale::France) << "€";
    QTest::newRow("Switzerland") << QLocale(QLocale::French, QLocale::Switzerland) << "CHF";
    QTest::newRow("United States") << QLocale(QLocale::English, QLocale::UnitedStates) << "$";
}

void TestEntriesDisplay::currencySymbol()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, symbol);
    QCOMPARE(ProgramCurrencySymbol(locale), symbol);
}

void TestEntriesDisplay::priceShowsWithTheLocaleSeparatorAndSymbol()
{
    // The franc's symbols of older systems, whatever their letter case, become the euro's.
    QCOMPARE(PriceDisplayFormat("€"), QString("#######0.000 €"));
    QCOMPARE(FormatNumberPicture(12.5, PriceDisplayFormat("€"), QChar(',')), QString("12,500 €"));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    SetPriceDisplay(consumption(), "€");
    const FieldDisplay price = consumption().fieldDisplay("Price");
    QCOMPARE(price.displayFormat, QString("#######0.000 €"));
    QCOMPARE(price.label, QString("Montant"));
    QCOMPARE(price.editFormat, QString("#######0.000"));

    const qint64 water = m_db.addAccount(1, "Eau");
    m_db.addEntry(1, water, QDate(2008, 1, 1), 1, 12.5);
    ShowAccountEntries(consumption(), EntryOf(water, 0, ""));
    DataSetModel model(m_db.module().DSConsumption());
    model.setColumns({"DateAction", "Quantity", "Price", "Description"});
    QCOMPARE(model.displayText(0, 2), QString("12,500 €"));
    QLocale::setDefault(QLocale::c());
}

void TestEntriesDisplay::accountEntriesOpenOnTheLatest()
{
    const qint64 water = m_db.addAccount(1, "Eau");
    const qint64 gas = m_db.addAccount(1, "Gaz");
    m_db.addEntry(1, water, QDate(2008, 3, 1), 1, 0, "mars");
    m_db.addEntry(1, water, QDate(2009, 1, 1), 2, 0, "dernière");
    m_db.addEntry(1, water, QDate(2007, 5, 1), 3, 0, "première");
    m_db.addEntry(1, gas, QDate(2010, 1, 1), 4, 0, "gaz");

    ShowAccountEntries(consumption(), EntryOf(water, 1, "m3"));
    QCOMPARE(consumption().sql(),
             QStringList({"SELECT * FROM CONSUMPTION", "WHERE Id_Account=" + QString::number(water),
                          "ORDER BY DATEACTION"}));
    QCOMPARE(consumption().recordCount(), 3);
    QCOMPARE(consumption().recNo(), 2);
    QCOMPARE(consumption().fieldByName("Description").asText(), QString("dernière"));
    consumption().first();
    QCOMPARE(consumption().fieldByName("Description").asText(), QString("première"));
}

void TestEntriesDisplay::quantityTakesTheAccountFormats_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("shown");
    QTest::newRow("unit and decimals") << 2 << "m3"
                                       << "#######0.00"
                                       << "#######0.00 m3"
                                       << "12,50 m3";
    QTest::newRow("no unit") << 0 << ""
                             << "#######0"
                             << "#######0"
                             << "13";
    QTest::newRow("unit with digits and a hash") << 1 << "#2 0.5l"
                                                 << "#######0.0"
                                                 << "#######0.0 #2 0.5l"
                                                 << "12,5 #2 0.5l";
}

void TestEntriesDisplay::quantityTakesTheAccountFormats()
{
    QFETCH(int, decimals);
    QFETCH(QString, unit);
    QFETCH(QString, edit);
    QFETCH(QString, display);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const qint64 water = m_db.addAccount(1, "Eau");
    m_db.addEntry(1, water, QDate(2008, 3, 1), 12.5, 0);
    ShowAccountEntries(consumption(), EntryOf(water, decimals, unit));
    const FieldDisplay quantity = consumption().fieldDisplay("Quantity");
    QCOMPARE(quantity.editFormat, edit);
    QCOMPARE(quantity.displayFormat, display);
    QCOMPARE(quantity.label, QString("Quantité"));
    DataSetModel model(m_db.module().DSConsumption());
    model.setColumns({"DateAction", "Quantity"});
    QCOMPARE(model.displayText(0, 0), QString("01/03/2008"));
    QCOMPARE(model.displayText(0, 1), shown);
    QLocale::setDefault(QLocale::c());
}

void TestEntriesDisplay::noAccountOpensEmpty()
{
    const qint64 water = m_db.addAccount(1, "Eau");
    m_db.addEntry(1, water, QDate(2008, 3, 1), 1, 0);
    ShowAccountEntries(consumption(), EntryOf(water, 0, ""));
    QSignalSpy content(&consumption(), &DataSet::contentChanged);
    ShowNoEntries(consumption());
    QVERIFY(consumption().isActive());
    QVERIFY(consumption().isEmpty());
    QCOMPARE(consumption().sql().at(1), QString("WHERE Id_Account=-1"));
    // The grid hears of it once, when everything is in place.
    QCOMPARE(content.size(), 1);
}

void TestEntriesDisplay::controlsFollowOnceWhenTheReopeningFails()
{
    m_db.exec("DROP TABLE CONSUMPTION");
    QVERIFY_THROWS_EXCEPTION(Error, ShowAccountEntries(consumption(), EntryOf(1, 0, "")));
    QVERIFY(!consumption().controlsDisabled());
    QVERIFY(!consumption().isActive());
}

QTEST_APPLESS_MAIN(TestEntriesDisplay)
#include "tst_EntriesDisplay.moc"
