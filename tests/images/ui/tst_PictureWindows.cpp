// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/Chrome.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "db/TableDump.h"
#include "images/JpegFile.h"
#include "images/ui/PictureControl.h"
#include "images/ui/PictureReport.h"
#include "images/ui/TPreviewImage.h"
#include "images/ui/TViewImage.h"
#include "support/DialogDriving.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace tilvo;
using namespace tilvo::test;

namespace {

// A picture whose colour says which row it belongs to.
void WritePicture(const QString& path, int width, int height, uchar shade)
{
    Picture picture(width, height);
    picture.fill(shade, 255 - shade, 90);
    QDir().mkpath(QFileInfo(path).path());
    WriteJpegFile(picture, path, 90);
}

// The orientation of each page of a PDF file, "portrait" or "landscape", from pdfinfo.
QStringList PdfOrientations(const QString& pdf)
{
    QProcess info;
    info.start("pdfinfo", {"-f", "1", "-l", "99", pdf});
    if (!info.waitForFinished(30000))
        return {"pdfinfo failed"};
    QStringList pages;
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
        // "Page    1 size: 841.89 x 595.276 pts (A4)"
        if (!line.startsWith("Page") || !line.contains("size:"))
            continue;
        const QStringList parts = line.section("size:", 1).simplified().split(' ');
        const double width = parts.value(0).toDouble();
        const double height = parts.value(2).toDouble();
        pages << (width > height ? "landscape" : "portrait");
    }
    return pages;
}

QList<bool> NavigationStates(TPreviewImage* preview)
{
    return {preview->Btn_First->isEnabled(), preview->Btn_Prior->isEnabled(),
            preview->Btn_Next->isEnabled(), preview->Btn_Last->isEnabled()};
}

} // namespace

// The picture viewer and the picture preview, driven as a user would, headless.
class TestPictureWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void viewerFitsThePicture_data();
    void viewerFitsThePicture();
    void viewPictureFileOfAMissingFile();
    void previewNavigation();
    void previewOfOneRow();
    void previewStartsOnTheGivenRow();
    void previewOfAMissingFile();
    void zoomModes();
    void wheelAndDragScroll();
    void printingARangeClosesThePreview();
    void printingTheCurrentPicture();
    void pictureOrientationChoosesTheLayout_data();
    void pictureOrientationChoosesTheLayout();
    void saveFromThePreview();

private:
    QString pictureOf(int id) const
    {
        return m_db.folder() + "Images/Account" + QString::number(id) + ".jpg";
    }
    // The preview over the first `rows` accounts, opened at `startId`.
    std::unique_ptr<TPreviewImage> openPreview(int rows, int startId = -1, int windowMode = 1);

    SchemaCopy m_db;
    ScriptedPrompts m_prompts;
    QList<int> m_ids;
};

void TestPictureWindows::initTestCase()
{
    m_db.prepare();
    Chrome() = ChromeContext{};
    Chrome().standardChrome = false;
}

void TestPictureWindows::init()
{
    QVERIFY(m_db.copyTo("Access/TILVO.MDB"));
    m_db.open(false);
    m_prompts = ScriptedPrompts();
    m_ids.clear();
    QSqlQuery q(m_db.connection().database());
    // Portrait, landscape, portrait, landscape, square.
    const QList<QSize> sizes = {{300, 400}, {400, 300}, {300, 400}, {400, 300}, {900, 900}};
    const QStringList titles = {"Eau", "Gaz", "Électricité", "Fioul", "Bois"};
    for (int i = 0; i < 5; ++i) {
        q.prepare("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, ?)");
        q.addBindValue(titles.at(i));
        QVERIFY(q.exec());
        const int id = Scalar(m_db.connection(), "SELECT MAX(Id) FROM ACCOUNT").toInt();
        m_ids << id;
        WritePicture(pictureOf(id), sizes.at(i).width(), sizes.at(i).height(), uchar(40 * i));
    }
}

void TestPictureWindows::cleanup()
{
    m_db.release();
}

std::unique_ptr<TPreviewImage> TestPictureWindows::openPreview(int rows, int startId,
                                                               int windowMode)
{
    auto preview = std::make_unique<TPreviewImage>(m_db.connection(), m_prompts);
    preview->PictureFolder = m_db.folder() + "Images/";
    preview->FilePrefix = "Account";
    preview->TitleWord = "Image";
    preview->DisplayMode = TPreviewImage::WholePicture;
    preview->QueryText = QString("SELECT ACCOUNT.Id as [Id], ACCOUNT.Title as [Title] FROM ACCOUNT "
                                 "WHERE ACCOUNT.Id<=%1 ORDER BY ACCOUNT.Id")
                             .arg(m_ids.at(rows - 1));
    preview->OpenPicturePreview(startId, windowMode);
    return preview;
}

void TestPictureWindows::viewerFitsThePicture_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<bool>("stretched");
    QTest::addColumn<QSize>("shown");
    QTest::newRow("small, centred") << QSize(100, 50) << QSize() << false << QSize(100, 50);
    QTest::newRow("wide, fitted") << QSize(1000, 400) << QSize() << true << QSize(472, 188);
    QTest::newRow("after resizing")
        << QSize(1000, 400) << QSize(300, 300) << true << QSize(280, 112);
}

void TestPictureWindows::viewerFitsThePicture()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, window);
    QFETCH(bool, stretched);
    QFETCH(QSize, shown);
    TViewImage viewer;
    QCOMPARE(viewer.width(), 492);
    QImage image(picture, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    viewer.setPicture(image);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    if (window.isValid())
        viewer.resize(window);
    QTRY_COMPARE(viewer.Image->size(), shown);
    QCOMPARE(viewer.Image->stretch(), stretched);
    // Centred in the panel less its margins.
    const QRect panel = viewer.Panel1->rect().adjusted(10, 10, -10, -10);
    QVERIFY(qAbs(viewer.Image->geometry().center().x() - panel.center().x()) <= 1);
    QVERIFY(qAbs(viewer.Image->geometry().center().y() - panel.center().y()) <= 1);
}

void TestPictureWindows::viewPictureFileOfAMissingFile()
{
    const QString path = m_db.folder() + "Images/Account999.jpg";
    ViewPictureFile(path, m_prompts);
    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY(m_prompts.shown.first().text.startsWith("IMPOSSIBLE DE VISUALISER L'IMAGE !\r"));
    QVERIFY(!OpenDialog<TViewImage>());
}

void TestPictureWindows::previewNavigation()
{
    auto preview = openPreview(5);
    preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(preview.get()));
    QCOMPARE(preview->Title->text(), QString("  Image (Eau)"));
    QCOMPARE(preview->windowTitle(), QString("Image (Eau)"));
    QVERIFY(preview->Pan_First->isVisible());
    QList<QList<bool>> states{NavigationStates(preview.get())};
    QStringList titles;
    for (QToolButton* button : {preview->Btn_Next, preview->Btn_Last, preview->Btn_Next,
                                preview->Btn_Prior, preview->Btn_First, preview->Btn_Prior}) {
        QTest::mouseClick(button, Qt::LeftButton);
        states << NavigationStates(preview.get());
        titles << preview->Title->text().mid(2);
    }
    QCOMPARE(titles, QStringList({"Image (Gaz)", "Image (Bois)", "Image (Bois)", "Image (Fioul)",
                                  "Image (Eau)", "Image (Eau)"}));
    using L = QList<bool>;
    QCOMPARE(states, QList<L>({L{false, false, true, true}, L{true, true, true, true},
                               L{true, true, false, false}, L{true, true, false, false},
                               L{true, true, true, true}, L{false, false, true, true},
                               L{false, false, true, true}}));
    QCOMPARE(preview->currentPicturePath(), pictureOf(m_ids.first()));
    QCOMPARE(preview->Image->picture().size(), QSize(300, 400));
    Grab(preview.get(), "TPreviewImage");
}

void TestPictureWindows::previewOfOneRow()
{
    auto preview = openPreview(1);
    QCOMPARE(NavigationStates(preview.get()), QList<bool>({false, false, false, false}));
    QVERIFY(preview->Btn_Print->isEnabled());
    m_prompts.printAnswers.enqueue(std::nullopt);
    QTest::mouseClick(preview->Btn_Print, Qt::LeftButton);
    QCOMPARE(m_prompts.printRequests.size(), 1);
    const Prompts::PrintSetup asked = m_prompts.printRequests.first();
    QVERIFY(!asked.currentPageOffered);
    QCOMPARE(asked.minPage, 1);
    QCOMPARE(asked.maxPage, 1);
}

void TestPictureWindows::previewStartsOnTheGivenRow()
{
    auto preview = openPreview(5, m_ids.at(2));
    QCOMPARE(preview->Title->text(), QString("  Image (Électricité)"));
    QCOMPARE(NavigationStates(preview.get()), QList<bool>({true, true, true, true}));
    // The work area, with "Réduire" as the maximise hint.
    auto covering = openPreview(5, -1, 2);
    QCOMPARE(covering->geometry(), WorkAreaOf(covering.get()));
    QCOMPARE(covering->SysMaxiBtn->toolTip(), QString("Réduire"));
    // Covering the work area, the window has no grip.
    covering->show();
    QVERIFY(QTest::qWaitForWindowExposed(covering.get()));
    QVERIFY(covering->Pan_RezisePad->isHidden());
    preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(preview.get()));
    QVERIFY(!preview->Pan_RezisePad->isHidden());
    QCOMPARE(preview->SysMaxiBtn->toolTip(), QString("Agrandir"));
    const QRect area = WorkAreaOf(preview.get());
    QCOMPARE(preview->Cadre->parentWidget()->width(), 800);
    QVERIFY(qAbs(preview->geometry().center().x() - area.center().x()) <= 1);
}

void TestPictureWindows::previewOfAMissingFile()
{
    QVERIFY(QFile::remove(pictureOf(m_ids.at(1))));
    auto preview = openPreview(5);
    QVERIFY(m_prompts.shown.isEmpty());
    QTest::mouseClick(preview->Btn_Next, Qt::LeftButton);
    QCOMPARE(m_prompts.shown.size(), 1);
    QCOMPARE(m_prompts.shown.first().text,
             "IMPOSSIBLE D'IMPRIMER L'IMAGE !\rLe fichier \"" + pictureOf(m_ids.at(1)) +
                 "\" a sans doute été supprimé manuellement et n'est plus accessible.");
    QCOMPARE(m_prompts.shown.first().icon, Prompts::Icon::Error);
    // The row still shows, with no picture and neither print nor save.
    QCOMPARE(preview->Title->text(), QString("  Image (Gaz)"));
    QVERIFY(preview->Image->picture().isNull());
    QVERIFY(!preview->Btn_Print->isEnabled());
    QVERIFY(!preview->Btn_Save->isEnabled());
    QTest::mouseClick(preview->Btn_Next, Qt::LeftButton);
    QVERIFY(preview->Btn_Print->isEnabled());

    // Opened on that row: the message once, not again when the window shows.
    m_prompts.shown.clear();
    auto onMissing = openPreview(5, m_ids.at(1));
    onMissing->show();
    QVERIFY(QTest::qWaitForWindowExposed(onMissing.get()));
    QCOMPARE(m_prompts.shown.size(), 1);
    QCOMPARE(onMissing->Title->text(), QString("  Image (Gaz)"));
    QVERIFY(!onMissing->Btn_Save->isEnabled());
}

void TestPictureWindows::zoomModes()
{
    auto preview = openPreview(5, m_ids.at(4)); // 900 × 900
    preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(preview.get()));
    preview->resize(600, 450);
    const QSize box = preview->Cadre->size();
    QVERIFY(box.height() < 900 + 25);

    // Whole picture: fitted into the box less 25, no scrolling.
    QCOMPARE(preview->DisplayMode, int(TPreviewImage::WholePicture));
    QCOMPARE(preview->Image->height(), box.height() - 25);
    QVERIFY(preview->Image->stretch());
    QVERIFY(!preview->Pan_F->isVisible());
    QCOMPARE(preview->Cadre->verticalScrollBar()->maximum(), 0);

    // Actual size: no stretching, the spacer beyond the picture, scrolling.
    QTest::mouseClick(preview->spbPreview100Percent, Qt::LeftButton);
    QCOMPARE(preview->DisplayMode, int(TPreviewImage::ActualSize));
    QCOMPARE(preview->Image->geometry(), QRect(10, 10, 900, 900));
    QVERIFY(!preview->Image->stretch());
    QVERIFY(preview->Pan_F->isVisible());
    QCOMPARE(preview->Pan_F->pos(), QPoint(910, 910));
    QVERIFY(preview->Cadre->verticalScrollBar()->maximum() > 0);

    // Page width: the width of the box less 45.
    QTest::mouseClick(preview->spbPreviewWidth, Qt::LeftButton);
    QCOMPARE(preview->DisplayMode, int(TPreviewImage::PageWidth));
    QCOMPARE(preview->Image->width(), box.width() - 45);
    QVERIFY(preview->Pan_F->isVisible());

    // A small picture in the whole-picture mode keeps its size, centred.
    TPreviewImage::DisplayModes mode = TPreviewImage::WholePicture;
    QTest::mouseClick(preview->LMDShapeButton2, Qt::LeftButton);
    QCOMPARE(preview->DisplayMode, int(mode));
    preview->resize(900, 700);
    QTest::mouseClick(preview->Btn_First, Qt::LeftButton); // 300 × 400
    const QSize bigBox = preview->Cadre->size();
    QCOMPARE(preview->Image->geometry(), QRect((bigBox.width() - 25 - 300) / 2 + 10,
                                               (bigBox.height() - 25 - 400) / 2 + 10, 300, 400));
    QVERIFY(!preview->Image->stretch());
}

void TestPictureWindows::wheelAndDragScroll()
{
    auto preview = openPreview(5, m_ids.at(4));
    preview->DisplayMode = TPreviewImage::ActualSize;
    preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(preview.get()));
    preview->resize(400, 300);
    QTRY_VERIFY(preview->Cadre->verticalScrollBar()->maximum() > 20);
    QScrollBar* vertical = preview->Cadre->verticalScrollBar();
    QScrollBar* horizontal = preview->Cadre->horizontalScrollBar();
    QCOMPARE(vertical->value(), 0);

    const auto wheel = [&](int delta) {
        QWidget* viewport = preview->Cadre->viewport();
        const QPointF at(50, 50);
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    };
    wheel(-240); // two notches toward the user
    QCOMPARE(vertical->value(), 8);
    wheel(120);
    QCOMPARE(vertical->value(), 4);

    // Dragging the picture moves the scrolled area the other way.
    QWidget* image = preview->Image;
    QTest::mousePress(image, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(70, 80), image->mapToGlobal(QPointF(70, 80)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(image, &move);
    QCOMPARE(horizontal->value(), 30);
    QCOMPARE(vertical->value(), 24);
    QTest::mouseRelease(image, Qt::LeftButton, Qt::NoModifier, QPoint(70, 80));
}

void TestPictureWindows::printingARangeClosesThePreview()
{
    const QString pdf = m_db.folder() + "images.pdf";
    auto preview = openPreview(5);
    Prompts::PrintSetup answer;
    answer.fromPage = 2;
    answer.toPage = 3;
    answer.target.pdfFile = pdf;
    m_prompts.printAnswers.enqueue(answer);
    WhenShown<TPreviewImage>(
        [](TPreviewImage* shown) { QTest::mouseClick(shown->Btn_Print, Qt::LeftButton); });
    QCOMPARE(preview->exec(), int(QDialog::Rejected));
    QVERIFY(!preview->isVisible());
    const Prompts::PrintSetup asked = m_prompts.printRequests.first();
    QCOMPARE(asked.maxPage, 5);
    QVERIFY(asked.currentPageOffered);
    QVERIFY(asked.currentPageOnly); // the selection comes preselected
    // The second row's landscape picture, then the third row's portrait one.
    QCOMPARE(PdfOrientations(pdf), QStringList({"landscape", "portrait"}));
    // The printed pages as pictures beside the windows' screenshots.
    QDir().mkpath("screenshots");
    QProcess render;
    render.start("pdftoppm", {"-r", "30", "-png", pdf, "screenshots/TPreviewImage-printed"});
    QVERIFY(render.waitForFinished(30000));
    QCOMPARE(render.exitCode(), 0);
}

void TestPictureWindows::printingTheCurrentPicture()
{
    const QString pdf = m_db.folder() + "current.pdf";
    auto preview = openPreview(5, m_ids.at(3)); // landscape
    Prompts::PrintSetup answer;
    answer.currentPageOnly = true;
    answer.copies = 2;
    answer.target.pdfFile = pdf;
    m_prompts.printAnswers.enqueue(answer);
    QTest::mouseClick(preview->Btn_Print, Qt::LeftButton);
    QCOMPARE(PdfOrientations(pdf), QStringList({"landscape", "landscape"}));
    QCOMPARE(preview->Title->text(), QString("  Image (Fioul)"));
    QVERIFY(m_prompts.shown.isEmpty());
}

void TestPictureWindows::pictureOrientationChoosesTheLayout_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("orientation");
    QTest::newRow("landscape") << QSize(400, 300) << int(QPageLayout::Landscape);
    QTest::newRow("square") << QSize(300, 300) << int(QPageLayout::Portrait);
    QTest::newRow("portrait") << QSize(300, 400) << int(QPageLayout::Portrait);
}

void TestPictureWindows::pictureOrientationChoosesTheLayout()
{
    QFETCH(QSize, picture);
    QFETCH(int, orientation);
    QImage image(picture, QImage::Format_RGB32);
    image.fill(Qt::blue);
    const PreparedReport report = PreparePictureReport(image, "  Image (Eau)");
    QCOMPARE(report.pageCount(), 1);
    QCOMPARE(int(report.pageLayout().orientation()), orientation);
    QCOMPARE(report.pageLayout().pageSize().id(), QPageSize::A4);
    QCOMPARE(report.title(), QString("  Image (Eau)"));
    // The picture fills most of the page, kept in proportion.
    const std::vector<ReportItem>& items = report.items(0);
    QCOMPARE(items.size(), size_t(1));
    const QSizeF paper = report.layout()->paperSize();
    QVERIFY(items.front().rect.width() > paper.width() * 0.85);
    QVERIFY(items.front().object->keepAspect);
}

void TestPictureWindows::saveFromThePreview()
{
    auto preview = openPreview(5, m_ids.at(2));
    const QString copy = m_db.folder() + "copie.jpg";
    m_prompts.fileAnswers.enqueue(copy);
    QTest::mouseClick(preview->Btn_Save, Qt::LeftButton);
    QCOMPARE(m_prompts.fileDialogs.first().name, QString("Électricité.jpg"));
    QCOMPARE(ReadFile(copy), ReadFile(pictureOf(m_ids.at(2))));
}

QTEST_MAIN(TestPictureWindows)
#include "tst_PictureWindows.moc"
