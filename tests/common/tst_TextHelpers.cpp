// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextHelpers.h"

#include <QTest>

using namespace tilvo;

class TestTextHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void foldAccents_data();
    void foldAccents();
    void fileNameSafe_data();
    void fileNameSafe();
    void trimBlanks_data();
    void trimBlanks();
    void isNumberText_data();
    void isNumberText();
    void toLocaleDecimal_data();
    void toLocaleDecimal();
};

void TestTextHelpers::foldAccents_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("lower case word") << "électricité"
                                     << "electricite";
    QTest::newRow("capital stays") << "Électricité"
                                   << "Électricite";
    QTest::newRow("every folded letter") << "éèêëàâäùûüôöîïç"
                                         << "eeeeaaauuuooiic";
    QTest::newRow("others stay") << "ÿñœ€Ç"
                                 << "ÿñœ€Ç";
    QTest::newRow("plain") << "Tilvo"
                           << "Tilvo";
}

void TestTextHelpers::foldAccents()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(FoldAccents(text), expected);
}

void TestTextHelpers::fileNameSafe_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("slash colon question") << "Eau/froide: combien?"
                                          << "Eau_froide_ combien_";
    QTest::newRow("all nine") << "a/b\\c:d*e?f\"g<h>i|j"
                              << "a_b_c_d_e_f_g_h_i_j";
    QTest::newRow("untouched") << "Gaz (cuisine).jpg"
                               << "Gaz (cuisine).jpg";
}

void TestTextHelpers::fileNameSafe()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(FileNameSafe(text), expected);
}

void TestTextHelpers::trimBlanks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("both sides") << "  eau froide  "
                                << "eau froide";
    QTest::newRow("leading tab stays") << "\teau "
                                       << "\teau";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("only spaces keep one") << "    "
                                          << " ";
    QTest::newRow("one space") << " "
                               << " ";
    QTest::newRow("nothing to trim") << "a b"
                                     << "a b";
}

void TestTextHelpers::trimBlanks()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TrimBlanks(text), expected);
}

void TestTextHelpers::isNumberText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::newRow("comma decimal") << "12,5" << true;
    QTest::newRow("point decimal") << "12.5" << true;
    QTest::newRow("negative integer") << "-42" << true;
    QTest::newRow("exponent") << "1.5E3" << true;
    QTest::newRow("negative exponent") << "2e-7" << true;
    QTest::newRow("plus sign") << "+3" << true;
    QTest::newRow("leading point") << ".5" << true;
    QTest::newRow("trailing point") << "5." << true;
    QTest::newRow("two commas") << "1,2,3" << false;
    QTest::newRow("comma and point") << "1,2.3" << false;
    QTest::newRow("letters") << "abc" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("sign alone") << "-" << false;
    QTest::newRow("point alone") << "." << false;
    QTest::newRow("blank around") << " 12" << false;
    QTest::newRow("exponent alone") << "e5" << false;
    QTest::newRow("hex") << "0x1F" << false;
    QTest::newRow("nan word") << "nan" << false;
    QTest::newRow("arabic digits") << QString::fromUtf8("١٢") << false;
    QTest::newRow("very long") << QString(100000, u'9') << true;
}

void TestTextHelpers::isNumberText()
{
    QFETCH(QString, text);
    QFETCH(bool, number);
    QCOMPARE(IsNumberText(text), number);
}

void TestTextHelpers::toLocaleDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("point to comma") << "12.50"
                                    << "12,50";
    QTest::newRow("comma kept as separator") << "12,50"
                                             << "12,50";
    QTest::newRow("only the first comma") << "1,2,3"
                                          << "1,2,3";
    QTest::newRow("comma first, point stays") << "1.2,3"
                                              << "1.2,3";
    QTest::newRow("nothing to change") << "125"
                                       << "125";
}

void TestTextHelpers::toLocaleDecimal()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(ToLocaleDecimal(text, u','), expected);
    QCOMPARE(ToLocaleDecimal("2,5", u'.'), QString("2.5"));
    QCOMPARE(ToLocaleDecimal("2.5", u'.'), QString("2.5"));
}

QTEST_APPLESS_MAIN(TestTextHelpers)
#include "tst_TextHelpers.moc"
