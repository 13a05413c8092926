// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/FieldType.h"

#include <QString>
#include <vector>

namespace tilvo {

class SchemaSource;

// One column of a SELECT as the translation planned it.
struct ResultColumn
{
    QString name;       // the field name the dataset gives it
    QString table;      // the table (or its alias) it comes from; empty for an expression
    QString baseColumn; // the table's column; empty for an expression
    FieldType type = FieldType::ftUnknown;
    int size = 0;
    bool autoIncrement = false;
};

// The program's statements are Jet SQL; the engine is SQLite. The translation:
// - `#m/d/yyyy#` date literals become 'yyyy-mm-dd' (dates are stored as ISO text);
// - MID(x, start, len) becomes substr; on a date column it reads the date as "dd/mm/yyyy";
//   the year, month-and-year and decade tests of the statistics (MID(d,7,4)='2008',
//   MID(d,4,2)='03' AND MID(d,7,4)='2008', MID(d,7,4)>='2000' ...) become date ranges, which
//   give the same rows and use the indexes;
// - LEN, UCASE, LCASE, "double-quoted" texts, & for concatenation, DISTINCTROW, TOP n,
//   DELETE * FROM, DROP INDEX i ON t;
// - in DDL, the Jet column types (COUNTER, SHORT, LONG, TEXT(n), MEMO, YESNO, DATETIME,
//   DOUBLE, LONGBINARY ...) become declarations the engine and the ODBC driver both read
//   with the right type (see FieldTypeOfDeclared); a Text(n) column gets a length check;
//   COUNTER becomes INTEGER PRIMARY KEY AUTOINCREMENT, which never reuses a deleted key;
// - text columns listed by an ORDER BY or compared in a condition get the connection's
//   collations (TextCollations), so text sorts and compares as the original engine did.
// `[bracketed]` names pass as they are.
struct Translation
{
    enum class Kind
    {
        Select,
        Command,
        AlterColumn
    };

    Kind kind = Kind::Command;
    QString sql; // what the engine runs
    bool schemaChange = false;

    // Select: the columns when every table of the FROM clause is known, else empty (the
    // driver's names are used). A single-table select also carries the row key as its last,
    // hidden column, and the texts to read one row again by that key.
    std::vector<ResultColumn> columns;
    QString updatableTable; // empty when read-only
    QString keyAlias;       // how the table is named in the statement (for the row key)
    QString selectList;     // the planned select list, key included
    QString fromClause;     // "FROM ..." up to the WHERE clause
    QString keySelect;      // the same statement selecting the row key alone

    // AlterColumn: ALTER TABLE table ALTER COLUMN column definition.
    QString alterTable;
    QString alterColumn;
    QString alterDefinition; // translated column definition, name included
};

// The collations the engine applies to text columns: `order` to the columns an ORDER BY
// lists, `compare` to a column compared (=, <>, <, >, <=, >=, IN, BETWEEN) in a WHERE, ON or
// HAVING clause. Empty names leave the engine's own binary order.
struct TextCollations
{
    QString order;
    QString compare;
};

class JetDialect
{
public:
    // The schema tells which columns are dates or texts and what `*` stands for; without one
    // the text is translated without that knowledge.
    explicit JetDialect(SchemaSource* schema, bool dateRanges = true,
                        TextCollations collations = {});

    // Throws Error on a date literal that is no date.
    Translation translate(const QString& statement) const;

    // The translated column definition ("Title TEXT(128)" gives
    // "Title VARCHAR(128) CHECK(length([Title])<=128)").
    static QString translateColumnDefinition(const QString& definition);

    static constexpr const char* kKeyColumn = "__tilvo_rowid";

private:
    SchemaSource* m_schema;
    bool m_dateRanges;
    TextCollations m_collations;
};

} // namespace tilvo
