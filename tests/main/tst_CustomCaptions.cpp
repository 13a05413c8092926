// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "db/TableDump.h"
#include "main/CustomCaptions.h"

#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

// The dossiers' own captions of the account dialog's free fields.
class TestCustomCaptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void firstReadCreatesTheDossiersRow();
    void columnOfACaption_data();
    void columnOfACaption();
    void renamingChangesOneDossierOnly();
    void refusedCaptionStoresNothing();

private:
    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_query;
};

void TestCustomCaptions::initTestCase()
{
    m_db.prepare();
}

void TestCustomCaptions::init()
{
    QVERIFY(m_db.copyTo("test.db"));
    m_db.open(false);
    m_query = std::make_unique<DataSet>(m_db.connection(), "Query");
}

void TestCustomCaptions::cleanup()
{
    m_query.reset();
    m_db.release();
}

void TestCustomCaptions::firstReadCreatesTheDossiersRow()
{
    const QStringList defaults{"Divers 1", "Divers 2", "Divers 3", "Divers 4",
                               "Divers 5", "Divers 6", "Divers 7"};
    QCOMPARE(ReadCustomCaptions(*m_query, 3), defaults);
    QVERIFY(!m_query->isActive());
    QCOMPARE(Scalar(m_db.connection(), "SELECT COUNT(*) FROM CUSTOMLAB WHERE Id_File=3").toInt(),
             1);
    // A second read finds the row and adds none.
    QCOMPARE(ReadCustomCaptions(*m_query, 3), defaults);
    QCOMPARE(Scalar(m_db.connection(), "SELECT COUNT(*) FROM CUSTOMLAB").toInt(), 1);
}

void TestCustomCaptions::columnOfACaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("column");
    QTest::newRow("first") << "Lab_Misc01"
                           << "Account_Misc01";
    QTest::newRow("third") << "Lab_Misc03"
                           << "Account_Misc03";
    QTest::newRow("seventh") << "Lab_Misc07"
                             << "Account_Misc07";
}

void TestCustomCaptions::columnOfACaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, column);
    QCOMPARE(CustomCaptionColumn(caption), column);
}

void TestCustomCaptions::renamingChangesOneDossierOnly()
{
    ReadCustomCaptions(*m_query, 1);
    ReadCustomCaptions(*m_query, 2);
    RenameCustomCaption(*m_query, 1, "Lab_Misc03", "Fournisseur \"EDF\" %&a% 😀");
    QVERIFY(!m_query->isActive());
    QCOMPARE(ReadCustomCaptions(*m_query, 1).at(2), QString("Fournisseur \"EDF\" %&a% 😀"));
    QCOMPARE(ReadCustomCaptions(*m_query, 1).at(1), QString("Divers 2"));
    QCOMPARE(ReadCustomCaptions(*m_query, 2).at(2), QString("Divers 3"));

    // A dossier whose row does not exist yet gets one of its own.
    RenameCustomCaption(*m_query, 5, "Lab_Misc01", "Compteur");
    QCOMPARE(Scalar(m_db.connection(), "SELECT Account_Misc01 FROM CUSTOMLAB WHERE Id_File=5")
                 .toString(),
             QString("Compteur"));
    QCOMPARE(ReadCustomCaptions(*m_query, 5).at(1), QString("Divers 2"));
}

void TestCustomCaptions::refusedCaptionStoresNothing()
{
    ReadCustomCaptions(*m_query, 1);
    const QString before = DumpTables(m_db.connection());
    QVERIFY_THROWS_EXCEPTION(Error,
                             RenameCustomCaption(*m_query, 1, "Lab_Misc02", QString(129, u'x')));
    QVERIFY(!m_query->isActive());
    QCOMPARE(DumpTables(m_db.connection()), before);
    RenameCustomCaption(*m_query, 1, "Lab_Misc02", QString(128, u'x'));
    QCOMPARE(ReadCustomCaptions(*m_query, 1).at(1), QString(128, u'x'));
}

QTEST_GUILESS_MAIN(TestCustomCaptions)
#include "tst_CustomCaptions.moc"
