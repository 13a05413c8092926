// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DataSet.h"
#include "db/DataSetModel.h"
#include "db/ui/DBEdit.h"
#include "db/ui/DBGrid.h"
#include "images/BmpFile.h"
#include "main/AccountListModel.h"
#include "main/ui/AccountListView.h"
#include "main/ui/MainWindowFixture.h"
#include "main/ui/TEnterAccount.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>

using namespace tilvo;
using namespace tilvo::test;

namespace {

// A picture of a house, as the pictures code stores thumbnails: 70 × 70 on white.
QByteArray HouseThumbnail()
{
    QImage image(70, 70, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC0, 0x40, 0x30));
    p.drawPolygon(QPolygon({QPoint(8, 34), QPoint(35, 8), QPoint(62, 34)}));
    p.setBrush(QColor(0xE8, 0xD8, 0xB0));
    p.drawRect(15, 34, 40, 30);
    p.setBrush(QColor(0x50, 0x80, 0xC0));
    p.drawRect(22, 40, 10, 10);
    p.drawRect(40, 44, 9, 20);
    p.end();
    return EncodeBmp(Picture::fromQImage(image));
}

void ClickRow(AccountListView* list, int row)
{
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

// The account list and the entries grid of the main window, over a database.
class TestAccountListWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_db.prepare(); }
    void init();
    void cleanup();

    void openingSelectsTheFirstAccountAndItsLatestEntry();
    void arrowsMoveTheHighlightClicksAndCharacterKeysSelect();
    void entriesGridShowsItsColumnsAndFormats();
    void refreshedEntryKeepsItsPlace();
    void rebuildSelectsTheRequestedAccount();
    void engineErrorOnSelectionLeavesTheWindowUsable();
    void mainWindowWithADossier();

private:
    TestDatabase m_db;
    std::unique_ptr<MainWindowFixture> m_f;
    qint64 m_home = -1;
    qint64 m_apricot = -1, m_water = -1, m_gas = -1;
};

void TestAccountListWindow::init()
{
    m_f = std::make_unique<MainWindowFixture>(m_db);
    m_home = m_db.addDossier("Maison");
    AccountRow water;
    water.title = "Eau";
    water.description = "Compteur du jardin";
    water.unit = "m3";
    water.decimals = 2;
    water.count = 152.5;
    water.createDate = QDate(2007, 3, 15);
    water.thumbnail = HouseThumbnail();
    water.periodType = 1;
    water.statType = 3;
    water.color = 0x00FF0000;
    water.setColor = true;
    m_water = m_db.addAccount(m_home, water);
    m_apricot = m_db.addAccount(m_home, "Abricotier", "Arrosage");
    AccountRow gas;
    gas.title = "Gaz";
    gas.description = "Chaudière";
    gas.unit = "kWh";
    gas.createDate = QDate(2008, 1, 1);
    m_gas = m_db.addAccount(m_home, gas);
    m_db.addAccount(m_home + 1, "Autre dossier");
    m_db.addEntry(m_home, m_water, QDate(2008, 1, 10), 12.25, 30.5, "Relevé de janvier");
    m_db.addEntry(m_home, m_water, QDate(2008, 3, 10), 8, 19.75, "Relevé de mars");
    m_db.addEntry(m_home, m_water, QDate(2008, 2, 10), 10.5, 25.125, "Relevé de février");
    m_db.addEntry(m_home, m_gas, QDate(2008, 2, 1), 120, 12.5, "Chauffage");
}

void TestAccountListWindow::cleanup()
{
    m_f.reset();
}

void TestAccountListWindow::openingSelectsTheFirstAccountAndItsLatestEntry()
{
    TMainForm& w = m_f->shown();
    QCOMPARE(w.CurrentDossierId, int(m_home));
    QCOMPARE(w.accountList()->rowCount(), 3);
    QCOMPARE(w.Grid_AccountList->currentRow(), 0);
    QCOMPARE(w.CurrentAccountId, int(m_apricot));
    QCOMPARE(w.currentState(), CommandState::S2);
    QCOMPARE(m_f->loaded.size(), 1);
    QCOMPARE(m_f->loaded.first().AccountId, m_apricot);
    QCOMPARE(m_f->computed, 1);

    ClickRow(w.Grid_AccountList, 1);
    QCOMPARE(w.CurrentAccountId, int(m_water));
    QCOMPARE(w.currentState(), CommandState::S3);
    // The latest entry is the current row of the entries grid.
    QCOMPARE(m_f->data.Consumption().recordCount(), 3);
    QCOMPARE(w.Grid_Consumption->currentIndex().row(), 2);
    QCOMPARE(m_f->data.Consumption().fieldByName("Description").asText(),
             QString("Relevé de mars"));
    // The statistics panel had the account's settings, and the statistic was recomputed.
    const AccountEntry& loaded = m_f->loaded.last();
    QCOMPARE(loaded.AccountId, m_water);
    QCOMPARE(loaded.PeriodType, 1);
    QCOMPARE(loaded.StatType, 3);
    QCOMPARE(loaded.ChartColor, quint32(0x00FF0000));
    QCOMPARE(m_f->computed, 2);
}

void TestAccountListWindow::arrowsMoveTheHighlightClicksAndCharacterKeysSelect()
{
    TMainForm& w = m_f->shown();
    AccountListView* list = w.Grid_AccountList;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentRow(), 2);
    QCOMPARE(w.CurrentAccountId, int(m_apricot));
    QCOMPARE(m_f->loaded.size(), 1);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(w.CurrentAccountId, int(m_apricot));

    // A character key selects the highlighted account, without moving the highlight.
    QTest::keyClick(list, 'g');
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(w.CurrentAccountId, int(m_water));
    QCOMPARE(w.currentState(), CommandState::S3);

    // A click on the current row selects it again after the arrows moved away.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(w.CurrentAccountId, int(m_water));
    ClickRow(list, 2);
    QCOMPARE(w.CurrentAccountId, int(m_gas));
    QCOMPARE(m_f->data.Consumption().recordCount(), 1);

    // A double-click selects (its first click) and opens the account editor on that account;
    // left with " &Annuler", nothing else changes (the editor gives the dossier its row of
    // custom captions the first time it opens).
    const auto dump = [this] {
        return DumpTables(m_db.connection(), {"CustomLab", "sqlite_sequence"});
    };
    const QString before = dump();
    const QRect cell = list->visualRect(list->model()->index(0, 0));
    QString edited;
    WhenShown<TEnterAccount>([&edited](TEnterAccount* dialog) {
        edited = dialog->Ed_Title->text();
        QTest::mouseClick(dialog->Btn_Cancel, Qt::LeftButton);
    });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(edited, QString("Abricotier"));
    QCOMPARE(w.CurrentAccountId, int(m_apricot));
    QCOMPARE(dump(), before);
    QVERIFY(m_f->prompts.shown.isEmpty());
}

void TestAccountListWindow::entriesGridShowsItsColumnsAndFormats()
{
    TMainForm& w = m_f->shown();
    QCOMPARE(w.currencySymbol(), QString("€"));
    ClickRow(w.Grid_AccountList, 1);
    DBGrid* grid = w.Grid_Consumption;
    QAbstractItemModel* model = grid->model();
    QStringList headers;
    for (int c = 0; c < model->columnCount(); ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, QStringList({"Date", "Quantité", "Montant", "Commentaire"}));
    const auto text = [model](int row, int column) {
        return model->data(model->index(row, column)).toString();
    };
    QCOMPARE(text(0, 0), QString("10/01/2008"));
    QCOMPARE(text(0, 1), QString("12,25 m3"));
    QCOMPARE(text(0, 2), QString("30,500 €"));
    QCOMPARE(text(0, 3), QString("Relevé de janvier"));
    QCOMPARE(text(1, 0), QString("10/02/2008"));
    QCOMPARE(text(1, 2), QString("25,125 €"));
    QCOMPARE(grid->headerColor(), QColor(0xD8, 0xD8, 0xD8));
    QCOMPARE(grid->selectionColor(), QColor(0x31, 0x6A, 0xC5));
    QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

    // Another account, another unit and number of decimals.
    ClickRow(w.Grid_AccountList, 2);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(text(0, 1), QString("120 kWh"));
    QCOMPARE(text(0, 2), QString("12,500 €"));
}

void TestAccountListWindow::refreshedEntryKeepsItsPlace()
{
    TMainForm& w = m_f->shown();
    m_db.exec("UPDATE ACCOUNT SET Title='Zinc', Count=3 WHERE Id=?", {m_apricot});
    w.RefreshAccountEntry(m_apricot);
    QCOMPARE(w.accountList()->entry(0).Title, QString("Zinc"));
    QCOMPARE(w.accountList()->entry(0).InfoLine, QString("01/02/2008  - 3"));
    QCOMPARE(w.Grid_AccountList->currentRow(), 0);
    QCOMPARE(w.CurrentAccountId, int(m_apricot));
    w.RebuildAccountList(-1);
    QCOMPARE(w.accountList()->entry(2).Title, QString("Zinc"));
    QCOMPARE(w.CurrentAccountId, int(m_water));
}

void TestAccountListWindow::rebuildSelectsTheRequestedAccount()
{
    TMainForm& w = m_f->shown();
    w.RebuildAccountList(m_gas);
    QCOMPARE(w.Grid_AccountList->currentRow(), 2);
    QCOMPARE(w.CurrentAccountId, int(m_gas));
    w.RebuildAccountList(-1);
    QCOMPARE(w.Grid_AccountList->currentRow(), 0);
    QCOMPARE(w.CurrentAccountId, int(m_apricot));
}

void TestAccountListWindow::engineErrorOnSelectionLeavesTheWindowUsable()
{
    TMainForm& w = m_f->shown();
    m_db.exec("ALTER TABLE CONSUMPTION RENAME TO CONSUMPTION_AILLEURS");
    ClickRow(w.Grid_AccountList, 1);
    QCOMPARE(m_f->prompts.shown.size(), 1);
    QCOMPARE(m_f->prompts.shown.first().icon, Prompts::Icon::Error);
    QVERIFY(!m_f->data.Consumption().controlsDisabled());
    QVERIFY(w.isEnabled());

    // Once the table is back, the same click works.
    m_db.exec("ALTER TABLE CONSUMPTION_AILLEURS RENAME TO CONSUMPTION");
    ClickRow(w.Grid_AccountList, 1);
    QCOMPARE(m_f->prompts.shown.size(), 1);
    QCOMPARE(w.CurrentAccountId, int(m_water));
    QCOMPARE(w.currentState(), CommandState::S3);
    QCOMPARE(w.Grid_Consumption->model()->rowCount(), 3);
}

void TestAccountListWindow::mainWindowWithADossier()
{
    TMainForm& w = m_f->shown();
    w.resize(1000, 700);
    ClickRow(w.Grid_AccountList, 1);
    QCOMPARE(w.windowTitle(), QString("Tilvo 1.83 - Maison"));
    Grab(&w, "MainForm_Dossier");
    QVERIFY(QFileInfo::exists("screenshots/MainForm_Dossier.png"));
}

QTEST_MAIN(TestAccountListWindow)
#include "tst_AccountListWindow.moc"
