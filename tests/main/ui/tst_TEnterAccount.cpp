// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "common/DropDownRules.h"
#include "common/ui/Chrome.h"
#include "common/ui/TStrList.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "db/TDataModule1.h"
#include "db/TableDump.h"
#include "db/ui/DBCheckBox.h"
#include "db/ui/DBEdit.h"
#include "db/ui/DBImage.h"
#include "db/ui/DBMemo.h"
#include "main/AccountActions.h"
#include "main/CustomCaptions.h"
#include "main/MainWindowHooks.h"
#include "main/ui/TComboList.h"
#include "main/ui/TEnterAccount.h"
#include "main/ui/TEnterStr.h"
#include "stats/ui/TSelectDate.h"
#include "support/DialogDriving.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QBuffer>
#include <QCalendarWidget>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace tilvo;
using namespace tilvo::test;

namespace {

TStrList* OpenDropDown(QWidget* dialog)
{
    return dialog->findChild<TStrList*>();
}

// Chooses a line of the open drop-down as Enter does.
void ChooseLine(QWidget* dialog, int row)
{
    QPointer<TStrList> list;
    QTRY_VERIFY((list = OpenDropDown(dialog)) != nullptr && list->isVisible());
    list->List->setCurrentRow(row);
    QTest::keyClick(list->List, Qt::Key_Return);
    QTRY_VERIFY(!list);
}

void TypeText(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    field->del();
    // keyClicks types ASCII only; anything else is set as it stands.
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 128;
    if (ascii)
        QTest::keyClicks(field, text);
    else
        field->insert(text);
}

QByteArray Thumbnail(const QColor& color)
{
    QImage image(70, 70, QImage::Format_RGB888);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

} // namespace

// The account dialog, run by the account actions over a real database.
class TestTEnterAccount : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void leavingANewAccountLeavesTheDatabaseAsItWas_data();
    void leavingANewAccountLeavesTheDatabaseAsItWas();
    void firstOpeningMakesTheDossiersCaptions();
    void okFollowsTheTitle();
    void titlesAreStoredExactly_data();
    void titlesAreStoredExactly();
    void pieChartHidesTheSwatch();
    void simpleLineIsStoredBackAsSix();
    void colourComesFromTheColourDialog();
    void dropDownsWriteTheFields();
    void pickListEditorsOpenFromButtonsAndDoubleClicks();
    void captionIsRenamedByDoubleClick();
    void calendarWritesTheCreationDate();
    void counterFieldWritesTheCounter();
    void pictureControlsFollowTheThumbnail();
    void editingCancelledKeepsTheAccount();

private:
    int addAccount(const QString& title);
    QVariant stored(const QString& column, int id)
    {
        return Scalar(m_db.connection(),
                      QString("SELECT %1 FROM ACCOUNT WHERE Id=%2").arg(column).arg(id));
    }
    AccountDialog realDialog()
    {
        return [this](bool) {
            return TEnterAccount::Execute(*m_dm, 1, m_prompts, m_clock, m_pictures, nullptr);
        };
    }
    // Edits account `id` through the dialog driven by `drive`; true when it was confirmed.
    bool editAccount(int id, std::function<void(TEnterAccount*)> drive)
    {
        WhenShown<TEnterAccount>(std::move(drive));
        return EditAccount(*m_dm, 1, id, realDialog(), {});
    }
    int createAccount(std::function<void(TEnterAccount*)> drive)
    {
        WhenShown<TEnterAccount>(std::move(drive));
        return AddAccount(*m_dm, 1, m_clock, realDialog(), {});
    }

    SchemaCopy m_db;
    ScriptedPrompts m_prompts;
    FixedClock m_clock{QDateTime(QDate(2008, 3, 5), QTime(10, 0))};
    std::unique_ptr<TDataModule1> m_dm;
    AccountPictureHooks m_pictures;
    QLocale m_locale;
};

void TestTEnterAccount::initTestCase()
{
    m_db.prepare();
    Chrome() = ChromeContext{};
    Chrome().standardChrome = false;
}

void TestTEnterAccount::init()
{
    m_locale = QLocale();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QVERIFY(m_db.copyTo("Access/TILVO.MDB"));
    QVERIFY(QDir().mkpath(m_db.folder() + "Images"));
    m_prompts = ScriptedPrompts();
    m_pictures = AccountPictureHooks();
    m_dm = std::make_unique<TDataModule1>(DataModuleConfig(m_db, false), m_prompts);
    QVERIFY(m_dm->connectionOk());
    m_db.open(false);
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
    QVERIFY(q.exec("INSERT INTO COMBOITEMS (Account_Unit, Account_Misc03) VALUES "
                   "('litres' || char(13, 10) || 'kWh', 'EDF' || char(13, 10) || 'Engie')"));
}

void TestTEnterAccount::cleanup()
{
    m_dm.reset();
    m_db.release();
    QLocale::setDefault(m_locale);
}

int TestTEnterAccount::addAccount(const QString& title)
{
    QSqlQuery q(m_db.connection().database());
    q.prepare("INSERT INTO ACCOUNT (Id_File, Title, Count, IncCount, CreateDate, PeriodType, "
              "StatType, ValueType, Color, SetColor, AllColor) "
              "VALUES (1, ?, 10, 1, '2007-12-01', 1, 2, 1, 255, 0, 0)");
    q.addBindValue(title);
    if (!q.exec())
        return -1;
    return Scalar(m_db.connection(), "SELECT MAX(Id) FROM ACCOUNT").toInt();
}

void TestTEnterAccount::leavingANewAccountLeavesTheDatabaseAsItWas_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel") << "Btn_Cancel";
    QTest::newRow("close box") << "SysExitBtn";
    QTest::newRow("escape") << "Escape";
}

void TestTEnterAccount::leavingANewAccountLeavesTheDatabaseAsItWas()
{
    QFETCH(QString, how);
    addAccount("Gaz");
    // The dossier's caption row exists from the first opening of the dialog on.
    ReadCustomCaptions(m_dm->Query(), 1);
    const QString before = DumpTables(m_db.connection(), {"sqlite_sequence"});
    int shownId = -1;
    const int id = createAccount([&](TEnterAccount* dialog) {
        shownId = int(m_dm->Account().fieldByName("Id").asInteger());
        TypeText(dialog->Ed_Title, "Eau");
        TypeText(dialog->Ed_Description, "Compteur de la cuisine");
        QTest::mouseClick(dialog->Check_Count, Qt::LeftButton);
        dialog->DBMemo1->setPlainText("Relevé le 1er");
        if (how == "Escape")
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(dialog->findChild<QAbstractButton*>(how), Qt::LeftButton);
    });
    QCOMPARE(id, -1);
    QVERIFY(shownId > 0);
    QCOMPARE(DumpTables(m_db.connection(), {"sqlite_sequence"}), before);
    QVERIFY(QDir(m_db.folder() + "Images").isEmpty());
    QVERIFY(!m_dm->Account().isActive());
    QVERIFY(m_prompts.shown.isEmpty());
}

void TestTEnterAccount::firstOpeningMakesTheDossiersCaptions()
{
    QCOMPARE(Scalar(m_db.connection(), "SELECT COUNT(*) FROM CUSTOMLAB").toInt(), 0);
    QStringList captions;
    QString caption, hint;
    createAccount([&](TEnterAccount* dialog) {
        for (QLabel* label : dialog->Lab_Misc)
            captions << label->text();
        caption = dialog->windowTitle();
        hint = dialog->Lab_Misc[2]->toolTip();
        QTest::mouseClick(dialog->Btn_Cancel, Qt::LeftButton);
    });
    QCOMPARE(captions, QStringList({"Divers 1", "Divers 2", "Divers 3", "Divers 4", "Divers 5",
                                    "Divers 6", "Divers 7"}));
    QCOMPARE(caption, QString("Saisie d'un compte"));
    QCOMPARE(hint, QString("Double-cliquez\r\npour modifier"));
    QCOMPARE(Scalar(m_db.connection(), "SELECT COUNT(*) FROM CUSTOMLAB WHERE Id_File=1").toInt(),
             1);
}

void TestTEnterAccount::okFollowsTheTitle()
{
    QList<bool> enabled;
    const int id = createAccount([&](TEnterAccount* dialog) {
        enabled << dialog->Btn_Ok->isEnabled();
        TypeText(dialog->Ed_Title, "E");
        enabled << dialog->Btn_Ok->isEnabled();
        QTest::keyClick(dialog->Ed_Title, Qt::Key_Backspace);
        enabled << dialog->Btn_Ok->isEnabled();
        // Refused while disabled: the dialog stays.
        dialog->Btn_OkClick();
        enabled << dialog->isVisible();
        TypeText(dialog->Ed_Title, "Eau");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    QCOMPARE(enabled, QList<bool>({false, true, false, true}));
    QVERIFY(id > 0);
    QCOMPARE(stored("Title", id).toString(), QString("Eau"));
}

void TestTEnterAccount::titlesAreStoredExactly_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("title");
    QTest::newRow("128") << QString(128, u'a') << QString(128, u'a');
    QTest::newRow("129 stops at 128") << QString(129, u'b') << QString(128, u'b');
    QTest::newRow("quotes") << "L'eau \"chaude\""
                            << "L'eau \"chaude\"";
    QTest::newRow("hash") << "#1 # 2"
                          << "#1 # 2";
    QTest::newRow("markers") << "Eau %&a% froide"
                             << "Eau %&a% froide";
    QTest::newRow("sql") << "'); DELETE FROM ACCOUNT; --"
                         << "'); DELETE FROM ACCOUNT; --";
    QTest::newRow("accents and emoji") << "Électricité 🔌 été"
                                       << "Électricité 🔌 été";
}

void TestTEnterAccount::titlesAreStoredExactly()
{
    QFETCH(QString, typed);
    QFETCH(QString, title);
    const int other = addAccount("Gaz");
    const int id = createAccount([&](TEnterAccount* dialog) {
        QCOMPARE(dialog->Ed_Title->maxLength(), 128);
        TypeText(dialog->Ed_Title, typed);
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    QVERIFY(id > 0);
    QCOMPARE(stored("Title", id).toString(), title);
    QCOMPARE(stored("Title", other).toString(), QString("Gaz"));
    QCOMPARE(Scalar(m_db.connection(), "SELECT COUNT(*) FROM ACCOUNT").toInt(), 2);
    QVERIFY(m_prompts.shown.isEmpty());
}

void TestTEnterAccount::pieChartHidesTheSwatch()
{
    const int id = addAccount("Eau");
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec(
        QString("UPDATE ACCOUNT SET StatType=1, SetColor=0, AllColor=1 WHERE Id=%1").arg(id)));
    struct Seen
    {
        bool swatch, strip, colorButton, allColorEnabled, allColorChecked;
    };
    QList<Seen> seen;
    const auto look = [&](TEnterAccount* d) {
        seen << Seen{d->Pan_Color->isVisible(), d->Pan_ColorStrip->isVisible(),
                     d->Btn_Color->isEnabled(), d->Check_AllColor->isEnabled(),
                     d->Check_AllColor->isChecked()};
    };
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        look(dialog); // colour off
        QTest::mouseClick(dialog->Check_SetColor, Qt::LeftButton);
        look(dialog); // colour on
        QTest::mouseClick(dialog->Btn_StatType, Qt::LeftButton);
        ChooseLine(dialog, 4);
        QCOMPARE(dialog->Ed_StatType->text(), QString("Sectoriel"));
        look(dialog);
        Grab(dialog, "TEnterAccount_Sectoriel");
        QTest::mouseClick(dialog->Btn_StatType, Qt::LeftButton);
        ChooseLine(dialog, 2);
        QCOMPARE(dialog->Ed_StatType->text(), QString("Aire"));
        look(dialog);
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(seen.size(), 4);
    // Off: the colour cannot be chosen, the swatch shows.
    QVERIFY(seen[0].swatch && !seen[0].colorButton && !seen[0].allColorEnabled);
    QVERIFY(seen[0].allColorChecked);
    QVERIFY(seen[1].swatch && seen[1].colorButton && seen[1].allColorEnabled);
    // A pie chart: the strip instead of the swatch, "for every statistic" unchecked.
    QVERIFY(!seen[2].swatch && seen[2].strip && !seen[2].colorButton);
    QVERIFY(!seen[2].allColorEnabled && !seen[2].allColorChecked);
    // Back to an area chart: the swatch again, the box still unchecked.
    QVERIFY(seen[3].swatch && seen[3].colorButton && seen[3].allColorEnabled);
    QVERIFY(!seen[3].allColorChecked);
    QCOMPARE(stored("StatType", id).toInt(), 3);
    QCOMPARE(stored("SetColor", id).toInt(), 1);
    QCOMPARE(stored("AllColor", id).toInt(), 0);
}

void TestTEnterAccount::simpleLineIsStoredBackAsSix()
{
    const int id = addAccount("Eau");
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec(
        QString("UPDATE ACCOUNT SET PeriodType=3, StatType=6, ValueType=1 WHERE Id=%1").arg(id)));
    QStringList shown;
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        shown << dialog->Ed_PeriodType->text() << dialog->Ed_StatType->text()
              << dialog->Ed_ValueType->text();
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(shown, QStringList({"Dates", "Ligne simple", "Montant"}));
    QCOMPARE(stored("PeriodType", id).toInt(), 3);
    QCOMPARE(stored("StatType", id).toInt(), 6);
    QCOMPARE(stored("ValueType", id).toInt(), 1);
}

void TestTEnterAccount::colourComesFromTheColourDialog()
{
    const int id = addAccount("Eau");
    m_prompts.colorAnswers.enqueue(std::nullopt);
    m_prompts.colorAnswers.enqueue(QColor(0x12, 0x34, 0x56));
    QList<QColor> swatch;
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        QTest::mouseClick(dialog->Check_SetColor, Qt::LeftButton);
        QTest::mouseClick(dialog->Btn_Color, Qt::LeftButton); // cancelled
        swatch << dialog->Pan_Color->palette().color(QPalette::Window);
        QTest::mouseClick(dialog->Btn_Color, Qt::LeftButton);
        swatch << dialog->Pan_Color->palette().color(QPalette::Window);
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(swatch, QList<QColor>({QColor(0xFF, 0, 0), QColor(0x12, 0x34, 0x56)}));
    QCOMPARE(stored("Color", id).toInt(), 0x563412);
}

void TestTEnterAccount::dropDownsWriteTheFields()
{
    const int id = createAccount([&](TEnterAccount* dialog) {
        TypeText(dialog->Ed_Title, "Eau");
        QTest::mouseClick(dialog->Btn_Unit, Qt::LeftButton);
        QCOMPARE(OpenDropDown(dialog)->lines(), QStringList({"", "kWh", "litres"}));
        ChooseLine(dialog, 2);
        QCOMPARE(dialog->Ed_Unit->text(), QString("litres"));
        // Enter in a field opens its drop-down too.
        dialog->Ed_Decimal->setFocus();
        QTest::keyClick(dialog->Ed_Decimal, Qt::Key_Return);
        QCOMPARE(OpenDropDown(dialog)->lines(), QStringList({"0", "1", "2", "3"}));
        ChooseLine(dialog, 2);
        QTest::mouseClick(dialog->Btn_PeriodType, Qt::LeftButton);
        QCOMPARE(OpenDropDown(dialog)->lines(),
                 QStringList({"Mois", "Année", "Décennie", "Dates"}));
        ChooseLine(dialog, 2);
        QTest::mouseClick(dialog->Btn_ValueType, Qt::LeftButton);
        ChooseLine(dialog, 1);
        dialog->PageControl->setCurrentIndex(1);
        QTest::mouseClick(dialog->Btn_Misc[2], Qt::LeftButton);
        QCOMPARE(OpenDropDown(dialog)->lines(), QStringList({"", "EDF", "Engie"}));
        ChooseLine(dialog, 1);
        Grab(dialog, "TEnterAccount_Personnalise");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    QVERIFY(id > 0);
    QCOMPARE(stored("Unit", id).toString(), QString("litres"));
    QCOMPARE(stored("Decimal", id).toInt(), 2);
    QCOMPARE(stored("PeriodType", id).toInt(), 2);
    QCOMPARE(stored("ValueType", id).toInt(), 1);
    QCOMPARE(stored("Misc03", id).toString(), QString("EDF"));
    QVERIFY(m_prompts.shown.isEmpty());
}

void TestTEnterAccount::pickListEditorsOpenFromButtonsAndDoubleClicks()
{
    const int id = addAccount("Eau");
    QStringList titles;
    QVERIFY(!editAccount(id, [&](TEnterAccount* dialog) {
        WhenShown<TComboList>([&](TComboList* editor) {
            titles << editor->Title->text();
            QTest::mouseClick(editor->Btn_Cancel, Qt::LeftButton);
        });
        QTest::mouseDClick(dialog->Ed_Unit, Qt::LeftButton);
        dialog->PageControl->setCurrentIndex(1);
        dialog->Lab_Misc[2]->setText("Fournisseur");
        WhenShown<TComboList>([&](TComboList* editor) {
            titles << editor->Title->text() << editor->Memo->toPlainText();
            editor->Memo->setPlainText("Total\nEDF");
            QTest::mouseClick(editor->Btn_Ok, Qt::LeftButton);
        });
        QTest::mouseClick(dialog->Btn_Edit_Misc[2], Qt::LeftButton);
        QTest::mouseClick(dialog->Btn_Cancel, Qt::LeftButton);
    }));
    QCOMPARE(titles, QStringList({" Unités", " Fournisseur", "EDF\nEngie"}));
    QCOMPARE(Scalar(m_db.connection(), "SELECT Account_Misc03 FROM COMBOITEMS").toString(),
             QString("Total\r\nEDF"));
}

void TestTEnterAccount::captionIsRenamedByDoubleClick()
{
    const int id = addAccount("Eau");
    QString shown;
    QVERIFY(!editAccount(id, [&](TEnterAccount* dialog) {
        dialog->PageControl->setCurrentIndex(1);
        WhenShown<TEnterStr>([&](TEnterStr* rename) {
            shown = rename->Ed_Str->text();
            TypeText(rename->Ed_Str, "Fournisseur");
            QTest::mouseClick(rename->Btn_Ok, Qt::LeftButton);
        });
        QTest::mouseDClick(dialog->Lab_Misc[1], Qt::LeftButton);
        QCOMPARE(dialog->Lab_Misc[1]->text(), QString("Fournisseur"));
        QTest::mouseClick(dialog->Btn_Cancel, Qt::LeftButton);
    }));
    QCOMPARE(shown, QString("Divers 2"));
    QCOMPARE(ReadCustomCaptions(m_dm->Query(), 1).at(1), QString("Fournisseur"));
}

void TestTEnterAccount::calendarWritesTheCreationDate()
{
    const int id = addAccount("Eau");
    QPoint placed, expected;
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        QCOMPARE(dialog->Ed_Date->text(), QString("01/12/2007"));
        QTest::mouseClick(dialog->Btn_Date, Qt::LeftButton);
        QPointer<TSelectDate> calendar;
        QTRY_VERIFY((calendar = dialog->findChild<TSelectDate*>()) != nullptr &&
                    calendar->isVisible());
        QCOMPARE(calendar->MonthCalendar->selectedDate(), QDate(2007, 12, 1));
        placed = calendar->pos();
        expected = dialog->Ed_Date->mapToGlobal(QPoint(0, 15));
        calendar->MonthCalendar->setSelectedDate(QDate(2007, 11, 20));
        QTest::mouseClick(calendar->Btn_Ok, Qt::LeftButton);
        QTRY_VERIFY(!calendar);
        QCOMPARE(dialog->Ed_Date->text(), QString("20/11/2007"));
        // Enter opens it as well; Escape leaves the date.
        dialog->Ed_Date->setFocus();
        QTest::keyClick(dialog->Ed_Date, Qt::Key_Return);
        QTRY_VERIFY((calendar = dialog->findChild<TSelectDate*>()) != nullptr &&
                    calendar->isVisible());
        QTest::keyClick(calendar->MonthCalendar, Qt::Key_Escape);
        QTRY_VERIFY(!calendar);
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(placed, expected);
    QCOMPARE(stored("CreateDate", id).toString().left(10), QString("2007-11-20"));
}

void TestTEnterAccount::counterFieldWritesTheCounter()
{
    const int id = addAccount("Eau");
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec(QString("UPDATE ACCOUNT SET IncCount=0 WHERE Id=%1").arg(id)));
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        QVERIFY(!dialog->Check_Count->isChecked());
        QCOMPARE(dialog->Ed_Count->text(), QString("10"));
        TypeText(dialog->Ed_Count, "12,5");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(stored("Count", id).toDouble(), 12.5);
    QCOMPARE(stored("IncCount", id).toInt(), 0);
}

void TestTEnterAccount::pictureControlsFollowTheThumbnail()
{
    const int id = addAccount("Eau");
    QStringList calls;
    m_pictures.select = [&](QWidget*) {
        calls << "select";
        DataSet& account = m_dm->Account();
        account.fieldByName("ImgMini1").setBytes(Thumbnail(Qt::red));
    };
    m_pictures.remove = [&](QWidget*) {
        calls << "remove";
        m_dm->Account().fieldByName("ImgMini1").clear();
    };
    m_pictures.view = [&](QWidget*) { calls << "view"; };
    m_pictures.print = [&](QWidget*) { calls << "print"; };
    m_pictures.saveCopy = [&](QWidget*) { calls << "save"; };
    QList<bool> deletable;
    QList<bool> menuEnabled;
    QColor shown;
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        QCOMPARE(dialog->Btn_Select_Img->toolTip(), QString("Sélectionner une image"));
        QCOMPARE(dialog->ImgDB_Photo_Mini->size(), QSize(70, 70));
        deletable << dialog->Btn_Delete_Img->isEnabled();
        dialog->Popup_ImgPopup();
        menuEnabled << dialog->Popup_Img_FullSize->isEnabled();
        QTest::mouseDClick(dialog->ImgDB_Photo_Mini, Qt::LeftButton); // nothing to view
        QTest::mouseClick(dialog->Btn_Select_Img, Qt::LeftButton);
        deletable << dialog->Btn_Delete_Img->isEnabled();
        dialog->Popup_ImgPopup();
        menuEnabled << dialog->Popup_Img_FullSize->isEnabled();
        shown = dialog->ImgDB_Photo_Mini->grab().toImage().pixelColor(35, 35);
        Grab(dialog, "TEnterAccount");
        QTest::mouseDClick(dialog->ImgDB_Photo_Mini, Qt::LeftButton);
        dialog->Popup_Img_Print->trigger();
        dialog->Popup_Img_Save->trigger();
        QTest::mouseClick(dialog->Btn_Delete_Img, Qt::LeftButton);
        deletable << dialog->Btn_Delete_Img->isEnabled();
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(deletable, QList<bool>({false, true, false}));
    QCOMPARE(menuEnabled, QList<bool>({false, true}));
    QCOMPARE(shown, QColor(Qt::red));
    QCOMPARE(calls, QStringList({"select", "view", "print", "save", "remove"}));
    QVERIFY(stored("ImgMini1", id).isNull());
}

void TestTEnterAccount::editingCancelledKeepsTheAccount()
{
    const int id = addAccount("Eau");
    ReadCustomCaptions(m_dm->Query(), 1);
    const QString before = DumpTables(m_db.connection());
    QVERIFY(!editAccount(id, [&](TEnterAccount* dialog) {
        TypeText(dialog->Ed_Title, "Gaz");
        TypeText(dialog->Ed_Count, "3");
        QTest::mouseClick(dialog->Check_SetColor, Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QAbstractButton*>("SysExitBtn"), Qt::LeftButton);
    }));
    QCOMPARE(DumpTables(m_db.connection()), before);
}

QTEST_MAIN(TestTEnterAccount)
#include "tst_TEnterAccount.moc"
