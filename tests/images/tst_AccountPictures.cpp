// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "db/TableDump.h"
#include "images/AccountPictures.h"
#include "images/BmpBuilder.h"
#include "images/BmpFile.h"
#include "images/JpegFile.h"
#include "images/JpegMaker.h"
#include "images/Picture.h"
#include "images/PictureSamples.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

using namespace tilvo;
using namespace tilvo::test;

namespace {

quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray PngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A small PNG whose header claims a width beyond the program's limit, its checksum right.
QByteArray PngClaimingWidth(quint32 width)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes = PngBytes(image);
    // Signature (8), length (4), "IHDR" (4), then the width.
    for (int i = 0; i < 4; ++i)
        bytes[16 + i] = char((width >> (24 - 8 * i)) & 0xFF);
    const quint32 crc = Crc32(bytes.mid(12, 17));
    for (int i = 0; i < 4; ++i)
        bytes[29 + i] = char((crc >> (24 - 8 * i)) & 0xFF);
    return bytes;
}

int BmpBitsPerPixel(const QByteArray& bmp)
{
    return uchar(bmp.at(28)) | uchar(bmp.at(29)) << 8;
}

QStringList LeftOvers(const QString& folder)
{
    return QDir(folder).entryList({"*.new", "*.old"}, QDir::Files);
}

} // namespace

// Taking a picture into an account: the picture file, the thumbnail column, and what bad
// files leave untouched.
class TestAccountPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void jpegIsCopiedByteForByte();
    void largeBitmapIsFittedAndEncoded();
    void transparentPngLiesOnWhite();
    void thumbnailIsCentredOnWhite_data();
    void thumbnailIsCentredOnWhite();
    void badSourceChangesNothing_data();
    void badSourceChangesNothing();
    void newPictureReplacesTheOldOne();
    void refusedRowPutsTheFileBack();
    void removingClearsBothColumnsAndTheFile_data();
    void removingClearsBothColumnsAndTheFile();
    void deletePictureFile();
    void copyProposesASafeName_data();
    void copyProposesASafeName();
    void copyOfAMissingFileShowsTheMessage();
    void copyOntoItselfKeepsTheFile();

private:
    QString picturePath() const
    {
        return m_db.folder() + "Images/Account" + QString::number(m_id) + ".jpg";
    }
    QByteArray storedThumbnail();
    void import(const QString& source, const PictureSettings& settings = PictureSettings());

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_account;
    std::unique_ptr<DataSource> m_source;
    int m_id = -1;
};

void TestAccountPictures::initTestCase()
{
    m_db.prepare();
}

void TestAccountPictures::init()
{
    QVERIFY(m_db.copyTo("Access/TILVO.MDB"));
    m_db.open(false);
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, 'Eau')"));
    QVERIFY(q.exec("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, 'Gaz')"));
    m_id = Scalar(m_db.connection(), "SELECT MAX(Id) FROM ACCOUNT").toInt();
    m_account = std::make_unique<DataSet>(m_db.connection(), "Account");
    m_account->setSql({"SELECT * FROM ACCOUNT", "WHERE Id_File=1"});
    m_account->open();
    QVERIFY(m_account->locate("Id", m_id));
    m_account->edit();
    m_source = std::make_unique<DataSource>(*m_account);
}

void TestAccountPictures::cleanup()
{
    m_source.reset();
    m_account.reset();
    m_db.release();
}

QByteArray TestAccountPictures::storedThumbnail()
{
    return Scalar(m_db.connection(), QString("SELECT ImgMini1 FROM ACCOUNT WHERE Id=%1").arg(m_id))
        .toByteArray();
}

void TestAccountPictures::import(const QString& source, const PictureSettings& settings)
{
    ImportAccountPicture(*m_source, *m_account, 70, "ImgMini1", picturePath(), source, 70,
                         settings);
}

void TestAccountPictures::jpegIsCopiedByteForByte()
{
    // Neither fitted into MaxWidth nor coded again, whatever its size.
    const QByteArray jpeg = MakeJpeg(6000, 4000, 3, JCS_RGB);
    const QString source = m_db.folder() + "Source/Photo.JPEG";
    WriteFile(source, jpeg);
    import(source);
    QCOMPARE(ReadFile(picturePath()), jpeg);
    // The row was posted and read again, on the same account.
    QCOMPARE(m_account->state(), DataSetState::Browsing);
    QCOMPARE(m_account->fieldByName("Id").asInteger(), m_id);
    const Picture thumbnail = DecodeBmp(storedThumbnail());
    QCOMPARE(thumbnail.width(), 70);
    QCOMPARE(thumbnail.height(), 70);
    // 6000 × 4000 fits as 70 × 46, centred at top 12.
    QVERIFY(IsWhite(thumbnail, 35, 11));
    QVERIFY(!IsWhite(thumbnail, 35, 12));
    QVERIFY(!IsWhite(thumbnail, 35, 57));
    QVERIFY(IsWhite(thumbnail, 35, 58));
    QVERIFY(LeftOvers(m_db.folder() + "Images").isEmpty());
}

void TestAccountPictures::largeBitmapIsFittedAndEncoded()
{
    const QString source = m_db.folder() + "Source/Scan.bmp";
    WriteFile(source, EncodeBmp(RandomPicture(6000, 4000)));
    // The windows keep being served while the picture is worked on: a timer standing for the
    // repaints never waits long.
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestWait = 0;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, this, [&] {
        longestWait = std::max(longestWait, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticks.start(10);
    clock.start();
    import(source);
    const qint64 total = clock.elapsed();
    ticks.stop();
    qInfo("longest wait %lld ms of %lld ms", longestWait, total);
    QVERIFY2(longestWait * 4 < total,
             qPrintable(QString("longest wait %1 ms of %2 ms").arg(longestWait).arg(total)));
    Picture file;
    QVERIFY(ReadJpegFile(file, picturePath()));
    QCOMPARE(file.width(), 5000);
    QCOMPARE(file.height(), 3333);
    QCOMPARE(file.format(), PixelFormat::Bgr24);
    QCOMPARE(DecodeBmp(storedThumbnail()).width(), 70);
}

void TestAccountPictures::transparentPngLiesOnWhite()
{
    // The left half transparent, the right half opaque blue.
    QImage image(100, 60, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 60; ++y)
        for (int x = 50; x < 100; ++x)
            image.setPixel(x, y, qRgba(0, 0, 255, 255));
    const QString source = m_db.folder() + "Source/capture.png";
    WriteFile(source, PngBytes(image));
    import(source);

    Picture file;
    QVERIFY(ReadJpegFile(file, picturePath()));
    QCOMPARE(file.width(), 100);
    QCOMPARE(file.height(), 60);
    const uchar* left = file.row(30) + 3 * 20;
    const uchar* right = file.row(30) + 3 * 80;
    QVERIFY2(left[0] > 245 && left[1] > 245 && left[2] > 245, "transparent part is white");
    QVERIFY2(right[0] > 230 && right[1] < 30 && right[2] < 30, "opaque part stays blue");

    const QByteArray bmp = storedThumbnail();
    QCOMPARE(BmpBitsPerPixel(bmp), 24);
    const Picture thumbnail = DecodeBmp(bmp);
    // 100 × 60 fits as 70 × 42 at top 14: white on the left, blue on the right.
    QVERIFY(IsWhite(thumbnail, 10, 35));
    const uchar* blue = thumbnail.row(35) + 3 * 60;
    // The resize's mean of equal values may come out one below them.
    QVERIFY(blue[0] >= 254);
    QCOMPARE(int(blue[2]), 0);
}

void TestAccountPictures::thumbnailIsCentredOnWhite_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QRect>("picture");
    // A small picture keeps its size; a wide one is fitted and centred down.
    QTest::newRow("40 x 40") << 40 << 40 << QRect(15, 15, 40, 40);
    QTest::newRow("300 x 100") << 300 << 100 << QRect(0, 23, 70, 23);
    QTest::newRow("100 x 300") << 100 << 300 << QRect(23, 0, 23, 70);
}

void TestAccountPictures::thumbnailIsCentredOnWhite()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QRect, picture);
    const QString source = m_db.folder() + "Source/small.bmp";
    WriteFile(source, EncodeBmp(RandomPicture(width, height)));
    import(source);
    const QByteArray bmp = storedThumbnail();
    QCOMPARE(bmp.left(2), QByteArray("BM"));
    QCOMPARE(BmpBitsPerPixel(bmp), 24);
    const Picture thumbnail = DecodeBmp(bmp);
    QCOMPARE(thumbnail.width(), 70);
    QCOMPARE(thumbnail.height(), 70);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 70; ++x)
            QVERIFY2(IsWhite(thumbnail, x, y) != picture.contains(x, y),
                     qPrintable(QString("(%1, %2)").arg(x).arg(y)));
}

void TestAccountPictures::badSourceChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray jpeg = MakeJpeg(200, 100, 3, JCS_RGB);
    const QByteArray bmp = EncodeBmp(RandomPicture(50, 40));
    BmpParts huge;
    huge.width = 70000;
    huge.height = 70000;
    QTest::newRow("missing") << "absent.jpg" << QByteArray() << "introuvable";
    QTest::newRow("text named jpg") << "notes.jpg" << QByteArray("pas une image") << "illisible";
    QTest::newRow("truncated jpeg") << "cut.jpg" << jpeg.left(jpeg.size() / 2) << "illisible";
    QTest::newRow("truncated bmp") << "cut.bmp" << bmp.left(bmp.size() / 2) << "BMP";
    QTest::newRow("bmp over the limit") << "huge.bmp" << Build(huge) << "trop grande";
    QTest::newRow("png over the limit") << "huge.png" << PngClaimingWidth(70000) << "trop grande";
    QTest::newRow("truncated png")
        << "cut.png" << PngBytes(QImage(300, 300, QImage::Format_RGB32)).left(60) << "illisible";
    QTest::newRow("text named png") << "notes.png" << QByteArray("pas une image") << "illisible";
}

void TestAccountPictures::badSourceChangesNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    // The account already has a picture.
    const QString first = m_db.folder() + "Source/first.jpg";
    WriteFile(first, MakeJpeg(120, 90, 3, JCS_RGB));
    import(first);
    const QByteArray fileBefore = ReadFile(picturePath());
    const QByteArray thumbnailBefore = storedThumbnail();
    QVERIFY(!thumbnailBefore.isEmpty());

    const QString source = m_db.folder() + "Source/" + name;
    if (!bytes.isEmpty())
        WriteFile(source, bytes);
    try {
        import(source);
        QFAIL("the bad file was taken");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        QVERIFY2(e.text().contains(name), qPrintable(e.text()));
    }
    QCOMPARE(ReadFile(picturePath()), fileBefore);
    QCOMPARE(storedThumbnail(), thumbnailBefore);
    QCOMPARE(m_account->fieldByName("ImgMini1").asBytes(), thumbnailBefore);
    QVERIFY(LeftOvers(m_db.folder() + "Images").isEmpty());
}

void TestAccountPictures::newPictureReplacesTheOldOne()
{
    const QString first = m_db.folder() + "Source/first.jpg";
    const QString second = m_db.folder() + "Source/second.jpg";
    WriteFile(first, MakeJpeg(120, 90, 3, JCS_RGB));
    WriteFile(second, MakeJpeg(90, 120, 1, JCS_GRAYSCALE));
    import(first);
    const QByteArray thumbnailBefore = storedThumbnail();
    import(second);
    QCOMPARE(ReadFile(picturePath()), ReadFile(second));
    QVERIFY(storedThumbnail() != thumbnailBefore);
    // A grey JPEG still gives a 24-bit thumbnail.
    QCOMPARE(BmpBitsPerPixel(storedThumbnail()), 24);
    // The other account kept no picture.
    QVERIFY(Scalar(m_db.connection(), "SELECT ImgMini1 FROM ACCOUNT WHERE Title='Eau'").isNull());
}

void TestAccountPictures::refusedRowPutsTheFileBack()
{
    const QString first = m_db.folder() + "Source/first.jpg";
    const QString second = m_db.folder() + "Source/second.bmp";
    WriteFile(first, MakeJpeg(120, 90, 3, JCS_RGB));
    WriteFile(second, EncodeBmp(RandomPicture(60, 40)));
    import(first);
    const QByteArray fileBefore = ReadFile(picturePath());
    const QByteArray thumbnailBefore = storedThumbnail();
    // The engine refuses the new thumbnail, after the picture file has been replaced.
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("CREATE TRIGGER refuse_thumbnail BEFORE UPDATE OF ImgMini1 ON ACCOUNT "
                   "WHEN NEW.ImgMini1 IS NOT OLD.ImgMini1 "
                   "BEGIN SELECT RAISE(ABORT, 'vignette refusée'); END"));
    QVERIFY_THROWS_EXCEPTION(Error, import(second));
    QCOMPARE(ReadFile(picturePath()), fileBefore);
    QCOMPARE(storedThumbnail(), thumbnailBefore);
    QCOMPARE(m_account->fieldByName("ImgMini1").asBytes(), thumbnailBefore);
    QVERIFY(LeftOvers(m_db.folder() + "Images").isEmpty());
}

void TestAccountPictures::removingClearsBothColumnsAndTheFile_data()
{
    QTest::addColumn<bool>("fileDeletedByHand");
    QTest::newRow("file present") << false;
    QTest::newRow("file deleted by hand") << true;
}

void TestAccountPictures::removingClearsBothColumnsAndTheFile()
{
    QFETCH(bool, fileDeletedByHand);
    const QString source = m_db.folder() + "Source/first.jpg";
    WriteFile(source, MakeJpeg(120, 90, 3, JCS_RGB));
    import(source);
    m_account->edit();
    m_account->fieldByName("Img1").setBytes("old");
    if (fileDeletedByHand)
        QVERIFY(QFile::remove(picturePath()));
    RemoveAccountPicture(*m_source, *m_account, "IMG1", "IMGMINI1", picturePath());
    QVERIFY(!QFile::exists(picturePath()));
    QVERIFY(Scalar(m_db.connection(), QString("SELECT ImgMini1 FROM ACCOUNT WHERE Id=%1").arg(m_id))
                .isNull());
    QVERIFY(Scalar(m_db.connection(), QString("SELECT Img1 FROM ACCOUNT WHERE Id=%1").arg(m_id))
                .isNull());
    QCOMPARE(m_account->fieldByName("Id").asInteger(), m_id);
}

void TestAccountPictures::deletePictureFile()
{
    const QString path = m_db.folder() + "Images/Account77.jpg";
    WriteFile(path, "x");
    DeletePictureFile(path);
    QVERIFY(!QFile::exists(path));
    DeletePictureFile(path); // already gone: nothing happens
    QVERIFY(!QFile::exists(path));
}

void TestAccountPictures::copyProposesASafeName_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("proposal");
    QTest::addColumn<QString>("dialogName");
    QTest::newRow("empty title") << ""
                                 << "*.jpg"
                                 << "";
    QTest::newRow("slash") << "Eau/Gaz"
                           << "Eau/Gaz.jpg"
                           << "Eau_Gaz.jpg";
    QTest::newRow("colon and more") << "A:B*C?\"<>|\\"
                                    << "A:B*C?\"<>|\\.jpg"
                                    << "A_B_C______.jpg";
    QTest::newRow("accents") << "Électricité"
                             << "Électricité.jpg"
                             << "Électricité.jpg";
}

void TestAccountPictures::copyProposesASafeName()
{
    QFETCH(QString, title);
    QFETCH(QString, proposal);
    QFETCH(QString, dialogName);
    QCOMPARE(ProposedPictureName(title), proposal);

    const QString picture = m_db.folder() + "Images/Account5.jpg";
    WriteFile(picture, "jpeg bytes");
    const QString copy = m_db.folder() + "Copies/copie.jpg";
    QDir().mkpath(m_db.folder() + "Copies");
    WriteFile(copy, "an older file");
    ScriptedPrompts prompts;
    prompts.fileAnswers.enqueue(copy);
    SavePictureCopyAs(picture, proposal, prompts);
    QCOMPARE(prompts.fileDialogs.size(), 1);
    const ScriptedPrompts::FileDialog asked = prompts.fileDialogs.first();
    QCOMPARE(asked.title, QString("Enregistrer l'image sous ..."));
    QCOMPARE(asked.filter, QString("Image Jpeg|*.jpg"));
    QCOMPARE(asked.name, dialogName);
    QCOMPARE(asked.defaultExtension, QString("jpg"));
    QCOMPARE(ReadFile(copy), QByteArray("jpeg bytes"));

    // Cancelled: nothing is copied.
    QVERIFY(QFile::remove(copy));
    prompts.fileAnswers.enqueue(std::nullopt);
    SavePictureCopyAs(picture, proposal, prompts);
    QVERIFY(!QFile::exists(copy));
}

void TestAccountPictures::copyOfAMissingFileShowsTheMessage()
{
    const QString picture = m_db.folder() + "Images/Account5.jpg";
    ScriptedPrompts prompts;
    SavePictureCopyAs(picture, "Eau.jpg", prompts);
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown.first().icon, Prompts::Icon::Error);
    QCOMPARE(prompts.shown.first().text,
             "IMPOSSIBLE DE TROUVER L'IMAGE !\rLe fichier \"" + QDir::toNativeSeparators(picture) +
                 "\" a sans doute été supprimé manuellement et n'est plus accessible.");
    QVERIFY(prompts.fileDialogs.isEmpty());
    QVERIFY(PictureNotViewableMessage(picture).startsWith("IMPOSSIBLE DE VISUALISER L'IMAGE !\r"));
}

void TestAccountPictures::copyOntoItselfKeepsTheFile()
{
    const QString picture = m_db.folder() + "Images/Account5.jpg";
    WriteFile(picture, "jpeg bytes");
    ScriptedPrompts prompts;
    prompts.fileAnswers.enqueue(picture);
    SavePictureCopyAs(picture, "Eau.jpg", prompts);
    QCOMPARE(ReadFile(picture), QByteArray("jpeg bytes"));
}

QTEST_MAIN(TestAccountPictures)
#include "tst_AccountPictures.moc"
