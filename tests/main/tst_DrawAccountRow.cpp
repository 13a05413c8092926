// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ColorHelpers.h"
#include "main/AccountEntry.h"
#include "main/DrawAccountRow.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace tilvo;

namespace {

constexpr int kWidth = 216;

AccountEntry Entry(const QString& title = "Électricité")
{
    AccountEntry e;
    e.AccountId = 7;
    e.Title = title;
    e.Description = "Compteur du garage";
    e.InfoLine = "01/02/2008  - 12.5 kWh";
    return e;
}

QImage RedThumbnail(int width = 35, int height = 35)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(Qt::red);
    return image;
}

// Rows painted one under the other on a grey canvas, as the list paints them.
QImage Paint(const QList<std::optional<AccountEntry>>& rows, int current,
             const QImage& thumbnail = RedThumbnail())
{
    QImage image(kWidth, int(rows.size()) * kAccountRowHeight, QImage::Format_RGB32);
    image.fill(QColor(0x80, 0x80, 0x80));
    QPainter painter(&image);
    for (int r = 0; r < rows.size(); ++r) {
        const QRect cell(0, r * kAccountRowHeight, kWidth, kAccountRowHeight);
        DrawAccountRow(painter, cell, kWidth, rows[r] ? &*rows[r] : nullptr, thumbnail,
                       r == current);
    }
    return image;
}

QColor At(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

QColor Shade(const QColor& background, int amount)
{
    return ColorFromWindows(ShiftColor(WindowsColor(background), amount));
}

// Whether any pixel of the area is dark, as text is.
bool HasInk(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                return true;
    return false;
}

} // namespace

class TestDrawAccountRow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void otherRowIsWhiteWithBoxAndShadow();
    void currentRowHasItsInsetRectangle();
    void shadowFollowsTheBackground_data();
    void shadowFollowsTheBackground();
    void thumbnailIsCentredInTheBox();
    void textsStayInTheirPlaces();
    void rowWithoutEntryPaintsNothing();
    void rowsDoNotPaintOverTheirNeighbours();
    void pictureForTheEye();
};

void TestDrawAccountRow::otherRowIsWhiteWithBoxAndShadow()
{
    const QImage image = Paint({Entry()}, -1);
    QCOMPARE(At(image, 0, 0), QColor(Qt::white));
    QCOMPARE(At(image, kWidth - 1, 49), QColor(Qt::white));
    // The box at left 4, top 5: its outline, then its shadow over the last column and row.
    QCOMPARE(At(image, 4, 5), kThumbnailOutline);
    QCOMPARE(At(image, 42, 5), kThumbnailOutline);
    QCOMPARE(At(image, 4, 43), kThumbnailOutline);
    QCOMPARE(At(image, 5, 6), QColor(Qt::white));
    QCOMPARE(At(image, 42, 7), QColor(0x87, 0x87, 0x87));
    QCOMPARE(At(image, 43, 20), QColor(0xAF, 0xAF, 0xAF));
    QCOMPARE(At(image, 44, 20), QColor(0xD7, 0xD7, 0xD7));
    QCOMPARE(At(image, 20, 43), QColor(0x87, 0x87, 0x87));
    QCOMPARE(At(image, 20, 44), QColor(0xAF, 0xAF, 0xAF));
    QCOMPARE(At(image, 20, 45), QColor(0xD7, 0xD7, 0xD7));
}

void TestDrawAccountRow::currentRowHasItsInsetRectangle()
{
    const QImage image = Paint({Entry()}, 0);
    // Inset by 3 pixels left and right, 2 top and bottom.
    QCOMPARE(At(image, 2, 10), QColor(Qt::white));
    QCOMPARE(At(image, 10, 1), QColor(Qt::white));
    QCOMPARE(At(image, 3, 2), kCurrentAccountOutline);
    QCOMPARE(At(image, kWidth - 4, 2), kCurrentAccountOutline);
    QCOMPARE(At(image, 3, 47), kCurrentAccountOutline);
    QCOMPARE(At(image, kWidth - 4, 47), kCurrentAccountOutline);
    QCOMPARE(At(image, kWidth - 3, 20), QColor(Qt::white));
    QCOMPARE(At(image, 10, 48), QColor(Qt::white));
    QCOMPARE(At(image, 4, 3), kCurrentAccountFill);
    QCOMPARE(At(image, kWidth - 6, 45), kCurrentAccountFill);
    // The box moves to left 6.
    QCOMPARE(At(image, 6, 5), kThumbnailOutline);
    QCOMPARE(At(image, 5, 5), kCurrentAccountFill);
}

void TestDrawAccountRow::shadowFollowsTheBackground_data()
{
    QTest::addColumn<bool>("current");
    QTest::newRow("other row") << false;
    QTest::newRow("current row") << true;
}

void TestDrawAccountRow::shadowFollowsTheBackground()
{
    QFETCH(bool, current);
    const QImage image = Paint({Entry()}, current ? 0 : -1);
    const QColor background = current ? kCurrentAccountFill : kAccountRowBackground;
    const int left = current ? 6 : 4;
    const int top = 5;
    const int shades[] = {-120, -80, -40};
    for (int k = 0; k < 3; ++k) {
        const QColor shade = Shade(background, shades[k]);
        // Column k runs from 2 + k to 38 + k below the top, row k likewise right of the left.
        QCOMPARE(At(image, left + 38 + k, top + 2 + k), shade);
        QCOMPARE(At(image, left + 38 + k, top + 37), shade);
        QCOMPARE(At(image, left + 2 + k, top + 38 + k), shade);
        QCOMPARE(At(image, left + 37, top + 38 + k), shade);
        QVERIFY(At(image, left + 38 + k, top + 1 + k) != shade);
    }
}

void TestDrawAccountRow::thumbnailIsCentredInTheBox()
{
    // 35 × 35 at an offset of 2; a 35 × 12 picture at round(13.5) = 14 from the top.
    QImage image = Paint({Entry()}, -1);
    QCOMPARE(At(image, 6, 7), QColor(Qt::red));
    QCOMPARE(At(image, 40, 41), QColor(Qt::red));
    QCOMPARE(At(image, 5, 7), QColor(Qt::white));
    QCOMPARE(At(image, 41, 41), QColor(Qt::white));
    image = Paint({Entry()}, -1, RedThumbnail(35, 12));
    QCOMPARE(At(image, 20, 5 + 13), QColor(Qt::white));
    QCOMPARE(At(image, 20, 5 + 14), QColor(Qt::red));
    QCOMPARE(At(image, 20, 5 + 25), QColor(Qt::red));
    QCOMPARE(At(image, 20, 5 + 26), QColor(Qt::white));
}

void TestDrawAccountRow::textsStayInTheirPlaces()
{
    AccountEntry onlyTitle = Entry("Eau");
    onlyTitle.Description.clear();
    onlyTitle.InfoLine.clear();
    QImage image = Paint({onlyTitle}, -1);
    QVERIFY(HasInk(image, QRect(50, 6, 40, 24)));
    QVERIFY(!HasInk(image, QRect(50, 0, kWidth - 50, 6)));
    QVERIFY(!HasInk(image, QRect(50, 30, kWidth - 50, 20)));
    QVERIFY(!HasInk(image, QRect(kWidth - 4, 0, 4, 50)));

    AccountEntry onlyInfo = Entry("");
    onlyInfo.Description.clear();
    image = Paint({onlyInfo}, -1);
    QVERIFY(HasInk(image, QRect(50, 34, 100, 16)));
    QVERIFY(!HasInk(image, QRect(50, 0, kWidth - 50, 34)));

    // A long title is cut at 4 pixels from the right edge.
    image = Paint({Entry(QString(60, QChar('W')))}, -1);
    QVERIFY(HasInk(image, QRect(kWidth - 20, 6, 15, 20)));
    QVERIFY(!HasInk(image, QRect(kWidth - 4, 0, 4, 50)));
}

void TestDrawAccountRow::rowWithoutEntryPaintsNothing()
{
    const QImage image = Paint({std::nullopt}, 0);
    QCOMPARE(image.pixel(10, 10), QColor(0x80, 0x80, 0x80).rgb());
    QCOMPARE(image.pixel(100, 40), QColor(0x80, 0x80, 0x80).rgb());
}

void TestDrawAccountRow::rowsDoNotPaintOverTheirNeighbours()
{
    QImage image(kWidth, 150, QImage::Format_RGB32);
    image.fill(QColor(0x80, 0x80, 0x80));
    QPainter painter(&image);
    const AccountEntry e = Entry();
    DrawAccountRow(painter, QRect(0, 50, kWidth, 50), kWidth, &e, RedThumbnail(), true);
    painter.end();
    for (int x = 0; x < kWidth; x += 5) {
        QCOMPARE(image.pixel(x, 49), QColor(0x80, 0x80, 0x80).rgb());
        QCOMPARE(image.pixel(x, 100), QColor(0x80, 0x80, 0x80).rgb());
    }
}

void TestDrawAccountRow::pictureForTheEye()
{
    AccountEntry second = Entry("Eau de la cuisine, compteur général");
    second.Description = "Relevé mensuel";
    second.InfoLine = "15/03/2007  - 1250.000 m3";
    const QImage image = Paint({Entry(), second, Entry("Gaz")}, 1);
    QDir().mkpath("screenshots");
    QVERIFY(image.scaled(image.size() * 3).save("screenshots/AccountRows.png"));
}

QTEST_MAIN(TestDrawAccountRow)
#include "tst_DrawAccountRow.moc"
