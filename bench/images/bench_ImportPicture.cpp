// SPDX-License-Identifier: GPL-3.0-or-later
// Taking a 6000 x 4000 picture into an account, from the chosen file until the thumbnail is
// stored: ImportAccountPicture on a BMP and on a PNG (the picture file fitted to 5000 x 3333
// and written as JPEG at quality 100, the 70 x 70 thumbnail written into the row).
// The reference, timed in the same iteration, is what Qt alone would do with the same file:
// QImageReader, QImage::scaled (smooth) to the same sizes, the JPEG written by Qt's writer at
// the same quality, the thumbnail drawn on white and kept as BMP bytes.
// Reported: our median time per import, Qt's beside it and their ratio (ours / Qt's).
// Run from a Release build: scripts/bench.sh bench_ImportPicture
#include "db/Connection.h"
#include "db/DataSet.h"
#include "images/AccountPictures.h"
#include "images/BmpFile.h"
#include "images/Picture.h"
#include "support/BenchMain.h"
#include "support/Timing.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

using namespace tilvo;
using tilvo::bench::Milliseconds;
using tilvo::bench::SteadyClock;

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// Smooth shading with a little grain, as a photograph or a scan.
Picture PhotoLike()
{
    Picture picture(kWidth, kHeight);
    std::mt19937 random(42);
    for (int y = 0; y < kHeight; ++y) {
        uchar* row = picture.row(y);
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = uchar(std::min<unsigned>(
                    255, (x * (c + 1) / 40 + y / (30 + 10 * c)) % 256 + random() % 3));
    }
    return picture;
}

// A folder with the two source files and a database holding one account.
struct Fixture
{
    QTemporaryDir folder;
    QString bmp;
    QString png;
    Connection connection;
    std::unique_ptr<DataSet> account;
    std::unique_ptr<DataSource> source;

    Fixture()
    {
        const Picture picture = PhotoLike();
        bmp = folder.filePath(QStringLiteral("scan.bmp"));
        png = folder.filePath(QStringLiteral("photo.png"));
        WriteBmpFile(picture, bmp);
        QImageWriter writer(png, "png");
        writer.write(picture.toQImage());
        connection.setDatabaseFile(folder.filePath(QStringLiteral("bench.db")));
        connection.setCreateIfMissing(true);
        connection.open();
        connection.exec(QStringLiteral(
            "CREATE TABLE ACCOUNT (Id COUNTER PRIMARY KEY, Title TEXT(128), ImgMini1 LONGBINARY)"));
        connection.exec(QStringLiteral("INSERT INTO ACCOUNT (Title) VALUES ('Eau')"));
        account = std::make_unique<DataSet>(connection, QStringLiteral("Account"));
        account->setSql({QStringLiteral("SELECT * FROM ACCOUNT"), QStringLiteral("WHERE Id=1")});
        account->open();
        source = std::make_unique<DataSource>(*account);
    }
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

// The same work with Qt's own reader, scaling and writer.
void QtImport(const QString& sourcePath, const QString& target)
{
    QImageReader reader(sourcePath);
    QImage image = reader.read();
    if (image.hasAlphaChannel()) {
        QImage opaque(image.size(), QImage::Format_RGB888);
        opaque.fill(Qt::white);
        QPainter(&opaque).drawImage(0, 0, image);
        image = opaque;
    }
    const QImage fitted = image.scaled(5000, 5000, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImageWriter writer(target, "jpeg");
    writer.setQuality(100);
    writer.write(fitted);
    const QImage small = image.scaled(70, 70, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage thumbnail(70, 70, QImage::Format_RGB888);
    thumbnail.fill(Qt::white);
    QPainter(&thumbnail).drawImage((70 - small.width()) / 2, (70 - small.height()) / 2, small);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    thumbnail.save(&buffer, "BMP");
    benchmark::DoNotOptimize(bytes.data());
}

void Import(benchmark::State& state, bool png)
{
    Fixture& f = Shared();
    const QString sourcePath = png ? f.png : f.bmp;
    const QString ours = f.folder.filePath(QStringLiteral("Images/Account1.jpg"));
    const QString qt = f.folder.filePath(QStringLiteral("qt.jpg"));
    double oursTotal = 0;
    double qtTotal = 0;
    for (auto _ : state) {
        const auto start = SteadyClock::now();
        ImportAccountPicture(*f.source, *f.account, 70, QStringLiteral("ImgMini1"), ours,
                             sourcePath, 70);
        const double ms = Milliseconds(SteadyClock::now() - start);
        const auto qtStart = SteadyClock::now();
        QtImport(sourcePath, qt);
        const double qtMs = Milliseconds(SteadyClock::now() - qtStart);
        state.SetIterationTime(ms / 1000.0);
        oursTotal += ms;
        qtTotal += qtMs;
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = oursTotal / n;
    state.counters["qt_ms"] = qtTotal / n;
    state.counters["ratio"] = oursTotal / qtTotal;
}

void ImportBmp(benchmark::State& state)
{
    Import(state, false);
}

void ImportPng(benchmark::State& state)
{
    Import(state, true);
}

} // namespace

BENCHMARK(ImportBmp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportPng)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return tilvo::bench::RunBenchmarks(argc, argv);
}
