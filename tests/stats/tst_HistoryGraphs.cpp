// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/DateHelpers.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "images/BmpFile.h"
#include "stats/HistoryGraphOptions.h"
#include "stats/StatisticFormats.h"
#include "stats/StatisticState.h"
#include "stats/TDrawStat.h"

#include <QDir>
#include <QTest>
#include <memory>

using namespace tilvo;
using namespace tilvo::test;

namespace {

int CountRgb(const QImage& image, QRgb rgb)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == rgb;
    }
    return n;
}

const QString kHistoryPageQuery =
    QStringLiteral("SELECT * FROM CONSUMPTION LEFT JOIN ACCOUNT ON CONSUMPTION.Id_Account = "
                   "ACCOUNT.Id WHERE Id_Account=%1 ORDER BY DateAction");

// The history reports name their columns after their dataset.
const QString kReportQuery = QStringLiteral(
    "SELECT CONSUMPTION.DateAction AS [ConsumptionDate], CONSUMPTION.Quantity AS "
    "[ConsumptionQuantity], CONSUMPTION.Price AS [ConsumptionPrice], ACCOUNT.Unit FROM "
    "CONSUMPTION LEFT JOIN ACCOUNT ON CONSUMPTION.Id_Account = ACCOUNT.Id WHERE Id_Account=%1 "
    "ORDER BY DateAction");

} // namespace

class TestHistoryGraphs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void htmlPageGraphs();
    void reportGraphs();
    void noEntryStillSavesBothPictures();

private:
    Connection& c() { return m_db.connection(); }
    QString dataFolder() const { return m_db.folder(); }

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_query;
    StatisticState m_state;
};

void TestHistoryGraphs::initTestCase_data()
{
    AddProviderRows();
}

void TestHistoryGraphs::initTestCase()
{
    m_db.prepare();
    m_state.QuantityFormat = QuantityFormatFor(2, QStringLiteral("kWh"));
    m_state.MoneyFormat = MoneyFormatFor(QStringLiteral("F"));
}

void TestHistoryGraphs::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("Access/TILVO.MDB")));
    m_db.open(odbc);
    c().exec(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title, Unit) VALUES (1, 'Eau', 'kWh')"));
    c().exec(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title, Unit) VALUES (1, 'Gaz', 'm3')"));
    const char* entries[] = {"#2/10/2008#, 2, NULL", "#2/1/2008#, 1.5, 2", "#2/5/2008#, 4, 3.25",
                             "#3/1/2008#, 9, 9"};
    int account = 1;
    for (const char* e : entries) {
        c().exec(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                                "Quantity, Price) VALUES (1, %1, %2)")
                     .arg(account)
                     .arg(QLatin1String(e)));
        if (QByteArray(e).startsWith("#2/5"))
            account = 2;
    }
    QVERIFY(QDir().mkpath(dataFolder() + QStringLiteral("Html/Temp")));
    m_query = std::make_unique<DataSet>(c(), QStringLiteral("Query"));
}

void TestHistoryGraphs::cleanup()
{
    m_query.reset();
    m_db.release();
}

void TestHistoryGraphs::htmlPageGraphs()
{
    m_query->setSqlText(kHistoryPageQuery.arg(1));
    m_query->open();
    m_query->last();
    TDrawStat draw;
    const HistoryGraphOptions options = HistoryGraphOptions::ForHtmlPage(dataFolder());
    draw.DrawHistoryGraphs(*m_query, options, m_state);

    // The amounts are what the chart holds last; a missing amount counts 0.
    ChartSeries& quantities = *draw.Chart2().findSeries(QStringLiteral("Series10"));
    ChartSeries& amounts = *draw.Chart2().findSeries(QStringLiteral("Series11"));
    QVERIFY(!quantities.isActive());
    QVERIFY(amounts.isActive());
    QCOMPARE(quantities.count(), 0);
    QCOMPARE(amounts.count(), 3);
    QCOMPARE(amounts.value(0), 2.0);
    QCOMPARE(amounts.value(1), 3.25);
    QCOMPARE(amounts.value(2), 0.0);
    QCOMPARE(amounts.label(0), QStringLiteral("01/02/2008"));
    QCOMPARE(amounts.label(2), QStringLiteral("10/02/2008"));
    QCOMPARE(amounts.valueFormat(), m_state.MoneyFormat);
    QCOMPARE(quantities.valueFormat(), m_state.QuantityFormat);
    QCOMPARE(draw.Chart2().axis(ChartModel::LeftAxis).valueFormat, m_state.MoneyFormat);
    QCOMPARE(draw.Chart2().title().lines,
             QStringList{QStringLiteral("   Evolution des montants (€)")});
    QVERIFY(draw.Chart2().gradientVisible());
    QCOMPARE(m_query->recNo(), 0);

    for (const QString& file : {options.firstFile, options.secondFile}) {
        const Picture picture = ReadBmpFile(file);
        QCOMPARE(picture.width(), 330);
        QCOMPARE(picture.height(), 198);
        const QImage image = picture.toQImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(CountRgb(image, qRgb(255, 0, 0)) > 20); // the red line
        QVERIFY(CountRgb(image, qRgb(0, 0, 255)) > 20); // the blue markers and title
        QDir().mkpath(QStringLiteral("screenshots"));
        image.save(QStringLiteral("screenshots/stats_history_") +
                   QFileInfo(file).completeBaseName() + QStringLiteral(".png"));
    }
}

void TestHistoryGraphs::reportGraphs()
{
    m_query->setSqlText(kReportQuery.arg(2));
    m_query->open();
    TDrawStat draw;
    HistoryGraphOptions options = HistoryGraphOptions::ForReports(dataFolder());
    draw.DrawHistoryGraphs(*m_query, options, m_state);
    QCOMPARE(draw.Chart2().width(), 1000);
    QCOMPARE(draw.Chart2().height(), 600);
    QVERIFY(!draw.Chart2().gradientVisible());
    QCOMPARE(draw.Chart2().axis(ChartModel::LeftAxis).valueFormat, QStringLiteral("###0"));
    const ChartSeries& amounts = *draw.Chart2().findSeries(QStringLiteral("Series11"));
    QCOMPARE(amounts.count(), 1);
    QCOMPARE(amounts.value(0), 9.0);
    QCOMPARE(amounts.label(0), QStringLiteral("01/03/2008"));
    QVERIFY(m_query->eof());
    QCOMPARE(ReadBmpFile(options.firstFile).width(), 1000);
    QCOMPARE(ReadBmpFile(options.secondFile).height(), 600);
}

void TestHistoryGraphs::noEntryStillSavesBothPictures()
{
    m_query->setSqlText(kHistoryPageQuery.arg(7));
    m_query->open();
    TDrawStat draw;
    const HistoryGraphOptions options = HistoryGraphOptions::ForHtmlPage(dataFolder());
    draw.DrawHistoryGraphs(*m_query, options, m_state);
    QCOMPARE(draw.Chart2().findSeries(QStringLiteral("Series11"))->count(), 0);
    QCOMPARE(draw.Chart2().title().lines,
             QStringList{QStringLiteral("   Evolution des montants (€)")});
    QCOMPARE(ReadBmpFile(options.firstFile).width(), 330);
    QCOMPARE(ReadBmpFile(options.secondFile).width(), 330);
}

QTEST_MAIN(TestHistoryGraphs)
#include "tst_HistoryGraphs.moc"
