// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "images/BmpFile.h"
#include "images/ReferenceResize.h"
#include "images/ScalePictureColumn.h"
#include "images/Thumbnail.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <random>

using namespace tilvo;

namespace {

Picture RandomPicture(int width, int height)
{
    Picture picture(width, height);
    std::mt19937 random(unsigned(width * 3 + height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 3 * width; ++x)
            picture.row(y)[x] = uchar(random());
    return picture;
}

} // namespace

class TestScalePictureColumn : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void largePictureIsFittedIntoTheBox();
    void smallPictureStillGoesThroughTheResize();
    void thumbnailForTheAccountList();
    void emptyColumnGivesTheEmptyPicture();
    void damagedColumnThrowsAndKeepsTheDestination();

private:
    // Stores the bytes as the only row's ImgMini1 and returns the dataset on it.
    DataSet& rowWith(const QByteArray& bytes, bool null = false);

    QTemporaryDir m_dir;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<DataSet> m_account;
};

void TestScalePictureColumn::initTestCase()
{
    m_connection = std::make_unique<Connection>();
    m_connection->setCreateIfMissing(true);
    m_connection->setDatabaseFile(m_dir.filePath(QStringLiteral("TILVO.MDB")));
    m_connection->open();
    m_connection->exec(QStringLiteral(
        "CREATE TABLE ACCOUNT (Id COUNTER PRIMARY KEY, Title TEXT(128), ImgMini1 LONGBINARY)"));
    m_account = std::make_unique<DataSet>(*m_connection, QStringLiteral("Account"));
    m_account->setSqlText(QStringLiteral("SELECT * FROM ACCOUNT"));
}

void TestScalePictureColumn::cleanupTestCase()
{
    m_account.reset();
    m_connection->close();
    m_connection.reset();
}

void TestScalePictureColumn::init()
{
    m_account->close();
    m_connection->exec(QStringLiteral("DELETE FROM ACCOUNT"));
}

DataSet& TestScalePictureColumn::rowWith(const QByteArray& bytes, bool null)
{
    m_account->open();
    m_account->append();
    m_account->fieldByName(QStringLiteral("Title")).setText(QStringLiteral("Eau"));
    if (!null)
        m_account->fieldByName(QStringLiteral("ImgMini1")).setBytes(bytes);
    m_account->post();
    m_account->close();
    m_account->open(); // read back from the file
    return *m_account;
}

void TestScalePictureColumn::largePictureIsFittedIntoTheBox()
{
    const Picture source = RandomPicture(300, 100);
    DataSet& account = rowWith(EncodeBmp(source));
    Picture destination;
    ScalePictureColumn(destination, account.fieldByName(QStringLiteral("ImgMini1")), 35, 35);
    QCOMPARE(destination.width(), 35);
    QCOMPARE(destination.height(), 11);
    QVERIFY(destination == reference::ResizePicture(source, 35, 11));
}

void TestScalePictureColumn::smallPictureStillGoesThroughTheResize()
{
    const Picture source = RandomPicture(20, 10);
    DataSet& account = rowWith(EncodeBmp(source));
    Picture destination;
    ScalePictureColumn(destination, account.fieldByName(QStringLiteral("ImgMini1")), 50, 50);
    QCOMPARE(destination.width(), 20);
    QCOMPARE(destination.height(), 10);
    QVERIFY(destination == reference::ResizePicture(source, 20, 10));
    QVERIFY(!(destination == source));
}

void TestScalePictureColumn::thumbnailForTheAccountList()
{
    // The stored 70 x 70 thumbnail, square, is stretched over the 35 x 35 box of the list.
    const Picture thumbnail = MakeThumbnail(RandomPicture(120, 90), 70, 70);
    DataSet& account = rowWith(EncodeBmp(thumbnail));
    Picture destination;
    ScalePictureColumn(destination, account.fieldByName(QStringLiteral("ImgMini1")), 35, 35);
    QVERIFY(destination == reference::ResizePicture(thumbnail, 35, 35));
}

void TestScalePictureColumn::emptyColumnGivesTheEmptyPicture()
{
    Picture destination = RandomPicture(4, 4);
    DataSet& account = rowWith(QByteArray(), true);
    ScalePictureColumn(destination, account.fieldByName(QStringLiteral("ImgMini1")), 35, 35);
    QVERIFY(destination.isEmpty());
}

void TestScalePictureColumn::damagedColumnThrowsAndKeepsTheDestination()
{
    QByteArray bytes = EncodeBmp(RandomPicture(30, 30));
    bytes.truncate(100);
    DataSet& account = rowWith(bytes);
    const Picture before = RandomPicture(4, 4);
    Picture destination = before;
    try {
        ScalePictureColumn(destination, account.fieldByName(QStringLiteral("ImgMini1")), 35, 35);
        QFAIL("a damaged column was read");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("Image BMP illisible : le fichier est tronqué."));
    }
    QVERIFY(destination == before);
}

QTEST_APPLESS_MAIN(TestScalePictureColumn)
#include "tst_ScalePictureColumn.moc"
