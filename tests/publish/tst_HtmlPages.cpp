// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Windows1252.h"
#include "images/JpegFile.h"
#include "publish/HtmlFolders.h"
#include "publish/HtmlPages.h"
#include "publish/MakeHtmlPages.h"
#include "publish/PublishTestData.h"
#include "support/RecordingWaitDisplay.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <memory>

using namespace tilvo;
using namespace tilvo::test;

namespace {

QStringList PageLines(const QByteArray& bytes)
{
    QStringList lines = DecodeWindows1252(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Compares a written page with its golden file line by line; a copy of the page is left in the
// working folder when they differ, for a person to look at.
void CompareWithGolden(const QString& page, const QString& golden)
{
    const QByteArray actual = ReadFile(page);
    const QByteArray expected = ReadFile(golden);
    if (actual != expected)
        WriteFile(QStringLiteral("actual-") + QFileInfo(golden).dir().dirName() +
                      QStringLiteral(".htm"),
                  actual);
    QVERIFY2(!expected.isEmpty(), qPrintable("no golden file " + golden));
    QVERIFY2(actual.endsWith("\r\n"), "every line ends with CR LF");
    QVERIFY2(!actual.contains("\r\r") && actual.count('\n') == actual.count("\r\n"),
             "lines end with CR LF only");
    const QStringList a = PageLines(actual);
    const QStringList e = PageLines(expected);
    for (int i = 0; i < qMin(a.size(), e.size()); ++i)
        QVERIFY2(a.at(i) == e.at(i),
                 qPrintable(QStringLiteral("line %1:\n  got      %2\n  expected %3")
                                .arg(i + 1)
                                .arg(a.at(i), e.at(i))));
    QCOMPARE(a.size(), e.size());
}

QSize JpegSize(const QString& path)
{
    Picture picture;
    if (!ReadJpegFile(picture, path))
        return QSize();
    return QSize(picture.width(), picture.height());
}

} // namespace

class TestHtmlPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void statisticPageMatchesGolden_data();
    void statisticPageMatchesGolden();
    void historyPageMatchesGolden_data();
    void historyPageMatchesGolden();
    void emptyRangeWritesNoPage();
    void oneEntryRangeTotalsThatEntry();
    void userTextsCannotBreakThePage();
    void accountPictureIsTheThumbnailOrTheSilhouette();
    void progressFollowsTheRows();
    void foldersAreMadeAndEmptied();

private:
    Connection& c() { return m_db.connection(); }
    QString dataFolder() const { return m_db.folder(); }
    QString temp() const { return HtmlTempFolder(dataFolder()); }
    HtmlPageSources sources() { return {*m_query, m_state, m_dataFolder, m_silhouette}; }

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_query;
    BucketTable m_buckets;
    StatisticState m_state;
    qint64 m_account = -1;
    QString m_dataFolder;
    QImage m_silhouette = TestSilhouette();
};

void TestHtmlPages::initTestCase_data()
{
    AddProviderRows();
}

void TestHtmlPages::initTestCase()
{
    m_db.prepare();
}

void TestHtmlPages::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("Data/Access/TILVO.MDB")));
    m_db.open(odbc);
    m_account = AddSmallAccount(c());
    m_query = std::make_unique<DataSet>(c(), QStringLiteral("Query"));
    m_state = SmallAccountState(*m_query, m_buckets, m_account);
    m_dataFolder = dataFolder();
}

void TestHtmlPages::cleanup()
{
    QLocale::setDefault(QLocale::c());
    m_query.reset();
    m_db.release();
}

void TestHtmlPages::statisticPageMatchesGolden_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("C") << QString("C");
    QTest::newRow("French") << QString("fr_FR");
}

void TestHtmlPages::statisticPageMatchesGolden()
{
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    const QString page =
        MakeStatisticPage(sources(), m_buckets, m_account, PeriodLabelText(m_state));
    QCOMPARE(page, temp() + "index.htm");
    CompareWithGolden(page, TestDataFolder() + "statistic-page/expected-index.htm");
    QCOMPARE(JpegSize(temp() + "icone.jpg"), QSize(50, 50));
    QCOMPARE(JpegSize(temp() + "graph.jpg"), QSize(670, 402));
    QCOMPARE(QDir(temp()).entryList(QDir::Files),
             (QStringList{"graph.jpg", "icone.jpg", "index.htm"}));
    QVERIFY(!m_query->isActive());
}

void TestHtmlPages::historyPageMatchesGolden_data()
{
    QTest::addColumn<bool>("graphs");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("golden");
    QTest::addColumn<QStringList>("files");
    const QStringList plain{"icone.jpg", "index.htm"};
    const QStringList graphs{"graph1.jpg", "graph2.jpg", "icone.jpg", "index.htm"};
    QTest::newRow("plain") << false << QString("C") << QString("history-page") << plain;
    QTest::newRow("plain, French") << false << QString("fr_FR") << QString("history-page") << plain;
    QTest::newRow("graphs") << true << QString("C") << QString("history-page-graphs") << graphs;
    QTest::newRow("graphs, French")
        << true << QString("fr_FR") << QString("history-page-graphs") << graphs;
}

void TestHtmlPages::historyPageMatchesGolden()
{
    QFETCH(bool, graphs);
    QFETCH(QString, locale);
    QFETCH(QString, golden);
    QFETCH(QStringList, files);
    QLocale::setDefault(QLocale(locale));
    RecordingWaitDisplay progress;
    const std::optional<QString> page = MakeHistoryPageFiles(
        sources(), m_account, QDate(2008, 1, 1), QDate(2008, 12, 31), graphs, progress);
    QVERIFY(page);
    CompareWithGolden(*page, TestDataFolder() + golden + "/expected-index.htm");
    QCOMPARE(QDir(temp()).entryList(QDir::Files), files);
    if (graphs) {
        QCOMPARE(JpegSize(temp() + "graph1.jpg"), QSize(330, 198));
        QCOMPARE(JpegSize(temp() + "graph2.jpg"), QSize(330, 198));
    }
    QVERIFY(!m_query->isActive());
}

void TestHtmlPages::emptyRangeWritesNoPage()
{
    EnsureHtmlFolders(dataFolder());
    for (const char* name : {"index.htm", "graph1.jpg", "graph.bmp", "notes.txt"})
        WriteFile(temp() + name, "old");
    RecordingWaitDisplay progress;
    const std::optional<QString> page = MakeHistoryPageFiles(
        sources(), m_account, QDate(2009, 1, 1), QDate(2009, 12, 31), true, progress);
    QVERIFY(!page);
    QCOMPARE(QDir(temp()).entryList(QDir::Files), QStringList{"notes.txt"});
    QVERIFY(!progress.opened);
}

void TestHtmlPages::oneEntryRangeTotalsThatEntry()
{
    RecordingWaitDisplay progress;
    const std::optional<QString> page = MakeHistoryPageFiles(
        sources(), m_account, QDate(2008, 3, 1), QDate(2008, 3, 2), false, progress);
    QVERIFY(page);
    const QStringList lines = PageLines(ReadFile(*page));
    QCOMPARE(lines.count("<tr>"), 2); // one entry and the totals
    const QString number = "<font face=\"Arial\" size=\"2\">%1&nbsp;</font></td>";
    QVERIFY(lines.contains("<td bgcolor=\"#F4F4F4\" align=\"right\">" + number.arg("3.46 m3")));
    QVERIFY(lines.contains("<td bgcolor=\"#E4E4E4\" align=\"right\">" + number.arg("<b>3.46 m3")));
    QVERIFY(lines.contains("<td bgcolor=\"#F4F4F4\" align=\"right\">" + number.arg("9.000 €")));
    QVERIFY(lines.contains("<td bgcolor=\"#E4E4E4\" align=\"right\">" + number.arg("<b>9.000 €")));
}

void TestHtmlPages::userTextsCannotBreakThePage()
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x92\xA7"); // a droplet
    const qint64 id = AddAccount(c(), {"<script>alert(\"x\")</script>",
                                       "</table></td></tr></table><b>",
                                       "m\"3\" & <l>",
                                       1,
                                       2,
                                       QDate(2008, 1, 1),
                                       {}});
    AddEntry(c(), id, {QDate(2008, 5, 1), 1, 1, "Fuite " + emoji + " </table> & 'cave'"});
    AddEntry(c(), id, {QDate(2008, 5, 2), 2, 2, "ligne 1\r\nligne 2"});
    RecordingWaitDisplay progress;
    const std::optional<QString> page = MakeHistoryPageFiles(sources(), id, QDate(2008, 1, 1),
                                                             QDate(2008, 12, 31), false, progress);
    QVERIFY(page);
    const QByteArray bytes = ReadFile(*page);
    const QString text = DecodeWindows1252(bytes);
    // The page keeps the structure of a normal page: only its own tables open and close.
    QCOMPARE(text.count("</table>"), 5);
    QCOMPARE(text.count("<table"), 5);
    QVERIFY(!text.contains("<script>alert"));
    QVERIFY(text.contains("<title>HISTORIQUE DES CONSOMMATIONS (du 01/01/2008 au 31/12/2008)"));
    QVERIFY(text.contains("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"));
    QVERIFY(text.contains("<i>&lt;/table&gt;&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;b&gt;</i>"));
    QVERIFY(text.contains("1.0 m&quot;3&quot; &amp; &lt;l&gt;&nbsp;"));
    QVERIFY(text.contains("&nbsp;Fuite &#128167; &lt;/table&gt; &amp; &#39;cave&#39;</font>"));
    QVERIFY(text.contains("&nbsp;ligne 1<br>ligne 2</font>"));
    QVERIFY(!bytes.contains('?'));
}

void TestHtmlPages::accountPictureIsTheThumbnailOrTheSilhouette()
{
    const qint64 pictured = AddAccount(c(), {"Photo", {}, {}, 0, 0, {}, TestThumbnail()});
    AddEntry(c(), pictured, {QDate(2008, 1, 1), 1, 1, {}});
    RecordingWaitDisplay progress;
    QVERIFY(MakeHistoryPageFiles(sources(), pictured, QDate(2008, 1, 1), QDate(2008, 2, 1), false,
                                 progress));
    QImage icon(temp() + "icone.jpg");
    QCOMPARE(icon.size(), QSize(50, 50));
    QVERIFY(qRed(icon.pixel(25, 25)) > 200 && qBlue(icon.pixel(25, 25)) < 60);

    QVERIFY(MakeHistoryPageFiles(sources(), m_account, QDate(2008, 1, 1), QDate(2008, 2, 1), false,
                                 progress));
    icon = QImage(temp() + "icone.jpg");
    QCOMPARE(icon.size(), QSize(50, 50));
    const QRgb head = icon.pixel(25, 15);
    QVERIFY(qGray(head) > 120 && qGray(head) < 200 && qAbs(qRed(head) - qBlue(head)) < 20); // grey
    QVERIFY(qGray(icon.pixel(2, 2)) > 230); // white around it
}

void TestHtmlPages::progressFollowsTheRows()
{
    RecordingWaitDisplay progress;
    QVERIFY(MakeHistoryPageFiles(sources(), m_account, QDate(2008, 1, 1), QDate(2008, 12, 31),
                                 false, progress));
    QCOMPARE(progress.tasks, QStringList{"Historique des consommations"});
    QVERIFY(progress.visible);
    QCOMPARE(progress.maximum, 5);
    QCOMPARE(progress.position(), 5);
    QVERIFY(progress.closed);
}

void TestHtmlPages::foldersAreMadeAndEmptied()
{
    QVERIFY(!QFileInfo::exists(dataFolder() + "Html"));
    EnsureHtmlFolders(dataFolder());
    QVERIFY(QFileInfo(temp()).isDir());
    for (const char* name : {"a.jpg", "B.JPG", "c.bmp", "index.htm", "page.html", "d.txt"})
        WriteFile(temp() + name, "x");
    QVERIFY(QDir().mkpath(temp() + "sub.jpg"));
    EnsureHtmlFolders(dataFolder()); // already there: nothing changes
    ClearHtmlFolder(temp());
    QCOMPARE(QDir(temp()).entryList(QDir::Files), (QStringList{"d.txt", "page.html"}));
    QVERIFY(QFileInfo(temp() + "sub.jpg").isDir());
}

QTEST_MAIN(TestHtmlPages)
#include "tst_HtmlPages.moc"
