// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "publish/PublishTestData.h"
#include "publish/ReportTemplate.h"

#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

class TestReportTemplate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsPageBandsAndObjects();
    void mistakesNameTheFileAndLine_data();
    void mistakesNameTheFileAndLine();
    void missingFileIsNamed();
    void shippedTemplatesRead_data();
    void shippedTemplatesRead();
};

void TestReportTemplate::readsPageBandsAndObjects()
{
    const ReportTemplate t = ParseReportTemplate(
        "# a comment\n"
        "report page=A4 orientation=landscape margins=10,20,30,40 font=\"Liberation Serif\" "
        "size=11\n"
        "\n"
        "band MasterData height=5.5 stretch stripe=#F4F4F4\n"
        "  text name=Memo1 x=1 y=2 w=30 h=4 size=8 bold italic align=right valign=top "
        "frame=lb fill=#E4E4E4 color=#0000FF wrap | [Quantity:#0.00] | kept\n"
        "  picture name=Img_Stat x=0 y=0 w=10 h=6 aspect=stretch\n"
        "band PageFooter height=8\n"
        "  line x=0 y=1 w=180 h=0 pen=0.4\n",
        "t.frf");
    QCOMPARE(t.orientation, QPageLayout::Landscape);
    QCOMPARE(t.paperSize(), QSizeF(297, 210));
    QCOMPARE(t.margins, QMarginsF(10, 20, 30, 40));
    QCOMPARE(t.contentWidth(), 257.0);
    QCOMPARE(t.bands.size(), size_t(2));
    const ReportBand* data = t.band(ReportBandKind::MasterData);
    QVERIFY(data && data->stretch && data->height == 5.5);
    QCOMPARE(data->stripe, QColor("#F4F4F4"));
    const ReportObject& memo = data->objects.at(0);
    QCOMPARE(memo.text, QString("[Quantity:#0.00] | kept"));
    QCOMPARE(memo.rect, QRectF(1, 2, 30, 4));
    QCOMPARE(memo.fontFamily, QString("Liberation Serif"));
    QCOMPARE(memo.fontSize, 8.0);
    QVERIFY(memo.bold && memo.italic && !memo.underline && memo.wrap);
    QCOMPARE(memo.alignment, Qt::AlignRight | Qt::AlignTop);
    QCOMPARE(memo.frame, QString("lb"));
    QCOMPARE(memo.line, 5);
    QVERIFY(!t.findObject("img_stat")->keepAspect);
    QCOMPARE(t.band(ReportBandKind::PageFooter)->objects.at(0).pen, 0.4);
    QVERIFY(!t.band(ReportBandKind::Summary));
    QVERIFY(!t.findObject("Img_Stat_Price"));
}

void TestReportTemplate::mistakesNameTheFileAndLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString at = "Le modèle de rapport \"m.frf\" est incorrect à la ligne %1 : %2";
    QTest::newRow("unknown keyword") << "\nlabel x=1" << at.arg(2).arg("mot-clé inconnu \"label\"");
    QTest::newRow("object outside a band")
        << "text x=1 | a" << at.arg(1).arg("objet hors d'une bande");
    QTest::newRow("unknown band") << "band Detail height=4"
                                  << at.arg(1).arg("bande inconnue \"detail\"");
    QTest::newRow("band twice") << "band Summary\nband Summary"
                                << at.arg(2).arg("bande Summary déjà définie");
    QTest::newRow("bad number") << "band Summary height=abc"
                                << at.arg(1).arg("valeur incorrecte pour height : \"abc\"");
    QTest::newRow("negative length")
        << "band Summary\ntext x=-3 | a" << at.arg(2).arg("valeur incorrecte pour x : \"-3\"");
    QTest::newRow("bad colour") << "band Summary\nrect fill=#12"
                                << at.arg(2).arg("couleur incorrecte : \"#12\"");
    QTest::newRow("unnamed picture")
        << "band Summary\npicture x=1" << at.arg(2).arg("une image doit avoir un nom (name=...)");
    QTest::newRow("same name twice") << "band Summary\ntext name=A | a\ntext name=a | b"
                                     << at.arg(3).arg("objet \"a\" déjà défini");
    QTest::newRow("unclosed quote")
        << "report font=\"Arial" << at.arg(1).arg("guillemet non fermé");
    QTest::newRow("margins eat the page")
        << "report margins=110" << at.arg(1).arg("les marges ne laissent pas de place");
    QTest::newRow("content on a line")
        << "band Summary\nline x=0 | a" << at.arg(2).arg("seul un texte a un contenu après \"|\"");
}

void TestReportTemplate::mistakesNameTheFileAndLine()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        ParseReportTemplate(text, "m.frf");
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.text(), message);
    }
}

void TestReportTemplate::missingFileIsNamed()
{
    try {
        LoadReportTemplate("/nowhere/list.frf");
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QString("Le modèle de rapport \"/nowhere/list.frf\" est introuvable."));
    }
}

void TestReportTemplate::shippedTemplatesRead_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("pictures");
    QTest::newRow("Stat") << QString("Stat") << QStringList{"Img_Stat"};
    QTest::newRow("lightlist") << QString("lightlist") << QStringList{};
    QTest::newRow("list") << QString("list") << QStringList{"Img_Stat_Quantity", "Img_Stat_Price"};
}

void TestReportTemplate::shippedTemplatesRead()
{
    QFETCH(QString, name);
    QFETCH(QStringList, pictures);
    const ReportTemplate t = LoadReportTemplate(ShippedReportsFolder() + name + ".frf");
    QCOMPARE(t.pageSize, QPageSize::A4);
    for (ReportBandKind kind :
         {ReportBandKind::PageHeader, ReportBandKind::ReportTitle, ReportBandKind::ColumnHeader,
          ReportBandKind::MasterData, ReportBandKind::Summary, ReportBandKind::PageFooter})
        QVERIFY2(t.band(kind), qPrintable(ReportBandName(kind)));
    for (const char* picture : {"Img_Stat", "Img_Stat_Quantity", "Img_Stat_Price"})
        QCOMPARE(t.findObject(picture) != nullptr, pictures.contains(picture));
    // Every object lies within the printable width.
    for (const ReportBand& band : t.bands) {
        for (const ReportObject& o : band.objects)
            QVERIFY2(o.rect.right() <= t.contentWidth() + 0.001 &&
                         o.rect.bottom() <= band.height + 0.001,
                     qPrintable(QString("line %1").arg(o.line)));
    }
}

QTEST_APPLESS_MAIN(TestReportTemplate)
#include "tst_ReportTemplate.moc"
