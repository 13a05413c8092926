// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextCatalogue.h"

#include <QObject>
#include <QTest>

using namespace tilvo;

class TestTextCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lookupText_data();
    void lookupText();
    void translateFormLeavesTheWindow();
    void languageCode_data();
    void languageCode();
};

void TestTextCatalogue::lookupText_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no marker") << "HtmlView"
                               << "String1"
                               << "Enregistrer la page html sous ..."
                               << "Enregistrer la page html sous ...";
    QTest::newRow("marker and placeholder")
        << "PreviewImage"
        << "Message1"
        << "IMPOSSIBLE D'IMPRIMER L'IMAGE !{CR}Le fichier \"%1\" a sans doute été supprimé."
        << "IMPOSSIBLE D'IMPRIMER L'IMAGE !\rLe fichier \"%1\" a sans doute été supprimé.";
    QTest::newRow("two markers in a row") << "A"
                                          << "B"
                                          << "x{CR}{CR}y"
                                          << "x\r\ry";
    QTest::newRow("empty section and key") << ""
                                           << ""
                                           << "a{CR}"
                                           << "a\r";
    QTest::newRow("lower-case marker is text") << "A"
                                               << "B"
                                               << "a{cr}b"
                                               << "a{cr}b";
}

void TestTextCatalogue::lookupText()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, defaultText);
    QFETCH(QString, expected);
    QCOMPARE(LookupText(section, key, defaultText), expected);
}

void TestTextCatalogue::translateFormLeavesTheWindow()
{
    QObject window;
    window.setObjectName("SelectDate");
    window.setProperty("caption", QStringLiteral("Choisir une date"));
    TranslateForm(&window, "[SelectDate]");
    TranslateForm(nullptr, "[SelectDate]");
    QCOMPARE(window.objectName(), QString("SelectDate"));
    QCOMPARE(window.property("caption").toString(), QString("Choisir une date"));
}

void TestTextCatalogue::languageCode_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::newRow("default") << "laDefault" << 0;
    QTest::newRow("english") << "laEnglish" << 1;
    QTest::newRow("german") << "laGerman" << 2;
    QTest::newRow("french") << "laFrench" << 3;
    QTest::newRow("italian") << "laItalian" << 4;
    QTest::newRow("spanish") << "laSpanish" << 5;
    QTest::newRow("without prefix") << "French" << 1;
    QTest::newRow("other case") << "lafrench" << 1;
    QTest::newRow("empty") << "" << 1;
}

void TestTextCatalogue::languageCode()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QCOMPARE(LanguageCode(name), code);
}

QTEST_APPLESS_MAIN(TestTextCatalogue)
#include "tst_TextCatalogue.moc"
