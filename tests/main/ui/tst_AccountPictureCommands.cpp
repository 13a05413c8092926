// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "common/ui/Chrome.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "db/TDataModule1.h"
#include "db/TableDump.h"
#include "db/ui/DBImage.h"
#include "env/Environment.h"
#include "env/Settings.h"
#include "images/BmpFile.h"
#include "images/JpegFile.h"
#include "images/ui/PictureControl.h"
#include "images/ui/TPreviewImage.h"
#include "images/ui/TViewImage.h"
#include "main/AccountActions.h"
#include "main/MainWindowHooks.h"
#include "main/ui/AccountPictureCommands.h"
#include "main/ui/TEnterAccount.h"
#include "support/DialogDriving.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace tilvo;
using namespace tilvo::test;

namespace {

// A picture of two colours, so that its thumbnail shows where it lies.
QByteArray TwoColourBmp(int width, int height)
{
    Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uchar* p = picture.row(y) + 3 * x;
            const bool left = x < width / 2;
            p[0] = left ? 200 : 30;
            p[1] = 60;
            p[2] = left ? 30 : 220;
        }
    return EncodeBmp(picture);
}

} // namespace

// The account dialog's picture commands, on a real database and real picture files.
class TestAccountPictureCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void selectingAPictureShowsItsThumbnail();
    void removingAsksFirst();
    void viewNeedsTheThumbnailAndTheFile();
    void printOpensThePreviewOnTheAccount();
    void saveCopyProposesTheTitle();
    void deletingAnAccountDeletesItsPicture();
    void deletingADossierDeletesItsPictures();

private:
    int addAccount(const QString& title, int dossier = 1);
    QString pictureOf(int id) const
    {
        return m_db.folder() + "Images/Account" + QString::number(id) + ".jpg";
    }
    // Edits account `id` through the dialog driven by `drive`.
    bool editAccount(int id, std::function<void(TEnterAccount*)> drive)
    {
        WhenShown<TEnterAccount>(std::move(drive));
        return EditAccount(*m_dm, 1, id,
                           [this](bool) {
                               return TEnterAccount::Execute(*m_dm, 1, m_prompts, m_clock, m_hooks,
                                                             nullptr);
                           },
                           {});
    }
    // Gives the account a picture through the select command.
    void attachPicture(TEnterAccount* dialog, const QByteArray& bytes, const QString& name);

    SchemaCopy m_db;
    QTemporaryDir m_program;
    ScriptedPrompts m_prompts;
    FixedClock m_clock{QDateTime(QDate(2008, 3, 5), QTime(10, 0))};
    std::unique_ptr<TDataModule1> m_dm;
    AccountPictureHooks m_hooks;
};

void TestAccountPictureCommands::initTestCase()
{
    m_db.prepare();
    Chrome() = ChromeContext{};
    Chrome().standardChrome = false;
}

void TestAccountPictureCommands::init()
{
    QVERIFY(m_db.copyTo("Access/TILVO.MDB"));
    QVERIFY(QDir().mkpath(m_db.folder() + "Images"));
    m_prompts = ScriptedPrompts();
    m_dm = std::make_unique<TDataModule1>(DataModuleConfig(m_db, false), m_prompts);
    QVERIFY(m_dm->connectionOk());
    InstallPictureFileDeleter(*m_dm);
    // The program's settings: pictures larger than 200 pixels are fitted to 200.
    Environment env;
    env.ProgramFolder = m_program.path() + "/";
    Settings settings;
    settings.MaxWidth = 200;
    m_hooks = MakeAccountPictureHooks(*m_dm, m_prompts, env, settings);
    m_db.open(false);
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
    QVERIFY(q.exec("INSERT INTO PROFILES (LoginName) VALUES ('Bureau')"));
}

void TestAccountPictureCommands::cleanup()
{
    m_hooks = AccountPictureHooks();
    m_dm.reset();
    m_db.release();
}

int TestAccountPictureCommands::addAccount(const QString& title, int dossier)
{
    QSqlQuery q(m_db.connection().database());
    q.prepare("INSERT INTO ACCOUNT (Id_File, Title, Count, IncCount, CreateDate, PeriodType, "
              "StatType, ValueType, Color, SetColor, AllColor) "
              "VALUES (?, ?, 0, 0, '2007-12-01', 1, 2, 1, 255, 0, 0)");
    q.addBindValue(dossier);
    q.addBindValue(title);
    if (!q.exec())
        return -1;
    return Scalar(m_db.connection(), "SELECT MAX(Id) FROM ACCOUNT").toInt();
}

void TestAccountPictureCommands::attachPicture(TEnterAccount* dialog, const QByteArray& bytes,
                                               const QString& name)
{
    const QString source = m_db.folder() + "Photos/" + name;
    WriteFile(source, bytes);
    m_prompts.fileAnswers.enqueue(source);
    QTest::mouseClick(dialog->Btn_Select_Img, Qt::LeftButton);
}

void TestAccountPictureCommands::selectingAPictureShowsItsThumbnail()
{
    const int id = addAccount("Eau");
    QList<bool> deletable;
    QColor left;
    QColor right;
    QColor margin;
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        deletable << dialog->Btn_Delete_Img->isEnabled();
        // Cancelled: nothing happens.
        m_prompts.fileAnswers.enqueue(std::nullopt);
        QTest::mouseClick(dialog->Btn_Select_Img, Qt::LeftButton);
        deletable << dialog->Btn_Delete_Img->isEnabled();
        attachPicture(dialog, TwoColourBmp(300, 100), "compteur.bmp");
        deletable << dialog->Btn_Delete_Img->isEnabled();
        dialog->Popup_ImgPopup();
        QVERIFY(dialog->Popup_Img_FullSize->isEnabled());
        QVERIFY(dialog->Popup_Img_Save->isEnabled());
        const QImage shown = dialog->ImgDB_Photo_Mini->grab().toImage();
        left = shown.pixelColor(10, 35);
        right = shown.pixelColor(60, 35);
        margin = shown.pixelColor(35, 5);
        Grab(dialog, "TEnterAccount-picture");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(deletable, QList<bool>({false, false, true}));
    QCOMPARE(margin, QColor(Qt::white));
    QVERIFY(left.blue() > 150 && left.red() < 80);
    QVERIFY(right.red() > 150 && right.blue() < 80);

    QCOMPARE(m_prompts.fileDialogs.size(), 2);
    const ScriptedPrompts::FileDialog asked = m_prompts.fileDialogs.first();
    QCOMPARE(asked.title, QString("Sélectionnez une image"));
    QVERIFY(asked.filter.startsWith("Tout (*.jpg;*.bmp"));
    QVERIFY(asked.filter.contains("|Fichier image JPEG (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp|"));
    QVERIFY(asked.filter.endsWith("|*.png"));
    QCOMPARE(asked.name, m_program.path() + "/Images/");

    Picture file;
    QVERIFY(ReadJpegFile(file, pictureOf(id)));
    QCOMPARE(file.width(), 200);
    QCOMPARE(file.height(), 66);
    const Picture thumbnail = DecodeBmp(
        Scalar(m_db.connection(), QString("SELECT ImgMini1 FROM ACCOUNT WHERE Id=%1").arg(id))
            .toByteArray());
    QCOMPARE(thumbnail.width(), 70);
}

void TestAccountPictureCommands::removingAsksFirst()
{
    const int id = addAccount("Eau");
    QList<bool> deletable;
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        attachPicture(dialog, TwoColourBmp(40, 40), "petit.bmp");
        m_prompts.yesNoAnswers.enqueue(false);
        QTest::mouseClick(dialog->Btn_Delete_Img, Qt::LeftButton);
        deletable << dialog->Btn_Delete_Img->isEnabled() << QFile::exists(pictureOf(id));
        m_prompts.yesNoAnswers.enqueue(true);
        dialog->Popup_Img_Delete->trigger();
        deletable << dialog->Btn_Delete_Img->isEnabled() << QFile::exists(pictureOf(id));
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(deletable, QList<bool>({true, true, false, false}));
    QCOMPARE(m_prompts.texts(), QStringList({"Désirez-vous supprimer cette image ?",
                                             "Désirez-vous supprimer cette image ?"}));
    QCOMPARE(m_prompts.shown.first().icon, Prompts::Icon::Question);
    QVERIFY(Scalar(m_db.connection(), QString("SELECT ImgMini1 FROM ACCOUNT WHERE Id=%1").arg(id))
                .isNull());
}

void TestAccountPictureCommands::viewNeedsTheThumbnailAndTheFile()
{
    const int id = addAccount("Eau");
    // A picture file without a thumbnail is not shown.
    WriteFile(pictureOf(id), "jpeg");
    QImage shown;
    QString viewerTitle;
    QSize placed;
    bool stretched = true;
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        dialog->ImgDB_Photo_MiniDblClick();
        QVERIFY(!OpenDialog<TViewImage>());
        attachPicture(dialog, TwoColourBmp(600, 300), "grand.bmp");
        WhenShown<TViewImage>([&](TViewImage* viewer) {
            shown = viewer->Image->picture();
            viewerTitle = viewer->windowTitle();
            placed = viewer->Image->size();
            stretched = viewer->Image->stretch();
            Grab(viewer, "TViewImage");
            QTest::mouseClick(viewer->Exit, Qt::LeftButton);
        });
        QTest::mouseDClick(dialog->ImgDB_Photo_Mini, Qt::LeftButton);
        QTRY_VERIFY(!OpenDialog<TViewImage>());
        // The file deleted by hand: the message, no viewer.
        QVERIFY(QFile::remove(pictureOf(id)));
        dialog->Popup_Img_FullSize->trigger();
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    // The picture file was fitted to MaxWidth, so the viewer shows it at its own size.
    QCOMPARE(shown.size(), QSize(200, 100));
    QCOMPARE(placed, QSize(200, 100));
    QVERIFY(!stretched);
    QCOMPARE(viewerTitle, QString("Visualisation d'une Image"));
    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY(m_prompts.shown.first().text.startsWith(
        "IMPOSSIBLE DE VISUALISER L'IMAGE !\rLe fichier \""));
    QVERIFY(m_prompts.shown.first().text.contains(QDir::toNativeSeparators(pictureOf(id))));
    QCOMPARE(m_prompts.shown.first().icon, Prompts::Icon::Error);
}

void TestAccountPictureCommands::printOpensThePreviewOnTheAccount()
{
    addAccount("Gaz");
    const int id = addAccount("Eau");
    QString title;
    QList<bool> navigation;
    bool coversWorkArea = false;
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        attachPicture(dialog, TwoColourBmp(120, 80), "image.bmp");
        WhenShown<TPreviewImage>([&](TPreviewImage* preview) {
            title = preview->Title->text();
            for (QToolButton* b : {preview->Btn_First, preview->Btn_Prior, preview->Btn_Next,
                                   preview->Btn_Last, preview->Btn_Print, preview->Btn_Save})
                navigation << b->isEnabled();
            coversWorkArea = preview->geometry() == WorkAreaOf(preview);
            QTest::mouseClick(preview->Btn_Close, Qt::LeftButton);
        });
        dialog->Popup_Img_Print->trigger();
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(title, QString("  Image (Eau)"));
    QVERIFY(coversWorkArea);
    QCOMPARE(navigation, QList<bool>({false, false, false, false, true, true}));
}

void TestAccountPictureCommands::saveCopyProposesTheTitle()
{
    const int id = addAccount("Eau/Gaz");
    const QString copy = m_db.folder() + "copie.jpg";
    QVERIFY(editAccount(id, [&](TEnterAccount* dialog) {
        Picture photo(64, 48);
        photo.fill(10, 120, 200);
        const QString made = m_db.folder() + "made.jpg";
        WriteJpegFile(photo, made, 90);
        attachPicture(dialog, ReadFile(made), "photo.jpg");
        m_prompts.fileAnswers.enqueue(copy);
        dialog->Popup_Img_Save->trigger();
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    }));
    QCOMPARE(m_prompts.fileDialogs.last().name, QString("Eau_Gaz.jpg"));
    QCOMPARE(ReadFile(copy), ReadFile(pictureOf(id)));
}

void TestAccountPictureCommands::deletingAnAccountDeletesItsPicture()
{
    const int id = addAccount("Eau");
    const int other = addAccount("Gaz");
    // Never shown in the dialog: the file alone is enough.
    WriteFile(pictureOf(id), "jpeg");
    WriteFile(pictureOf(other), "jpeg");
    m_prompts.yesNoAnswers.enqueue(true);
    QVERIFY(DeleteAccount(*m_dm, 1, id, m_prompts, {}));
    QVERIFY(!QFile::exists(pictureOf(id)));
    QVERIFY(QFile::exists(pictureOf(other)));
}

void TestAccountPictureCommands::deletingADossierDeletesItsPictures()
{
    const int first = addAccount("Eau", 1);
    const int second = addAccount("Gaz", 1);
    const int elsewhere = addAccount("Fioul", 2);
    for (int id : {first, second, elsewhere})
        WriteFile(pictureOf(id), "jpeg");
    m_dm->deleteDossierContents(1);
    QVERIFY(!QFile::exists(pictureOf(first)));
    QVERIFY(!QFile::exists(pictureOf(second)));
    QVERIFY(QFile::exists(pictureOf(elsewhere)));
}

QTEST_MAIN(TestAccountPictureCommands)
#include "tst_AccountPictureCommands.moc"
