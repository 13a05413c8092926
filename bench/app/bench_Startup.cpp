// SPDX-License-Identifier: GPL-3.0-or-later
// Time from process start to the main window shown, for the shipped program and, as the
// baseline measured in the same run, for a bare Qt window.
//
// Every sample is a new process. Qt itself loads a small plugin into it (named by
// QT_QPA_GENERIC_PLUGINS) that writes a line when the awaited window is first exposed and
// then quits the application, so the program runs as shipped, with no code of its own for
// this. The cases' samples are interleaved, so that a slower moment of the machine weighs on
// all of them alike. A sample that crashes, ends with a non-zero code or shows no window in
// time is dropped and reported.
//
// Usage: bench_Startup [samples per case, 11 by default]. The platform is QT_QPA_PLATFORM's
// (offscreen when unset); under Xvfb with QT_QPA_PLATFORM=xcb it times a real X server.
#include "common/Error.h"
#include "db/Connection.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace tilvo;

namespace {

constexpr int kDefaultSamples = 11;
constexpr int kShowTimeoutMs = 20000;
constexpr int kExitTimeoutMs = 10000;
constexpr qint64 kLargeDatabaseBytes = 50LL * 1000 * 1000;
const QByteArray kShownLine = "window-shown\n";

QString ProgramFolder()
{
    return QFileInfo(QStringLiteral(TILVO_PROGRAM)).path() + u'/';
}

QString TemplateDatabase()
{
    return ProgramFolder() + QStringLiteral("Ressources/DB/Data/Access/TILVO.MDB");
}

struct Case
{
    QString name;
    QString executable;
    QString workingDirectory;
    QByteArray windowClass;
    QString home;
    // The data folder is removed before each sample: every sample is a first run.
    bool firstRun = false;

    std::vector<double> samples;
    QStringList failures;
};

struct Outcome
{
    double milliseconds = 0;
    QString failure; // empty for a good sample
};

QString DataFolderBase(const Case& c)
{
    return c.home + QStringLiteral("/Documents/Vantrel Software Development");
}

QString DatabaseFile(const Case& c)
{
    return DataFolderBase(c) + QStringLiteral("/Tilvo/Data/Access/TILVO.MDB");
}

// A home of its own: documents folder, a private runtime folder (where the single-instance
// lock lives) and nothing of the user's desktop settings.
void MakeHome(const QString& home)
{
    QDir().mkpath(home + QStringLiteral("/Documents"));
    QDir().mkpath(home + QStringLiteral("/run"));
    QFile::setPermissions(home + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QProcessEnvironment SampleEnvironment(const Case& c)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                             "XDG_DOCUMENTS_DIR", "QT_PLUGIN_PATH", "QT_QPA_GENERIC_PLUGINS"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), c.home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), c.home + QStringLiteral("/run"));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(TILVO_PROBE_PLUGINS));
    env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("tilvowindowprobe"));
    env.insert(QStringLiteral("TILVO_PROBE_WINDOW_CLASS"), QString::fromLatin1(c.windowClass));
    return env;
}

// The last line the process wrote on its error output, to tell why a sample failed.
QString LastErrorLine(QProcess& child)
{
    QStringList lines =
        QString::fromLocal8Bit(child.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    // The offscreen platform's notes on what it cannot do say nothing about the failure.
    lines.removeIf([](const QString& line) { return line.contains(u"plugin does not support"); });
    return lines.isEmpty() ? QString() : QStringLiteral(" (\"%1\")").arg(lines.last().left(160));
}

QString EndText(const QProcess& child)
{
    if (child.exitStatus() == QProcess::CrashExit)
        return QStringLiteral("crashed");
    return QStringLiteral("ended with exit code %1").arg(child.exitCode());
}

Outcome Sample(const Case& c)
{
    if (c.firstRun)
        QDir(DataFolderBase(c)).removeRecursively();
    QProcess child;
    child.setProcessEnvironment(SampleEnvironment(c));
    child.setWorkingDirectory(c.workingDirectory);
    QElapsedTimer timer;
    timer.start();
    child.start(c.executable, QStringList());

    Outcome outcome;
    QByteArray output;
    bool shown = false;
    while (!shown && timer.elapsed() < kShowTimeoutMs) {
        child.waitForReadyRead(int(std::max<qint64>(1, kShowTimeoutMs - timer.elapsed())));
        output += child.readAllStandardOutput();
        if (output.contains(kShownLine)) {
            outcome.milliseconds = double(timer.nsecsElapsed()) / 1e6;
            shown = true;
        } else if (child.state() == QProcess::NotRunning) {
            break;
        }
    }
    if (!shown) {
        if (child.state() != QProcess::NotRunning) {
            child.kill();
            child.waitForFinished();
            outcome.failure = QStringLiteral("no window within %1 s (a message waiting?)")
                                  .arg(kShowTimeoutMs / 1000) +
                              LastErrorLine(child);
        } else {
            outcome.failure =
                EndText(child) + QStringLiteral(" before its window showed") + LastErrorLine(child);
        }
        return outcome;
    }
    if (!child.waitForFinished(kExitTimeoutMs)) {
        child.kill();
        child.waitForFinished();
        outcome.failure =
            QStringLiteral("still running %1 s after its window showed").arg(kExitTimeoutMs / 1000);
    } else if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        outcome.failure =
            EndText(child) + QStringLiteral(" after its window showed") + LastErrorLine(child);
    }
    return outcome;
}

// One dossier without a password (so the start-up opens it) holding 40 accounts, and entries
// over twelve years added until the file passes 50 MB. Built once from the shipped template,
// and named after it so that a changed schema builds a new one.
QString LargeDatabase(qint64& entries)
{
    QFile source(TemplateDatabase());
    if (!source.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("no template database at ") + TemplateDatabase());
    const QByteArray digest = QCryptographicHash::hash(source.readAll(), QCryptographicHash::Sha1);
    const QString folder = QStringLiteral(TILVO_BENCH_CACHE_DIR) + u'/';
    const QString file =
        folder +
        QStringLiteral("startup-50mb-%1.mdb").arg(QString::fromLatin1(digest.toHex().left(8)));
    const QString countFile = file + QStringLiteral(".entries");
    if (QFileInfo::exists(file) && QFileInfo::exists(countFile)) {
        QFile count(countFile);
        count.open(QIODevice::ReadOnly);
        entries = count.readAll().trimmed().toLongLong();
        return file;
    }

    QDir().mkpath(folder);
    const QString building = file + QStringLiteral(".new");
    QFile::remove(building);
    if (!QFile::copy(TemplateDatabase(), building))
        throw Error(QStringLiteral("cannot copy the template to ") + building);
    entries = 0;
    {
        Connection c;
        c.setDatabaseFile(building);
        c.open();
        constexpr int kAccounts = 40;
        {
            Transaction t(c);
            QSqlQuery q(c.database());
            q.prepare(QStringLiteral("INSERT INTO PROFILES (LoginName, LoginPassword) VALUES "
                                     "('Maison', '')"));
            q.exec();
            q.prepare(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title, Description, Unit, "
                                     "Decimal, Count, IncCount, CreateDate, PeriodType, StatType, "
                                     "ValueType, Color) VALUES (1, ?, ?, 'kWh', 2, 0, 0, "
                                     "'2008-01-01', 1, 0, 0, 255)"));
            for (int a = 1; a <= kAccounts; ++a) {
                q.addBindValue(QStringLiteral("Compteur %1").arg(a));
                q.addBindValue(QStringLiteral("Relevé mensuel du compteur numéro %1").arg(a));
                q.exec();
            }
            q.finish();
            t.commit();
        }
        std::mt19937 random(1834);
        const QDate first(2008, 1, 1);
        std::uniform_int_distribution<int> day(0, int(first.daysTo(QDate(2020, 1, 1))) - 1);
        std::uniform_int_distribution<int> account(1, kAccounts);
        std::uniform_int_distribution<int> amount(1, 20000);
        while (QFileInfo(building).size() < kLargeDatabaseBytes) {
            Transaction t(c);
            QSqlQuery q(c.database());
            q.prepare(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                                     "Quantity, Price, Description) VALUES (1, ?, ?, ?, ?, ?)"));
            for (int i = 0; i < 50000; ++i, ++entries) {
                q.addBindValue(account(random));
                q.addBindValue(first.addDays(day(random)).toString(QStringLiteral("yyyy-MM-dd")));
                q.addBindValue(amount(random) / 100.0);
                q.addBindValue(amount(random) / 1000.0);
                q.addBindValue(QStringLiteral("Relevé %1").arg(entries));
                q.exec();
            }
            q.finish();
            t.commit();
        }
        c.exec(QStringLiteral("ANALYZE"));
        c.close();
    }
    QFile count(countFile);
    if (!count.open(QIODevice::WriteOnly) || count.write(QByteArray::number(entries)) <= 0)
        throw Error(QStringLiteral("cannot write ") + countFile);
    count.close();
    QFile::remove(file);
    if (!QFile::rename(building, file))
        throw Error(QStringLiteral("cannot rename ") + building);
    return file;
}

// A start that leaves the data folder in place for the case's samples.
bool Prepare(Case& c)
{
    const Outcome first = Sample(c);
    if (!first.failure.isEmpty())
        c.failures.append(QStringLiteral("preparing run: ") + first.failure);
    return first.failure.isEmpty();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Case MakeCase(const QString& name, const QString& executable, const QString& workingDirectory,
              const QByteArray& windowClass, const QString& home, bool firstRun = false)
{
    Case c;
    c.name = name;
    c.executable = executable;
    c.workingDirectory = workingDirectory;
    c.windowClass = windowClass;
    c.home = home;
    c.firstRun = firstRun;
    MakeHome(home);
    return c;
}

int Run(int samples)
{
    QTemporaryDir work;
    const QString program = QStringLiteral(TILVO_PROGRAM);
    const QByteArray mainWindow = "tilvo::TMainForm";
    enum
    {
        Baseline,
        FirstRun,
        Template,
        Large
    };
    std::vector<Case> cases{
        MakeCase(QStringLiteral("bare Qt window (baseline)"), QStringLiteral(TILVO_BARE_WINDOW),
                 work.path(), "QWidget", work.filePath(QStringLiteral("bare"))),
        MakeCase(QStringLiteral("first run (installs the template)"), program, ProgramFolder(),
                 mainWindow, work.filePath(QStringLiteral("first")), true),
        MakeCase(QStringLiteral("template database"), program, ProgramFolder(), mainWindow,
                 work.filePath(QStringLiteral("template"))),
        MakeCase(QStringLiteral("50 MB database"), program, ProgramFolder(), mainWindow,
                 work.filePath(QStringLiteral("large")))};

    qint64 entries = 0;
    const QString large = LargeDatabase(entries);
    cases[Large].name += QStringLiteral(" (%1 MB, %2 entries)")
                             .arg(double(QFileInfo(large).size()) / 1e6, 0, 'f', 1)
                             .arg(entries);
    std::vector<bool> usable(cases.size(), true);
    usable[Template] = Prepare(cases[Template]);
    usable[Large] = Prepare(cases[Large]);
    if (usable[Large]) {
        QFile::remove(DatabaseFile(cases[Large]));
        usable[Large] = QFile::copy(large, DatabaseFile(cases[Large]));
        if (!usable[Large])
            cases[Large].failures.append(QStringLiteral("cannot copy the large database"));
    }

    // One start of each case first, not counted: the files it reads come into the cache.
    for (size_t i = 0; i < cases.size(); ++i) {
        if (!usable[i])
            continue;
        const Outcome warmUp = Sample(cases[i]);
        if (!warmUp.failure.isEmpty()) {
            cases[i].failures.append(QStringLiteral("first start: ") + warmUp.failure);
            usable[i] = false;
        }
    }
    for (int s = 0; s < samples; ++s) {
        for (size_t i = 0; i < cases.size(); ++i) {
            if (!usable[i])
                continue;
            const Outcome outcome = Sample(cases[i]);
            if (outcome.failure.isEmpty())
                cases[i].samples.push_back(outcome.milliseconds);
            else
                cases[i].failures.append(QStringLiteral("sample %1: ").arg(s + 1) +
                                         outcome.failure);
        }
    }

    const QString platform =
        SampleEnvironment(cases[Baseline]).value(QStringLiteral("QT_QPA_PLATFORM"));
    std::printf("start-up to main window shown (platform %s), %d interleaved samples per case\n",
                qPrintable(platform), samples);
    std::printf("  %-58s %9s %9s %9s %6s %6s\n", "case", "median", "fastest", "slowest", "ratio",
                "failed");
    const bool baseline = !cases[Baseline].samples.empty();
    const double reference = baseline ? Median(cases[Baseline].samples) : 0;
    bool allGood = baseline;
    for (const Case& c : cases) {
        const int failed = int(c.failures.size());
        if (c.samples.empty()) {
            std::printf("  %-58s %9s %9s %9s %6s %6d\n", qPrintable(c.name), "-", "-", "-", "-",
                        failed);
            allGood = false;
            continue;
        }
        const double median = Median(c.samples);
        const auto [fastest, slowest] = std::minmax_element(c.samples.begin(), c.samples.end());
        std::printf("  %-58s %6.1f ms %6.1f ms %6.1f ms %6s %6d\n", qPrintable(c.name), median,
                    *fastest, *slowest,
                    baseline ? qPrintable(QString::number(median / reference, 'f', 2)) : "-",
                    failed);
    }
    for (const Case& c : cases) {
        for (const QString& failure : c.failures)
            std::printf("  failed, %s: %s\n", qPrintable(c.name), qPrintable(failure));
    }
    return allGood ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int samples = kDefaultSamples;
    if (argc > 1)
        samples = std::max(1, QByteArray(argv[1]).toInt());
    try {
        return Run(samples);
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
}
