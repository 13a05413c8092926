// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Connection.h"

#include "common/Error.h"
#include "db/DataSet.h"
#include "db/EngineMessage.h"
#include "db/JetDialect.h"

#include <QAtomicInt>
#include <QCollator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <mutex>
#include <sqlite3.h>

namespace tilvo {

namespace {

QString NextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("tilvo-connection-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

// "Provider=X;Data Source=Y;..." as key/value pairs, keys upper-cased.
QHash<QString, QString> ParseConnectionString(const QString& text)
{
    QHash<QString, QString> values;
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq <= 0)
            continue;
        values.insert(part.left(eq).trimmed().toUpper(), part.mid(eq + 1).trimmed());
    }
    return values;
}

QString Bracket(const QString& name)
{
    return u'[' + name + u']';
}

// --- Text order ------------------------------------------------------------------------------

// The original engine sorts and compares text as a French reader does: "élan" between "cerise"
// and "Zèbre", "ABRICOT" equal to "Abricot". Two collations, registered on every connection
// the engine library opens in this process, so an ODBC driver built on the same library has
// them too; nothing of them is stored in the file, which other tools must still read.
// TILVO_ORDER orders by letters first, then accents, then case; TILVO_COMPARE ignores case.
constexpr const char* kOrderCollation = "TILVO_ORDER";
constexpr const char* kCompareCollation = "TILVO_COMPARE";

int CompareTexts(void* collator, int length1, const void* text1, int length2, const void* text2)
{
    const QString a = QString::fromUtf8(static_cast<const char*>(text1), length1);
    const QString b = QString::fromUtf8(static_cast<const char*>(text2), length2);
    return static_cast<const QCollator*>(collator)->compare(a, b);
}

void DeleteCollator(void* collator)
{
    delete static_cast<QCollator*>(collator);
}

void AddCollation(sqlite3* db, const char* name, Qt::CaseSensitivity caseSensitivity)
{
    auto* collator = new QCollator(QLocale(QLocale::French, QLocale::France));
    collator->setCaseSensitivity(caseSensitivity);
    if (sqlite3_create_collation_v2(db, name, SQLITE_UTF8, collator, CompareTexts,
                                    DeleteCollator) != SQLITE_OK)
        delete collator; // the engine only frees what it accepted
}

int RegisterCollations(sqlite3* db, const char**, const sqlite3_api_routines*)
{
    AddCollation(db, kOrderCollation, Qt::CaseSensitive);
    AddCollation(db, kCompareCollation, Qt::CaseInsensitive);
    return SQLITE_OK;
}

void RegisterCollationsForEveryConnection()
{
    static std::once_flag once;
    std::call_once(
        once, [] { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&RegisterCollations)); });
}

// --- Refusals at open ------------------------------------------------------------------------

const QString kRestore = QStringLiteral("Restaurez une sauvegarde de la base de données.");

QString CannotOpen(const QString& file, const QString& reason)
{
    return QStringLiteral("Impossible d'ouvrir la base de données %1 : %2").arg(file, reason);
}

QString EmptyFile(const QString& file)
{
    return QStringLiteral("Le fichier de la base de données %1 est vide (0 octet) : ce n'est pas "
                          "une base de données et il ne contient plus aucune donnée. Il n'a pas "
                          "été modifié. ")
               .arg(file) +
           kRestore;
}

QString ReadOnlyFile(const QString& file)
{
    return QStringLiteral("La base de données %1 est en lecture seule : ce programme doit pouvoir "
                          "y écrire. Donnez le droit d'écriture sur ce fichier, ou placez-le dans "
                          "un dossier où vous pouvez écrire.")
        .arg(file);
}

QString ReadOnlyFolder(const QString& file, const QString& folder)
{
    return QStringLiteral("La base de données %1 ne peut pas être modifiée : le dossier %2 est "
                          "en lecture seule, et ce programme doit pouvoir y écrire le journal de "
                          "ses modifications. Donnez le droit d'écriture sur ce dossier.")
        .arg(file, folder);
}

QString Damaged(const QString& file, const QString& detail)
{
    return QStringLiteral("La base de données %1 est endommagée (%2). Elle n'a pas été "
                          "modifiée. ")
               .arg(file, detail) +
           kRestore;
}

bool IsDamageText(const QString& engineText)
{
    return engineText.contains(QLatin1String("not a database"), Qt::CaseInsensitive) ||
           engineText.contains(QLatin1String("malformed"), Qt::CaseInsensitive);
}

// What the engine said, explained, with the way out when the file itself is at fault.
QString OpenFailure(const QString& file, const QString& engineText)
{
    QString reason = ExplainEngineText(engineText);
    if (IsDamageText(engineText))
        reason += u' ' + kRestore;
    return CannotOpen(file, reason);
}

} // namespace

int TableInfo::indexOf(const QString& name) const
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

const ColumnInfo* TableInfo::column(const QString& name) const
{
    const int i = indexOf(name);
    return i < 0 ? nullptr : &columns[static_cast<size_t>(i)];
}

Connection::Connection(const QString& name) : m_name(name.isEmpty() ? NextConnectionName() : name)
{}

Connection::~Connection()
{
    close();
    if (m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
}

void Connection::setConnectionString(const QString& connectionString)
{
    close();
    m_connectionString = connectionString;
    const QHash<QString, QString> values = ParseConnectionString(connectionString);
    const QString provider = values.value(QStringLiteral("PROVIDER"));
    m_dataSource = values.value(QStringLiteral("DATA SOURCE"));
    m_provider = provider.startsWith(QLatin1String("MSDASQL"), Qt::CaseInsensitive)
                     ? Provider::Odbc
                     : Provider::Embedded;
    m_readOnly =
        values.value(QStringLiteral("MODE")).compare(QLatin1String("Read"), Qt::CaseInsensitive) ==
        0;
}

void Connection::setDatabaseFile(const QString& path, bool readOnly)
{
    close();
    m_connectionString = QStringLiteral("Provider=SQLite;Data Source=") + path;
    m_dataSource = path;
    m_provider = Provider::Embedded;
    m_readOnly = readOnly;
}

void Connection::setOdbcDataSource(const QString& dataSourceName)
{
    close();
    m_connectionString = QStringLiteral("Provider=MSDASQL.1;Data Source=") + dataSourceName;
    m_dataSource = dataSourceName;
    m_provider = Provider::Odbc;
    m_readOnly = false;
}

QString Connection::engineText(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    // The ODBC layers prefix their names ("[unixODBC][SQLite]") and append the engine's code.
    static const QRegularExpression prefix(QStringLiteral("^(\\[[^\\]]*\\])+\\s*"));
    static const QRegularExpression code(QStringLiteral("\\s*\\(\\d+\\)$"));
    text.remove(prefix);
    text.remove(code);
    return text;
}

QString Connection::errorText(const QSqlError& error)
{
    return ExplainEngineText(engineText(error));
}

QString Connection::displayName() const
{
    return m_filePath.isEmpty() ? m_dataSource : m_filePath;
}

void Connection::open()
{
    if (isOpen())
        return;
    if (m_dataSource.isEmpty())
        throw Error(QStringLiteral("Aucune base de données n'est indiquée pour la connexion."));
    if (m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    m_filePath.clear();
    RegisterCollationsForEveryConnection();
    bool creating = false;
    if (m_provider == Provider::Embedded) {
        const QFileInfo file(m_dataSource);
        creating = m_createIfMissing && (!file.isFile() || file.size() == 0);
        if (!m_createIfMissing && !file.isFile())
            throw Error(CannotOpen(m_dataSource, QStringLiteral("le fichier n'existe pas.")));
        // What can be seen without the engine is refused before the engine touches the file.
        if (file.isFile()) {
            m_filePath = file.absoluteFilePath();
            if (file.size() == 0 && !m_createIfMissing)
                throw Error(EmptyFile(m_dataSource));
            if (!m_readOnly && !file.isWritable())
                throw Error(ReadOnlyFile(m_dataSource));
            if (!m_readOnly && !QFileInfo(file.absolutePath()).isWritable())
                throw Error(ReadOnlyFolder(m_dataSource, file.absolutePath()));
        }
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(m_dataSource);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeout);
        if (m_readOnly)
            options += QLatin1String(";QSQLITE_OPEN_READONLY");
        m_db.setConnectOptions(options);
    } else {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
        // QODBC puts "DSN=" in front; the SQLite driver reads its busy time-out (0 would mean
        // its default of 100 s) and whether it may create a missing file from the same string.
        m_db.setDatabaseName(QStringLiteral("%1;Timeout=%2;NoCreat=1")
                                 .arg(m_dataSource)
                                 .arg(std::max(m_busyTimeout, 1)));
    }
    if (!m_db.isValid())
        throw Error(QStringLiteral("Le moteur de base de données (%1) n'est pas disponible.")
                        .arg(m_provider == Provider::Odbc ? QStringLiteral("ODBC")
                                                          : QStringLiteral("SQLite")));
    if (!m_db.open())
        throw Error(OpenFailure(displayName(), engineText(m_db.lastError())));
    // The engine reads lazily: a file that is no database, a truncated one or one another
    // process holds locked only shows when something is read.
    QString failure;
    {
        QSqlQuery q(m_db);
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next())
            failure = engineText(q.lastError());
    }
    if (!failure.isEmpty()) {
        m_db.close();
        throw Error(OpenFailure(displayName(), failure));
    }
    // The engine writes nothing into a new file until something is stored; a new database
    // gets its first page at once, so that only a lost one is ever empty.
    if (creating && !QSqlQuery(m_db).exec(QStringLiteral("VACUUM"))) {
        m_db.close();
        throw Error(CannotOpen(displayName(), QStringLiteral("le fichier ne peut pas être créé.")));
    }
    try {
        checkOpenedFile();
    } catch (const Error&) {
        m_db.close();
        throw;
    }
    // The statistics read rows scattered over the file: keep up to 64 MB of it in memory
    // (taken only as pages are read) rather than reading it again from the system each time.
    QSqlQuery(m_db).exec(QStringLiteral("PRAGMA cache_size=-65536"));
    m_collations = {QStringLiteral("NOCASE"), QStringLiteral("NOCASE")};
    {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        if (q.exec(QStringLiteral("PRAGMA collation_list"))) {
            while (q.next()) {
                if (q.value(1).toString() == QLatin1String(kOrderCollation)) {
                    m_collations = {QLatin1String(kOrderCollation),
                                    QLatin1String(kCompareCollation)};
                    break;
                }
            }
        }
    }
    invalidateSchema();
}

// The checks that need the engine: the file the data source names (known only now for
// ODBC), whether the engine may write it, and whether the file is as long as the engine's
// header says, which catches a file cut short without reading the rest of it.
void Connection::checkOpenedFile()
{
    const QString reported = databaseFilePath();
    if (reported.isEmpty())
        return; // a database in memory
    m_filePath = reported;
    const QFileInfo file(reported);
    if (file.size() == 0 && !m_createIfMissing)
        throw Error(EmptyFile(reported));
    if (!m_readOnly) {
        if (!file.isWritable())
            throw Error(ReadOnlyFile(reported));
        if (!QFileInfo(file.absolutePath()).isWritable())
            throw Error(ReadOnlyFolder(reported, file.absolutePath()));
        // The engine falls back to reading only, without a word, when it may not write.
        if (sqlite3* handle = nativeHandle(); handle && sqlite3_db_readonly(handle, "main") == 1)
            throw Error(ReadOnlyFile(reported));
    }
    // Pages written ahead of the file live in its write-ahead log, which this check cannot see.
    if (scalarText(QStringLiteral("PRAGMA journal_mode"))
            .compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
        return;
    const qint64 pages = scalarText(QStringLiteral("PRAGMA page_count")).toLongLong();
    const qint64 pageSize = scalarText(QStringLiteral("PRAGMA page_size")).toLongLong();
    if (file.size() > 0 && file.size() < pages * pageSize)
        throw Error(Damaged(reported, QStringLiteral("le fichier est incomplet : %1 octets au "
                                                     "lieu de %2")
                                          .arg(file.size())
                                          .arg(pages * pageSize)));
}

void Connection::checkIntegrity()
{
    requireOpen();
    QStringList problems;
    QString failure;
    {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        // Ten problems are enough to tell the damage; the engine stops looking after them.
        if (!q.exec(QStringLiteral("PRAGMA quick_check(10)"))) {
            failure = engineText(q.lastError());
        } else {
            while (q.next())
                problems << q.value(0).toString();
            if (q.lastError().isValid())
                failure = engineText(q.lastError());
        }
    }
    if (failure.isEmpty() && problems == QStringList{QStringLiteral("ok")})
        return;
    if (failure.isEmpty())
        failure = problems.join(QStringLiteral(" ; ")).simplified();
    throw Error(Damaged(displayName(), QStringLiteral("moteur : ") + failure));
}

QString Connection::scalarText(const QString& sql)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (q.exec(sql) && q.next())
        return q.value(0).toString();
    return QString();
}

void Connection::close()
{
    const QList<DataSet*> sets = m_dataSets;
    for (DataSet* set : sets)
        set->close();
    if (m_db.isValid() && m_db.isOpen())
        m_db.close();
    m_filePath.clear();
    invalidateSchema();
}

bool Connection::isOpen() const
{
    return m_db.isValid() && m_db.isOpen();
}

sqlite3* Connection::nativeHandle() const
{
    if (m_provider != Provider::Embedded || !isOpen())
        return nullptr;
    const QVariant v = m_db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

void Connection::requireOpen() const
{
    if (!isOpen())
        throw Error(QStringLiteral("La connexion à la base de données est fermée."));
}

JetDialect Connection::dialect()
{
    return JetDialect(isOpen() ? this : nullptr, m_dateRanges, m_collations);
}

QString Connection::translate(const QString& statement)
{
    const Translation t = dialect().translate(statement);
    if (t.kind == Translation::Kind::AlterColumn)
        return QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2")
            .arg(t.alterTable, t.alterDefinition);
    return t.sql;
}

void Connection::readPendingRows(const DataSet* except, const QString& writtenTable)
{
    const QList<DataSet*> sets = m_dataSets;
    for (DataSet* set : sets) {
        if (set == except)
            continue;
        if (!writtenTable.isEmpty() && set->unreadRows() > 0 &&
            set->updatableTable().compare(writtenTable, Qt::CaseInsensitive) != 0)
            continue;
        set->readPendingRows();
    }
}

void Connection::exec(const QString& statement)
{
    requireOpen();
    readPendingRows();
    const Translation t = dialect().translate(statement);
    if (t.sql.trimmed().isEmpty() && t.kind != Translation::Kind::AlterColumn)
        throw Error(QStringLiteral("instruction SQL vide"));
    if (t.kind == Translation::Kind::AlterColumn) {
        alterColumn(t.alterTable, t.alterColumn, t.alterDefinition);
        return;
    }
    QString failure;
    {
        QSqlQuery q(m_db);
        if (!q.exec(t.sql))
            failure = errorText(q.lastError());
    }
    if (t.schemaChange)
        invalidateSchema();
    if (!failure.isEmpty())
        throw Error(failure);
}

bool Connection::hasRows(const QString& select)
{
    requireOpen();
    const Translation t = dialect().translate(select);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(t.sql + QLatin1String(" LIMIT 1")))
        throw Error(errorText(q.lastError()));
    return q.next();
}

QStringList Connection::tableNames()
{
    requireOpen();
    if (m_tableNames)
        return *m_tableNames;
    QStringList names;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' "
                               "AND name NOT LIKE 'sqlite!_%' ESCAPE '!' ORDER BY rowid")))
        throw Error(errorText(q.lastError()));
    while (q.next())
        names << q.value(0).toString();
    m_tableNames = names;
    return names;
}

std::optional<TableInfo> Connection::readTable(const QString& name)
{
    QString realName;
    bool autoIncrement = false;
    {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        q.prepare(
            QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type IN ('table','view') "
                           "AND name=? COLLATE NOCASE"));
        q.addBindValue(name);
        if (!q.exec() || !q.next())
            return std::nullopt;
        realName = q.value(0).toString();
        autoIncrement =
            q.value(1).toString().contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);
    }
    TableInfo info;
    info.name = realName;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?)"));
    q.addBindValue(realName);
    if (!q.exec())
        return std::nullopt;
    int keyColumns = 0;
    while (q.next()) {
        ColumnInfo c;
        c.name = q.value(0).toString();
        c.declaredType = q.value(1).toString();
        c.notNull = q.value(2).toInt() != 0;
        c.defaultValue = q.value(3).isNull() ? QString() : q.value(3).toString();
        c.primaryKey = q.value(4).toInt() > 0;
        keyColumns += c.primaryKey ? 1 : 0;
        info.columns.push_back(c);
    }
    for (ColumnInfo& c : info.columns) {
        c.autoIncrement =
            autoIncrement && keyColumns == 1 && c.primaryKey &&
            c.declaredType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        c.type = FieldTypeOfDeclared(c.declaredType, c.autoIncrement);
        c.size = (IsTextType(c.type) || IsBinaryType(c.type)) ? DeclaredSize(c.declaredType) : 0;
    }
    return info;
}

const TableInfo* Connection::table(const QString& name)
{
    if (!isOpen())
        return nullptr;
    const QString key = name.toUpper();
    auto it = m_tables.find(key);
    if (it == m_tables.end())
        it = m_tables.insert(key, readTable(name));
    return it->has_value() ? &**it : nullptr;
}

bool Connection::hasColumn(const QString& tableName, const QString& column)
{
    const TableInfo* info = table(tableName);
    return info && info->indexOf(column) >= 0;
}

void Connection::invalidateSchema()
{
    m_tables.clear();
    m_tableNames.reset();
}

QString Connection::databaseFilePath()
{
    requireOpen();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("PRAGMA database_list")))
        return QString();
    while (q.next()) {
        if (q.value(1).toString() == u"main")
            return q.value(2).toString();
    }
    return QString();
}

void Connection::beginTransaction()
{
    requireOpen();
    if (!m_db.transaction())
        throw Error(errorText(m_db.lastError()));
}

void Connection::commit()
{
    if (!m_db.commit())
        throw Error(errorText(m_db.lastError()));
}

void Connection::rollback()
{
    if (isOpen())
        m_db.rollback();
}

void Connection::attach(DataSet* dataSet)
{
    if (!m_dataSets.contains(dataSet))
        m_dataSets.append(dataSet);
}

void Connection::detach(DataSet* dataSet)
{
    m_dataSets.removeAll(dataSet);
}

// The engine cannot change a column's type in place: the table is copied into a new one with
// the new column definition, then takes the old one's place with its indexes and its counter.
void Connection::alterColumn(const QString& tableName, const QString& column,
                             const QString& definition)
{
    requireOpen();
    invalidateSchema();
    const TableInfo* info = table(tableName);
    if (!info)
        throw Error(QStringLiteral("no such table: %1").arg(tableName));
    if (info->indexOf(column) < 0)
        throw Error(QStringLiteral("no such column: %1").arg(column));
    const TableInfo old = *info;
    const QString temporary = QStringLiteral("__tilvo_rebuild");

    QStringList defs;
    QStringList keys;
    QStringList names;
    for (const ColumnInfo& c : old.columns) {
        names << Bracket(c.name);
        if (c.name.compare(column, Qt::CaseInsensitive) == 0) {
            defs << definition;
            continue;
        }
        QString def = Bracket(c.name);
        if (c.autoIncrement) {
            def += QLatin1String(" INTEGER PRIMARY KEY AUTOINCREMENT");
        } else {
            if (!c.declaredType.isEmpty())
                def += u' ' + c.declaredType;
            if (c.primaryKey)
                keys << Bracket(c.name);
        }
        if (c.notNull)
            def += QLatin1String(" NOT NULL");
        if (!c.defaultValue.isEmpty())
            def += QLatin1String(" DEFAULT ") + c.defaultValue;
        if (c.type == FieldType::ftWideString && c.size > 0)
            def += QStringLiteral(" CHECK(length(%1)<=%2)").arg(Bracket(c.name)).arg(c.size);
        defs << def;
    }
    if (!keys.isEmpty())
        defs << QLatin1String("PRIMARY KEY (") + keys.join(QStringLiteral(", ")) + u')';

    auto run = [this](const QString& sql) {
        QSqlQuery q(m_db);
        if (!q.exec(sql))
            throw Error(errorText(q.lastError()));
    };
    auto scalar = [this](const QString& sql, const QString& bind) {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        q.prepare(sql);
        q.addBindValue(bind);
        QVariant v;
        if (q.exec() && q.next())
            v = q.value(0);
        return v;
    };

    QStringList indexes;
    {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT sql FROM sqlite_master WHERE type='index' AND "
                                 "tbl_name=? COLLATE NOCASE AND sql IS NOT NULL"));
        q.addBindValue(old.name);
        if (q.exec()) {
            while (q.next())
                indexes << q.value(0).toString();
        }
    }
    const QVariant sequence =
        scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name=?"), old.name);

    Transaction transaction(*this);
    run(QStringLiteral("CREATE TABLE %1 (%2)")
            .arg(Bracket(temporary), defs.join(QStringLiteral(", "))));
    run(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3")
            .arg(Bracket(temporary), names.join(QStringLiteral(", ")), Bracket(old.name)));
    run(QStringLiteral("DROP TABLE %1").arg(Bracket(old.name)));
    run(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(Bracket(temporary), Bracket(old.name)));
    for (const QString& index : indexes)
        run(index);
    if (!sequence.isNull()) {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("UPDATE sqlite_sequence SET seq=max(seq, ?) WHERE name=?"));
        q.addBindValue(sequence.toLongLong());
        q.addBindValue(old.name);
        if (!q.exec())
            throw Error(errorText(q.lastError()));
    }
    transaction.commit();
    invalidateSchema();
}

Transaction::Transaction(Connection& connection) : m_connection(connection)
{
    m_connection.beginTransaction();
}

Transaction::~Transaction()
{
    if (!m_done)
        m_connection.rollback();
}

void Transaction::commit()
{
    m_connection.commit();
    m_done = true;
}

} // namespace tilvo
