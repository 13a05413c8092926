// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's user actions over large dossiers, each against references timed in the
// same run: selecting an account of 100 000 entries until its entries grid is filled and the
// window painted, scrolling that grid from top to bottom, rebuilding the account list of a
// dossier of 1 000 accounts with thumbnails, and deleting a dossier of 500 000 entries with
// its safety copy. The references are the same statement read by the dataset alone and by the
// engine's own cursor, and for the deletion the engine's DELETE and the compaction alone.
// Reports medians, ratios and the memory the selection takes.
//
// The databases are built once, by the shipped update script and a seeded generator, into
// the benchmark's build folder, and reused by later runs.
#include "common/Clock.h"
#include "common/Error.h"
#include "common/Prompts.h"
#include "common/ui/Chrome.h"
#include "db/Compaction.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/TDataModule1.h"
#include "db/UpdateScript.h"
#include "db/ui/DBGrid.h"
#include "env/Environment.h"
#include "env/Settings.h"
#include "images/BmpFile.h"
#include "main/AccountListModel.h"
#include "main/ui/AccountListView.h"
#include "main/ui/TMainForm.h"
#include "support/BenchMain.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <malloc.h>
#include <random>
#include <sqlite3.h>

using namespace tilvo;

namespace {

constexpr int kEntries = 100000;        // of the large account
constexpr int kAccounts = 1000;         // of the large dossier
constexpr int kDeletedEntries = 500000; // of the dossier deleted
constexpr int kDeletedAccounts = 50;

QString CacheFolder()
{
    return QStringLiteral(TILVO_BENCH_CACHE_DIR) + u'/';
}
QString ScriptFolder()
{
    return QStringLiteral(TILVO_SOURCE_DIR) + QStringLiteral("/shipped/Maj/");
}

// Named after the update script's content, so a changed schema builds new ones.
QString Cached(const QString& name)
{
    QFile script(ScriptFolder() + QStringLiteral("BD_183.maj"));
    script.open(QIODevice::ReadOnly);
    const QByteArray digest = QCryptographicHash::hash(script.readAll(), QCryptographicHash::Sha1);
    return CacheFolder() +
           QStringLiteral("%1-%2.db").arg(name, QString::fromLatin1(digest.toHex().left(8)));
}

// A 70 × 70 thumbnail as the pictures code stores it, a little different for each account.
QByteArray Thumbnail(int seed)
{
    QImage image(70, 70, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromHsv(seed * 37 % 360, 160, 200));
    p.drawEllipse(QRect(8 + seed % 10, 10, 50, 40 + seed % 15));
    p.end();
    return EncodeBmp(Picture::fromQImage(image));
}

void Insert(QSqlQuery& q, const QVariantList& values)
{
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec())
        throw Error(QStringLiteral("cannot insert: ") + q.lastQuery());
}

// A new database made by the update script, filled by `fill` in one transaction.
void Build(const QString& file, const std::function<void(Connection&)>& fill)
{
    if (QFileInfo::exists(file))
        return;
    QDir().mkpath(CacheFolder());
    const QString building = file + QStringLiteral(".new");
    QFile::remove(building);
    {
        Connection c;
        c.setDatabaseFile(building);
        c.setCreateIfMissing(true);
        c.open();
        UpdateEnvironment env;
        env.DataFolder = CacheFolder();
        if (RunUpdateScript(c, ScriptFolder(), QStringLiteral("BD_183.maj"), ProgressLabel(), false,
                            env)
                .errors != 0)
            throw Error(QStringLiteral("the update script failed"));
        Transaction t(c);
        fill(c);
        t.commit();
    }
    QFile::rename(building, file);
}

void AddEntries(Connection& c, int dossier, int account, int count, std::mt19937& random)
{
    std::uniform_int_distribution<int> amount(1, 20000);
    QSqlQuery q(c.database());
    q.prepare(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                             "Quantity, Price, Description) VALUES (?, ?, ?, ?, ?, ?)"));
    const QDate first(1800, 1, 1);
    for (int i = 0; i < count; ++i)
        Insert(q, {dossier, account, first.addDays(i).toString(QStringLiteral("yyyy-MM-dd")),
                   amount(random) / 100.0, amount(random) / 1000.0,
                   i % 10 == 0 ? QStringLiteral("Relevé n° %1").arg(i) : QString()});
}

void AddAccount(QSqlQuery& q, int dossier, const QString& title, const QString& description,
                const QByteArray& thumbnail)
{
    Insert(q, {dossier, title, description, QStringLiteral("m3"), 2, 1234.5,
               QStringLiteral("2008-02-01"), thumbnail});
}

QString AccountInsert()
{
    return QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title, Description, Unit, Decimal, Count, "
                          "CreateDate, ImgMini1) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
}

// Dossier 1: "Eau" with 100 000 daily entries and "Gaz" with 10; dossier 2: 1 000 accounts
// with thumbnails.
QString WindowDatabase()
{
    const QString file = Cached(QStringLiteral("window"));
    Build(file, [](Connection& c) {
        std::mt19937 random(1834);
        c.exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
        c.exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Bureau')"));
        QSqlQuery q(c.database());
        q.prepare(AccountInsert());
        AddAccount(q, 1, QStringLiteral("Eau"), QStringLiteral("Compteur général"), Thumbnail(0));
        AddAccount(q, 1, QStringLiteral("Gaz"), QStringLiteral("Chaudière"), QByteArray());
        for (int i = 0; i < kAccounts; ++i)
            AddAccount(q, 2, QStringLiteral("Compteur %1").arg(kAccounts - i, 4, 10, QChar(u'0')),
                       QStringLiteral("Relevé du bâtiment %1").arg(i % 17), Thumbnail(i));
        AddEntries(c, 1, 1, kEntries, random);
        AddEntries(c, 1, 2, 10, random);
        for (int i = 0; i < kAccounts; i += 50)
            AddEntries(c, 2, 3 + i, 20, random);
    });
    return file;
}

// Dossier 1: 50 accounts with thumbnails and 500 000 entries; dossier 2, kept: one account.
QString DeletionDatabase()
{
    const QString file = Cached(QStringLiteral("deletion"));
    Build(file, [](Connection& c) {
        std::mt19937 random(1835);
        c.exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
        c.exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Bureau')"));
        QSqlQuery q(c.database());
        q.prepare(AccountInsert());
        for (int i = 0; i < kDeletedAccounts; ++i)
            AddAccount(q, 1, QStringLiteral("Compte %1").arg(i), QString(), Thumbnail(i));
        AddAccount(q, 2, QStringLiteral("Gardé"), QString(), Thumbnail(99));
        for (int i = 0; i < kDeletedAccounts; ++i)
            AddEntries(c, 1, i + 1, kDeletedEntries / kDeletedAccounts, random);
        AddEntries(c, 2, kDeletedAccounts + 1, 1000, random);
    });
    return file;
}

class BenchPrompts final : public Prompts
{
public:
    void showMessage(const QString& text, Icon, const QString&) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool askYesNo(const QString&, Icon, const QString&) override { return true; }
    std::optional<QString> openFileName(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&,
                                        const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
};

using Steady = std::chrono::steady_clock;

double Milliseconds(Steady::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double ThreadCpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Wall-clock and processor times of the samples of one measure. The machine is shared: the
// processor time of the thread is the figure that other work does not disturb.
struct Series
{
    std::vector<double> wall;
    std::vector<double> cpu;
    double medianWall() const { return Median(wall); }
    double medianCpu() const { return Median(cpu); }
};

template <typename F> void Timed(Series& series, F&& f)
{
    const double cpu = ThreadCpuMilliseconds();
    const auto start = Steady::now();
    f();
    series.wall.push_back(Milliseconds(Steady::now() - start));
    series.cpu.push_back(ThreadCpuMilliseconds() - cpu);
}

size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The main window over a copy of a database, in a data folder of its own.
struct Window
{
    QTemporaryDir dir;
    Environment env = MakeEnvironment(dir.path(), QStringLiteral("/usr/bin/tilvo"), true);
    Settings settings;
    BenchPrompts prompts;
    SystemClock clock;
    DatabaseConfig config;
    std::unique_ptr<TDataModule1> data;
    std::unique_ptr<TMainForm> form;

    explicit Window(const QString& database)
    {
        config.DatabaseFolder = dir.path() + QStringLiteral("/Data/");
        config.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
        config.ActiveDatabaseFile = config.OleDbFileName;
        QDir().mkpath(config.DatabaseFolder + QStringLiteral("Access"));
        QDir().mkpath(config.DatabaseFolder + QStringLiteral("Images"));
        QFile::copy(database, config.databaseFile());
        env.DataFolder = dir.path() + u'/';
        data = std::make_unique<TDataModule1>(config, prompts);
        form = std::make_unique<TMainForm>(
            MainFormServices{env,
                             settings,
                             env.DataFolder + QStringLiteral("tilvo.ini"),
                             prompts,
                             clock,
                             *data,
                             [](const QUrl&) { return true; },
                             {}});
        form->resize(1000, 700);
        form->show();
    }
    ~Window()
    {
        form.reset();
        data.reset();
    }

    // What a click on an account row does.
    void select(int row)
    {
        form->Grid_AccountList->setCurrentRow(row);
        form->Grid_AccountListClick();
    }

    void paint()
    {
        static QPixmap target;
        if (target.size() != form->size())
            target = QPixmap(form->size());
        form->render(&target);
    }
};

// The entries statement read by a dataset alone, on its last row.
void DataSetAlone(Series& series, Connection& connection, const QStringList& sql)
{
    DataSet set(connection);
    set.setSql(sql);
    Timed(series, [&] {
        set.open();
        set.last();
    });
}

// The same statement read by the engine's own cursor, every column of every row.
void EngineAlone(Series& series, Connection& connection, const QStringList& sql,
                 int* rows = nullptr)
{
    const QByteArray text = connection.translate(sql.join(u'\n')).toUtf8();
    sqlite3* db = connection.nativeHandle();
    Timed(series, [&] {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, text.constData(), -1, &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        qint64 sum = 0;
        int n = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i) {
                switch (sqlite3_column_type(stmt, i)) {
                case SQLITE_INTEGER:
                    sum += sqlite3_column_int64(stmt, i);
                    break;
                case SQLITE_FLOAT:
                    sum += qint64(sqlite3_column_double(stmt, i));
                    break;
                case SQLITE_NULL:
                    break;
                default:
                    sum += sqlite3_column_bytes(stmt, i);
                    benchmark::DoNotOptimize(sqlite3_column_blob(stmt, i));
                    break;
                }
            }
            ++n;
        }
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(sum);
        if (rows)
            *rows = n;
    });
}

std::unique_ptr<Window> g_main;

Window& Main()
{
    if (!g_main)
        g_main = std::make_unique<Window>(WindowDatabase());
    return *g_main;
}

void Report(benchmark::State& state, const Series& action, const Series& dataset,
            const Series& engine)
{
    state.counters["median_ms"] = action.medianWall();
    state.counters["cpu_ms"] = action.medianCpu();
    state.counters["dataset_alone_cpu_ms"] = dataset.medianCpu();
    state.counters["engine_alone_cpu_ms"] = engine.medianCpu();
    state.counters["ratio_to_dataset"] = action.medianCpu() / dataset.medianCpu();
    state.counters["ratio_to_engine"] = action.medianCpu() / engine.medianCpu();
}

// Selecting the account of 100 000 entries, from the small one, until the window is painted.
void BM_SelectAccountOf100000Entries(benchmark::State& state)
{
    Window& w = Main();
    Connection& c = w.data->ADOConnection1();
    Series action, dataset, engine;
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.select(1);
        w.paint();
        state.ResumeTiming();
        Timed(action, [&] {
            w.select(0);
            w.paint();
        });
        state.PauseTiming();
        const QStringList sql = w.data->Consumption().sql();
        DataSetAlone(dataset, c, sql);
        EngineAlone(engine, c, sql, &rows);
        state.ResumeTiming();
    }
    state.counters["rows"] = w.form->Grid_Consumption->model()->rowCount();
    state.counters["engine_rows"] = rows;
    Report(state, action, dataset, engine);
}

// Scrolling the entries grid of that account a page at a time from top to bottom.
void BM_ScrollEntriesTopToBottom(benchmark::State& state)
{
    Window& w = Main();
    w.select(0);
    DBGrid* grid = w.form->Grid_Consumption;
    QScrollBar* bar = grid->verticalScrollBar();
    QPixmap target(grid->viewport()->size());
    Series scroll;
    std::vector<double> slowest;
    int pages = 0;
    for (auto _ : state) {
        bar->setValue(0);
        grid->viewport()->render(&target);
        pages = 0;
        Series each;
        Timed(scroll, [&] {
            while (bar->value() < bar->maximum()) {
                Timed(each, [&] {
                    bar->setValue(bar->value() + bar->pageStep());
                    grid->viewport()->render(&target);
                });
                ++pages;
            }
        });
        slowest.push_back(*std::max_element(each.cpu.begin(), each.cpu.end()));
    }
    state.counters["pages"] = pages;
    state.counters["median_ms"] = scroll.medianWall();
    state.counters["cpu_ms"] = scroll.medianCpu();
    state.counters["cpu_ms_per_page"] = scroll.medianCpu() / std::max(pages, 1);
    state.counters["slowest_page_cpu_ms"] = Median(slowest);
}

// Rebuilding the list of a dossier of 1 000 accounts with thumbnails, painted.
void BM_RebuildAccountListOf1000(benchmark::State& state)
{
    Window& w = Main();
    w.form->CloseDossier();
    w.form->OpenDossier(2, QStringLiteral("Bureau"));
    Connection& c = w.data->ADOConnection1();
    const QStringList sql{AccountListModel::dossierQuery(2)};
    Series action, dataset, engine;
    for (auto _ : state) {
        Timed(action, [&] {
            w.form->RebuildAccountList(-1);
            w.paint();
        });
        state.PauseTiming();
        DataSetAlone(dataset, c, sql);
        EngineAlone(engine, c, sql);
        state.ResumeTiming();
    }
    state.counters["accounts"] = w.form->accountList()->rowCount();
    Report(state, action, dataset, engine);
    w.form->CloseDossier();
    w.form->OpenDossier(1, QStringLiteral("Maison"));
}

// Deleting the dossier of 500 000 entries from the menu, its safety copy included.
void BM_DeleteDossierOf500000Entries(benchmark::State& state)
{
    const QString source = DeletionDatabase();
    Series action, engineDelete, copyAlone;
    for (auto _ : state) {
        state.PauseTiming();
        {
            // The references on a copy of their own: the safety copy of the whole database,
            // then the engine's deletion of the dossier's entries.
            QTemporaryDir dir;
            const QString file = dir.filePath(QStringLiteral("TILVO.MDB"));
            QFile::copy(source, file);
            Timed(copyAlone,
                  [&] { CompactDatabaseFile(file, dir.filePath(QStringLiteral("COPY.MDB"))); });
            Connection c;
            c.setDatabaseFile(file);
            c.open();
            Timed(engineDelete, [&] {
                c.exec(QStringLiteral("DELETE FROM CONSUMPTION WHERE CONSUMPTION.Id_File=1"));
            });
        }
        auto w = std::make_unique<Window>(source);
        for (int id = 1; id <= kDeletedAccounts; ++id)
            QFile(w->data->accountPicturePath(id)).open(QIODevice::WriteOnly);
        state.ResumeTiming();
        Timed(action, [&] { w->form->Popup_File_DeleteClick(); });
        state.PauseTiming();
        if (w->form->CurrentDossierId != -1 || QFileInfo::exists(w->data->accountPicturePath(1)))
            state.SkipWithError("the dossier was not deleted");
        w.reset();
        state.ResumeTiming();
    }
    state.counters["median_ms"] = action.medianWall();
    state.counters["cpu_ms"] = action.medianCpu();
    state.counters["engine_delete_ms"] = engineDelete.medianWall();
    state.counters["safety_copy_alone_ms"] = copyAlone.medianWall();
    state.counters["ratio_to_delete_and_copy"] =
        action.medianWall() / (engineDelete.medianWall() + copyAlone.medianWall());
}

// The heap the selection of the large account takes: its rows, the model and the grid.
void BM_MemoryOfTheLargeAccount(benchmark::State& state)
{
    Window& w = Main();
    size_t taken = 0;
    for (auto _ : state) {
        w.select(1);
        w.paint();
        malloc_trim(0);
        const size_t before = HeapInUse();
        w.select(0);
        w.paint();
        taken = HeapInUse() - before;
    }
    state.counters["selection_MB"] = double(taken) / (1024 * 1024);
}

} // namespace

BENCHMARK(BM_SelectAccountOf100000Entries)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_ScrollEntriesTopToBottom)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RebuildAccountListOf1000)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_MemoryOfTheLargeAccount)->Iterations(1);
BENCHMARK(BM_DeleteDossierOf500000Entries)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    Chrome().standardChrome = false;
    const int result = tilvo::bench::RunBenchmarks(argc, argv, [] {
        WindowDatabase();
        DeletionDatabase();
    });
    g_main.reset();
    return result;
}
