// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DataSet.h"
#include "db/DataSetModel.h"
#include "db/DbTestSupport.h"
#include "db/FieldLink.h"
#include "db/ui/DBGrid.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

namespace {

const QStringList kGridColumns{"DateAction", "Quantity", "Price", "Description"};
constexpr int kEntries = 60;

} // namespace

// The entries grid: a view over the Consumption dataset whose current row follows the
// dataset's both ways.
class TestDBGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void showsTheFieldsCaptionsAndWidths();
    void gridFollowsTheDataSet();
    void dataSetFollowsClicksAndKeys();
    void refusedPostKeepsBothOnTheEditedRow();
    void selectionStaysVisibleWithoutFocus();
    void nothingIsEditedInTheGrid();
    void followsReopeningOnAnotherAccount();

private:
    QSqlQuery query() { return QSqlQuery(m_db.connection().database()); }

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_entries;
    std::unique_ptr<DataSource> m_source;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<DBGrid> m_grid;
};

void TestDBGrid::initTestCase()
{
    m_db.prepare();
}

void TestDBGrid::init()
{
    QVERIFY(m_db.copyTo("test.db"));
    m_db.open(false);
    QSqlQuery q = query();
    q.prepare("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, Price, "
              "Description) VALUES (1, 1, ?, ?, 1.5, ?)");
    for (int i = 0; i < kEntries; ++i) {
        q.addBindValue(QDate(2008, 1, 1).addDays(i).toString("yyyy-MM-dd"));
        q.addBindValue(double(i));
        q.addBindValue(QString("relevé %1").arg(i));
        QVERIFY(q.exec());
    }
    m_entries = std::make_unique<DataSet>(m_db.connection(), "Consumption");
    m_entries->setSql({"SELECT * FROM CONSUMPTION", "WHERE Id_Account=1", "ORDER BY DATEACTION"});
    FieldDisplay date;
    date.label = "Date";
    date.width = 10;
    m_entries->setFieldDisplay("DateAction", date);
    m_entries->open();
    m_source = std::make_unique<DataSource>(*m_entries);
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_grid = std::make_unique<DBGrid>(*m_prompts);
    m_grid->setObjectName("Grid_Consumption");
    m_grid->setDataSource(m_source.get(), kGridColumns);
    m_grid->resize(500, 200);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
}

void TestDBGrid::cleanup()
{
    m_grid.reset();
    m_prompts.reset();
    m_source.reset();
    m_entries.reset();
    m_db.release();
}

void TestDBGrid::showsTheFieldsCaptionsAndWidths()
{
    QCOMPARE(m_grid->model()->columnCount(), 4);
    QCOMPARE(m_grid->model()->rowCount(), kEntries);
    QCOMPARE(m_grid->model()->headerData(0, Qt::Horizontal).toString(), QString("Date"));
    QCOMPARE(m_grid->model()->data(m_grid->model()->index(2, 0)).toString(), QString("03/01/2008"));
    const int digit = m_grid->fontMetrics().horizontalAdvance(u'0');
    QVERIFY(m_grid->columnWidth(0) >= 10 * digit);
    QVERIFY(m_grid->columnWidth(0) < 14 * digit);
    QVERIFY(!m_grid->verticalHeader()->isVisible());
    QCOMPARE(m_grid->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

void TestDBGrid::gridFollowsTheDataSet()
{
    QCOMPARE(m_grid->currentIndex().row(), 0);
    m_entries->last();
    QCOMPARE(m_grid->currentIndex().row(), kEntries - 1);
    QVERIFY(m_grid->selectionModel()->isRowSelected(kEntries - 1, QModelIndex()));
    // Scrolled so that the row shows.
    const QRect cell = m_grid->visualRect(m_grid->model()->index(kEntries - 1, 0));
    QVERIFY(m_grid->viewport()->rect().intersects(cell));
    m_entries->locate("Quantity", 10);
    QCOMPARE(m_grid->currentIndex().row(), 10);
    QCOMPARE(m_grid->selectionModel()->selectedRows().size(), 1);
}

void TestDBGrid::dataSetFollowsClicksAndKeys()
{
    const QRect cell = m_grid->visualRect(m_grid->model()->index(3, 1));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(m_entries->recNo(), 3);
    QCOMPARE(m_entries->fieldByName("Quantity").asDouble(), 3.0);
    m_grid->setFocus();
    QTest::keyClick(m_grid.get(), Qt::Key_Down);
    QCOMPARE(m_entries->recNo(), 4);
    QTest::keyClick(m_grid.get(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(m_entries->recNo(), kEntries - 1);
    QVERIFY(m_prompts->shown.isEmpty());
}

void TestDBGrid::refusedPostKeepsBothOnTheEditedRow()
{
    // A control holds a quantity the field refuses; moving would post it.
    FieldLink link(*m_source, "Quantity");
    link.setWriter([](Field& f) { f.setText("abc"); });
    m_entries->moveTo(2);
    link.modify();
    const QRect cell = m_grid->visualRect(m_grid->model()->index(5, 0));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(m_prompts->texts(), QStringList("'abc' n'est pas une valeur numérique correcte."));
    QCOMPARE(m_entries->state(), DataSetState::Editing);
    QCOMPARE(m_entries->recNo(), 2);
    QCOMPARE(m_grid->currentIndex().row(), 2);
    m_entries->cancel();
}

void TestDBGrid::selectionStaysVisibleWithoutFocus()
{
    const QColor selected(0x31, 0x6A, 0xC5);
    m_grid->setSelectionColors(selected);
    m_grid->setHeaderColor(QColor(0xD8, 0xD8, 0xD8));
    m_entries->moveTo(1);
    m_grid->clearFocus();
    QVERIFY(!m_grid->hasFocus());
    QCOMPARE(m_grid->selectionColor(), selected);
    const QImage picture = m_grid->viewport()->grab().toImage();
    const QRect row = m_grid->visualRect(m_grid->model()->index(1, 0));
    // The selected row is painted in the selection colour, focus or not.
    QCOMPARE(picture.pixelColor(row.left() + 2, row.center().y()), selected);
    const QImage header = m_grid->horizontalHeader()->grab().toImage();
    QCOMPARE(header.pixelColor(header.width() - 5, 3), QColor(0xD8, 0xD8, 0xD8));
}

void TestDBGrid::nothingIsEditedInTheGrid()
{
    QCOMPARE(m_grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QRect cell = m_grid->visualRect(m_grid->model()->index(0, 3));
    QTest::mouseDClick(m_grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClick(m_grid.get(), Qt::Key_F2);
    QVERIFY(m_grid->findChildren<QLineEdit*>().isEmpty());
    QCOMPARE(m_entries->state(), DataSetState::Browsing);
}

void TestDBGrid::followsReopeningOnAnotherAccount()
{
    m_entries->disableControls();
    m_entries->close();
    m_entries->setSql({"SELECT * FROM CONSUMPTION", "WHERE Id_Account=-1", "ORDER BY DATEACTION"});
    m_entries->open();
    m_entries->enableControls();
    QCOMPARE(m_grid->model()->rowCount(), 0);
    QVERIFY(!m_grid->currentIndex().isValid());
    m_entries->close();
    m_entries->setSql({"SELECT * FROM CONSUMPTION", "WHERE Id_Account=1", "ORDER BY DATEACTION"});
    m_entries->open();
    m_entries->last();
    QCOMPARE(m_grid->model()->rowCount(), kEntries);
    QCOMPARE(m_grid->currentIndex().row(), kEntries - 1);
}

QTEST_MAIN(TestDBGrid)
#include "tst_DBGrid.moc"
