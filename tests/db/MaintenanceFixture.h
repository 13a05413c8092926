// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DbTestSupport.h"
#include "TableDump.h"
#include "common/Clock.h"
#include "db/DataSetOps.h"
#include "db/DatabaseMaintenance.h"
#include "db/TDataModule1.h"
#include "support/RecordingWaitDisplay.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <memory>

namespace tilvo::test {

// A data folder as the program lays it out, inside a root folder of its own (so that a test
// can tell whether anything was written beside it): root/data/ with Backup/ and the database
// folder Data/ holding Access/TILVO.MDB (the full schema, with one dossier, one account and
// its entries) and Images/. The shared data module is open on it.
class MaintenanceFolder
{
public:
    static constexpr int kEntries = 12;

    // In initTestCase.
    void prepare() { m_schema.prepare(); }

    // In init: a fresh folder; `odbc` reaches the database through an ODBC data source.
    void create(bool odbc)
    {
        m_module.reset();
        if (!m_schema.copyTo(QStringLiteral("data/Data/Access/TILVO.MDB")))
            throw Error(QStringLiteral("cannot copy the schema database"));
        for (const char* sub : {"data/Backup", "data/Data/Images", "data/Data/Files"})
            QDir().mkpath(root() + QLatin1String(sub));
        m_odbc = odbc;
        m_odbcName.clear();
        wait = RecordingWaitDisplay();
        windowStates.clear();
        events.clear();
        openModule();
        populate();
    }

    // In cleanup.
    void release()
    {
        m_module.reset();
        m_schema.release();
    }

    void openModule()
    {
        m_module = std::make_unique<TDataModule1>(config(), m_prompts);
        if (!m_module->connectionOk())
            throw Error(QStringLiteral("cannot open ") + live());
    }
    void closeModule() { m_module.reset(); }

    QString root() const { return m_schema.folder(); }
    QString dataFolder() const { return root() + QStringLiteral("data/"); }
    QString databaseFolder() const { return dataFolder() + QStringLiteral("Data/"); }
    QString live() const { return databaseFolder() + QStringLiteral("Access/TILVO.MDB"); }
    QString images() const { return databaseFolder() + QStringLiteral("Images/"); }
    QString backup() const { return dataFolder() + QStringLiteral("Backup/"); }
    TDataModule1& module() { return *m_module; }
    Connection& connection() { return m_module->ADOConnection1(); }
    qint64 accountId() const { return m_account; }

    DatabaseConfig config() const
    {
        DatabaseConfig c;
        c.DatabasePath = QStringLiteral("Data/");
        c.DatabaseFolder = databaseFolder();
        c.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
        c.OdbcPath = c.OleDbFileName;
        c.ActiveDatabaseFile = c.OleDbFileName;
        c.Provider = m_odbc ? QStringLiteral("ODBC") : QStringLiteral("OLEDB");
        if (m_odbc)
            c.OdbcName = m_odbcName.isEmpty()
                             ? (m_odbcName = OdbcSandbox::instance().registerFile(c.databaseFile()))
                             : m_odbcName;
        return c;
    }

    // The context a command runs with; the program folder (update scripts) is root/program/.
    MaintenanceContext context(const Clock& clock)
    {
        UpdateEnvironment env;
        env.config = config();
        env.DataFolder = dataFolder();
        env.ProgramFolder = root() + QStringLiteral("program/");
        env.ProgramVersion = QStringLiteral("1.83");
        env.UpdateFileName = QStringLiteral("BD_183.maj");
        env.clock = &clock;
        MaintenanceHooks hooks;
        hooks.setMainWindowEnabled = [this](bool enabled) { windowStates << enabled; };
        hooks.closeDossier = [this] { events << QStringLiteral("closeDossier"); };
        hooks.refreshCommands = [this] { events << QStringLiteral("refreshCommands"); };
        return MaintenanceContext{*m_module, env, wait, hooks};
    }

    void addPicture(const QString& name, const QByteArray& bytes)
    {
        WriteFile(images() + name, bytes);
    }

    // Every file under the root but those under `except`, with a digest of its content.
    QMap<QString, QByteArray> files(const QString& except = QString()) const
    {
        QMap<QString, QByteArray> found;
        QDirIterator it(root(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!except.isEmpty() && path.startsWith(except))
                continue;
            found.insert(path.mid(root().size()), FileDigest(path));
        }
        return found;
    }

    // Every table of the live database but the history, as text.
    QString content()
    {
        QString dump = DumpTables(connection());
        const qsizetype from = dump.indexOf(QLatin1String("== BACKUP\n"));
        const qsizetype to = dump.indexOf(QLatin1String("== "), from + 3);
        if (from >= 0)
            dump.remove(from, (to < 0 ? dump.size() : to) - from);
        // The history's counter too.
        static const QRegularExpression counter(QStringLiteral("\nBACKUP\\|\\d+\n"));
        dump.replace(counter, QStringLiteral("\n"));
        return dump;
    }

    // The history rows as "date|time|description|path".
    QStringList history()
    {
        QStringList rows;
        QSqlQuery q(connection().database());
        q.exec(QStringLiteral("SELECT DateSav, TimeSav, Description, Path FROM BACKUP "
                              "ORDER BY Id"));
        while (q.next())
            rows << QStringList{q.value(0).toString().left(10), q.value(1).toString(),
                                q.value(2).toString(), q.value(3).toString()}
                        .join(u'|');
        return rows;
    }

    // Deletes every entry of the account and adds `count` new ones.
    void changeEntries(int count)
    {
        ExecSql(m_module->Query(), QStringLiteral("DELETE FROM CONSUMPTION"));
        addEntries(count, 500);
    }

    RecordingWaitDisplay wait;
    QList<bool> windowStates;
    QStringList events;

private:
    void populate()
    {
        DataSet& m = m_module->MainFile();
        m.open();
        m.append();
        m.fieldByName(QStringLiteral("LoginName")).setText(QStringLiteral("Maison"));
        m.post();
        m_dossier = m.fieldByName(QStringLiteral("ID")).asInteger();
        m.close();
        ExecSql(m_module->Query(), QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES "
                                                  "(%1, 'Eau')")
                                       .arg(m_dossier));
        DataSet& q = m_module->Query();
        q.setSqlText(QStringLiteral("SELECT MAX(Id) FROM ACCOUNT"));
        q.open();
        m_account = q.field(0).asInteger();
        q.close();
        addEntries(kEntries, 0);
    }

    void addEntries(int count, int base)
    {
        for (int i = 0; i < count; ++i)
            ExecSql(m_module->Query(),
                    QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                                   "Quantity, Price) VALUES (%1, %2, #%3/1/2008#, %4, %5)")
                        .arg(m_dossier)
                        .arg(m_account)
                        .arg(i % 12 + 1)
                        .arg(base + i)
                        .arg(i * 1.5));
    }

    SchemaCopy m_schema;
    ScriptedPrompts m_prompts;
    std::unique_ptr<TDataModule1> m_module;
    bool m_odbc = false;
    mutable QString m_odbcName;
    qint64 m_dossier = -1;
    qint64 m_account = -1;
};

// Runs one of the cabinet tools; its exit code and what it printed.
struct ToolRun
{
    int exitCode = -1;
    QString output;
};

inline ToolRun RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAll());
    return run;
}

} // namespace tilvo::test
