// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Connection.h"

#include "common/Error.h"
#include "db/DataSet.h"
#include "db/JetDialect.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

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
    if (m_provider == Provider::Embedded) {
        if (!m_createIfMissing && !QFileInfo(m_dataSource).isFile())
            throw Error(QStringLiteral("Impossible d'ouvrir la base de données %1 : le fichier "
                                       "n'existe pas.")
                            .arg(m_dataSource));
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
    if (!m_db.open()) {
        const QString text = engineText(m_db.lastError());
        throw Error(QStringLiteral("Impossible d'ouvrir la base de données %1 : %2")
                        .arg(m_dataSource, text));
    }
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
        throw Error(QStringLiteral("Impossible d'ouvrir la base de données %1 : %2")
                        .arg(m_dataSource, failure));
    }
    // The statistics read rows scattered over the file: keep up to 64 MB of it in memory
    // (taken only as pages are read) rather than reading it again from the system each time.
    QSqlQuery(m_db).exec(QStringLiteral("PRAGMA cache_size=-65536"));
    invalidateSchema();
}

void Connection::close()
{
    const QList<DataSet*> sets = m_dataSets;
    for (DataSet* set : sets)
        set->close();
    if (m_db.isValid() && m_db.isOpen())
        m_db.close();
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

QString Connection::translate(const QString& statement)
{
    const Translation t = JetDialect(isOpen() ? this : nullptr, m_dateRanges).translate(statement);
    if (t.kind == Translation::Kind::AlterColumn)
        return QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2")
            .arg(t.alterTable, t.alterDefinition);
    return t.sql;
}

void Connection::exec(const QString& statement)
{
    requireOpen();
    const Translation t = JetDialect(this, m_dateRanges).translate(statement);
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
            failure = engineText(q.lastError());
    }
    if (t.schemaChange)
        invalidateSchema();
    if (!failure.isEmpty())
        throw Error(failure);
}

bool Connection::hasRows(const QString& select)
{
    requireOpen();
    const Translation t = JetDialect(this, m_dateRanges).translate(select);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(t.sql + QLatin1String(" LIMIT 1")))
        throw Error(engineText(q.lastError()));
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
        throw Error(engineText(q.lastError()));
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
        throw Error(engineText(m_db.lastError()));
}

void Connection::commit()
{
    if (!m_db.commit())
        throw Error(engineText(m_db.lastError()));
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
            throw Error(engineText(q.lastError()));
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
            throw Error(engineText(q.lastError()));
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
