// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/EngineMessage.h"

#include <QTest>

using namespace tilvo;

class TestEngineMessage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commonFailuresReadInFrenchFirst_data();
    void commonFailuresReadInFrenchFirst();
};

void TestEngineMessage::commonFailuresReadInFrenchFirst_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("expected");
    QTest::newRow("not a database")
        << "file is not a database"
        << "Ce fichier n'est pas une base de données, ou son début est endommagé. (moteur : file "
           "is not a database)";
    QTest::newRow("malformed")
        << "database disk image is malformed"
        << "La base de données est endommagée. (moteur : database disk image is malformed)";
    QTest::newRow("malformed schema")
        << "malformed database schema (ACCOUNT)"
        << "La base de données est endommagée. (moteur : malformed database schema (ACCOUNT))";
    QTest::newRow("locked") << "database is locked"
                            << "La base de données est utilisée par un autre programme. (moteur "
                               ": database is locked)";
    QTest::newRow("table locked") << "database table is locked: ACCOUNT"
                                  << "La base de données est utilisée par un autre programme. "
                                     "(moteur : database table is locked: ACCOUNT)";
    QTest::newRow("read-only")
        << "attempt to write a readonly database"
        << "La base de données est en lecture seule. (moteur : attempt to write a readonly "
           "database)";
    QTest::newRow("disk full") << "database or disk is full"
                               << "Le disque est plein. (moteur : database or disk is full)";
    QTest::newRow("cannot open")
        << "unable to open database file"
        << "Le fichier de la base de données ne peut pas être ouvert. (moteur : unable to open "
           "database file)";
    QTest::newRow("input/output") << "disk I/O error"
                                  << "Le disque n'a pas pu être lu ou écrit. (moteur : disk I/O "
                                     "error)";
    // Anything else is the engine's own text, which the update log and support read as is.
    QTest::newRow("other") << "no such table: NOPE"
                           << "no such table: NOPE";
    QTest::newRow("empty") << ""
                           << "";
}

void TestEngineMessage::commonFailuresReadInFrenchFirst()
{
    QFETCH(QString, engine);
    QFETCH(QString, expected);
    QCOMPARE(ExplainEngineText(engine), expected);
}

QTEST_APPLESS_MAIN(TestEngineMessage)
#include "tst_EngineMessage.moc"
