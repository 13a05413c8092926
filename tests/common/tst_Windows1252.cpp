// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Windows1252.h"

#include <QTest>

using namespace tilvo;

class TestWindows1252 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void knownCharacters_data();
    void knownCharacters();
    void everyByteRoundTrips();
    void unmappableBecomesQuestionMark();
    void decodeTextChoosesTheEncoding_data();
    void decodeTextChoosesTheEncoding();
};

void TestWindows1252::knownCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("euro") << QString::fromUtf8("12,500 €") << QByteArray("12,500 \x80");
    QTest::newRow("accents") << QString::fromUtf8("Février") << QByteArray("F\xe9vrier");
    QTest::newRow("oe and quotes")
        << QString::fromUtf8("œ‘’“”…") << QByteArray("\x9c\x91\x92\x93\x94\x85");
    QTest::newRow("latin-1 high half") << QString::fromUtf8("ÿ") << QByteArray("\xff");
}

void TestWindows1252::knownCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeWindows1252(text), bytes);
    QCOMPARE(DecodeWindows1252(bytes), text);
    QVERIFY(FitsWindows1252(text));
}

void TestWindows1252::everyByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    QCOMPARE(EncodeWindows1252(DecodeWindows1252(all)), all);
}

void TestWindows1252::unmappableBecomesQuestionMark()
{
    const QString text = QString::fromUtf8("日本 ok");
    QVERIFY(!FitsWindows1252(text));
    QCOMPARE(EncodeWindows1252(text), QByteArray("?? ok"));
    // U+0080 is not the euro sign's byte: it has none.
    QCOMPARE(EncodeWindows1252(QString(QChar(0x80))), QByteArray("?"));
}

void TestWindows1252::decodeTextChoosesTheEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("plain") << "plain";
    QTest::newRow("windows-1252") << QByteArray("caf\xe9") << QString::fromUtf8("café");
    QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9") << QString::fromUtf8("café");
    QTest::newRow("utf-8 with bom") << QByteArray("\xef\xbb\xbf"
                                                  "abc")
                                    << "abc";
    QTest::newRow("broken utf-8 reads as 1252")
        << QByteArray("\xc3\x28") << QString::fromUtf8("Ã(");
}

void TestWindows1252::decodeTextChoosesTheEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DecodeText(bytes), text);
}

QTEST_APPLESS_MAIN(TestWindows1252)
#include "tst_Windows1252.moc"
