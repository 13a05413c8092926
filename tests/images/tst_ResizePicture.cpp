// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "images/ReferenceResize.h"
#include "images/ResizePicture.h"

#include <QTest>
#include <algorithm>
#include <random>

using namespace tilvo;

namespace {

enum class Content
{
    Random,
    Quantised,
    Gradient,
    Grain,
    White,
    Black,
    Ones
};

Picture MakePicture(int width, int height, Content content, unsigned seed)
{
    Picture picture(width, height);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.row(y);
        for (int x = 0; x < 3 * width; ++x) {
            switch (content) {
            case Content::Random:
                row[x] = uchar(random());
                break;
            case Content::Quantised: // large flat areas, where the exact path matters most
                row[x] = uchar((random() % 3) * 127);
                break;
            case Content::Gradient:
                row[x] = uchar((x / 3 * 7 + y * 3 + x % 3 * 50) & 0xFF);
                break;
            case Content::Grain: // slow shading plus 0 to 2: many means fall on whole numbers
                row[x] = uchar(std::min<unsigned>(255, x / 30 + y / 20 + random() % 3));
                break;
            case Content::White:
                row[x] = 255;
                break;
            case Content::Black:
                row[x] = 0;
                break;
            case Content::Ones:
                row[x] = 1;
                break;
            }
        }
    }
    return picture;
}

QByteArray Pixels(const Picture& picture)
{
    QByteArray bytes;
    for (int y = 0; y < picture.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(picture.row(y)), 3 * picture.width());
    return bytes;
}

// The first differing pixel, as "(x, y): fast b g r, reference b g r", or an empty text.
QString FirstDifference(const Picture& fast, const Picture& reference)
{
    if (fast.width() != reference.width() || fast.height() != reference.height())
        return QStringLiteral("sizes differ");
    for (int y = 0; y < fast.height(); ++y) {
        for (int x = 0; x < fast.width(); ++x) {
            const uchar* a = fast.row(y) + 3 * x;
            const uchar* b = reference.row(y) + 3 * x;
            if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2])
                return QStringLiteral("(%1, %2): fast %3 %4 %5, reference %6 %7 %8")
                    .arg(x)
                    .arg(y)
                    .arg(a[0])
                    .arg(a[1])
                    .arg(a[2])
                    .arg(b[0])
                    .arg(b[1])
                    .arg(b[2]);
        }
    }
    return QString();
}

} // namespace

class TestResizePicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void doublesTheWidthOfTwoPixels();
    void fourEqualWeightsGiveTheExactMean();
    void firstColumnAndRowComeFromTheSourceFirstColumnAndRow();
    void sameSizeIsNotAnIdentity();
    void zeroSizeGivesTheEmptyPicture();
    void refusesBadSizesAndEmptySources();
    void greySourceIsConvertedFirst();
    void matchesTheReference_data();
    void matchesTheReference();
    void vectorWeightsAreTheExactOnes();
};

void TestResizePicture::doublesTheWidthOfTwoPixels()
{
    Picture picture(2, 1);
    picture.row(0)[0] = 0;
    picture.row(0)[3] = 200;
    ResizePicture(picture, 4, 1);
    QCOMPARE(picture.width(), 4);
    QCOMPARE(picture.height(), 1);
    QCOMPARE(picture.format(), PixelFormat::Bgr24);
    const uchar* row = picture.row(0);
    QCOMPARE(row[0], uchar(0));
    QCOMPARE(row[3], uchar(0));
    QCOMPARE(row[6], uchar(100));
    QCOMPARE(row[9], uchar(200));
}

void TestResizePicture::fourEqualWeightsGiveTheExactMean()
{
    // 2 x 2 to 4 x 4: the pixel (2, 2) samples (0.5, 0.5), amid the four source pixels.
    Picture picture(2, 2);
    picture.row(0)[0] = 100;
    picture.row(0)[3] = 200;
    picture.row(1)[0] = 150;
    picture.row(1)[3] = 250;
    ResizePicture(picture, 4, 4);
    QCOMPARE(picture.row(2)[6], uchar(175));
}

void TestResizePicture::firstColumnAndRowComeFromTheSourceFirstColumnAndRow()
{
    const Picture source = MakePicture(9, 7, Content::Random, 1);
    Picture changed = source;
    for (int y = 1; y < 7; ++y)
        for (int x = 3; x < 27; ++x)
            changed.row(y)[x] ^= 0x5A; // all but the first column and the first row
    Picture a = source;
    Picture b = changed;
    ResizePicture(a, 20, 15);
    ResizePicture(b, 20, 15);
    for (int x = 0; x < 60; ++x)
        QCOMPARE(a.row(0)[x], b.row(0)[x]);
    for (int y = 0; y < 15; ++y)
        for (int c = 0; c < 3; ++c)
            QCOMPARE(a.row(y)[c], b.row(y)[c]);
    QVERIFY(!(a == b));
}

void TestResizePicture::sameSizeIsNotAnIdentity()
{
    const Picture source = MakePicture(5, 4, Content::Random, 2);
    Picture picture = source;
    ResizePicture(picture, 5, 4);
    QCOMPARE(picture.width(), 5);
    QVERIFY(!(picture == source));
    for (int c = 0; c < 3; ++c)
        QCOMPARE(picture.row(0)[c], source.row(0)[c]);
}

void TestResizePicture::zeroSizeGivesTheEmptyPicture()
{
    Picture picture = MakePicture(5, 4, Content::Random, 3);
    ResizePicture(picture, 0, 10);
    QVERIFY(picture.isEmpty());
    Picture other = MakePicture(5, 4, Content::Random, 3);
    ResizePicture(other, 10, 0);
    QVERIFY(other.isEmpty());
    Picture empty;
    ResizePicture(empty, 0, 0);
    QVERIFY(empty.isEmpty());
}

void TestResizePicture::refusesBadSizesAndEmptySources()
{
    Picture picture = MakePicture(5, 4, Content::Random, 4);
    const Picture before = picture;
    QVERIFY_THROWS_EXCEPTION(Error, ResizePicture(picture, -1, 10));
    QVERIFY_THROWS_EXCEPTION(Error, ResizePicture(picture, 10, -1));
    QVERIFY_THROWS_EXCEPTION(Error, ResizePicture(picture, 100000, 100000));
    QVERIFY(picture == before);
    Picture empty;
    try {
        ResizePicture(empty, 10, 10);
        QFAIL("an empty picture was resized");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("Impossible de redimensionner une image vide."));
    }
}

void TestResizePicture::greySourceIsConvertedFirst()
{
    Picture grey(6, 5, PixelFormat::Grey8);
    std::mt19937 random(5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            grey.row(y)[x] = uchar(random());
    Picture resized = grey;
    ResizePicture(resized, 11, 3);
    QCOMPARE(resized.format(), PixelFormat::Bgr24);
    QCOMPARE(Pixels(resized), Pixels(reference::ResizePicture(grey.toBgr24(), 11, 3)));
}

void TestResizePicture::matchesTheReference_data()
{
    QTest::addColumn<int>("sourceWidth");
    QTest::addColumn<int>("sourceHeight");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("content");

    struct Case
    {
        const char* name;
        int sw, sh, tw, th;
    };
    const Case cases[] = {
        {"up 7x5 to 23x17", 7, 5, 23, 17},
        {"up 3x3 to 100x100", 3, 3, 100, 100},
        {"up 2x2 to 4x4", 2, 2, 4, 4},
        {"up 100x77 to 333x250", 100, 77, 333, 250},
        {"down 100x80 to 13x9", 100, 80, 13, 9},
        {"down 640x480 to 70x52", 640, 480, 70, 52},
        {"down 300x200 to 70x46", 300, 200, 70, 46},
        {"down 60x40 to 50x33", 60, 40, 50, 33},
        {"non-uniform 50x50 to 120x20", 50, 50, 120, 20},
        {"non-uniform 30x90 to 7x200", 30, 90, 7, 200},
        {"1-pixel source", 1, 1, 5, 3},
        {"1-pixel target", 97, 61, 1, 1},
        {"1-pixel to 1-pixel", 1, 1, 1, 1},
        {"1 column", 1, 40, 1, 7},
        {"1 row up", 40, 1, 90, 1},
        {"1 row to a block", 9, 1, 4, 6},
        {"same size", 33, 21, 33, 21},
        {"same size, odd", 1001, 3, 1001, 3},
        {"fractions that never repeat", 401, 301, 333, 250},
        {"threaded size", 420, 300, 500, 333},
    };
    const struct
    {
        const char* name;
        Content content;
    } contents[] = {
        {"random", Content::Random},     {"quantised", Content::Quantised},
        {"gradient", Content::Gradient}, {"grain", Content::Grain},
        {"white", Content::White},       {"black", Content::Black},
        {"ones", Content::Ones},
    };
    for (const Case& c : cases) {
        for (const auto& content : contents) {
            // The plain colours only on a few sizes: they take the same paths everywhere.
            const bool plain = content.content == Content::White ||
                               content.content == Content::Black ||
                               content.content == Content::Ones;
            if (plain && c.tw * c.th > 20000)
                continue;
            QTest::addRow("%s, %s", c.name, content.name)
                << c.sw << c.sh << c.tw << c.th << int(content.content);
        }
    }
}

void TestResizePicture::matchesTheReference()
{
    QFETCH(int, sourceWidth);
    QFETCH(int, sourceHeight);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, content);
    const Picture source = MakePicture(sourceWidth, sourceHeight, Content(content),
                                       unsigned(sourceWidth * 131 + height));
    const Picture expected = reference::ResizePicture(source, width, height);

    for (const detail::ResizeKernel kernel :
         {detail::ResizeKernel::Portable, detail::ResizeKernel::Avx2}) {
        if (!detail::ResizeKernelAvailable(kernel))
            continue;
        for (const int threads : {1, 2}) {
            const Picture fast = detail::ResizedCopy(source, width, height, kernel, threads);
            const QString difference = FirstDifference(fast, expected);
            if (!difference.isEmpty())
                QFAIL(qPrintable(QStringLiteral("kernel %1, %2 thread(s): %3")
                                     .arg(int(kernel))
                                     .arg(threads)
                                     .arg(difference)));
        }
    }
    Picture picture = source;
    ResizePicture(picture, width, height);
    QCOMPARE(FirstDifference(picture, expected), QString());
}

// The AVX2 and AVX-512 weights against the long double ones over many more fractions than
// the pictures reach: those of real size pairs, whole and tiny fractions, and arbitrary ones.
void TestResizePicture::vectorWeightsAreTheExactOnes()
{
    if (!detail::ResizeKernelAvailable(detail::ResizeKernel::Avx2))
        QSKIP("no AVX2 on this processor");
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto fraction = [](int source, int target, int t) {
        const double s = double(std::int64_t(source) * t) / double(target) - 0.5;
        const double f = s > 0 ? std::min(s, double(source - 1)) : 0.0;
        return f - std::floor(f);
    };
    int sets = 0;
    int fallbacks = 0;
    const auto check = [&](const double(&dx)[8], double dy) {
        const int left = detail::CompareVectorWeights(dx, dy);
        QString fractions;
        for (double f : dx)
            fractions += QString::number(f, 'g', 17) + ' ';
        QVERIFY2(left >= 0, qPrintable(QString("dx %1, dy %2").arg(fractions).arg(dy, 0, 'g', 17)));
        sets += 8;
        fallbacks += left;
    };
    // The worst case of the benchmark and other sizes whose fractions never repeat.
    const int pairs[][2] = {{4001, 3333}, {3001, 2500}, {6000, 5000}, {401, 333}, {97, 61}};
    for (const auto& pair : pairs) {
        for (int t = 0; t + 8 <= pair[1]; t += 8) {
            double dx[8];
            for (int i = 0; i < 8; ++i)
                dx[i] = fraction(pair[0], pair[1], t + i);
            check(dx, fraction(3001, 2500, int(random() % 2500)));
            if (QTest::currentTestFailed())
                return;
        }
    }
    // Whole fractions, on either axis or both, and tiny ones.
    const double specials[] = {0.0, 0.5, 0x1p-53, 0x1p-30, 1.0 - 0x1p-53, 0.25, 0.75};
    for (double dy : specials) {
        for (double a : specials) {
            const double dx[8] = {a, 0.0, unit(random), 1.0 - a, 0.5, a / 2, 0.0, unit(random)};
            check(dx, dy);
        }
    }
    for (int i = 0; i < 60000 && !QTest::currentTestFailed(); ++i) {
        double dx[8];
        for (double& f : dx)
            f = unit(random);
        check(dx, unit(random));
    }
    qInfo("%d of %d weight sets left to the long double code", fallbacks, sets);
    // The long double code is left only a few columns.
    QVERIFY2(fallbacks * 20 < sets, qPrintable(QString("%1 of %2").arg(fallbacks).arg(sets)));
}

QTEST_APPLESS_MAIN(TestResizePicture)
#include "tst_ResizePicture.moc"
