// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "db/CabinetReader.h"
#include "db/CabinetWriter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace tilvo;
using namespace tilvo::test;

namespace {

QByteArray Noise(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// The fields of a cabinet's header that say how it is laid out.
struct Header
{
    quint16 folders = 0;
    quint16 files = 0;
    quint16 flags = 0;
    quint16 setId = 0;
    quint16 firstCompression = 0;
};

Header ReadHeader(const QByteArray& cabinet)
{
    Header h;
    if (cabinet.size() < 44 || !cabinet.startsWith("MSCF"))
        return h;
    const auto* bytes = reinterpret_cast<const uchar*>(cabinet.constData());
    h.folders = qFromLittleEndian<quint16>(bytes + 26);
    h.files = qFromLittleEndian<quint16>(bytes + 28);
    h.flags = qFromLittleEndian<quint16>(bytes + 30);
    h.setId = qFromLittleEndian<quint16>(bytes + 32);
    h.firstCompression = qFromLittleEndian<quint16>(bytes + 42);
    return h;
}

int RunCabextract(const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("cabextract"), arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitCode();
}

} // namespace

class TestCabinet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void writesEntriesInOrderUnderTheirNames();
    void contentBeyondTheFormatsLimitIsRefused();
    void readsWhatTheGcabToolWrites();
    void extractionNames_data();
    void extractionNames();
    void extractionNeverLeavesItsFolder();
    void unreadableFileIsRefusedWhenAdded();
    void unwritableTargetIsReported();
    void damagedDataIsRefused_data();
    void damagedDataIsRefused();

private:
    QString path(const QString& name) const { return m_dir->path() + u'/' + name; }
    QString file(const QString& name, const QByteArray& bytes)
    {
        WriteFile(path(name), bytes);
        return path(name);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCabinet::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestCabinet::cleanup()
{
    m_dir.reset();
}

void TestCabinet::writesEntriesInOrderUnderTheirNames()
{
    CabinetWriter writer;
    writer.addFile(QStringLiteral("TILVO.MDB"), file(QStringLiteral("db"), Noise(70000, 1)));
    writer.addFile(QStringLiteral("b.jpg"), file(QStringLiteral("x/b"), QByteArray(50000, 'b')));
    writer.addFile(QStringLiteral("a.jpg"), file(QStringLiteral("a"), QByteArray()));
    QCOMPARE(writer.count(), 3);
    QStringList written;
    writer.write(path(QStringLiteral("out.cab")), [&written](int index, const QString& name) {
        written << QString::number(index) + u':' + name;
    });
    QCOMPARE(written, QStringList({"0:TILVO.MDB", "1:b.jpg", "2:a.jpg"}));

    const Header header = ReadHeader(ReadFile(path(QStringLiteral("out.cab"))));
    QCOMPARE(header.folders, quint16(1));
    QCOMPARE(header.files, quint16(3));
    QCOMPARE(header.flags, quint16(0)); // no reserved areas, no previous or next cabinet
    QCOMPARE(header.setId, quint16(0));
    QCOMPARE(header.firstCompression, quint16(1)); // MSZIP

    CabinetReader reader(path(QStringLiteral("out.cab")));
    QCOMPARE(reader.entries().size(), 3);
    QCOMPARE(reader.entries().at(0).name, QStringLiteral("TILVO.MDB"));
    QCOMPARE(reader.entries().at(0).size, 70000);
    QCOMPARE(reader.entries().at(1).name, QStringLiteral("b.jpg"));
    QCOMPARE(reader.entries().at(2).size, 0);
    QStringList extracted;
    QDir().mkpath(path(QStringLiteral("out")));
    reader.extractAll(path(QStringLiteral("out")), [&extracted](int index, const QString& name) {
        extracted << QString::number(index) + u':' + name;
    });
    QCOMPARE(extracted, written);
    QCOMPARE(ReadFile(path(QStringLiteral("out/TILVO.MDB"))), Noise(70000, 1));
    QCOMPARE(ReadFile(path(QStringLiteral("out/b.jpg"))), QByteArray(50000, 'b'));
    QVERIFY(QFileInfo(path(QStringLiteral("out/a.jpg"))).isFile());
}

void TestCabinet::contentBeyondTheFormatsLimitIsRefused()
{
    QCOMPARE(CabinetWriter().contentLimit(), qint64(65535) * 32768);
    CabinetWriter writer;
    writer.setContentLimit(100000);
    writer.addFile(QStringLiteral("a.jpg"), file(QStringLiteral("a"), QByteArray(60000, 'a')));
    try {
        writer.addFile(QStringLiteral("b.jpg"), file(QStringLiteral("b"), QByteArray(60000, 'b')));
        QFAIL("added");
    } catch (const Error& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Les fichiers à sauvegarder sont trop grands "
                                                    "pour une archive de sauvegarde")),
                 qPrintable(e.text()));
    }
    QCOMPARE(writer.count(), 1);
    const QString cabinet = path(QStringLiteral("out.cab"));
    writer.write(cabinet);
    QString output;
    QCOMPARE(RunCabextract({QStringLiteral("-t"), cabinet}, &output), 0);
    QVERIFY2(output.contains(QLatin1String("All done, no errors.")), qPrintable(output));
}

void TestCabinet::readsWhatTheGcabToolWrites()
{
    file(QStringLiteral("in/TILVO.MDB"), Noise(40000, 7));
    file(QStringLiteral("in/Account1.jpg"), QByteArray(9000, 'j'));
    QProcess gcab;
    gcab.setWorkingDirectory(path(QStringLiteral("in")));
    gcab.start(QStringLiteral("gcab"),
               {QStringLiteral("-c"), QStringLiteral("-z"), QStringLiteral("-n"),
                path(QStringLiteral("tool.cab")), QStringLiteral("TILVO.MDB"),
                QStringLiteral("Account1.jpg")});
    QVERIFY(gcab.waitForFinished(60000));
    QCOMPARE(gcab.exitCode(), 0);
    CabinetReader reader(path(QStringLiteral("tool.cab")));
    QCOMPARE(reader.entries().size(), 2);
    QDir().mkpath(path(QStringLiteral("out")));
    reader.extractAll(path(QStringLiteral("out")));
    QCOMPARE(ReadFile(path(QStringLiteral("out/TILVO.MDB"))), Noise(40000, 7));
    QCOMPARE(ReadFile(path(QStringLiteral("out/Account1.jpg"))), QByteArray(9000, 'j'));
}

void TestCabinet::extractionNames_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("written");
    QTest::newRow("bare") << "Account12.jpg"
                          << "Account12.jpg";
    QTest::newRow("folder") << "Images/Account12.jpg"
                            << "Account12.jpg";
    QTest::newRow("backslashes") << "C:\\Images\\a.jpg"
                                 << "a.jpg";
    QTest::newRow("climbing") << "../../evil.jpg"
                              << "evil.jpg";
    QTest::newRow("mixed") << "..\\x/../y.jpg"
                           << "y.jpg";
    QTest::newRow("absolute") << "/etc/passwd"
                              << "passwd";
    QTest::newRow("dots in a name") << "a..b.jpg"
                                    << "a..b.jpg";
    QTest::newRow("parent") << ".."
                            << "";
    QTest::newRow("current") << "."
                             << "";
    QTest::newRow("ends with a separator") << "Images/"
                                           << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestCabinet::extractionNames()
{
    QFETCH(QString, stored);
    QFETCH(QString, written);
    QCOMPARE(CabinetReader::ExtractionName(stored), written);
}

void TestCabinet::extractionNeverLeavesItsFolder()
{
    const QString content = file(QStringLiteral("content"), "data");
    CabinetWriter writer;
    for (const char* name :
         {"../up.jpg", "..\\..\\upper.jpg", "/tmp/absolute.jpg", "..", ".", "sub/dir/deep.jpg"})
        writer.addFile(QLatin1String(name), content);
    writer.write(path(QStringLiteral("hostile.cab")));
    const QString target = path(QStringLiteral("a/b/target"));
    QDir().mkpath(target);
    CabinetReader(path(QStringLiteral("hostile.cab"))).extractAll(target);
    QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"absolute.jpg", "deep.jpg", "up.jpg", "upper.jpg"}));
    QCOMPARE(QDir(path(QStringLiteral("a/b"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"target"}));
    QCOMPARE(QDir(path(QStringLiteral("a"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"b"}));
}

void TestCabinet::unreadableFileIsRefusedWhenAdded()
{
    CabinetWriter writer;
    try {
        writer.addFile(QStringLiteral("x.jpg"), path(QStringLiteral("missing.jpg")));
        QFAIL("added");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("Le fichier %1 ne peut pas être lu : il ne peut pas être "
                                          "sauvegardé.")
                               .arg(path(QStringLiteral("missing.jpg"))));
    }
    QCOMPARE(writer.count(), 0);
}

void TestCabinet::unwritableTargetIsReported()
{
    CabinetWriter writer;
    writer.addFile(QStringLiteral("a.jpg"), file(QStringLiteral("a"), "a"));
    const QString target = path(QStringLiteral("missing/out.cab"));
    try {
        writer.write(target);
        QFAIL("written");
    } catch (const Error& e) {
        QVERIFY2(e.text().startsWith(
                     QStringLiteral("L'archive %1 ne peut pas être créée : ").arg(target)),
                 qPrintable(e.text()));
    }
}

void TestCabinet::damagedDataIsRefused_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("message");
    QTest::newRow("flipped data") << "flip"
                                  << "est endommagée";
    QTest::newRow("cut short") << "cut"
                               << "est endommagée";
    QTest::newRow("not a cabinet") << "text"
                                   << "n'est pas une archive de sauvegarde lisible";
    QTest::newRow("header only") << "header"
                                 << "n'est pas une archive de sauvegarde lisible";
}

void TestCabinet::damagedDataIsRefused()
{
    QFETCH(QString, damage);
    QFETCH(QString, message);
    CabinetWriter writer;
    writer.addFile(QStringLiteral("TILVO.MDB"), file(QStringLiteral("db"), Noise(200000, 3)));
    const QString cabinet = path(QStringLiteral("out.cab"));
    writer.write(cabinet);
    QByteArray bytes = ReadFile(cabinet);
    if (damage == u"flip")
        bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x01);
    else if (damage == u"cut")
        bytes.truncate(bytes.size() - 1000);
    else if (damage == u"header")
        bytes.truncate(30);
    else
        bytes = "MSCZ not a cabinet at all";
    WriteFile(cabinet, bytes);
    QDir().mkpath(path(QStringLiteral("out")));
    try {
        CabinetReader reader(cabinet);
        reader.extractAll(path(QStringLiteral("out")));
        QFAIL("read");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        QVERIFY2(e.text().contains(cabinet), qPrintable(e.text()));
    }
}

QTEST_GUILESS_MAIN(TestCabinet)
#include "tst_Cabinet.moc"
