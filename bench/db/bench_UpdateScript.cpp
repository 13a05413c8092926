// SPDX-License-Identifier: GPL-3.0-or-later
// An update script of 1 000 to 10 000 lines: comments, statements and guards in a fixed mix.
// Its time per line must not grow with the script nor with the log already on disk.
#include "common/Clock.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/UpdateScript.h"
#include "support/BenchMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tilvo;

namespace {

QString Script(int lines)
{
    QString text;
    for (int i = 0; text.count(u'\n') < lines; ++i) {
        switch (i % 5) {
        case 0:
            text += QStringLiteral("// étape %1\r\n").arg(i);
            break;
        case 1:
        case 2:
            text +=
                QStringLiteral("SqlExe{INSERT INTO BACKUP (Description, DateSav) VALUES ('ligne "
                               "%1', #3/5/2008#)}\r\n")
                    .arg(i);
            break;
        case 3:
            text += QStringLiteral(
                "NotFieldExists(ACCOUNT.Misc01)\r\nSqlExe{DROP TABLE ACCOUNT}\r\nEND\r\n");
            break;
        default:
            text += QStringLiteral("SqlExe{UPDATE ACCOUNT SET Title='x' WHERE Id=-1}\r\n");
            break;
        }
    }
    return text;
}

class Fixture
{
public:
    Fixture()
    {
        m_folder = m_dir.path() + u'/';
        QDir().mkpath(m_folder + QStringLiteral("Data/Access"));
        m_env.DataFolder = m_folder;
        m_env.config.DatabaseFolder = m_folder + QStringLiteral("Data/");
        m_env.config.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
        m_env.config.ActiveDatabaseFile = m_env.config.OleDbFileName;
        m_env.clock = &m_clock;
        Connection c;
        c.setDatabaseFile(master());
        c.setCreateIfMissing(true);
        c.open();
        if (RunUpdateScript(c, QStringLiteral(TILVO_SOURCE_DIR) + QStringLiteral("/shipped/Maj/"),
                            QStringLiteral("BD_183.maj"), ProgressLabel(), false, m_env)
                .errors != 0)
            throw Error(QStringLiteral("the update script failed"));
    }
    QString master() const { return m_folder + QStringLiteral("master.db"); }
    QString database() const { return m_env.config.databaseFile(); }
    QString log() const { return UpdateLogPath(m_folder); }
    void freshDatabase()
    {
        QFile::remove(database());
        QFile::copy(master(), database());
    }
    void writeScript(int lines)
    {
        QFile f(m_folder + QStringLiteral("bench.maj"));
        f.open(QIODevice::WriteOnly);
        f.write(Script(lines).toUtf8());
    }
    void run()
    {
        Connection c;
        c.setDatabaseFile(database());
        c.open();
        RunUpdateScript(c, m_folder, QStringLiteral("bench.maj"), ProgressLabel(), false, m_env);
    }

private:
    QTemporaryDir m_dir;
    QString m_folder;
    FixedClock m_clock{QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9))};
    UpdateEnvironment m_env;
};

void RunScript(benchmark::State& state, qint64 logBytes)
{
    Fixture f;
    const int lines = int(state.range(0));
    f.writeScript(lines);
    for (auto _ : state) {
        state.PauseTiming();
        f.freshDatabase();
        QFile::remove(f.log());
        if (logBytes > 0) {
            QFile log(f.log());
            log.open(QIODevice::WriteOnly);
            const QByteArray line(99, 'l');
            for (qint64 written = 0; written < logBytes; written += 101)
                log.write(line + "\r\n");
        }
        state.ResumeTiming();
        f.run();
    }
    state.SetComplexityN(lines);
    // Lines per second of the run; its inverse is the time per line.
    state.counters["lines"] =
        benchmark::Counter(double(lines), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_UpdateScript(benchmark::State& state)
{
    RunScript(state, 0);
}
// The same script appended to a 50 MB log: the log is never read back nor rewritten.
void BM_UpdateScriptAfterLargeLog(benchmark::State& state)
{
    RunScript(state, 50 << 20);
}

} // namespace

BENCHMARK(BM_UpdateScript)
    ->Arg(1000)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_UpdateScriptAfterLargeLog)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return tilvo::bench::RunBenchmarks(argc, argv);
}
