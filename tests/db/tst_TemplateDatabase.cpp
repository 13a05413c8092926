// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/VersionRecord.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

// The build puts a template database in the program folder, made by the shipped update script.
class TestTemplateDatabase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void templateHasTheFullSchemaAndTheVersion();
};

void TestTemplateDatabase::templateHasTheFullSchemaAndTheVersion()
{
    const QString folder =
        QStringLiteral(TILVO_PROGRAM_DIR) + QStringLiteral("/Ressources/DB/Data/");
    QVERIFY(QFileInfo(folder + QStringLiteral("Images")).isDir());
    QVERIFY(QFileInfo(folder + QStringLiteral("Files")).isDir());
    QVERIFY(QDir(folder + QStringLiteral("Images")).isEmpty());
    // Work on a copy: the template itself is never opened for writing.
    QTemporaryDir dir;
    const QString copy = dir.path() + QStringLiteral("/TILVO.MDB");
    QVERIFY(QFile::copy(folder + QStringLiteral("Access/TILVO.MDB"), copy));
    Connection c;
    c.setDatabaseFile(copy);
    c.open();
    QCOMPARE(GetBDVersion(c, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE")),
             QStringLiteral("1.83"));
    QCOMPARE(c.tableNames().size(), 16);
    for (const char* t : {"PROFILES", "ACCOUNT", "CONSUMPTION", "BACKUP"}) {
        DataSet q(c);
        q.setSqlText(QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(t));
        q.open();
        QCOMPARE(q.field(0).asInteger(), 0);
    }
    QCOMPARE(c.table(QStringLiteral("CONSUMPTION"))->column(QStringLiteral("Id_File"))->type,
             FieldType::ftInteger);
    // A fresh custom caption row carries the design captions.
    c.exec(QStringLiteral("INSERT INTO CUSTOMLAB (Id_File) VALUES (1)"));
    DataSet lab(c);
    lab.setSqlText(QStringLiteral("SELECT * FROM CustomLab WHERE Id_File=1"));
    lab.open();
    QCOMPARE(lab.fieldByName(QStringLiteral("Account_Misc07")).asText(),
             QStringLiteral("Divers 7"));
    // The statistics read one account's entries through the (Id_Account, DateAction) index.
    QSqlQuery plan(c.database());
    QVERIFY(plan.exec(QStringLiteral("EXPLAIN QUERY PLAN ") +
                      c.translate(QStringLiteral("SELECT DATEACTION, PRICE, QUANTITY FROM "
                                                 "CONSUMPTION WHERE Id_Account=4 AND "
                                                 "MID(DATEACTION, 7, 4)='2008'"))));
    QString detail;
    while (plan.next())
        detail += plan.value(3).toString();
    QVERIFY2(detail.contains(QLatin1String("IX_CONSUMPTION_ACCOUNT_DATE (Id_Account=? AND "
                                           "DateAction>? AND DateAction<?)")),
             qPrintable(detail));
}

QTEST_GUILESS_MAIN(TestTemplateDatabase)
#include "tst_TemplateDatabase.moc"
