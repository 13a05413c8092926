// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "db/Connection.h"
#include "db/JetDialect.h"

#include <QTest>

using namespace tilvo;

namespace {

// Two tables of the program's schema, enough for the translation to know dates and columns.
class FakeSchema final : public SchemaSource
{
public:
    FakeSchema()
    {
        auto col = [](const char* name, FieldType type, bool autoInc = false) {
            ColumnInfo c;
            c.name = QLatin1String(name);
            c.type = type;
            c.autoIncrement = autoInc;
            return c;
        };
        m_consumption.name = QStringLiteral("CONSUMPTION");
        m_consumption.columns = {
            col("Id", FieldType::ftAutoInc, true),   col("Id_File", FieldType::ftInteger),
            col("Id_Account", FieldType::ftInteger), col("DateAction", FieldType::ftDateTime),
            col("Quantity", FieldType::ftFloat),     col("Description", FieldType::ftWideString)};
        m_account.name = QStringLiteral("ACCOUNT");
        m_account.columns = {
            col("Id", FieldType::ftAutoInc, true), col("Id_File", FieldType::ftInteger),
            col("Title", FieldType::ftWideString), col("Description", FieldType::ftWideString),
            col("CreateDate", FieldType::ftDateTime)};
    }
    const TableInfo* table(const QString& name) override
    {
        if (name.compare(QLatin1String("CONSUMPTION"), Qt::CaseInsensitive) == 0)
            return &m_consumption;
        if (name.compare(QLatin1String("ACCOUNT"), Qt::CaseInsensitive) == 0)
            return &m_account;
        return nullptr;
    }

private:
    TableInfo m_consumption;
    TableInfo m_account;
};

QString Squeeze(QString s)
{
    return s.simplified();
}

} // namespace

class TestJetDialect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void translatesStatements_data();
    void translatesStatements();
    void dateTestsBecomeRangesOnlyWhereSafe_data();
    void dateTestsBecomeRangesOnlyWhereSafe();
    void refusesDatesThatAreNoDates_data();
    void refusesDatesThatAreNoDates();
    void columnDefinitions_data();
    void columnDefinitions();
    void createTableDropsTheCountersSecondKey();
    void alterColumnIsHandedToTheConnection();
    void joinNamesSharedColumnsByTable();
    void singleTableSelectCarriesItsKey();
    void aliasesMapToTheirColumns();
    void aggregatesAreReadOnlyAndTyped();
    void textColumnsTakeTheCollations_data();
    void textColumnsTakeTheCollations();

private:
    FakeSchema m_schema;
};

void TestJetDialect::translatesStatements_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QString>("engine");
    QTest::newRow("date literal") << "DELETE FROM CONSUMPTION WHERE DateAction>=#3/5/2008#"
                                  << "DELETE FROM CONSUMPTION WHERE DateAction>='2008-03-05'";
    QTest::newRow("date literal with time")
        << "DELETE FROM CONSUMPTION WHERE DateAction<=#12/31/2008 23:59:59#"
        << "DELETE FROM CONSUMPTION WHERE DateAction<='2008-12-31 23:59:59'";
    QTest::newRow("iso date literal") << "DELETE FROM CONSUMPTION WHERE DateAction=#2008-03-05#"
                                      << "DELETE FROM CONSUMPTION WHERE DateAction='2008-03-05'";
    QTest::newRow("hash inside text stays") << "UPDATE ACCOUNT SET Title='#1/2/2008#'"
                                            << "UPDATE ACCOUNT SET Title='#1/2/2008#'";
    QTest::newRow("mid on text") << "UPDATE ACCOUNT SET Title=MID(Title, 2, 3)"
                                 << "UPDATE ACCOUNT SET Title=substr(Title, 2, 3)";
    QTest::newRow("mid on a date reads dd/mm/yyyy")
        << "DELETE FROM CONSUMPTION WHERE MID(DATEACTION, 1, 5)='05/03'"
        << "DELETE FROM CONSUMPTION WHERE "
           "substr((substr(DATEACTION,9,2)||'/'||substr(DATEACTION,6,2)||'/"
           "'||substr(DATEACTION,1,4)), 1, 5)='05/03'";
    QTest::newRow("double-quoted text") << "UPDATE ACCOUNT SET Title=\"l'eau\""
                                        << "UPDATE ACCOUNT SET Title='l''eau'";
    QTest::newRow("concatenation") << "UPDATE ACCOUNT SET Title=Title & 'x'"
                                   << "UPDATE ACCOUNT SET Title=Title || 'x'";
    QTest::newRow("text functions")
        << "UPDATE ACCOUNT SET Title=UCASE(Title), Description=LCASE(LEN(Title))"
        << "UPDATE ACCOUNT SET Title=upper(Title), Description=lower(length(Title))";
    QTest::newRow("delete star") << "DELETE * FROM CONSUMPTION WHERE Id=3"
                                 << "DELETE FROM CONSUMPTION WHERE Id=3";
    QTest::newRow("drop index on") << "DROP INDEX IX_A ON ACCOUNT"
                                   << "DROP INDEX IX_A";
    QTest::newRow("index options")
        << "CREATE UNIQUE INDEX IX_A ON ACCOUNT (Title) WITH DISALLOW NULL"
        << "CREATE UNIQUE INDEX IX_A ON ACCOUNT (Title)";
    QTest::newRow("brackets stay") << "UPDATE [ACCOUNT] SET [Title]=NULL"
                                   << "UPDATE [ACCOUNT] SET [Title]=NULL";
    QTest::newRow("trailing semicolon") << "DELETE FROM ACCOUNT ;"
                                        << "DELETE FROM ACCOUNT";
}

void TestJetDialect::translatesStatements()
{
    QFETCH(QString, jet);
    QFETCH(QString, engine);
    QCOMPARE(Squeeze(JetDialect(&m_schema).translate(jet).sql), Squeeze(engine));
}

void TestJetDialect::dateTestsBecomeRangesOnlyWhereSafe_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("expected"); // empty: not a range
    QTest::newRow("year")
        << "Id_Account=5 AND MID(DATEACTION, 7, 4)='2008'"
        << "Id_Account=5 AND (DATEACTION >= '2008-01-01' AND DATEACTION < '2009-01-01')";
    QTest::newRow("month and year")
        << "Id_Account=5 AND MID(DATEACTION, 4, 2)='12' AND MID(DATEACTION, 7, 4)='2008'"
        << "Id_Account=5 AND (DATEACTION >= '2008-12-01' AND DATEACTION < '2009-01-01')";
    QTest::newRow("year and month") << "MID(DATEACTION,7,4)='2008' AND MID(DATEACTION,4,2)='02'"
                                    << "(DATEACTION >= '2008-02-01' AND DATEACTION < '2008-03-01')";
    QTest::newRow("decade") << "MID(DATEACTION, 7, 4)>='2000' AND MID(DATEACTION, 7, 4)<='2009'"
                            << "DATEACTION >= '2000-01-01' AND DATEACTION < '2010-01-01'";
    QTest::newRow("after and before") << "MID(DateAction,7,4)>'2000' OR MID(DateAction,7,4)<'1990'"
                                      << "DateAction >= '2001-01-01' OR DateAction < '1990-01-01'";
    QTest::newRow("not equal") << "MID(DateAction,7,4)<>'2000'"
                               << "(DateAction < '2000-01-01' OR DateAction >= '2001-01-01')";
    QTest::newRow("qualified column") << "MID(CONSUMPTION.DateAction,7,4)='2001'"
                                      << "(CONSUMPTION.DateAction >= '2001-01-01' AND "
                                         "CONSUMPTION.DateAction < '2002-01-01')";
    QTest::newRow("month alone stays a text test") << "MID(DATEACTION, 4, 2)='03'"
                                                   << "";
    QTest::newRow("after NOT") << "NOT MID(DATEACTION, 7, 4)='2008'"
                               << "";
    QTest::newRow("inside arithmetic") << "MID(DATEACTION, 7, 4)='2008' + 1"
                                       << "";
    QTest::newRow("short year text") << "MID(DATEACTION, 7, 4)='08'"
                                     << "";
    QTest::newRow("not a date column") << "MID(Description, 7, 4)='2008'"
                                       << "";
    QTest::newRow("month 13 leaves the month as text")
        << "MID(DATEACTION,4,2)='13' AND MID(DATEACTION,7,4)='2008'"
        << "substr((substr(DATEACTION,9,2)||'/'||substr(DATEACTION,6,2)||'/'||"
           "substr(DATEACTION,1,4)),4,2)='13' AND (DATEACTION >= '2008-01-01' AND DATEACTION < "
           "'2009-01-01')";
}

void TestJetDialect::dateTestsBecomeRangesOnlyWhereSafe()
{
    QFETCH(QString, where);
    QFETCH(QString, expected);
    const QString sql = QStringLiteral("DELETE FROM CONSUMPTION WHERE ") + where;
    const QString translated = JetDialect(&m_schema).translate(sql).sql;
    if (expected.isEmpty()) {
        QVERIFY2(translated.contains(QLatin1String("substr")), qPrintable(translated));
        QVERIFY(!translated.contains(QLatin1String("-01-01'")));
    } else {
        QCOMPARE(Squeeze(translated),
                 Squeeze(QStringLiteral("DELETE FROM CONSUMPTION WHERE ") + expected));
    }
    // Without the rewriting every MID reads the date as text.
    const QString plain = JetDialect(&m_schema, false).translate(sql).sql;
    QVERIFY(!plain.contains(QLatin1String("-01-01'")));
}

void TestJetDialect::refusesDatesThatAreNoDates_data()
{
    QTest::addColumn<QString>("literal");
    QTest::newRow("day 31 of February") << "#2/31/2008#";
    QTest::newRow("words") << "#hier#";
    QTest::newRow("bad time") << "#1/1/2008 25:00#";
}

void TestJetDialect::refusesDatesThatAreNoDates()
{
    QFETCH(QString, literal);
    try {
        JetDialect(&m_schema).translate(
            QStringLiteral("DELETE FROM CONSUMPTION WHERE DateAction=") + literal);
        QFAIL("no error");
    } catch (const Error& e) {
        QVERIFY(e.text().contains(literal));
    }
}

void TestJetDialect::columnDefinitions_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QString>("engine");
    QTest::addColumn<int>("type");
    QTest::newRow("counter") << "Id COUNTER"
                             << "[Id] INTEGER PRIMARY KEY AUTOINCREMENT"
                             << int(FieldType::ftAutoInc);
    QTest::newRow("counter with key")
        << "Id COUNTER PRIMARY KEY"
        << "[Id] INTEGER PRIMARY KEY AUTOINCREMENT" << int(FieldType::ftAutoInc);
    QTest::newRow("short") << "Decimal SHORT"
                           << "[Decimal] SMALLINT" << int(FieldType::ftSmallint);
    QTest::newRow("long") << "Id_File LONG"
                          << "[Id_File] INTEGER" << int(FieldType::ftInteger);
    QTest::newRow("byte") << "B BYTE"
                          << "[B] TINYINT" << int(FieldType::ftWord);
    QTest::newRow("double") << "Count DOUBLE"
                            << "[Count] DOUBLE" << int(FieldType::ftFloat);
    QTest::newRow("currency") << "C CURRENCY"
                              << "[C] CURRENCY" << int(FieldType::ftBCD);
    QTest::newRow("date") << "CreateDate DATETIME"
                          << "[CreateDate] DATETIME" << int(FieldType::ftDateTime);
    QTest::newRow("yes/no") << "IncCount YESNO"
                            << "[IncCount] BOOLEAN" << int(FieldType::ftBoolean);
    QTest::newRow("text") << "Title TEXT(128)"
                          << "[Title] VARCHAR(128) CHECK(length([Title])<=128)"
                          << int(FieldType::ftWideString);
    QTest::newRow("text with default")
        << "Lab TEXT(10) NOT NULL DEFAULT 'Divers 1'"
        << "[Lab] VARCHAR(10) NOT NULL DEFAULT 'Divers 1' CHECK(length([Lab])<=10)"
        << int(FieldType::ftWideString);
    QTest::newRow("compressed text")
        << "T TEXT(5) WITH COMPRESSION"
        << "[T] VARCHAR(5) CHECK(length([T])<=5)" << int(FieldType::ftWideString);
    QTest::newRow("memo") << "Remark1 MEMO"
                          << "[Remark1] LONGTEXT" << int(FieldType::ftWideMemo);
    QTest::newRow("text without size") << "R TEXT"
                                       << "[R] LONGTEXT" << int(FieldType::ftWideMemo);
    QTest::newRow("picture") << "Img1 LONGBINARY"
                             << "[Img1] LONGVARBINARY" << int(FieldType::ftBlob);
    QTest::newRow("ole object") << "Img1 OLEOBJECT"
                                << "[Img1] LONGVARBINARY" << int(FieldType::ftBlob);
    QTest::newRow("binary") << "B BINARY(16)"
                            << "[B] VARBINARY(16)" << int(FieldType::ftVarBytes);
    QTest::newRow("guid") << "G GUID"
                          << "[G] GUID" << int(FieldType::ftGuid);
    QTest::newRow("bracketed name")
        << "[My Col] TEXT(3)"
        << "[My Col] VARCHAR(3) CHECK(length([My Col])<=3)" << int(FieldType::ftWideString);
}

void TestJetDialect::columnDefinitions()
{
    QFETCH(QString, jet);
    QFETCH(QString, engine);
    QFETCH(int, type);
    const QString translated = JetDialect::translateColumnDefinition(jet);
    QCOMPARE(translated, engine);
    const QString declared = translated.mid(translated.indexOf(QLatin1String("] ")) + 2)
                                 .section(QLatin1String(" CHECK"), 0, 0);
    QCOMPARE(
        int(FieldTypeOfDeclared(declared, translated.contains(QLatin1String("AUTOINCREMENT")))),
        type);
    // The Jet name reads as the same type, for databases made without the translation.
    const QString afterName =
        jet.startsWith(u'[') ? jet.mid(jet.indexOf(u']') + 1) : jet.section(u' ', 1);
    const QString jetType = afterName.trimmed().section(u' ', 0, 0);
    if (!jet.contains(QLatin1String("COUNTER")))
        QCOMPARE(int(FieldTypeOfDeclared(jetType, false)), type);
}

void TestJetDialect::createTableDropsTheCountersSecondKey()
{
    const Translation t = JetDialect(nullptr).translate(QStringLiteral(
        "CREATE TABLE T (Id COUNTER, Name TEXT(20), CONSTRAINT PK_T PRIMARY KEY (Id))"));
    QVERIFY(t.schemaChange);
    QCOMPARE(Squeeze(t.sql),
             QStringLiteral("CREATE TABLE T ([Id] INTEGER PRIMARY KEY AUTOINCREMENT, [Name] "
                            "VARCHAR(20) CHECK(length([Name])<=20))"));
}

void TestJetDialect::alterColumnIsHandedToTheConnection()
{
    const Translation t = JetDialect(nullptr).translate(
        QStringLiteral("ALTER TABLE ACCOUNT ALTER COLUMN Id_File LONG"));
    QCOMPARE(t.kind, Translation::Kind::AlterColumn);
    QCOMPARE(t.alterTable, QStringLiteral("ACCOUNT"));
    QCOMPARE(t.alterColumn, QStringLiteral("Id_File"));
    QCOMPARE(t.alterDefinition, QStringLiteral("[Id_File] INTEGER"));
    const Translation add =
        JetDialect(nullptr).translate(QStringLiteral("ALTER TABLE ACCOUNT ADD Misc13 TEXT(4)"));
    QCOMPARE(Squeeze(add.sql), QStringLiteral("ALTER TABLE ACCOUNT ADD COLUMN [Misc13] VARCHAR(4) "
                                              "CHECK(length([Misc13])<=4)"));
}

void TestJetDialect::joinNamesSharedColumnsByTable()
{
    const Translation t = JetDialect(&m_schema).translate(QStringLiteral(
        "SELECT * FROM CONSUMPTION LEFT JOIN ACCOUNT ON CONSUMPTION.Id_Account = ACCOUNT.Id "
        "WHERE Id_Account=3 ORDER BY DateAction"));
    QStringList names;
    for (const ResultColumn& c : t.columns)
        names << c.name;
    QCOMPARE(names, QStringList({"CONSUMPTION.Id", "CONSUMPTION.Id_File", "Id_Account",
                                 "DateAction", "Quantity", "CONSUMPTION.Description", "ACCOUNT.Id",
                                 "ACCOUNT.Id_File", "Title", "ACCOUNT.Description", "CreateDate"}));
    QVERIFY(t.updatableTable.isEmpty());
    QVERIFY(t.sql.endsWith(QLatin1String("WHERE Id_Account=3 ORDER BY DateAction")));
}

void TestJetDialect::singleTableSelectCarriesItsKey()
{
    const Translation t = JetDialect(&m_schema).translate(
        QStringLiteral("SELECT * FROM ACCOUNT\r\nWHERE ID_FILE=-1\r\nORDER BY TITLE, DESCRIPTION"));
    QCOMPARE(t.updatableTable, QStringLiteral("ACCOUNT"));
    QCOMPARE(t.columns.back().name, QLatin1String(JetDialect::kKeyColumn));
    QCOMPARE(t.columns.size(), size_t(6));
    QVERIFY(t.sql.contains(QLatin1String("[ACCOUNT].rowid AS [__tilvo_rowid]")));
    QCOMPARE(t.fromClause, QStringLiteral("FROM ACCOUNT"));
}

void TestJetDialect::aliasesMapToTheirColumns()
{
    const Translation t = JetDialect(&m_schema).translate(
        QStringLiteral("SELECT Id, Title as [Color], a.Description AS Size FROM ACCOUNT a"));
    QCOMPARE(t.columns.at(1).name, QStringLiteral("Color"));
    QCOMPARE(t.columns.at(1).baseColumn, QStringLiteral("Title"));
    QCOMPARE(t.columns.at(2).name, QStringLiteral("Size"));
    QCOMPARE(t.columns.at(2).baseColumn, QStringLiteral("Description"));
    QCOMPARE(t.keyAlias, QStringLiteral("a"));
}

void TestJetDialect::aggregatesAreReadOnlyAndTyped()
{
    const Translation t = JetDialect(&m_schema).translate(QStringLiteral(
        "SELECT COUNT(*), SUM(Quantity) AS Total, MAX(DateAction) FROM CONSUMPTION"));
    QVERIFY(t.updatableTable.isEmpty());
    QCOMPARE(t.columns.size(), size_t(3));
    QCOMPARE(t.columns[0].name, QStringLiteral("Expr1000"));
    QCOMPARE(t.columns[1].type, FieldType::ftFloat);
    QCOMPARE(t.columns[2].type, FieldType::ftDateTime);
}

void TestJetDialect::textColumnsTakeTheCollations_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QString>("engine");
    QTest::newRow("order by the account list")
        << "DELETE FROM ACCOUNT WHERE Id IN (SELECT Id FROM ACCOUNT ORDER BY ACCOUNT.Title, "
           "ACCOUNT.Description DESC, Id)"
        << "DELETE FROM ACCOUNT WHERE Id IN (SELECT Id FROM ACCOUNT ORDER BY ACCOUNT.Title "
           "COLLATE O, ACCOUNT.Description COLLATE O DESC, Id)";
    QTest::newRow("comparisons either side")
        << "DELETE FROM ACCOUNT WHERE Title='ABRICOT' OR 'b'<=[Description] OR Id_File=1"
        << "DELETE FROM ACCOUNT WHERE Title COLLATE C='ABRICOT' OR 'b'<=[Description] COLLATE C "
           "OR Id_File=1";
    QTest::newRow("in and between")
        << "DELETE FROM ACCOUNT WHERE Title IN ('a', 'b') AND Description BETWEEN 'a' AND 'c'"
        << "DELETE FROM ACCOUNT WHERE Title COLLATE C IN ('a', 'b') AND Description COLLATE C "
           "BETWEEN 'a' AND 'c'";
    QTest::newRow("join condition")
        << "DELETE FROM CONSUMPTION WHERE Id IN (SELECT CONSUMPTION.Id FROM CONSUMPTION LEFT JOIN "
           "ACCOUNT ON CONSUMPTION.Description = ACCOUNT.Title)"
        << "DELETE FROM CONSUMPTION WHERE Id IN (SELECT CONSUMPTION.Id FROM CONSUMPTION LEFT JOIN "
           "ACCOUNT ON CONSUMPTION.Description COLLATE C = ACCOUNT.Title COLLATE C)";
    // Assignments, functions of a column, numbers and dates keep the engine's own ways, so the
    // statistics keep their index ranges.
    QTest::newRow("assignment") << "UPDATE ACCOUNT SET Title='x' WHERE Title='y'"
                                << "UPDATE ACCOUNT SET Title='x' WHERE Title COLLATE C='y'";
    QTest::newRow("function of a column") << "DELETE FROM ACCOUNT WHERE UCASE(Title)='A'"
                                          << "DELETE FROM ACCOUNT WHERE upper(Title)='A'";
    QTest::newRow("numbers and dates")
        << "DELETE FROM CONSUMPTION WHERE Id_Account=3 AND DateAction>=#1/1/2008# ORDER BY "
           "DateAction, Quantity"
        << "DELETE FROM CONSUMPTION WHERE Id_Account=3 AND DateAction>='2008-01-01' ORDER BY "
           "DateAction, Quantity";
    QTest::newRow("order by an expression") << "DELETE FROM ACCOUNT ORDER BY UCASE(Title), 1"
                                            << "DELETE FROM ACCOUNT ORDER BY upper(Title), 1";
}

void TestJetDialect::textColumnsTakeTheCollations()
{
    QFETCH(QString, jet);
    QFETCH(QString, engine);
    const JetDialect dialect(&m_schema, true, {QStringLiteral("O"), QStringLiteral("C")});
    QCOMPARE(Squeeze(dialect.translate(jet).sql), Squeeze(engine));
    // Without collations the text is the engine's own.
    QVERIFY(!JetDialect(&m_schema).translate(jet).sql.contains(QLatin1String("COLLATE")));
}

QTEST_APPLESS_MAIN(TestJetDialect)
#include "tst_JetDialect.moc"
