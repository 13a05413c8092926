// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/Settings.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingFileGivesDefaults();
    void loadReadsEveryKey();
    void badValuesGiveDefaults();
    void saveWritesFifteenKeysInOrderAndKeepsOthers();
    void restorePlacement_data();
    void restorePlacement();
    void storePlacement_data();
    void storePlacement();

private:
    QTemporaryDir m_dir;
};

void TestSettings::missingFileGivesDefaults()
{
    const Settings s = LoadSettings(m_dir.filePath("none.ini"));
    QVERIFY(s.FirstLaunch);
    QVERIFY(!s.TestMdac);
    QVERIFY(s.Splash);
    QCOMPARE(s.Left, -1);
    QCOMPARE(s.Width, -1);
    QCOMPARE(s.State, QString());
    QCOMPARE(s.MaxWidth, 5000);
    QCOMPARE(s.JpegQuality, 100);
}

void TestSettings::loadReadsEveryKey()
{
    const QString path = m_dir.filePath("read.ini");
    test::WriteFile(path, "[properties]\r\nFirstLaunch=0\r\nTestMdac=1\r\nSplash=0\r\n"
                          "HideBigFontMsg=7\r\nShowCalendar=1\r\n[Windows]\r\nLeft=10\r\nTop=20\r\n"
                          "Width=900\r\nHeight=700\r\nState=wsMaximized\r\nStyle=1\r\n[Scan]\r\n"
                          "TwainSource=Scanner \xe9\r\nShowTwainUI=1\r\nMaxWidth=1200\r\n"
                          "JpegQuality=85\r\n");
    const Settings s = LoadSettings(path);
    QVERIFY(!s.FirstLaunch);
    QVERIFY(s.TestMdac);
    QVERIFY(!s.Splash);
    QVERIFY(s.HideBigFontMsg);
    QVERIFY(s.ShowCalendar);
    QCOMPARE(s.Left, 10);
    QCOMPARE(s.Top, 20);
    QCOMPARE(s.Width, 900);
    QCOMPARE(s.Height, 700);
    QCOMPARE(s.State, QString("wsMaximized"));
    QVERIFY(s.Style);
    QCOMPARE(s.TwainSource, QString::fromUtf8("Scanner é"));
    QVERIFY(s.ShowTwainUI);
    QCOMPARE(s.MaxWidth, 1200);
    QCOMPARE(s.JpegQuality, 85);
}

void TestSettings::badValuesGiveDefaults()
{
    const QString path = m_dir.filePath("bad.ini");
    test::WriteFile(path, QByteArray("\xff\xfe garbage\n[Windows]\nLeft=abc\nWidth=99999999999999\n"
                                     "Height=\n[Scan]\nMaxWidth=5e3\n[Properties]\nSplash=yes\n"));
    const Settings s = LoadSettings(path);
    QCOMPARE(s.Left, -1);
    QCOMPARE(s.Width, -1);
    QCOMPARE(s.Height, -1);
    QCOMPARE(s.MaxWidth, 5000);
    QVERIFY(s.Splash);
}

void TestSettings::saveWritesFifteenKeysInOrderAndKeepsOthers()
{
    const QString path = m_dir.filePath("save.ini");
    test::WriteFile(path, "; mine\r\n[Other]\r\nMine=1\r\n[Windows]\r\nUnknown=x\r\n");
    Settings s;
    s.FirstLaunch = false;
    s.Left = 5;
    s.State = "wsNormal";
    s.TwainSource = QString::fromUtf8("Numériseur");
    QVERIFY(SaveSettings(path, s));
    QCOMPARE(
        test::ReadFile(path),
        QByteArray("; mine\r\n[Other]\r\nMine=1\r\n[Windows]\r\nUnknown=x\r\nLeft=5\r\nTop=-1\r\n"
                   "Width=-1\r\nHeight=-1\r\nState=wsNormal\r\nStyle=0\r\n[Properties]\r\n"
                   "FirstLaunch=0\r\nTestMdac=0\r\nSplash=1\r\nHideBigFontMsg=0\r\n"
                   "ShowCalendar=0\r\n[Scan]\r\nTwainSource=Num\xe9riseur\r\nShowTwainUI=0\r\n"
                   "MaxWidth=5000\r\nJpegQuality=100\r\n"));
    const Settings back = LoadSettings(path);
    QCOMPARE(back.TwainSource, s.TwainSource);
    QVERIFY(!back.FirstLaunch);

    const QString fresh = m_dir.filePath("fresh.ini");
    QVERIFY(SaveSettings(fresh, Settings()));
    QVERIFY(test::ReadFile(fresh).startsWith("[Properties]\r\nFirstLaunch=1\r\nTestMdac=0\r\n"));
    QVERIFY(!SaveSettings(m_dir.filePath("missing/x.ini"), Settings()));
}

void TestSettings::restorePlacement_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<bool>("maximized");
    // Work area 1280 × 1000: 800 × 600 centred is at (240, 200).
    QTest::newRow("never saved") << -1 << -1 << -1 << -1 << "" << QRect(240, 200, 800, 600)
                                 << false;
    QTest::newRow("saved and fitting")
        << 10 << 20 << 900 << 700 << "wsNormal" << QRect(10, 20, 900, 700) << false;
    QTest::newRow("exactly the work area")
        << 0 << 0 << 1280 << 1000 << "wsNormal" << QRect(0, 0, 1280, 1000) << false;
    QTest::newRow("wider than the screen")
        << 0 << 0 << 1600 << 700 << "wsNormal" << QRect(240, 200, 800, 600) << false;
    QTest::newRow("too low") << 10 << 400 << 900 << 700 << "" << QRect(240, 200, 800, 600) << false;
    QTest::newRow("negative left is centred")
        << -50 << 20 << 900 << 700 << "" << QRect(190, 20, 900, 700) << false;
    QTest::newRow("negative left, still negative")
        << -500 << 20 << 1500 << 700 << "" << QRect(0, 20, 1500, 700) << false;
    QTest::newRow("negative height")
        << 10 << 20 << 900 << -5 << "" << QRect(240, 200, 800, 600) << false;
    QTest::newRow("huge numbers") << 2147483647 << 2147483647 << 2147483647 << 2147483647 << ""
                                  << QRect(240, 200, 800, 600) << false;
    QTest::newRow("maximized keeps the normal rectangle")
        << 10 << 20 << 900 << 700 << "wsMaximized" << QRect(10, 20, 900, 700) << true;
}

void TestSettings::restorePlacement()
{
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, state);
    QFETCH(QRect, expected);
    QFETCH(bool, maximized);
    Settings s;
    s.Left = left;
    s.Top = top;
    s.Width = width;
    s.Height = height;
    s.State = state;
    const WindowPlacement p = RestorePlacement(s, WorkArea{0, 0, 1280, 1000});
    QCOMPARE(QRect(p.left, p.top, p.clientWidth, p.clientHeight), expected);
    QCOMPARE(p.maximized, maximized);
}

void TestSettings::storePlacement_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<bool>("minimized");
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QString>("state");
    QTest::newRow("normal") << false << false << QRect(30, 40, 820, 610) << "wsNormal";
    QTest::newRow("maximized keeps the last normal")
        << true << false << QRect(1, 2, 3, 4) << "wsMaximized";
    QTest::newRow("minimized") << false << true << QRect(30, 40, 820, 610) << "wsMinimized";
}

void TestSettings::storePlacement()
{
    QFETCH(bool, maximized);
    QFETCH(bool, minimized);
    QFETCH(QRect, stored);
    QFETCH(QString, state);
    Settings s;
    s.Left = 1;
    s.Top = 2;
    s.Width = 3;
    s.Height = 4;
    StorePlacement(s, WindowPlacement{30, 40, 820, 610, maximized}, minimized);
    QCOMPARE(QRect(s.Left, s.Top, s.Width, s.Height), stored);
    QCOMPARE(s.State, state);
}

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_Settings.moc"
