// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "TableDump.h"
#include "db/DataSet.h"
#include "db/DataSetModel.h"

#include <QLocale>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

namespace {

const QStringList kGridColumns{"DateAction", "Quantity", "Price", "Description"};

FieldDisplay Shown(const QString& label, int width = 0, const QString& format = {})
{
    FieldDisplay d;
    d.label = label;
    d.width = width;
    d.displayFormat = format;
    return d;
}

} // namespace

// The model over the entries of one account, as the entries grid shows them.
class TestDataSetModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void columnsCaptionsAndWidths();
    void everyVisibleFieldWithoutAColumnList();
    void displayFormatsUnderAFrenchLocale();
    void followsInsertsAndDeletes();
    void showsTheRowBeingEdited();
    void followsTheCurrentRow();
    void standsStillWhileControlsAreDisabled();
    void closedDataSetHasNoRows();

private:
    void addEntry(const QString& date, double quantity, double price, const QString& comment);

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_entries;
    std::unique_ptr<DataSource> m_source;
    QLocale m_locale;
};

void TestDataSetModel::initTestCase()
{
    m_db.prepare();
}

void TestDataSetModel::init()
{
    m_locale = QLocale();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(m_db.copyTo("test.db"));
    m_db.open(false);
    addEntry("2008-03-05", 12.5, 12.5, "Relevé \"hiver\" #1 %&a%");
    addEntry("2008-04-01", 3, 0.25, "");
    addEntry("2008-05-01", 7.125, 1234567.5, "😀 émoji");
    m_entries = std::make_unique<DataSet>(m_db.connection(), "Consumption");
    m_entries->setSql({"SELECT * FROM CONSUMPTION", "WHERE Id_Account=1", "ORDER BY DATEACTION"});
    m_entries->setFieldDisplay("DateAction", Shown("Date", 10));
    m_entries->setFieldDisplay("Quantity", Shown("Quantité", 0, "#######0.00 kWh"));
    m_entries->setFieldDisplay("Price", Shown("Montant", 0, "#######0.000 €"));
    m_entries->setFieldDisplay("Description", Shown("Commentaire"));
    m_source = std::make_unique<DataSource>(*m_entries);
    m_entries->open();
}

void TestDataSetModel::cleanup()
{
    m_source.reset();
    m_entries.reset();
    m_db.release();
    QLocale::setDefault(m_locale);
}

void TestDataSetModel::addEntry(const QString& date, double quantity, double price,
                                const QString& comment)
{
    QSqlQuery q(m_db.connection().database());
    q.prepare("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, Price, "
              "Description) VALUES (1, 1, ?, ?, ?, ?)");
    q.addBindValue(date);
    q.addBindValue(quantity);
    q.addBindValue(price);
    q.addBindValue(comment);
    QVERIFY(q.exec());
}

void TestDataSetModel::columnsCaptionsAndWidths()
{
    DataSetModel model(*m_source);
    model.setColumns(kGridColumns);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.rowCount(), 3);
    QStringList captions;
    for (int c = 0; c < model.columnCount(); ++c)
        captions << model.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(captions, QStringList({"Date", "Quantité", "Montant", "Commentaire"}));
    QCOMPARE(model.headerData(0, Qt::Horizontal, DataSetModel::WidthRole).toInt(), 10);
    QCOMPARE(model.headerData(3, Qt::Horizontal, DataSetModel::WidthRole).toInt(), 0);
    QCOMPARE(model.fieldName(2), QString("Price"));
    QCOMPARE(model.columnOf("description"), 3);
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
}

void TestDataSetModel::everyVisibleFieldWithoutAColumnList()
{
    DataSetModel model(*m_source);
    QCOMPARE(model.columnCount(), m_entries->fieldCount());
    QCOMPARE(model.fieldName(0), m_entries->fieldNames().at(0));
    FieldDisplay hidden = m_entries->fieldDisplay("Remark1");
    hidden.visible = false;
    m_entries->setFieldDisplay("Remark1", hidden);
    QCOMPARE(model.columnCount(), m_entries->fieldCount() - 1);
    QCOMPARE(model.columnOf("Remark1"), -1);
}

void TestDataSetModel::displayFormatsUnderAFrenchLocale()
{
    DataSetModel model(*m_source);
    model.setColumns(kGridColumns);
    const auto row = [&](int r) {
        QStringList texts;
        for (int c = 0; c < 4; ++c)
            texts << model.data(model.index(r, c)).toString();
        return texts;
    };
    QCOMPARE(row(0),
             QStringList({"05/03/2008", "12,50 kWh", "12,500 €", "Relevé \"hiver\" #1 %&a%"}));
    QCOMPARE(row(1), QStringList({"01/04/2008", "3,00 kWh", "0,250 €", ""}));
    QCOMPARE(row(2), QStringList({"01/05/2008", "7,13 kWh", "1234567,500 €", "😀 émoji"}));
    // Numbers are right-aligned, texts left-aligned.
    QVERIFY(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() &
            Qt::AlignRight);
    QVERIFY(model.data(model.index(0, 3), Qt::TextAlignmentRole).value<Qt::Alignment>() &
            Qt::AlignLeft);

    // A format set at run time shows at once, without reopening.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    FieldDisplay quantity = m_entries->fieldDisplay("Quantity");
    quantity.displayFormat = "#######0.000";
    m_entries->setFieldDisplay("Quantity", quantity);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(model.data(model.index(2, 1)).toString(), QString("7,125"));
}

void TestDataSetModel::followsInsertsAndDeletes()
{
    DataSetModel model(*m_source);
    model.setColumns(kGridColumns);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    m_entries->append();
    QCOMPARE(model.rowCount(), 4);
    m_entries->fieldByName("Id_File").setInteger(1);
    m_entries->fieldByName("Id_Account").setInteger(1);
    m_entries->fieldByName("DateAction").setText("02/06/2008");
    m_entries->fieldByName("Quantity").setDouble(1);
    m_entries->post();
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.data(model.index(3, 0)).toString(), QString("02/06/2008"));
    QCOMPARE(model.currentRow(), 3);

    m_entries->moveTo(0);
    m_entries->remove();
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString("01/04/2008"));
    QVERIFY(reset.count() >= 2);

    // Cancelling an insertion takes its row away again.
    m_entries->append();
    QCOMPARE(model.rowCount(), 4);
    m_entries->cancel();
    QCOMPARE(model.rowCount(), 3);
}

void TestDataSetModel::showsTheRowBeingEdited()
{
    DataSetModel model(*m_source);
    model.setColumns(kGridColumns);
    m_entries->moveTo(1);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    m_entries->edit();
    m_entries->fieldByName("Description").setText("nouveau");
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.last().at(0).toModelIndex().row(), 1);
    QCOMPARE(model.data(model.index(1, 3)).toString(), QString("nouveau"));
    m_entries->cancel();
    QCOMPARE(model.data(model.index(1, 3)).toString(), QString(""));
}

void TestDataSetModel::followsTheCurrentRow()
{
    DataSetModel model(*m_source);
    QSignalSpy current(&model, &DataSetModel::currentRowChanged);
    QCOMPARE(model.currentRow(), 0);
    m_entries->last();
    QCOMPARE(model.currentRow(), 2);
    QCOMPARE(current.count(), 1);
    QCOMPARE(current.last().at(0).toInt(), 2);
    m_entries->last();
    QCOMPARE(current.count(), 1); // no move, no signal
    m_entries->locate("Quantity", 3);
    QCOMPARE(current.last().at(0).toInt(), 1);
}

void TestDataSetModel::standsStillWhileControlsAreDisabled()
{
    DataSetModel model(*m_source);
    model.setColumns(kGridColumns);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    m_entries->disableControls();
    m_entries->close();
    m_entries->setSql({"SELECT * FROM CONSUMPTION", "WHERE Id_Account=-1", "ORDER BY DATEACTION"});
    m_entries->open();
    // The view still believes in three rows; reading them is harmless.
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.data(model.index(2, 3)).toString(), QString());
    QCOMPARE(reset.count(), 0);
    m_entries->enableControls();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.currentRow(), -1);
}

void TestDataSetModel::closedDataSetHasNoRows()
{
    DataSetModel model(*m_source);
    model.setColumns(kGridColumns);
    m_entries->close();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.fieldIndex(0), -1);
    m_entries->open();
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(model.fieldIndex(0) >= 0);
}

QTEST_GUILESS_MAIN(TestDataSetModel)
#include "tst_DataSetModel.moc"
