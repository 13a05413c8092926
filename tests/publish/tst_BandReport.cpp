// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "publish/BandReport.h"
#include "publish/PublishTestData.h"
#include "publish/ReportData.h"

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

using namespace tilvo;

namespace {

using test::Rows;

Rows ManyRows(int count)
{
    Rows rows;
    for (int i = 0; i < count; ++i)
        rows.rows.append({QString("%1/01/2008").arg(i % 28 + 1, 2, 10, QChar('0')), 1.25, 2.5,
                          QString("entrée %1").arg(i + 1), 2});
    return rows;
}

const char* const kListTemplate =
    "report page=A4 margins=15,12,15,12\n"
    "band PageHeader height=8\n"
    "text x=0 y=0 w=180 h=5 | Tilvo - [TITLE]\n"
    "band ReportTitle height=20\n"
    "text x=0 y=0 w=180 h=8 | Titre du rapport\n"
    "band ColumnHeader height=6\n"
    "text x=0 y=0 w=40 h=6 | Date\n"
    "band MasterData height=5 stripe=#F4F4F4\n"
    "text x=0 y=0 w=20 h=5 | #[LINE#]\n"
    "text x=20 y=0 w=40 h=5 | [Day]\n"
    "text x=60 y=0 w=40 h=5 | [Quantity:dec(Decimals)]\n"
    "band Summary height=10\n"
    "text x=0 y=0 w=180 h=5 | TOTAUX [COUNT] : [SUM(Quantity):dec(Decimals)] ; "
    "[SUM(Price):#######0.000] [CURRENCYSYMBOL]\n"
    "band PageFooter height=8\n"
    "text x=0 y=1 w=180 h=5 align=right | Page [PAGE#] / [TOTALPAGES]\n";

std::optional<QString> Variables(const QString& name)
{
    if (name == "TITLE")
        return QString("HISTORIQUE");
    if (name == "CURRENCYSYMBOL")
        return QString("€");
    return std::nullopt;
}

BandReport ReportOf(const QString& text)
{
    BandReport report;
    report.setTemplate(ParseReportTemplate(text, "essai.frf"));
    report.setValueCallback(Variables);
    report.setRunDate(QDate(2024, 3, 9));
    report.setTitle("Historique");
    return report;
}

// The texts of every page that start with the prefix.
QStringList TextsStarting(const PreparedReport& report, int page, const QString& prefix)
{
    QStringList found;
    for (const QString& t : report.pageTexts(page)) {
        if (t.startsWith(prefix))
            found.append(t);
    }
    return found;
}

} // namespace

class TestBandReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void bandsTakeTheirPlaces();
    void manyRowsPaginate_data();
    void manyRowsPaginate();
    void noRowsStillGivesOnePage();
    void expressions_data();
    void expressions();
    void unknownNamesAreRefused_data();
    void unknownNamesAreRefused();
    void wrappedTextsGrowTheirRow();
    void picturesAreDrawnWhereNamed();
    void printsAPageRangeAndCopies();
};

void TestBandReport::bandsTakeTheirPlaces()
{
    Rows rows = ManyRows(3);
    const PreparedReport report = ReportOf(kListTemplate).prepare(&rows);
    QVERIFY(rows.opened);
    QCOMPARE(report.pageCount(), 1);
    QCOMPARE(report.pageTexts(0),
             (QStringList{"Tilvo - HISTORIQUE", "Titre du rapport", "Date", "#1", "01/01/2008",
                          "1,25", "#2", "02/01/2008", "1,25", "#3", "03/01/2008", "1,25",
                          "TOTAUX 3 : 3,75 ; 7,500 €", "Page 1 / 1"})
                 .replaceInStrings(",", QString(QLocale().decimalPoint())));
    // Header at the top margin, title under it, rows one under the other, footer at the bottom.
    const std::vector<ReportItem>& items = report.items(0);
    QCOMPARE(items.front().rect, QRectF(15, 12, 180, 5));
    QCOMPARE(items.at(1).rect.top(), 20.0);
    QCOMPARE(items.at(2).rect.top(), 40.0);
    QCOMPARE(items.at(3).rect.top(), 46.0); // row 1
    QVERIFY(!items.at(6).object);           // row 2 has the stripe
    QCOMPARE(items.at(6).rect, QRectF(15, 51, 180, 5));
    QCOMPARE(items.back().rect.top(), 297.0 - 12 - 8 + 1);
}

void TestBandReport::manyRowsPaginate_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("summaryAlone");
    QTest::newRow("summary after the last rows") << 12340 << false;
    QTest::newRow("summary on a page of its own") << 12345 << true;
}

void TestBandReport::manyRowsPaginate()
{
    QFETCH(int, count);
    QFETCH(bool, summaryAlone);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    Rows rows = ManyRows(count);
    const PreparedReport report = ReportOf(kListTemplate).prepare(&rows);
    // 273 mm between the margins, less the page header and footer (8 each) and the column
    // header (6): 50 rows of 5 mm a page, 46 on the first, which also holds the title (20).
    const int pages = 1 + (count - 46 + 49) / 50 + (summaryAlone ? 1 : 0);
    QCOMPARE(report.pageCount(), pages);
    int seen = 0;
    for (int page = 0; page < report.pageCount(); ++page) {
        const QStringList lines = TextsStarting(report, page, "#");
        const bool last = page == pages - 1;
        QCOMPARE(TextsStarting(report, page, "Page "),
                 QStringList{QString("Page %1 / %2").arg(page + 1).arg(pages)});
        QCOMPARE(TextsStarting(report, page, "Tilvo - HISTORIQUE").size(), 1);
        QCOMPARE(TextsStarting(report, page, "TOTAUX").size(), last ? 1 : 0);
        for (const ReportItem& item : report.items(page))
            QVERIFY(item.rect.bottom() <= 297.0 - 12 + 0.001);
        if (last && summaryAlone) {
            QVERIFY(lines.isEmpty());
            QVERIFY(TextsStarting(report, page, "Date").isEmpty());
            continue;
        }
        // Each page holds consecutive rows under the column header, none lost or repeated.
        QCOMPARE(lines.size(), page == 0 ? 46 : qMin(50, count - seen));
        QCOMPARE(lines.first(), QString("#%1").arg(seen + 1));
        seen += int(lines.size());
        QCOMPARE(lines.last(), QString("#%1").arg(seen));
        QCOMPARE(TextsStarting(report, page, "Date").size(), 1);
    }
    QCOMPARE(seen, count);
    QCOMPARE(TextsStarting(report, pages - 1, "TOTAUX"),
             QStringList{QString("TOTAUX %1 : %2 ; %3 €")
                             .arg(count)
                             .arg(QString::number(count * 1.25, 'f', 2).replace('.', ','))
                             .arg(QString::number(count * 2.5, 'f', 3).replace('.', ','))});
}

void TestBandReport::noRowsStillGivesOnePage()
{
    Rows rows;
    const PreparedReport report = ReportOf(kListTemplate).prepare(&rows);
    QCOMPARE(report.pageCount(), 1);
    QCOMPARE(report.pageTexts(0), (QStringList{"Tilvo - HISTORIQUE", "Titre du rapport", "Date",
                                               "TOTAUX 0 : 0 ; 0.000 €", "Page 1 / 1"}));
}

void TestBandReport::expressions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("literal") << "Quantité"
                             << "Quantité";
    QTest::newRow("column as text") << "[Comment]"
                                    << "entrée 1";
    QTest::newRow("case-insensitive column") << "[quantity]"
                                             << "1.25";
    QTest::newRow("number picture") << "[Price:#######0.000] €"
                                    << "2.500 €";
    QTest::newRow("decimals from a column") << "[Quantity:dec(Decimals)]"
                                            << "1.25";
    QTest::newRow("variable") << "[title] ([CurrencySymbol])"
                              << "HISTORIQUE (€)";
    QTest::newRow("run date") << "le [DATE]"
                              << "le 09/03/2024";
    QTest::newRow("bracket") << "[[x] [Comment]"
                             << "[x] entrée 1";
    QTest::newRow("closing bracket alone") << "a]b"
                                           << "a]b";
}

void TestBandReport::expressions()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    Rows rows = ManyRows(1);
    const PreparedReport report =
        ReportOf("band MasterData height=5\ntext x=0 y=0 w=100 h=5 | " + text).prepare(&rows);
    QCOMPARE(report.pageTexts(0), QStringList{shown});
}

void TestBandReport::unknownNamesAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString at = "Le modèle de rapport \"essai.frf\" est incorrect à la ligne 2 : %1";
    QTest::newRow("column") << "[Comentaire]" << at.arg("la valeur [Comentaire] n'existe pas");
    QTest::newRow("sum") << "[SUM(Prix)]" << at.arg("la valeur [Prix] n'existe pas");
    QTest::newRow("decimals column")
        << "[Quantity:dec(Decimal)]" << at.arg("la valeur [Decimal] n'existe pas");
    QTest::newRow("unclosed") << "[Comment" << at.arg("\"[\" sans \"]\"");
}

void TestBandReport::unknownNamesAreRefused()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    Rows rows = ManyRows(1);
    try {
        ReportOf("band MasterData height=5\ntext x=0 y=0 w=100 h=5 | " + text).prepare(&rows);
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.text(), message);
    }
}

void TestBandReport::wrappedTextsGrowTheirRow()
{
    Rows rows = ManyRows(2);
    rows.rows[0][3] = QString("un commentaire assez long pour tenir sur plusieurs lignes de cette "
                              "colonne étroite, bien plus que la hauteur de la bande");
    const PreparedReport report = ReportOf("band MasterData height=5 stretch\n"
                                           "text x=0 y=0 w=20 h=5 frame=b | [Day]\n"
                                           "text x=20 y=0 w=30 h=5 wrap | [Comment]\n"
                                           "text x=50 y=0 w=20 h=3 | fixe\n")
                                      .prepare(&rows);
    const std::vector<ReportItem>& items = report.items(0);
    const double grown = items.at(1).rect.height();
    QVERIFY2(grown > 15, qPrintable(QString::number(grown)));
    QCOMPARE(items.at(0).rect.height(), grown);     // reaches the bottom: grows too
    QCOMPARE(items.at(2).rect.height(), 3.0);       // does not reach it: stays
    QCOMPARE(items.at(3).rect.top(), 12.0 + grown); // the next row starts below
    QCOMPARE(items.at(4).rect.height(), 5.0);       // a short text keeps the band's height
}

void TestBandReport::picturesAreDrawnWhereNamed()
{
    BandReport report = ReportOf("band ReportTitle height=60\n"
                                 "picture name=Img_Stat x=0 y=0 w=100 h=60\n");
    QVERIFY(report.hasObject("IMG_STAT"));
    QVERIFY(!report.hasObject("Img_Stat_Price"));
    QImage red(100, 60, QImage::Format_RGB32);
    red.fill(Qt::red);
    report.setPicture("Img_Stat", red);
    const PreparedReport prepared = report.prepare(nullptr);
    QImage page(210, 297, QImage::Format_RGB32);
    page.setDotsPerMeterX(1000); // one pixel per millimetre
    page.setDotsPerMeterY(1000);
    page.fill(Qt::white);
    QPainter painter(&page);
    prepared.paintPage(painter, 0);
    painter.end();
    QCOMPARE(page.pixel(65, 42), qRgb(255, 0, 0));
    QCOMPARE(page.pixel(120, 42), qRgb(255, 255, 255));
    try {
        report.loadPicture("Img_Stat", "/nowhere/temp1.bmp");
        QFAIL("no error");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains("/nowhere/temp1.bmp"), qPrintable(e.text()));
    }
}

void TestBandReport::printsAPageRangeAndCopies()
{
    Rows rows = ManyRows(200);
    const PreparedReport report = ReportOf(kListTemplate).prepare(&rows);
    QCOMPARE(report.pageCount(), 5);
    QTemporaryDir folder;
    const QString file = folder.filePath("range.pdf");
    {
        QPdfWriter writer(file);
        report.print(writer, 2, 3, 2);
    }
    QCOMPARE(test::PdfPageCount(file), 4);
    const QString text = test::PdfText(file);
    QCOMPARE(text.count("Page 2 / 5"), 2);
    QCOMPARE(text.count("Page 3 / 5"), 2);
    QVERIFY(!text.contains("Page 1 / 5") && !text.contains("Page 4 / 5"));
}

QTEST_MAIN(TestBandReport)
#include "tst_BandReport.moc"
