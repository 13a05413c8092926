// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/UpdateScript.h"

#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "common/Error.h"
#include "common/FileHelpers.h"
#include "common/SqlText.h"
#include "common/Windows1252.h"
#include "db/Compaction.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/JetConverter.h"
#include "db/ScriptConversions.h"
#include "db/VersionRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace tilvo {

namespace {

const QString kSection = QStringLiteral("Lib_Bd_Maj");
const QString kAlreadyDone = QStringLiteral("*** Mise à jour déjà effectuée ***");
const QString kFinished =
    QStringLiteral("********************* MISE A JOUR TERMINE *********************");
const QString kBackupQuestion = QStringLiteral(
    "Souhaitez-vous effectuer une sauvegarde de la base de données avant la mise à jour ?");

// The keywords in the order a line is tested against them.
enum class Keyword
{
    None,
    NotFieldType,
    NotFieldExists,
    FieldExists,
    NotTableExists,
    TableExists,
    TableEmpty,
    ConvertStatScript,
    ReplaceStringInStatScript,
    ConvertQueryScript,
    ReplaceStringInQueryScript,
    ExtractImageToJpeg,
    ExtractJpegImage,
    ResizeBitmapInDataBase,
    ConvertBitmapToJpegInDataBase,
    CompactDataBase,
    SqlExe,
};

const std::pair<const char*, Keyword> kKeywords[] = {
    {"NotFieldType", Keyword::NotFieldType},
    {"NotFieldExists", Keyword::NotFieldExists},
    {"FieldExists", Keyword::FieldExists},
    {"NotTableExists", Keyword::NotTableExists},
    {"TableExists", Keyword::TableExists},
    {"TableEmpty", Keyword::TableEmpty},
    {"ConvertStatScript", Keyword::ConvertStatScript},
    {"ReplaceStringInStatScript", Keyword::ReplaceStringInStatScript},
    {"ConvertQueryScript", Keyword::ConvertQueryScript},
    {"ReplaceStringInQueryScript", Keyword::ReplaceStringInQueryScript},
    {"ExtractImageToJpeg", Keyword::ExtractImageToJpeg},
    {"ExtractJpegImage", Keyword::ExtractJpegImage},
    {"ResizeBitmapInDataBase", Keyword::ResizeBitmapInDataBase},
    {"ConvertBitmapToJpegInDataBase", Keyword::ConvertBitmapToJpegInDataBase},
    {"CompactDataBase", Keyword::CompactDataBase},
    {"SqlExe", Keyword::SqlExe},
};

Keyword Classify(const QString& line)
{
    for (const auto& [text, keyword] : kKeywords) {
        if (line.contains(QLatin1String(text)))
            return keyword;
    }
    return Keyword::None;
}

bool IsCondition(Keyword k)
{
    return k >= Keyword::NotFieldType && k <= Keyword::TableEmpty;
}

std::optional<ConversionCommand> ConversionOf(Keyword k)
{
    switch (k) {
    case Keyword::ConvertStatScript:
        return ConversionCommand::ConvertStatScript;
    case Keyword::ReplaceStringInStatScript:
        return ConversionCommand::ReplaceStringInStatScript;
    case Keyword::ConvertQueryScript:
        return ConversionCommand::ConvertQueryScript;
    case Keyword::ReplaceStringInQueryScript:
        return ConversionCommand::ReplaceStringInQueryScript;
    case Keyword::ExtractImageToJpeg:
        return ConversionCommand::ExtractImageToJpeg;
    case Keyword::ExtractJpegImage:
        return ConversionCommand::ExtractJpegImage;
    case Keyword::ResizeBitmapInDataBase:
        return ConversionCommand::ResizeBitmapInDataBase;
    case Keyword::ConvertBitmapToJpegInDataBase:
        return ConversionCommand::ConvertBitmapToJpegInDataBase;
    default:
        return std::nullopt;
    }
}

// The text between the first `open` and the first `close`, as the scripts have always been
// cut: a missing `open` counts from the start of the line, a missing or earlier `close` gives
// nothing.
QString Cut(const QString& line, QChar open, QChar close)
{
    const qsizetype from = line.indexOf(open) + 1;
    const qsizetype to = line.indexOf(close) + 1;
    const qsizetype count = to - from - 1;
    return count > 0 ? line.mid(from, count) : QString();
}

bool IsAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return true;
}

// The update log, appended one line at a time. Its encoding is looked at once: a log already
// in UTF-8 stays so; a Windows-1252 one turns into UTF-8 only when a line needs a character
// that code page lacks.
class UpdateLog
{
public:
    UpdateLog(QString path, const Clock& clock) : m_path(std::move(path)), m_clock(clock) {}

    void append(const QString& message)
    {
        QString line;
        if (!message.isEmpty()) {
            const QDateTime now = m_clock.now();
            line = now.date().toString(QStringLiteral("dd/MM/yyyy")) + u'-' +
                   now.time().toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(" : ") +
                   message;
        }
        QByteArray bytes;
        if (IsAscii(line)) {
            bytes = line.toLatin1();
        } else {
            if (!m_encodingKnown) {
                QFile file(m_path);
                m_utf8 = file.open(QIODevice::ReadOnly) && LooksLikeUtf8(file.readAll());
                m_encodingKnown = true;
            }
            if (!m_utf8 && !FitsWindows1252(line))
                convertToUtf8();
            bytes = m_utf8 ? line.toUtf8() : EncodeWindows1252(line);
        }
        bytes += "\r\n";
        QFile file(m_path);
        if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
            return;
        if (!m_endChecked) {
            // A log ended without a line end (edited by hand, cut short) must not glue the
            // first new entry onto its last line.
            m_endChecked = true;
            if (file.size() > 0 && file.seek(file.size() - 1)) {
                char last = 0;
                if (file.getChar(&last) && last != '\n' && last != '\r')
                    bytes.prepend("\r\n");
            }
        }
        file.write(bytes);
    }

private:
    void convertToUtf8()
    {
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray old = file.readAll();
            file.close();
            if (!old.isEmpty()) {
                QFile out(m_path);
                if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
                    out.write(DecodeWindows1252(old).toUtf8());
            }
        }
        m_utf8 = true;
    }

    QString m_path;
    const Clock& m_clock;
    bool m_encodingKnown = false;
    bool m_utf8 = false;
    bool m_endChecked = false;
};

class Run
{
public:
    Run(Connection& connection, const ProgressLabel& label, const UpdateEnvironment& env)
        : m_connection(connection), m_label(label), m_env(env),
          m_clock(env.clock ? *env.clock : ProcessClock()),
          m_log(UpdateLogPath(env.DataFolder), m_clock)
    {}

    UpdateRunResult run(const QString& folder, const QString& fileName, bool interactive);

private:
    QString text(const char* key, const char* defaultText) const
    {
        const QString fallback = QString::fromUtf8(defaultText);
        return m_env.lookupText ? m_env.lookupText(kSection, QLatin1String(key), fallback)
                                : fallback;
    }
    void setLabel(const QString& text)
    {
        if (m_label) {
            m_label(text);
            if (m_env.display)
                m_env.display->processEvents();
        }
    }
    void setGaugeInfo(const QString& text)
    {
        if (m_env.display) {
            m_env.display->setGaugeInfo(text);
            m_env.display->processEvents();
        }
    }
    bool backup();
    bool testCondition(Keyword keyword, const QString& line);
    void sqlExe(const QString& line);
    void compactDataBase(const QString& line);
    void convert(ConversionCommand command, const QString& line);
    void reopen(QString& ending);

    Connection& m_connection;
    const ProgressLabel& m_label;
    const UpdateEnvironment& m_env;
    const Clock& m_clock;
    UpdateLog m_log;
    UpdateRunResult m_result;
};

bool Run::backup()
{
    const DatabaseConfig& config = m_env.config;
    QDir().mkpath(m_env.DataFolder + QStringLiteral("Backup/Maj"));
    setGaugeInfo(text("String1", "MISE A JOUR (Sauvegarde)"));
    const bool wasOpen = m_connection.isOpen();
    m_connection.close();
    const QString source = config.DatabaseFolder + config.ActiveDatabaseFile;
    setGaugeInfo(source);
    QString name = QFileInfo(config.ActiveDatabaseFile).fileName();
    name.chop(4);
    const QString target = m_env.DataFolder + QStringLiteral("Backup/Maj/") + name.toUpper() +
                           QStringLiteral("_ACCESS_BACKUP_MAJ_") +
                           m_clock.now().toString(QStringLiteral("ddMMyyyyhhmmss")) +
                           QStringLiteral(".bkp");
    QString failure;
    try {
        CompactDatabaseFile(source, target);
    } catch (const Error& e) {
        failure = e.text();
    }
    if (wasOpen) {
        try {
            m_connection.open();
        } catch (const Error& e) {
            failure += (failure.isEmpty() ? QString() : QStringLiteral(" ; ")) + e.text();
        }
    }
    if (failure.isEmpty())
        return true;
    // The person asked for a copy before the update: without it, nothing is changed and the
    // script stays for the next start.
    m_log.append(text("String1", "MISE A JOUR (Sauvegarde)") + QStringLiteral(" (error : ") +
                 failure + u')');
    m_log.append(QString());
    ++m_result.errors;
    m_result.backupFailed = true;
    return false;
}

bool Run::testCondition(Keyword keyword, const QString& line)
{
    switch (keyword) {
    case Keyword::NotFieldType: {
        const QString table = Cut(line, u'(', u'.');
        const QString column = Cut(line, u'.', u',');
        const QString type = Cut(line, u',', u')');
        m_connection.hasRows(QStringLiteral("SELECT * FROM ") + table);
        const TableInfo* info = m_connection.table(table);
        const ColumnInfo* c = info ? info->column(column) : nullptr;
        if (!c)
            throw Error(QStringLiteral("no such column: %1.%2").arg(table, column));
        return c->type != FieldTypeCode(type);
    }
    case Keyword::NotFieldExists:
    case Keyword::FieldExists: {
        const QString table = Cut(line, u'(', u'.');
        const QString column = Cut(line, u'.', u')');
        m_connection.hasRows(QStringLiteral("SELECT * FROM ") + table);
        const bool present = m_connection.hasColumn(table, column);
        return keyword == Keyword::FieldExists ? present : !present;
    }
    case Keyword::NotTableExists:
    case Keyword::TableExists: {
        const QString table = Cut(line, u'(', u')').toUpper();
        bool present = false;
        for (const QString& name : m_connection.tableNames())
            present = present || name.toUpper() == table;
        return keyword == Keyword::TableExists ? present : !present;
    }
    case Keyword::TableEmpty:
        return !m_connection.hasRows(QStringLiteral("SELECT id FROM ") + Cut(line, u'(', u')'));
    default:
        return true;
    }
}

void Run::sqlExe(const QString& line)
{
    const QString statement = Cut(line, u'{', u'}');
    QString ending = QStringLiteral(" (Ok)");
    try {
        m_connection.exec(statement);
    } catch (const Error& e) {
        ending = QStringLiteral(" (error : ") + e.text() + u')';
        ++m_result.errors;
    }
    m_log.append(QStringLiteral("SQL:") + statement + ending);
}

void Run::reopen(QString& ending)
{
    try {
        m_connection.open();
    } catch (const Error& e) {
        if (ending == u" (Ok)")
            ending = QStringLiteral(" (error : ") + e.text() + u')';
        ++m_result.errors;
    }
}

void Run::compactDataBase(const QString& line)
{
    const QString name = Cut(line, u'(', u')');
    const QString live = m_env.config.DatabaseFolder + QStringLiteral("Access/") + name;
    const QString logText = text("String6", "Compactage de la base de données");
    QString ending = QStringLiteral(" (Ok)");
    const bool wasOpen = m_connection.isOpen();
    bool closed = false;
    try {
        if (name.isEmpty() || !QFileInfo(live).isFile())
            throw Error(QStringLiteral("le fichier %1 n'existe pas").arg(live));
        // Only the database this script holds open may be compacted: another connection to
        // the file would go on writing into the moved-aside copy, which is then deleted.
        if (!wasOpen || QFileInfo(m_connection.databaseFilePath()).canonicalFilePath() !=
                            QFileInfo(live).canonicalFilePath())
            throw Error(QStringLiteral("la base de données %1 n'est pas celle sur laquelle ce "
                                       "script s'exécute ; elle n'est pas compactée")
                            .arg(live));
        if (QFileInfo::exists(MovedAsideName(live)))
            throw Error(QStringLiteral("le fichier %1 existe déjà (compactage interrompu ?) ; "
                                       "rien n'est modifié")
                            .arg(MovedAsideName(live)));
        m_connection.close();
        closed = true;
        CompactInPlace(live);
    } catch (const Error& e) {
        ending = QStringLiteral(" (error : ") + e.text() + u')';
        ++m_result.errors;
    }
    if (closed)
        reopen(ending);
    m_log.append(logText + ending);
}

void Run::convert(ConversionCommand command, const QString& line)
{
    if (!RunConversion(command, line, m_connection, m_env,
                       [this](const QString& message) { m_log.append(message); }))
        ++m_result.errors;
}

UpdateRunResult Run::run(const QString& folder, const QString& fileName, bool interactive)
{
    const QString path = folder + fileName;
    const std::optional<QString> content = ReadTextFile(path);
    if (!content)
        throw Error(QStringLiteral("Impossible de lire le script de mise à jour %1.").arg(path));
    const QStringList lines = SplitLines(*content);

    // A damaged database is left as it is: nothing of the script runs on it.
    if (m_connection.isOpen()) {
        try {
            m_connection.checkIntegrity();
        } catch (const Error& e) {
            m_log.append(fileName + QStringLiteral(" (error : ") + e.text() + u')');
            m_log.append(QString());
            throw;
        }
    }

    UpdateDisplay* display = m_env.display;
    struct GaugeGuard
    {
        UpdateDisplay* display;
        ~GaugeGuard()
        {
            if (display)
                display->closeGauge();
        }
    } guard{display};
    // The bar runs over the lines less one from position 1; a script of fewer than two lines
    // shows a full bar.
    const int maximum = std::max<int>(int(lines.size()) - 1, 1);
    if (display) {
        display->showGauge();
        display->setGauge(1, maximum);
    }

    if (interactive && display && display->askBackup(kBackupQuestion) && !backup())
        return m_result;

    setGaugeInfo(text("String2", "MISE A JOUR (Base de données)"));
    setLabel(text("String3", "Mise à jour (préparation) ..."));

    for (int i = 0; i < lines.size(); ++i) {
        if (display)
            display->setGauge(std::min(i + 1, maximum), maximum);
        const QString& line = lines.at(i);
        ++m_result.linesRun;
        if (line.startsWith(QLatin1String("//"))) {
            m_log.append(line.mid(2));
            continue;
        }
        const Keyword keyword = Classify(line);
        if (keyword == Keyword::None)
            continue;
        if (IsCondition(keyword)) {
            setLabel(text("String4", "Test de la mise à jour ..."));
            bool holds = false;
            try {
                holds = testCondition(keyword, line);
            } catch (const Error& e) {
                // A condition that cannot even be tested leaves its block alone.
                m_log.append(line.trimmed() + QStringLiteral(" (error : ") + e.text() + u')');
                ++m_result.errors;
                i = SkipToEnd(lines, i + 1);
                continue;
            }
            if (!holds) {
                m_log.append(kAlreadyDone);
                i = SkipToEnd(lines, i + 1);
            }
            continue;
        }
        if (keyword == Keyword::CompactDataBase) {
            compactDataBase(line);
            continue;
        }
        setLabel(text("String5", "Mise à jour de la base de données ..."));
        if (keyword == Keyword::SqlExe)
            sqlExe(line);
        else if (const std::optional<ConversionCommand> command = ConversionOf(keyword))
            convert(*command, line);
    }

    m_log.append(kFinished);
    m_log.append(QString());
    if (interactive)
        QFile::remove(path);
    return m_result;
}

} // namespace

QString UpdateLogPath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("Maj.Log");
}

UpdateRunResult RunUpdateScript(Connection& connection, const QString& folder,
                                const QString& fileName, const ProgressLabel& progressLabel,
                                bool interactive, const UpdateEnvironment& environment)
{
    Run run(connection, progressLabel, environment);
    return run.run(folder, fileName, interactive);
}

namespace {

// "VAL" in the oldest databases, "VALUE" since.
QString VersionColumn(Connection& connection)
{
    try {
        DataSet query(connection, QStringLiteral("IsVersionInBD"));
        query.setSqlText(QStringLiteral("SELECT * FROM OBJECT_VAL_STR WHERE 1=0"));
        query.open();
        return query.findField(QStringLiteral("VAL")) ? QStringLiteral("VAL")
                                                      : QStringLiteral("VALUE");
    } catch (const Error&) {
        return QStringLiteral("VALUE");
    }
}

} // namespace

QString BringUpToProgramVersion(Connection& connection, const UpdateEnvironment& environment,
                                const ProgressLabel& progressLabel)
{
    const QString table = QStringLiteral("OBJECT_VAL_STR");
    const QString column = QStringLiteral("VALUE");
    const QString folder = environment.ProgramFolder + QStringLiteral("Maj/");
    const QString stored = GetBDVersion(connection, table, column);
    if (VersionNumber(stored) >= VersionNumber(environment.ProgramVersion) ||
        !QFileInfo(folder + environment.UpdateFileName).isFile())
        return stored;
    RunUpdateScript(connection, folder, environment.UpdateFileName, progressLabel, false,
                    environment);
    SetBDVersion(connection, table, column, environment.ProgramVersion);
    return stored;
}

void UpdateProgramFolderDatabase(const UpdateEnvironment& environment)
{
    const QString file =
        environment.ProgramFolder + QStringLiteral("Data/") + environment.config.OleDbFileName;
    if (!QFileInfo(file).isFile())
        return;
    // An installation this user may not write keeps its database as it is, and so does one of
    // the earlier platform (a Jet file, which the first run's copy converts).
    if (!QFileInfo(file).isWritable() || !QFileInfo(QFileInfo(file).absolutePath()).isWritable() ||
        IsJetDatabaseFile(file))
        return;
    Connection connection;
    connection.setConnectionString(OleDbConnectionString(environment.config.OleDbProvider, file));
    connection.open();
    const QString table = QStringLiteral("OBJECT_VAL_STR");
    const QString stored = GetBDVersion(connection, table, VersionColumn(connection));
    const QString scriptFolder = environment.ProgramFolder + QStringLiteral("Maj/");
    if (VersionNumber(stored) < VersionNumber(environment.ProgramVersion) &&
        QFileInfo(scriptFolder + environment.UpdateFileName).isFile()) {
        RunUpdateScript(connection, scriptFolder, environment.UpdateFileName, ProgressLabel(),
                        false, environment);
        // The script may have renamed VAL to VALUE: look again.
        SetBDVersion(connection, table, VersionColumn(connection), environment.ProgramVersion);
    }
    connection.close();
}

void AppendLogLine(const QString& logPath, const QString& message, const Clock& clock)
{
    UpdateLog(logPath, clock).append(message);
}

int SkipToEnd(const QStringList& lines, int position)
{
    for (int i = std::max(position, 0); i < lines.size(); ++i) {
        if (lines.at(i).left(3).toUpper() == u"END")
            return i;
    }
    return int(lines.size());
}

} // namespace tilvo
