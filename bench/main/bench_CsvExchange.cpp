// SPDX-License-Identifier: GPL-3.0-or-later
// Exchanging entries with spreadsheets, on the account of 100 000 entries of bench/support:
// - export of the account to a CSV file, against a plain read of the same rows and columns
//   through SQLite's own interface, timed in the same iterations;
// - import of that file (guessing its layout first) into a new empty account, against a plain
//   SQLite bulk insert of the same rows, already in memory, in one transaction;
// - the peak memory (VmHWM) of a process importing a file of 1 000 000 lines, against a process
//   that only opens the same database; and the same import with SQLite's default page cache
//   instead of the connection's 64 MB, which shows what the import itself holds.
#include "common/Error.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "main/CsvExchange.h"
#include "support/BenchMain.h"
#include "support/EntriesDatabase.h"
#include "support/Timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

using namespace tilvo;
using namespace tilvo::bench;

namespace {

constexpr int kMillionLines = 1000000;

QString CachedDatabase()
{
    return EntriesDatabase(QStringLiteral(TILVO_BENCH_CACHE_DIR) + u'/',
                           QStringLiteral(TILVO_SOURCE_DIR) + QStringLiteral("/shipped/Maj/"));
}

// A copy of the benchmark database in a folder of its own. Its 100 000 daily entries start in
// 1800, and the program's dates run from 1900 to 2099: they are moved into those years, several
// a day.
struct DatabaseCopy
{
    QTemporaryDir folder;
    QString file;
    DatabaseCopy() : file(folder.path() + QStringLiteral("/TILVO.MDB"))
    {
        if (!QFile::copy(CachedDatabase(), file))
            throw Error(QStringLiteral("cannot copy the benchmark database"));
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const int rc = sqlite3_exec(db,
                                    "UPDATE CONSUMPTION SET DateAction=date('1900-01-01', '+' || "
                                    "(Id % 73000) || ' days')",
                                    nullptr, nullptr, nullptr);
        sqlite3_close(db);
        if (rc != SQLITE_OK)
            throw Error(QStringLiteral("cannot move the benchmark entries' dates"));
    }
};

struct Opened
{
    Connection connection;
    DataSet query;
    explicit Opened(const QString& file) : query(connection)
    {
        connection.setDatabaseFile(file);
        connection.open();
    }
};

int NewAccount(Connection& c)
{
    c.exec(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title, Count, IncCount) VALUES (1, "
                          "'Copie', 0, 1)"));
    DataSet q(c);
    q.setSqlText(QStringLiteral("SELECT MAX(Id) FROM ACCOUNT"));
    q.open();
    const int id = int(q.field(0).asInteger());
    q.close();
    return id;
}

struct Row
{
    std::string date;
    double quantity;
    double price;
    std::string comment;
};

// The account's rows as the plain reference reads them.
std::vector<Row> PlainRead(const QString& file)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT DateAction, Quantity, Price, Description FROM CONSUMPTION WHERE "
                       "Id_Account=1 ORDER BY DateAction, Id",
                       -1, &stmt, nullptr);
    std::vector<Row> rows;
    rows.reserve(kEntries);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const auto text = [stmt](int c) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            return t ? std::string(t) : std::string();
        };
        rows.push_back(
            {text(0), sqlite3_column_double(stmt, 1), sqlite3_column_double(stmt, 2), text(3)});
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

void PlainInsert(const QString& file, int account, const std::vector<Row>& rows)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, "
                       "Price, Description) VALUES (1, ?, ?, ?, ?, ?)",
                       -1, &stmt, nullptr);
    for (const Row& r : rows) {
        sqlite3_bind_int(stmt, 1, account);
        sqlite3_bind_text(stmt, 2, r.date.c_str(), int(r.date.size()), SQLITE_STATIC);
        sqlite3_bind_double(stmt, 3, r.quantity);
        sqlite3_bind_double(stmt, 4, r.price);
        if (r.comment.empty())
            sqlite3_bind_null(stmt, 5);
        else
            sqlite3_bind_text(stmt, 5, r.comment.c_str(), int(r.comment.size()), SQLITE_STATIC);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void BM_Export100k(benchmark::State& state)
{
    DatabaseCopy copy;
    Opened db(copy.file);
    const QString out = copy.folder.path() + QStringLiteral("/eau.csv");
    ExportSelection selection;
    selection.accountId = 1;
    std::vector<double> exported, plain;
    qint64 entries = 0;
    for (auto _ : state) {
        auto start = SteadyClock::now();
        entries = ExportEntries(db.query, out, selection).entries;
        exported.push_back(Milliseconds(SteadyClock::now() - start));
        state.PauseTiming();
        start = SteadyClock::now();
        benchmark::DoNotOptimize(PlainRead(copy.file));
        plain.push_back(Milliseconds(SteadyClock::now() - start));
        state.ResumeTiming();
    }
    state.counters["entries"] = double(entries);
    state.counters["file_MB"] = double(QFile(out).size()) / 1e6;
    state.counters["median_s"] = Median(exported) / 1000;
    state.counters["plain_read_median_s"] = Median(plain) / 1000;
    state.counters["ratio_to_plain_read"] = Median(exported) / Median(plain);
}

void BM_Import100k(benchmark::State& state)
{
    DatabaseCopy copy;
    const QString file = copy.folder.path() + QStringLiteral("/eau.csv");
    const std::vector<Row> rows = PlainRead(copy.file);
    std::vector<double> imported, plain;
    qint64 lines = 0;
    {
        Opened db(copy.file);
        ExportSelection selection;
        selection.accountId = 1;
        ExportEntries(db.query, file, selection);
    }
    for (auto _ : state) {
        Opened db(copy.file);
        const int account = NewAccount(db.connection);
        auto start = SteadyClock::now();
        const CsvGuess guess = GuessCsvFormat(file);
        lines = ImportEntries(db.query, account, file, guess.format, guess.mapping).imported;
        imported.push_back(Milliseconds(SteadyClock::now() - start));
        state.PauseTiming();
        const int other = NewAccount(db.connection);
        db.connection.close();
        start = SteadyClock::now();
        PlainInsert(copy.file, other, rows);
        plain.push_back(Milliseconds(SteadyClock::now() - start));
        state.ResumeTiming();
    }
    if (lines != kEntries)
        state.SkipWithError("not every line was imported");
    state.counters["lines"] = double(lines);
    state.counters["median_s"] = Median(imported) / 1000;
    state.counters["plain_insert_median_s"] = Median(plain) / 1000;
    state.counters["ratio_to_plain_insert"] = Median(imported) / Median(plain);
}

// The import's reading alone: the guess, the records and their checks, without the database.
void BM_ReadLines100k(benchmark::State& state)
{
    DatabaseCopy copy;
    const QString file = copy.folder.path() + QStringLiteral("/eau.csv");
    {
        Opened db(copy.file);
        ExportSelection selection;
        selection.accountId = 1;
        ExportEntries(db.query, file, selection);
    }
    std::vector<double> times;
    qint64 valid = 0;
    for (auto _ : state) {
        const auto start = SteadyClock::now();
        const CsvGuess guess = GuessCsvFormat(file);
        QFile in(file);
        in.open(QIODevice::ReadOnly);
        CsvReader reader(in, guess.format.separator, guess.format.encoding);
        CsvRecord record;
        CsvEntry entry;
        valid = 0;
        reader.next(record);
        while (reader.next(record))
            valid += ReadCsvEntry(record, guess.format, guess.mapping, 255, entry).isEmpty();
        times.push_back(Milliseconds(SteadyClock::now() - start));
    }
    state.counters["valid"] = double(valid);
    state.counters["median_s"] = Median(times) / 1000;
}

// The peak resident memory of this process, in kB.
long PeakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// In a process of its own: opens the database and, for "import", imports the file into a new
// account; prints the imported lines and the peak memory.
int RunChild(const QString& mode, const QString& database, const QString& file)
{
    try {
        Opened db(database);
        qint64 imported = 0;
        if (mode.startsWith(u"import")) {
            // The connection keeps a page cache of 64 MB, which a large transaction fills;
            // with SQLite's default of 2 MB what is left is the import's own memory.
            if (mode == u"import-small-cache")
                db.connection.exec(QStringLiteral("PRAGMA cache_size=-2000"));
            const int account = NewAccount(db.connection);
            const CsvGuess guess = GuessCsvFormat(file);
            imported = ImportEntries(db.query, account, file, guess.format, guess.mapping).imported;
        }
        std::printf("%lld %ld\n", static_cast<long long>(imported), PeakMemoryKb());
        return 0;
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

std::pair<qint64, long> Child(const QString& mode, const QString& database, const QString& file)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--child"), mode, database, file});
    p.waitForFinished(-1);
    const QList<QByteArray> words = p.readAllStandardOutput().trimmed().split(' ');
    if (p.exitCode() != 0 || words.size() != 2)
        return {-1, -1};
    return {words[0].toLongLong(), words[1].toLong()};
}

void BM_ImportMillionLinesPeakMemory(benchmark::State& state)
{
    DatabaseCopy copy;
    const QString file = copy.folder.path() + QStringLiteral("/million.csv");
    {
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write("\xEF\xBB\xBF"
                  "Compte;Date;Quantité;Unité;Montant;Commentaire\r\n");
        const QDate first(1900, 1, 1);
        QByteArray block;
        for (int i = 0; i < kMillionLines; ++i) {
            block +=
                "Eau;" +
                first.addDays(i % 70000).toString(QStringLiteral("dd/MM/yyyy")).toLatin1() + ";" +
                QByteArray::number(i % 1000) + ",25;m3;" + QByteArray::number(i % 77) + ",5;" +
                (i % 10 == 0 ? QByteArray("Relevé n° ") + QByteArray::number(i) : QByteArray()) +
                "\r\n";
            if (block.size() > (1 << 20)) {
                out.write(block);
                block.clear();
            }
        }
        out.write(block);
    }
    std::pair<qint64, long> import{-1, -1}, small{-1, -1}, baseline{-1, -1};
    for (auto _ : state) {
        import = Child(QStringLiteral("import"), copy.file, file);
        small = Child(QStringLiteral("import-small-cache"), copy.file, file);
        baseline = Child(QStringLiteral("open"), copy.file, file);
    }
    if (import.first != kMillionLines || small.first != kMillionLines)
        state.SkipWithError("the million lines were not imported");
    state.counters["lines"] = double(import.first);
    state.counters["file_MB"] = double(QFile(file).size()) / 1e6;
    state.counters["peak_MB"] = double(import.second) / 1024;
    state.counters["small_cache_peak_MB"] = double(small.second) / 1024;
    state.counters["open_only_peak_MB"] = double(baseline.second) / 1024;
    state.counters["ratio_to_open_only"] = double(import.second) / double(baseline.second);
}

} // namespace

BENCHMARK(BM_Export100k)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_Import100k)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_ReadLines100k)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_ImportMillionLinesPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--child")
        return RunChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                        QString::fromLocal8Bit(argv[4]));
    return tilvo::bench::RunBenchmarks(argc, argv, [] { CachedDatabase(); });
}
