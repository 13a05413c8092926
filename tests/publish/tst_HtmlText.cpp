// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/HtmlText.h"

#include <QTest>

using namespace tilvo;

class TestHtmlText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void escapesUserText_data();
    void escapesUserText();
    void pageLinesAreWindows1252WithCrLf();
};

void TestHtmlText::escapesUserText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::newRow("plain French") << QString("Relevé d'été") << QString("Relevé d&#39;été");
    QTest::newRow("markup") << QString("<b>Eau</b> & gaz")
                            << QString("&lt;b&gt;Eau&lt;/b&gt; &amp; gaz");
    QTest::newRow("closing table")
        << QString("</table></td>") << QString("&lt;/table&gt;&lt;/td&gt;");
    QTest::newRow("quotes") << QString("m\"3\"") << QString("m&quot;3&quot;");
    QTest::newRow("entity stays text") << QString("&nbsp;") << QString("&amp;nbsp;");
    QTest::newRow("line breaks") << QString("un\r\ndeux\rtrois\nquatre")
                                 << QString("un<br>deux<br>trois<br>quatre");
    QTest::newRow("control character") << QString("a\tb") << QString("a b");
    QTest::newRow("euro has a byte") << QString("12 €") << QString("12 €");
    QTest::newRow("emoji") << QString::fromUtf8("Bravo \xF0\x9F\x98\x80 !")
                           << QString("Bravo &#128512; !");
    QTest::newRow("outside the code page")
        << QString::fromUtf8("\xE2\x84\x96 \xCE\xA9") << QString("&#8470; &#937;");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QString("&#65533;");
}

void TestHtmlText::escapesUserText()
{
    QFETCH(QString, text);
    QFETCH(QString, html);
    QCOMPARE(HtmlText(text), html);
}

void TestHtmlText::pageLinesAreWindows1252WithCrLf()
{
    const QByteArray bytes = EncodeHtmlLines(
        {QString("<td>12 €</td>"), QString::fromUtf8("é \xF0\x9F\x98\x80"), QString()});
    QCOMPARE(bytes, QByteArray("<td>12 \x80</td>\r\n\xE9 &#128512;\r\n\r\n"));
    QVERIFY(!bytes.contains('?'));
}

QTEST_APPLESS_MAIN(TestHtmlText)
#include "tst_HtmlText.moc"
