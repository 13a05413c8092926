// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/FieldType.h"
#include "db/RowTable.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace tilvo {

class Connection;
class DataSet;

enum class DataSetState
{
    Inactive,
    Browsing,
    Editing,
    Inserting
};

// How a field shows in grids and editors; kept by name, so it survives closing and reopening.
struct FieldDisplay
{
    QString label;         // the grid caption; the field name when empty
    int width = 0;         // in characters, 0 for the default
    QString displayFormat; // number picture such as "#######0.000 €", empty for none
    QString editFormat;
    bool visible = true;
};

// One field of the current row of a dataset: a light handle, valid while the dataset keeps
// its columns (until it is closed or its statement changes).
//
// Reading: text (dates as "dd/mm/yyyy", reals with "." as decimal point, booleans as
// "True"/"False", null as ""), integer, real, date, boolean, bytes. Writing needs the dataset
// in editing or inserting; a value the column cannot hold (a text longer than its declared
// length, a number out of a 16-bit column's range, a text that is no number or no date) is
// refused with an Error and nothing changes.
class Field
{
public:
    Field(DataSet* dataSet, int column) : m_set(dataSet), m_column(column) {}

    QString name() const;
    FieldType type() const;
    int size() const; // declared length of text columns, 0 when none
    int index() const { return m_column; }
    bool isReadOnly() const;

    bool isNull() const;
    void clear();

    QVariant value() const; // null, qint64, double, bool, QString, QDate, QDateTime or QByteArray
    void setValue(const QVariant& value);

    QString asText() const;
    void setText(const QString& text);
    qint64 asInteger() const; // null reads 0
    void setInteger(qint64 value);
    double asDouble() const; // null reads 0
    void setDouble(double value);
    QDate asDate() const; // null reads an invalid date
    void setDate(const QDate& date);
    bool asBoolean() const; // null reads false
    void setBoolean(bool value);
    QByteArray asBytes() const;
    void setBytes(const QByteArray& bytes);

    // A binary field filled from a file and saved to one; an unreadable or unwritable file
    // throws Error and leaves the field or the file as they were.
    void loadFromFile(const QString& path);
    void saveToFile(const QString& path) const;

    FieldDisplay display() const;
    void setDisplay(const FieldDisplay& display);
    QString displayLabel() const;

private:
    DataSet* m_set;
    int m_column;
};

// A statement kept as a list of lines, its rows and a current row, over one Connection.
//
// Opening runs the statement and keeps its rows (a snapshot: rows other statements add later
// show after the next open). A long sorted list over one table is read in two steps: its row
// keys at once, the rest of each row when it is first shown or used; before any statement
// writes through the connection, every open dataset reads the rows it still lacks, so what it
// shows is always what the statement gave when it was opened. A statement over a single table is
// updatable: edits, insertions and deletions are written back at once by the row's key with bound
// values. A join, a grouping or an expression column is read-only. `SELECT *` over a join names
// each column that several tables share "TABLE.COLUMN" (ACCOUNT.DESCRIPTION), the others by their
// name; fields are found case-insensitively, and a qualified name also finds a plain column of that
// table.
//
// Navigation and editing follow the usual dataset rules: moving or locating posts a pending
// edit; closing cancels it; posting an edit to a row another statement deleted meanwhile
// throws Error, drops that row and leaves the dataset browsing; editing an empty dataset starts an
// insertion; deleting while inserting cancels the insertion. Closing the connection closes its
// datasets; a dataset must not outlive its connection.
class DataSet final : public QObject
{
    Q_OBJECT

public:
    explicit DataSet(Connection& connection, const QString& name = QString(),
                     QObject* parent = nullptr);
    ~DataSet() override;
    Q_DISABLE_COPY_MOVE(DataSet)

    const QString& name() const { return m_name; }
    Connection& connection() const { return *m_connection; }

    // The statement. Changing it closes the dataset.
    const QStringList& sql() const { return m_sql; }
    void setSql(const QStringList& lines);
    void setSqlText(const QString& text); // split at CR LF, CR or LF
    QString sqlText() const;              // the lines joined with CR LF

    void open();
    void close();
    bool isActive() const { return m_state != DataSetState::Inactive; }
    DataSetState state() const { return m_state; }
    // Runs the statement as a command that returns no rows; the dataset stays closed.
    void execSql();

    void first();
    void last();
    void next();
    void prior();
    bool bof() const;
    bool eof() const;
    bool isEmpty() const;
    int recordCount() const;
    int recNo() const; // the current row, from 0; -1 when there is none
    void moveTo(int row);
    // Moves to the first row whose field equals the value (numbers by value, dates by day,
    // anything else by its exact text); false and no move when none does.
    bool locate(const QString& fieldName, const QVariant& value);

    void insert(); // a new row before the current one
    void append(); // a new row after the last one
    void edit();
    void post();
    void cancel();
    void remove(); // deletes the current row (runs beforeDelete first)

    int fieldCount() const;
    QStringList fieldNames() const;
    // Throws Error when the dataset has no such field.
    Field fieldByName(const QString& name);
    std::optional<Field> findField(const QString& name);
    Field field(int index);
    // Reading any row without moving (grids).
    QVariant valueAt(int row, int column) const;
    QString textAt(int row, int column) const;

    FieldDisplay fieldDisplay(const QString& fieldName) const;
    void setFieldDisplay(const QString& fieldName, const FieldDisplay& display);

    // Runs before the current row is deleted; an exception stops the deletion.
    void setBeforeDelete(std::function<void(DataSet&)> hook) { m_beforeDelete = std::move(hook); }

    // Whether rows can be edited, inserted and deleted: open, over one table.
    bool canModify() const { return isActive() && m_keyColumn >= 0; }

    // Above this many rows, a sorted list over one table keeps its rows unread until they
    // are used; they are then read this many at a time.
    static constexpr int kRowsReadAtOnce = 1000;
    static constexpr int kRowsReadTogether = 256;
    // How many rows have not been read yet.
    int unreadRows() const { return int(m_rows.unreadCount()); }
    // Reads every row not read yet (done before anything writes through the connection).
    void readPendingRows();
    // The table rows are written back to; empty when the statement is not updatable.
    const QString& updatableTable() const { return m_table; }

    // Bound controls write the values they hold into the row being edited: post() first runs
    // every writer (updateRecord), and an exception from one stops the post with the row still
    // in editing. A writer is kept until its owner removes it.
    void addRecordWriter(const QObject* owner, std::function<void()> writer);
    void removeRecordWriters(const QObject* owner);
    void updateRecord();

    // While disabled (nestable), the signals below are held back; enabling again sends
    // contentChanged and currentChanged once.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabled > 0; }

Q_SIGNALS:
    void stateChanged();
    void currentChanged();
    void contentChanged();

private:
    friend class Field;

    struct Column;
    struct Plan;

    void requireActive() const;
    void requireEditing() const;
    void requireUpdatable() const;
    void checkBrowseMode();
    void setState(DataSetState state);
    void notifyCurrent();
    void notifyContent();
    int resolve(const QString& name) const;
    QVariant rawValue(int column) const;
    void assign(int column, const QVariant& value);
    void refetchCurrent(qint64 key);
    void readRow(int row) const;
    void readUnreadRows(const std::vector<int>& rows) const;
    void keep(RowTable& read, QHash<qint64, int>& rowOfKey) const;
    void dropVanishedRow();
    qint64 currentKey() const;

    Connection* m_connection;
    QString m_name;
    QStringList m_sql;
    DataSetState m_state = DataSetState::Inactive;
    std::vector<Column> m_columns;
    mutable RowTable m_rows;        // rows not read yet are read when they are first used
    std::vector<QVariant> m_buffer; // the row being edited or inserted
    std::vector<bool> m_modified;
    int m_row = -1;
    int m_insertedAt = -1;
    int m_rowBeforeInsert = -1;
    bool m_bof = true;
    bool m_eof = true;
    int m_keyColumn = -1; // the hidden row key, -1 when read-only
    QString m_table;      // the updatable table
    QString m_refetchSql;
    QString m_fullSql;  // the statement as the engine runs it
    QString m_blockSql; // the same columns for a list of keys, without its closing ")"
    QHash<QString, FieldDisplay> m_displays; // upper-cased field name
    std::function<void(DataSet&)> m_beforeDelete;
    std::vector<std::pair<const QObject*, std::function<void()>>> m_recordWriters;
    int m_disabled = 0;
    bool m_pendingCurrent = false;
    bool m_pendingContent = false;
};

// What editors and grids bind to: a dataset and its state.
class DataSource
{
public:
    explicit DataSource(DataSet& dataSet) : m_set(&dataSet) {}
    DataSet& dataSet() const { return *m_set; }
    DataSetState state() const;

    // Whether a change typed in a bound control puts the dataset into editing (the default);
    // when off, bound controls are read-only until the program starts editing.
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool autoEdit) { m_autoEdit = autoEdit; }

private:
    DataSet* m_set;
    bool m_autoEdit = true;
};

} // namespace tilvo
