// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/NumberPicture.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>

using namespace tilvo;

class TestNumberPicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pictures_data();
    void pictures();
    void defaultLocaleSeparator();
    void pictureDecimals();
};

void TestNumberPicture::pictures_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");

    QTest::newRow("amount in euros") << 12.5 << "#######0.000 €"
                                     << ","
                                     << "12,500 €";
    QTest::newRow("point separator") << 12.5 << "#######0.000 €"
                                     << "."
                                     << "12.500 €";
    QTest::newRow("zero keeps its required digit") << 0.0 << "#######0.000"
                                                   << ","
                                                   << "0,000";
    QTest::newRow("no grouping") << 1234567.891 << "#######0.00"
                                 << ","
                                 << "1234567,89";
    QTest::newRow("more digits than marks") << 123456789012.0 << "#0"
                                            << ","
                                            << "123456789012";
    QTest::newRow("rounded half up") << 2.5 << "#######0"
                                     << ","
                                     << "3";
    QTest::newRow("rounded to the decimals") << 0.0049 << "#######0.00"
                                             << ","
                                             << "0,00";
    QTest::newRow("negative") << -3.25 << "#######0.0"
                              << ","
                              << "-3,3";
    QTest::newRow("negative rounding to zero has no sign") << -0.0004 << "#######0.000"
                                                           << ","
                                                           << "0,000";
    QTest::newRow("quantity with unit") << 17.0 << "#######0.00 kWh"
                                        << ","
                                        << "17,00 kWh";
    QTest::newRow("unit holding marks is copied") << 4.0 << "#######0.0 m3.0#"
                                                  << ","
                                                  << "4,0 m3.0#";
    QTest::newRow("leading zeros") << 7.0 << "000"
                                   << ","
                                   << "007";
    QTest::newRow("optional decimals dropped") << 12.0 << "0.##"
                                               << ","
                                               << "12";
    QTest::newRow("optional decimals kept") << 12.345 << "0.0#"
                                            << ","
                                            << "12,35";
    QTest::newRow("only optional digits of zero") << 0.0 << "#"
                                                  << ","
                                                  << "";
    QTest::newRow("prefix copied") << 5.0 << "n° 0"
                                   << ","
                                   << "n° 5";
    QTest::newRow("no digit marks") << 5.0 << "abc"
                                    << ","
                                    << "abc";
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("half away from zero") << 12.25 << "0.0"
                                         << ","
                                         << "12,3";
    QTest::newRow("negative integer half") << -3.5 << "###0"
                                           << "."
                                           << "-4";
    QTest::newRow("no leading zero") << 0.5 << "#.##"
                                     << "."
                                     << ".5";
    QTest::newRow("run starting at the point") << 0.5 << ".00"
                                               << ","
                                               << ",50";
    QTest::newRow("unit holding digits") << 12.5 << "#######0.00 l/100km"
                                         << ","
                                         << "12,50 l/100km";
    QTest::newRow("percent") << 12.34 << "##0.# %"
                             << ","
                             << "12,3 %";
    QTest::newRow("huge") << 1e300 << "#######0.000"
                          << ","
                          << "1E+300";
    QTest::newRow("NaN") << std::nan("") << "#######0.000 €"
                         << ","
                         << "NAN €";
    QTest::newRow("infinite") << inf << "###0"
                              << "."
                              << "INF";
    QTest::newRow("minus infinite") << -inf << "###0"
                                    << "."
                                    << "-INF";
}

void TestNumberPicture::pictures()
{
    QFETCH(double, value);
    QFETCH(QString, picture);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumberPicture(value, picture, separator.at(0)), expected);
}

void TestNumberPicture::defaultLocaleSeparator()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QCOMPARE(FormatNumberPicture(12.5, "#######0.000 €"), QString("12,500 €"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(FormatNumberPicture(12.5, "#######0.000 €"), QString("12.500 €"));
    QLocale::setDefault(saved);
}

void TestNumberPicture::pictureDecimals()
{
    QCOMPARE(PictureDecimals(QStringLiteral("#######0.000 €")), 3);
    QCOMPARE(PictureDecimals(QStringLiteral("###0")), 0);
    QCOMPARE(PictureDecimals(QStringLiteral("0.0# l/100.5km")), 2);
    QCOMPARE(PictureDecimals(QString()), 0);
}

QTEST_APPLESS_MAIN(TestNumberPicture)
#include "tst_NumberPicture.moc"
