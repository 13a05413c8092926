// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainTestData.h"
#include "db/DataSet.h"
#include "images/BmpFile.h"
#include "images/Silhouette.h"
#include "main/AccountListModel.h"

#include <QSignalSpy>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

namespace {

QStringList Titles(const AccountListModel& list)
{
    QStringList titles;
    for (int row = 0; row < list.rowCount(); ++row)
        titles << list.entry(row).Title + (list.entry(row).Description.isEmpty()
                                               ? QString()
                                               : " / " + list.entry(row).Description);
    return titles;
}

// A 70 × 70 thumbnail as the pictures code stores it: red on the left half, blue on the right.
QByteArray StoredThumbnail()
{
    Picture picture(70, 70);
    picture.fill(0, 0, 255);
    Picture right(35, 70);
    right.fill(255, 0, 0);
    picture.draw(right, 35, 0);
    return EncodeBmp(picture);
}

} // namespace

// The account list built from the database, through both providers.
class TestAccountListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { AddProviderRows(); }
    void initTestCase() { m_db.prepare(); }
    void init()
    {
        QFETCH_GLOBAL(bool, odbc);
        m_db.open(odbc);
    }
    void cleanup() { m_db.release(); }

    void accountsOfTheDossierInFrenchOrder();
    void entryReadsBackEveryField_data();
    void entryReadsBackEveryField();
    void textsAreKeptExactly();
    void thumbnailsAreScaledOrReplacedBySilhouette();
    void rebuildSelectsTheRequestedAccount();
    void refreshKeepsTheEntryInItsPlace();

private:
    DataSet& query() { return m_db.module().Query(); }
    TestDatabase m_db;
};

void TestAccountListModel::accountsOfTheDossierInFrenchOrder()
{
    for (const char* title : {"Zèbre", "banane", "élan", "Abricot", "cerise"})
        m_db.addAccount(1, QString::fromUtf8(title));
    m_db.addAccount(1, "Eau", "froide");
    m_db.addAccount(1, "Eau", "chaude");
    m_db.addAccount(2, "Autre dossier");
    AccountListModel list;
    QCOMPARE(list.rebuild(query(), 1, -1), 0);
    QCOMPARE(Titles(list), QStringList({"Abricot", "banane", "cerise", "Eau / chaude",
                                        "Eau / froide", "élan", "Zèbre"}));
    QVERIFY(!query().isActive());

    // Without a dossier the list is empty.
    QCOMPARE(list.rebuild(query(), -1, -1), -1);
    QCOMPARE(list.rowCount(), 0);
}

void TestAccountListModel::entryReadsBackEveryField_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("count");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<bool>("setColor");
    QTest::addColumn<QString>("infoLine");
    QTest::addColumn<QString>("editFormat");
    QTest::newRow("counter and unit") << 1 << 12.5 << "kWh" << true << "01/02/2008  - 12.5 kWh"
                                      << "#######0.0";
    QTest::newRow("no counter, unit") << 3 << 0.0 << "m3" << false << "01/02/2008  - m3"
                                      << "#######0.000";
    QTest::newRow("nothing") << 0 << 0.0 << "" << false << "01/02/2008"
                             << "#######0";
    QTest::newRow("negative counter") << 2 << -4.0 << "l" << true << "01/02/2008  - l"
                                      << "#######0.00";
    QTest::newRow("decimals out of range") << 5 << 7.0 << "" << false << "01/02/2008  - 7.00000"
                                           << "#######0";
}

void TestAccountListModel::entryReadsBackEveryField()
{
    QFETCH(int, decimals);
    QFETCH(double, count);
    QFETCH(QString, unit);
    QFETCH(bool, setColor);
    QFETCH(QString, infoLine);
    QFETCH(QString, editFormat);
    AccountRow row;
    row.title = "Électricité";
    row.description = "Compteur du garage";
    row.unit = unit;
    row.decimals = decimals;
    row.count = count;
    row.periodType = 2;
    row.statType = 5;
    row.valueType = 1;
    row.color = 0x00C08040;
    row.setColor = setColor;
    row.allColor = true;
    const qint64 id = m_db.addAccount(1, row);
    AccountListModel list;
    list.rebuild(query(), 1, -1);
    const AccountEntry e = list.entry(0);
    QCOMPARE(e.AccountId, id);
    QVERIFY(list.entryText(0).startsWith(QString("%1#").arg(id, 4, 10, QChar('0'))));
    QCOMPARE(e.Title, row.title);
    QCOMPARE(e.Description, row.description);
    QCOMPARE(e.InfoLine, infoLine);
    QCOMPARE(e.QuantityEditFormat, editFormat);
    QCOMPARE(e.Unit, unit);
    QCOMPARE(e.PeriodType, 2);
    QCOMPARE(e.StatType, 5);
    QCOMPARE(e.ValueType, 1);
    QCOMPARE(e.ChartColor, setColor ? quint32(0x00C08040) : quint32(0));
    QVERIFY(e.AllColor);
}

void TestAccountListModel::textsAreKeptExactly()
{
    const QStringList titles = {"l'eau \"froide\"", "N°#2 %&a% 100%", "SELECT * FROM ACCOUNT;--",
                                "Électricité ⚡ 🏠"};
    for (const QString& title : titles)
        m_db.addAccount(1, title, title + " %&b%");
    AccountListModel list;
    list.rebuild(query(), 1, -1);
    QStringList shown;
    for (int row = 0; row < list.rowCount(); ++row) {
        QCOMPARE(list.entry(row).Description, list.entry(row).Title + " %&b%");
        shown << list.entry(row).Title;
    }
    QStringList sorted = titles;
    std::sort(sorted.begin(), sorted.end());
    std::sort(shown.begin(), shown.end());
    QCOMPARE(shown, sorted);
}

void TestAccountListModel::thumbnailsAreScaledOrReplacedBySilhouette()
{
    AccountRow pictured;
    pictured.title = "A avec image";
    pictured.thumbnail = StoredThumbnail();
    m_db.addAccount(1, pictured);
    m_db.addAccount(1, "B sans image");
    AccountRow damaged;
    damaged.title = "C image abîmée";
    damaged.thumbnail = "BM not a picture";
    m_db.addAccount(1, damaged);

    AccountListModel list;
    list.rebuild(query(), 1, -1);
    QCOMPARE(list.rowCount(), 3);
    const QImage scaled = list.thumbnail(0);
    QCOMPARE(scaled.size(), QSize(35, 35));
    QCOMPARE(QColor(scaled.pixel(5, 17)), QColor(255, 0, 0));
    QCOMPARE(QColor(scaled.pixel(30, 17)), QColor(0, 0, 255));
    QCOMPARE(list.thumbnail(1), SilhouettePicture());
    QCOMPARE(list.thumbnail(2), SilhouettePicture());
    QCOMPARE(SilhouettePicture().size(), QSize(35, 35));
}

void TestAccountListModel::rebuildSelectsTheRequestedAccount()
{
    m_db.addAccount(1, "Abricot");
    const qint64 gas = m_db.addAccount(1, "Gaz");
    m_db.addAccount(1, "Eau");
    AccountListModel list;
    QCOMPARE(list.rebuild(query(), 1, gas), 2);
    QCOMPARE(list.rebuild(query(), 1, -1), 0);
    QCOMPARE(list.rebuild(query(), 1, 999), 0);
    QCOMPARE(list.rebuild(query(), 5, -1), -1);
    QCOMPARE(list.rowCount(), 0);
}

void TestAccountListModel::refreshKeepsTheEntryInItsPlace()
{
    m_db.addAccount(1, "Abricot");
    const qint64 water = m_db.addAccount(1, "Eau");
    m_db.addAccount(1, "Gaz");
    AccountListModel list;
    list.rebuild(query(), 1, -1);
    m_db.exec("UPDATE ACCOUNT SET Title='Zèbre', Count=15, Unit='m3' WHERE Id=?", {water});

    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    QCOMPARE(list.refresh(query(), water), 1);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(list.entry(1).Title, QString("Zèbre"));
    QCOMPARE(list.entry(1).InfoLine, QString("01/02/2008  - 15 m3"));
    QCOMPARE(Titles(list), QStringList({"Abricot", "Zèbre", "Gaz"}));
    QVERIFY(!query().isActive());

    // An account not in the list, or gone, changes nothing.
    QCOMPARE(list.refresh(query(), 999), -1);
    m_db.exec("DELETE FROM ACCOUNT WHERE Id=?", {water});
    QCOMPARE(list.refresh(query(), water), -1);
    QCOMPARE(Titles(list), QStringList({"Abricot", "Zèbre", "Gaz"}));

    // The next rebuild sorts again.
    m_db.exec("UPDATE ACCOUNT SET Title='Zoo' WHERE Title='Abricot'");
    list.rebuild(query(), 1, -1);
    QCOMPARE(Titles(list), QStringList({"Gaz", "Zoo"}));
}

QTEST_APPLESS_MAIN(TestAccountListModel)
#include "tst_AccountListModel.moc"
