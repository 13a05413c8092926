// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/JetConverter.h"

#include "common/Error.h"
#include "common/FileHelpers.h"
#include "db/Compaction.h"
#include "db/Connection.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <QtEndian>
#include <cmath>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

// mdbtools.h includes glib.h inside its extern "C" block, which breaks glib's C++ templates
// unless glib.h has been read before.
#include <glib.h>
#include <mdbtools.h>

namespace tilvo {

namespace {

const QStringList kRequiredTables{QStringLiteral("PROFILES"), QStringLiteral("ACCOUNT"),
                                  QStringLiteral("CONSUMPTION")};
constexpr int kProgressRows = 5000;

struct MdbClose
{
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableFree
{
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
struct StatementFinalize
{
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using MdbPointer = std::unique_ptr<MdbHandle, MdbClose>;
using TablePointer = std::unique_ptr<MdbTableDef, TableFree>;
using StatementPointer = std::unique_ptr<sqlite3_stmt, StatementFinalize>;

QString Damaged(const QString& source, const QString& detail)
{
    return QStringLiteral("Le fichier %1 n'a pas pu être converti : la base de données de "
                          "l'ancienne version est endommagée ou incomplète (%2). Rien n'a été "
                          "modifié.")
        .arg(source, detail);
}

QString Refused(const QString& source, const QString& detail)
{
    return QStringLiteral("Le fichier %1 n'a pas pu être converti : %2. Rien n'a été modifié.")
        .arg(source, detail);
}

// How the value of a Jet column is read and written.
enum class ValueKind
{
    Boolean,
    Integer,
    Real,
    Money,
    Date,
    Text,
    Binary,
    Unsupported
};

ValueKind KindOf(int mdbType)
{
    switch (mdbType) {
    case MDB_BOOL:
        return ValueKind::Boolean;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return ValueKind::Integer;
    case MDB_FLOAT:
    case MDB_DOUBLE:
        return ValueKind::Real;
    case MDB_MONEY:
        return ValueKind::Money;
    case MDB_DATETIME:
        return ValueKind::Date;
    case MDB_TEXT:
    case MDB_MEMO:
        return ValueKind::Text;
    case MDB_OLE:
        return ValueKind::Binary;
    default:
        return ValueKind::Unsupported;
    }
}

// The bytes a value of a fixed-size Jet type takes; 0 for the others.
int FixedSize(int mdbType)
{
    switch (mdbType) {
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_FLOAT:
        return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    default:
        return 0;
    }
}

// The program's column type for a Jet column the template lacks; empty when there is none.
QString JetDeclaration(const MdbColumn& column, bool jet3)
{
    switch (column.col_type) {
    case MDB_BOOL:
        return QStringLiteral("YESNO");
    case MDB_BYTE:
        return QStringLiteral("BYTE");
    case MDB_INT:
        return QStringLiteral("SHORT");
    case MDB_LONGINT:
        return QStringLiteral("LONG");
    case MDB_FLOAT:
        return QStringLiteral("REAL");
    case MDB_DOUBLE:
    case MDB_MONEY:
        return QStringLiteral("DOUBLE");
    case MDB_DATETIME:
        return QStringLiteral("DATETIME");
    case MDB_TEXT: {
        // Jet 4 keeps two bytes a character.
        const int length = jet3 ? column.col_size : column.col_size / 2;
        return QStringLiteral("TEXT(%1)").arg(qBound(1, length, 255));
    }
    case MDB_MEMO:
        return QStringLiteral("MEMO");
    case MDB_OLE:
        return QStringLiteral("LONGBINARY");
    default:
        return QString();
    }
}

bool UsableColumnName(const QString& name)
{
    if (name.trimmed().isEmpty() || name.size() > 64)
        return false;
    for (const QChar c : name) {
        if (c == u'[' || c == u']' || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QString Bracketed(const QString& name)
{
    return u'[' + name + u']';
}

// A Jet date is a number of days from 30 December 1899, its fraction the time of day (its sign
// only tells the day for dates before 1899).
QString JetDateText(double value)
{
    const double days = std::trunc(value);
    QDate date = QDate(1899, 12, 30).addDays(qint64(days));
    qint64 seconds = std::llround(std::fabs(value - days) * 86400.0);
    if (seconds >= 86400) {
        date = date.addDays(1);
        seconds -= 86400;
    }
    QString text = date.toString(QStringLiteral("yyyy-MM-dd"));
    if (seconds != 0)
        text += u' ' + QTime(0, 0).addSecs(int(seconds)).toString(QStringLiteral("hh:mm:ss"));
    return text;
}

qint64 LittleEndianInteger(const unsigned char* bytes, int size)
{
    quint64 bits = 0;
    for (int i = size - 1; i >= 0; --i)
        bits = (bits << 8) | bytes[i];
    if (size < 8 && (bits & (quint64(1) << (size * 8 - 1))))
        bits |= ~quint64(0) << (size * 8); // sign
    return qint64(bits);
}

struct CopiedColumn
{
    int sourceIndex = 0;
    MdbColumn* column = nullptr;
    QString name;
    ValueKind kind = ValueKind::Unsupported;
    int maxLength = 0; // characters the program's column accepts, 0 for no limit
    std::vector<char> oleHeader;
    int oleLength = 0;
};

class JetReader
{
public:
    explicit JetReader(const QString& source) : m_source(source)
    {
        const QFileInfo info(source);
        if (!info.isFile())
            throw Error(Refused(source, QStringLiteral("ce fichier n'existe pas")));
        if (info.size() == 0)
            throw Error(Refused(source, QStringLiteral("ce fichier est vide")));
        if (!IsJetDatabaseFile(source))
            throw Error(Refused(source, QStringLiteral("ce n'est pas une base de données de "
                                                       "l'ancienne version (fichier Jet .mdb)")));
        m_mdb.reset(mdb_open(QFile::encodeName(source).constData(), MDB_NOFLAGS));
        if (!m_mdb)
            throw Error(Damaged(source, QStringLiteral("elle ne peut pas être ouverte")));
        const qint64 pageSize = m_mdb->fmt->pg_size;
        if (pageSize <= 0 || info.size() % pageSize != 0)
            throw Error(Damaged(source, QStringLiteral("le fichier est coupé")));
        m_jet3 = m_mdb->f->jet_version == MDB_VER_JET3;
        if (!mdb_read_catalog(m_mdb.get(), MDB_TABLE))
            throw Error(Damaged(source, QStringLiteral("la liste de ses tables est illisible")));
        for (unsigned int i = 0; i < m_mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m_mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
                m_tables << QString::fromUtf8(entry->object_name);
        }
    }

    MdbHandle* handle() const { return m_mdb.get(); }
    bool jet3() const { return m_jet3; }
    const QStringList& tables() const { return m_tables; }
    const QString& source() const { return m_source; }

    TablePointer openTable(const QString& name) const
    {
        QByteArray utf8 = name.toUtf8();
        TablePointer table(mdb_read_table_by_name(m_mdb.get(), utf8.data(), MDB_TABLE));
        if (!table || !mdb_read_columns(table.get()))
            throw Error(Damaged(m_source, QStringLiteral("la table %1 est illisible").arg(name)));
        return table;
    }

private:
    QString m_source;
    MdbPointer m_mdb;
    bool m_jet3 = false;
    QStringList m_tables;
};

class Inserter
{
public:
    Inserter(Connection& connection, const QString& table, const std::vector<CopiedColumn>& columns)
        : m_handle(connection.nativeHandle()), m_table(table)
    {
        if (!m_handle)
            throw Error(QStringLiteral("La conversion demande le moteur de base de données "
                                       "intégré."));
        QStringList names;
        QStringList marks;
        for (const CopiedColumn& c : columns) {
            names << Bracketed(c.name);
            marks << QStringLiteral("?");
        }
        const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(Bracketed(table), names.join(u','), marks.join(u','))
                                   .toUtf8();
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_handle, sql.constData(), int(sql.size()), &statement, nullptr) !=
            SQLITE_OK)
            throw Error(engineFailure());
        m_statement.reset(statement);
    }

    sqlite3_stmt* statement() const { return m_statement.get(); }

    // `row` is the row's number in the Jet table, for the messages.
    void run(const QString& source, qint64 row)
    {
        const int rc = sqlite3_step(m_statement.get());
        sqlite3_reset(m_statement.get());
        sqlite3_clear_bindings(m_statement.get());
        if ((rc & 0xff) == SQLITE_CONSTRAINT)
            // Two rows of the same Id, or a value a column refuses.
            throw Error(
                Refused(source, QStringLiteral("la ligne %1 de la table %2 ne respecte "
                                               "pas une règle de ce logiciel (%3)")
                                    .arg(row)
                                    .arg(m_table, QString::fromUtf8(sqlite3_errmsg(m_handle)))));
        if (rc != SQLITE_DONE)
            throw Error(engineFailure());
    }

private:
    QString engineFailure() const
    {
        return QStringLiteral("La table %1 n'a pas pu être écrite dans la nouvelle base de "
                              "données : %2")
            .arg(m_table, QString::fromUtf8(sqlite3_errmsg(m_handle)));
    }

    sqlite3* m_handle;
    QString m_table;
    StatementPointer m_statement;
};

qint64 CountRows(Connection& connection, const QString& table)
{
    sqlite3* handle = connection.nativeHandle();
    const QByteArray sql = QStringLiteral("SELECT COUNT(*) FROM %1").arg(Bracketed(table)).toUtf8();
    sqlite3_stmt* raw = nullptr;
    if (!handle || sqlite3_prepare_v2(handle, sql.constData(), -1, &raw, nullptr) != SQLITE_OK)
        return -1;
    StatementPointer statement(raw);
    return sqlite3_step(raw) == SQLITE_ROW ? sqlite3_column_int64(raw, 0) : -1;
}

// The first row of a statement reading two integers, if any.
std::optional<std::pair<qint64, qint64>> FirstPair(Connection& connection, const QString& sql)
{
    sqlite3* handle = connection.nativeHandle();
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    if (!handle || sqlite3_prepare_v2(handle, utf8.constData(), -1, &raw, nullptr) != SQLITE_OK)
        return std::nullopt;
    StatementPointer statement(raw);
    if (sqlite3_step(raw) != SQLITE_ROW)
        return std::nullopt;
    return std::make_pair(sqlite3_column_int64(raw, 0), sqlite3_column_int64(raw, 1));
}

class Conversion
{
public:
    Conversion(const JetReader& reader, Connection& connection, const ProgressLabel& progress,
               JetConversionReport& report)
        : m_reader(reader), m_connection(connection), m_progress(progress), m_report(report)
    {}

    // Copies every table of the Jet file the template knows; returns their row counts.
    std::vector<std::pair<QString, qint64>> copyTables()
    {
        std::vector<std::pair<QString, qint64>> copied;
        for (const QString& required : kRequiredTables) {
            if (!m_reader.tables().contains(required, Qt::CaseInsensitive))
                throw Error(Refused(m_reader.source(),
                                    QStringLiteral("la table %1 manque dans ce fichier : ce n'est "
                                                   "pas une base de données de ce logiciel")
                                        .arg(required)));
        }
        for (const QString& name : m_reader.tables()) {
            const TableInfo* target = m_connection.table(name);
            if (!target) {
                m_report.leftAside << QStringLiteral("La table %1, inconnue de ce logiciel, n'a "
                                                     "pas été reprise.")
                                          .arg(name);
                continue;
            }
            const QString targetName = target->name;
            copied.emplace_back(targetName, copyTable(name, targetName));
        }
        return copied;
    }

private:
    std::vector<CopiedColumn> planColumns(MdbTableDef* table, const QString& targetName)
    {
        std::vector<CopiedColumn> columns;
        for (unsigned int i = 0; i < table->num_cols; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
            const QString name = QString::fromUtf8(column->name);
            const ValueKind kind = KindOf(column->col_type);
            if (kind == ValueKind::Unsupported) {
                m_report.leftAside
                    << QStringLiteral("La colonne %1.%2 n'a pas été reprise : son type (%3) n'a "
                                      "pas d'équivalent dans ce logiciel.")
                           .arg(targetName, name,
                                QString::fromUtf8(mdb_get_colbacktype_string(column)));
                continue;
            }
            const TableInfo* target = m_connection.table(targetName);
            if (target->indexOf(name) < 0) {
                // The name comes from the file: it goes into the statement only when it cannot
                // end its brackets.
                if (!UsableColumnName(name)) {
                    m_report.leftAside << QStringLiteral("La colonne %1.%2 n'a pas été reprise : "
                                                         "son nom contient des caractères que "
                                                         "ce logiciel n'accepte pas.")
                                              .arg(targetName, name);
                    continue;
                }
                m_connection.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                      .arg(Bracketed(targetName), Bracketed(name),
                                           JetDeclaration(*column, m_reader.jet3())));
                m_connection.invalidateSchema();
                target = m_connection.table(targetName);
            }
            const ColumnInfo* info = target->column(name);
            CopiedColumn copied;
            copied.sourceIndex = int(i);
            copied.column = column;
            copied.name = info->name;
            copied.kind = kind;
            copied.maxLength = IsTextType(info->type) ? info->size : 0;
            columns.push_back(std::move(copied));
        }
        // libmdb keeps the addresses it is given: bound once the list no longer moves. The
        // binary columns are read from the header libmdb copies there.
        for (CopiedColumn& c : columns) {
            if (c.kind == ValueKind::Binary) {
                c.oleHeader.assign(m_reader.handle()->bind_size, 0);
                mdb_bind_column(table, c.sourceIndex + 1, c.oleHeader.data(), &c.oleLength);
            }
        }
        return columns;
    }

    // Binds the column's value of the row just read; `texts` keeps the texts alive until the
    // row is written.
    void bindValue(sqlite3_stmt* statement, int position, CopiedColumn& c, const QString& table,
                   qint64 rowNumber)
    {
        MdbHandle* mdb = m_reader.handle();
        MdbColumn* column = c.column;
        const int start = column->cur_value_start;
        const int length = column->cur_value_len;
        const auto* bytes = static_cast<const unsigned char*>(mdb->pg_buf) + start;
        const bool inPage = start >= 0 && length >= 0 && start + length <= int(mdb->fmt->pg_size);
        if (c.kind == ValueKind::Boolean) {
            // libmdb reads a yes/no column from the null mask: no value means "yes".
            sqlite3_bind_int(statement, position, length == 0 ? 1 : 0);
            return;
        }
        if (c.kind == ValueKind::Binary) {
            if (c.oleLength <= 0)
                return; // null
            size_t size = 0;
            void* data = mdb_ole_read_full(mdb, column, &size);
            if (!data)
                throw Error(Damaged(m_reader.source(),
                                    QStringLiteral("la colonne %1.%2 de la ligne %3 est illisible")
                                        .arg(table, c.name)
                                        .arg(rowNumber)));
            sqlite3_bind_blob64(statement, position, data, size, free);
            return;
        }
        if (length == 0)
            return; // null (an empty text reads the same)
        if (!inPage || (FixedSize(column->col_type) > 0 && length != FixedSize(column->col_type)))
            throw Error(Damaged(m_reader.source(),
                                QStringLiteral("la colonne %1.%2 de la ligne %3 est illisible")
                                    .arg(table, c.name)
                                    .arg(rowNumber)));
        switch (c.kind) {
        case ValueKind::Integer:
            sqlite3_bind_int64(statement, position, LittleEndianInteger(bytes, length));
            return;
        case ValueKind::Real:
            sqlite3_bind_double(statement, position,
                                length == 8 ? qFromLittleEndian<double>(bytes)
                                            : double(qFromLittleEndian<float>(bytes)));
            return;
        case ValueKind::Money:
            // Currency: an integer of ten-thousandths.
            sqlite3_bind_double(statement, position,
                                double(LittleEndianInteger(bytes, 8)) / 10000.0);
            return;
        case ValueKind::Date: {
            const QByteArray text = JetDateText(qFromLittleEndian<double>(bytes)).toLatin1();
            sqlite3_bind_text(statement, position, text.constData(), int(text.size()),
                              SQLITE_TRANSIENT);
            return;
        }
        case ValueKind::Text: {
            gchar* text = mdb_col_to_string(mdb, mdb->pg_buf, start, column->col_type, length);
            if (!text)
                return;
            const size_t size = std::strlen(text);
            if (c.maxLength > 0) {
                const qsizetype characters =
                    QString::fromUtf8(text, qsizetype(size)).toUcs4().size();
                if (characters > c.maxLength) {
                    g_free(text);
                    throw Error(Refused(
                        m_reader.source(),
                        QStringLiteral("la ligne %1 de la table %2 a dans la colonne %3 un texte "
                                       "de %4 caractères, alors que ce logiciel en accepte au "
                                       "plus %5")
                            .arg(rowNumber)
                            .arg(table, c.name)
                            .arg(characters)
                            .arg(c.maxLength)));
                }
            }
            if (size == 0)
                g_free(text);
            else
                sqlite3_bind_text64(statement, position, text, size, g_free, SQLITE_UTF8);
            return;
        }
        default:
            return;
        }
    }

    qint64 copyTable(const QString& name, const QString& targetName)
    {
        if (m_progress)
            m_progress(QStringLiteral("Conversion de la table %1 ...").arg(targetName));
        TablePointer table = m_reader.openTable(name);
        std::vector<CopiedColumn> columns = planColumns(table.get(), targetName);
        // What the template holds goes: the table takes the rows of the Jet file, Ids included.
        m_connection.exec(QStringLiteral("DELETE FROM %1").arg(Bracketed(targetName)));
        if (columns.empty())
            return 0;
        Inserter inserter(m_connection, targetName, columns);
        sqlite3_stmt* statement = inserter.statement();
        mdb_rewind_table(table.get());
        qint64 rows = 0;
        while (mdb_fetch_row(table.get())) {
            ++rows;
            // Binary columns last: reading their pages must not come before the other values
            // are taken from the row's page.
            for (size_t i = 0; i < columns.size(); ++i) {
                if (columns[i].kind != ValueKind::Binary)
                    bindValue(statement, int(i) + 1, columns[i], targetName, rows);
            }
            for (size_t i = 0; i < columns.size(); ++i) {
                if (columns[i].kind == ValueKind::Binary)
                    bindValue(statement, int(i) + 1, columns[i], targetName, rows);
            }
            inserter.run(m_reader.source(), rows);
            if (m_progress && rows % kProgressRows == 0)
                m_progress(QStringLiteral("Conversion de la table %1 : %2 lignes ...")
                               .arg(targetName)
                               .arg(rows));
        }
        if (rows != qint64(table->num_rows))
            throw Error(Damaged(m_reader.source(),
                                QStringLiteral("la table %1 annonce %2 lignes, %3 ont pu être lues")
                                    .arg(name)
                                    .arg(table->num_rows)
                                    .arg(rows)));
        return rows;
    }

    const JetReader& m_reader;
    Connection& m_connection;
    const ProgressLabel& m_progress;
    JetConversionReport& m_report;
};

// The links between dossiers, accounts and entries the program relies on.
void CheckLinks(Connection& connection, const QString& source)
{
    if (const auto orphan = FirstPair(
            connection, QStringLiteral("SELECT c.[Id], c.[Id_Account] FROM [CONSUMPTION] c WHERE "
                                       "NOT EXISTS (SELECT 1 FROM [ACCOUNT] a WHERE a.[Id] = "
                                       "c.[Id_Account]) ORDER BY c.[Id] LIMIT 1")))
        throw Error(Refused(source, QStringLiteral("la consommation n° %1 appartient au compte "
                                                   "n° %2, qui n'existe pas")
                                        .arg(orphan->first)
                                        .arg(orphan->second)));
    if (const auto orphan = FirstPair(
            connection, QStringLiteral("SELECT a.[Id], a.[Id_File] FROM [ACCOUNT] a WHERE NOT "
                                       "EXISTS (SELECT 1 FROM [PROFILES] p WHERE p.[ID] = "
                                       "a.[Id_File]) ORDER BY a.[Id] LIMIT 1")))
        throw Error(Refused(source, QStringLiteral("le compte n° %1 appartient au dossier n° %2, "
                                                   "qui n'existe pas")
                                        .arg(orphan->first)
                                        .arg(orphan->second)));
}

// Removes a file and what the engine may have left beside it.
void RemoveDatabaseFile(const QString& file)
{
    QFile::remove(file);
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
}

} // namespace

QString JetConversionReport::summary() const
{
    QString text = QStringLiteral("%1 dossier(s), %2 compte(s) et %3 consommation(s) ont été "
                                  "repris.")
                       .arg(dossiers)
                       .arg(accounts)
                       .arg(entries);
    if (!leftAside.isEmpty())
        text += QStringLiteral("\rN'ont pas été repris :\r") + leftAside.join(u'\r');
    return text;
}

bool IsJetDatabaseFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(20);
    // The first page starts with 00 01 00 00 and the engine's name.
    return head.size() == 20 && head.startsWith(QByteArray("\x00\x01\x00\x00", 4)) &&
           (head.mid(4) == QByteArray("Standard Jet DB\0", 16) ||
            head.mid(4) == QByteArray("Standard ACE DB\0", 16));
}

QString TemplateDatabaseFile(const UpdateEnvironment& environment)
{
    const QString name = environment.config.OleDbFileName.isEmpty()
                             ? QStringLiteral("Access/TILVO.MDB")
                             : environment.config.OleDbFileName;
    return environment.ProgramFolder + QStringLiteral("Ressources/DB/Data/") + name;
}

JetConversionReport ConvertJetDatabase(const QString& source, const QString& destination,
                                       const UpdateEnvironment& environment,
                                       const ProgressLabel& progress)
{
    JetConversionReport report;
    const JetReader reader(source);
    const QString templateFile = TemplateDatabaseFile(environment);
    if (!QFileInfo(templateFile).isFile())
        throw Error(QStringLiteral("La base de données modèle %1 est introuvable : effectuez une "
                                   "nouvelle installation du logiciel.")
                        .arg(templateFile));
    RemoveDatabaseFile(destination);
    try {
        if (!QFile::copy(templateFile, destination))
            throw Error(QStringLiteral("La base de données modèle n'a pas pu être copiée dans %1.")
                            .arg(destination));
        QFile::setPermissions(destination, QFile::permissions(destination) | QFile::WriteOwner);
        std::vector<std::pair<QString, qint64>> copied;
        {
            Connection connection;
            connection.setDatabaseFile(destination);
            connection.setBusyTimeout(0);
            connection.open();
            Transaction transaction(connection);
            Conversion conversion(reader, connection, progress, report);
            copied = conversion.copyTables();
            CheckLinks(connection, source);
            transaction.commit();

            for (const auto& [table, rows] : copied) {
                const qint64 written = CountRows(connection, table);
                if (written != rows)
                    throw Error(QStringLiteral("La conversion de %1 a échoué : la table %2 compte "
                                               "%3 lignes dans la nouvelle base de données au lieu "
                                               "de %4.")
                                    .arg(source, table)
                                    .arg(written)
                                    .arg(rows));
                if (table.compare(QLatin1String("PROFILES"), Qt::CaseInsensitive) == 0)
                    report.dossiers = int(rows);
                else if (table.compare(QLatin1String("ACCOUNT"), Qt::CaseInsensitive) == 0)
                    report.accounts = int(rows);
                else if (table.compare(QLatin1String("CONSUMPTION"), Qt::CaseInsensitive) == 0)
                    report.entries = int(rows);
            }
            report.sourceVersion = BringUpToProgramVersion(connection, environment, progress);
        }
        // The file as the program will open it.
        Connection check;
        check.setDatabaseFile(destination);
        check.setBusyTimeout(0);
        check.open();
        check.checkIntegrity();
        check.close();
        if (!SyncToDisk(destination))
            throw Error(QStringLiteral("La nouvelle base de données %1 n'a pas pu être écrite sur "
                                       "le disque.")
                            .arg(destination));
    } catch (...) {
        RemoveDatabaseFile(destination);
        throw;
    }
    return report;
}

void InstallConvertedDatabase(const QString& converted, const QString& live, const QString& keepAs)
{
    try {
        if (!keepAs.isEmpty()) {
            // The old file keeps a second name, so that the live name is never empty. A file
            // already under that name is never replaced.
            const QByteArray from = QFile::encodeName(live);
            const QByteArray to = QFile::encodeName(keepAs);
            if (::link(from.constData(), to.constData()) != 0 && !QFile::copy(live, keepAs))
                throw Error(QStringLiteral("Le fichier %1 n'a pas pu être conservé sous le nom "
                                           "%2 : la base de données n'a pas été remplacée.")
                                .arg(live, keepAs));
            SyncToDisk(QFileInfo(keepAs).absolutePath());
        }
        ReplaceLiveDatabase(converted, live);
    } catch (...) {
        RemoveDatabaseFile(converted);
        throw;
    }
}

QString UnusedName(const QString& live, const QString& suffix)
{
    QString name = live + suffix;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = live + suffix + u'.' + QString::number(n);
    return name;
}

QString ConversionFileName(const QString& live)
{
    return live + QStringLiteral(".conversion");
}

JetConversionReport ImportJetDatabase(const QString& source, const QString& live,
                                      const UpdateEnvironment& environment,
                                      const ProgressLabel& progress, const QString& keepAs)
{
    const QString work = ConversionFileName(live);
    JetConversionReport report = ConvertJetDatabase(source, work, environment, progress);
    InstallConvertedDatabase(work, live, keepAs);
    return report;
}

} // namespace tilvo
