// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace tilvo {

class Connection;

// Adds many rows to one table through a single prepared statement with bound values, for bulk
// imports that a dataset, which keeps and re-reads every row it posts, would make slow. Dates
// are stored as the datasets store them ("yyyy-mm-dd" text) and booleans as 0 or 1. Open
// datasets read the rows they still lack first, so that they keep showing what they were opened
// on. The embedded engine is fed through its own interface, ODBC through Qt SQL. Errors of the
// engine throw Error with its text. The caller holds the transaction.
class RowInserter
{
public:
    RowInserter(Connection& connection, const QString& table, const QStringList& columns);
    ~RowInserter();
    RowInserter(const RowInserter&) = delete;
    RowInserter& operator=(const RowInserter&) = delete;

    // One value per column, in the order of the columns; a null QVariant writes NULL.
    void insert(const QVariantList& values);
    qint64 inserted() const { return m_inserted; }

private:
    void insertNative(const QVariantList& values);

    sqlite3* m_handle = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    QSqlQuery m_query;
    int m_width;
    qint64 m_inserted = 0;
};

} // namespace tilvo
