// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/FieldType.h"
#include "db/JetDialect.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QSqlError;
struct sqlite3;

namespace tilvo {

class DataSet;

struct ColumnInfo
{
    QString name;
    QString declaredType; // as the engine keeps it, e.g. "VARCHAR(128)"
    FieldType type = FieldType::ftUnknown;
    int size = 0; // declared length of text and binary columns, 0 when none
    bool autoIncrement = false;
    bool notNull = false;
    bool primaryKey = false;
    QString defaultValue; // the SQL text of the default, empty when none
};

struct TableInfo
{
    QString name;
    std::vector<ColumnInfo> columns;

    // Case-insensitive; -1 when the table has no such column.
    int indexOf(const QString& column) const;
    const ColumnInfo* column(const QString& column) const;
};

// Answers the dialect translator's questions about tables.
class SchemaSource
{
public:
    virtual ~SchemaSource() = default;
    // Nothing when there is no such table (names compare case-insensitively).
    virtual const TableInfo* table(const QString& name) = 0;
};

// The one kind of connection of the program, over Qt SQL. Two providers:
// - Odbc: "Provider=MSDASQL.1;Data Source=<name>;..." reaches the ODBC data source <name>
//   through unixODBC (QODBC); the data source must name the SQLite ODBC driver.
// - Embedded: any other provider ("Microsoft.Jet.OLEDB.4.0" in db.ini) opens the file named by
//   "Data Source" directly with SQLite (QSQLITE).
// Statements are written in the program's Jet dialect and translated (JetDialect) before they
// reach the driver, the same way for both providers. Errors throw tilvo::Error carrying the
// engine's text.
class Connection final : public SchemaSource
{
public:
    enum class Provider
    {
        Embedded,
        Odbc
    };

    explicit Connection(const QString& name = QString());
    ~Connection() override;
    Q_DISABLE_COPY_MOVE(Connection)

    const QString& name() const { return m_name; }

    // An ADO connection string of the program (see above). Closes the connection first.
    void setConnectionString(const QString& connectionString);
    const QString& connectionString() const { return m_connectionString; }
    // Shortcuts for the two providers.
    void setDatabaseFile(const QString& path, bool readOnly = false);
    void setOdbcDataSource(const QString& dataSourceName);

    Provider provider() const { return m_provider; }
    // The file given for the embedded provider, or the data source name for ODBC.
    const QString& dataSource() const { return m_dataSource; }

    // How long a statement waits for a file another process holds locked; 2000 ms unless set.
    void setBusyTimeout(int milliseconds) { m_busyTimeout = milliseconds; }
    // The embedded provider refuses a missing file unless this is set (template creation).
    void setCreateIfMissing(bool create) { m_createIfMissing = create; }

    // Opens and checks that the file is a database this program can use: a missing, empty,
    // foreign, truncated or locked file fails here with a French message naming it, and so
    // does a file (or a folder, where the engine keeps its journal) this user may not write,
    // unless the connection was asked to read only. Nothing is written to a refused file.
    void open();
    // Reads every page of the open database through the engine's quick check (the structure of
    // every table and index; not whether each index agrees with its table, which costs far
    // more). A damaged file throws Error with a French message; the connection stays open.
    // Run at start-up and before every maintenance step that rewrites the file.
    void checkIntegrity();
    // Closes every dataset open on this connection first, then the connection.
    void close();
    bool isOpen() const;

    // Runs one statement that returns no rows. ALTER TABLE ... ALTER COLUMN rebuilds the table.
    void exec(const QString& statement);
    // Runs a SELECT reading at most one row: whether it gives any. Throws Error with the
    // engine's text when the statement fails (a missing table or column).
    bool hasRows(const QString& select);

    // The translated text the driver receives (for tests and diagnostics).
    QString translate(const QString& statement);

    // Schema questions. Names of user tables, in the engine's order (system tables left out).
    QStringList tableNames();
    const TableInfo* table(const QString& name) override;
    bool hasColumn(const QString& table, const QString& column);
    // Forgets what it knows of the tables (done after every statement that changes them).
    void invalidateSchema();
    // The full path of the open database file, as the engine reports it.
    QString databaseFilePath();
    // The file, or the data source name while the file is not known.
    QString displayName() const;

    // Every open dataset but `except` reads the rows it has not read yet; done before a
    // statement writes, so that they keep showing what they were opened on. A write through a
    // dataset names its table: only the lists over that table read theirs (a list keeps rows
    // unread only when it is over one table, and a row of one table is written without
    // touching another's).
    void readPendingRows(const DataSet* except = nullptr, const QString& writtenTable = {});

    void beginTransaction();
    void commit();
    void rollback();

    // The Qt connection, for the dataset class and the dialect layer only.
    QSqlDatabase database() const { return m_db; }
    // The embedded engine's own handle while open, for the dataset's reading; null for ODBC.
    sqlite3* nativeHandle() const;
    // The engine's own text of an error, the same for both providers.
    static QString engineText(const QSqlError& error);
    // The same text, its common failures explained in French first (ExplainEngineText).
    static QString errorText(const QSqlError& error);
    // How text columns sort and compare in the statements the dialect writes: like the
    // original engine (case and accents ignored at the first level) where the engine has
    // the program's collations, else ASCII case folding.
    const TextCollations& textCollations() const { return m_collations; }
    JetDialect dialect();
    // Whether the date-range rewriting of MID(date, ...) tests is on (the default).
    void setDateRangeRewriting(bool on) { m_dateRanges = on; }
    bool dateRangeRewriting() const { return m_dateRanges; }

private:
    friend class DataSet;
    void attach(DataSet* dataSet);
    void detach(DataSet* dataSet);
    void requireOpen() const;
    void alterColumn(const QString& table, const QString& column, const QString& definition);
    std::optional<TableInfo> readTable(const QString& name);
    void checkOpenedFile();
    QString scalarText(const QString& sql);

    QString m_name;
    QString m_connectionString;
    QString m_dataSource;
    Provider m_provider = Provider::Embedded;
    bool m_readOnly = false;
    bool m_createIfMissing = false;
    bool m_dateRanges = true;
    int m_busyTimeout = 2000;
    QSqlDatabase m_db;
    QString m_filePath; // the open database file, as the engine reports it
    TextCollations m_collations;
    QList<DataSet*> m_dataSets;
    QHash<QString, std::optional<TableInfo>> m_tables; // upper-cased name
    std::optional<QStringList> m_tableNames;
};

// Rolls back unless commit() is reached.
class Transaction
{
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Q_DISABLE_COPY_MOVE(Transaction)
    void commit();

private:
    Connection& m_connection;
    bool m_done = false;
};

} // namespace tilvo
