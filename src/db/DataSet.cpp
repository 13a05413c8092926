// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DataSet.h"

#include "common/DateHelpers.h"
#include "common/Error.h"
#include "common/SqlText.h"
#include "db/Connection.h"
#include "db/EngineMessage.h"
#include "db/JetDialect.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <sqlite3.h>

namespace tilvo {

struct DataSet::Column
{
    QString name;
    QString table;      // as the statement names it
    QString baseColumn; // empty for an expression
    FieldType type = FieldType::ftUnknown;
    int size = 0;
    bool readOnly = true;
    bool rowIdAlias = false; // the table's own key: its value is the row key
};

namespace {

const QString kDateText = QStringLiteral("dd/MM/yyyy");
const QString kIsoDate = QStringLiteral("yyyy-MM-dd");
const QString kIsoDateTime = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QString Bracket(const QString& name)
{
    return u'[' + name + u']';
}

QVariant DateValue(const QDate& date, const QTime& time)
{
    if (!date.isValid())
        return QVariant();
    if (!time.isValid() || time == QTime(0, 0))
        return date;
    return QDateTime(date, time, Qt::UTC);
}

char16_t Unit(QChar c)
{
    return c.unicode();
}
char16_t Unit(char c)
{
    return char16_t(static_cast<unsigned char>(c));
}

template <typename Char> int Digits(const Char* p, int n)
{
    int value = 0;
    for (int i = 0; i < n; ++i) {
        const char16_t c = Unit(p[i]);
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// "yyyy-mm-dd", as the engine stores dates, read without the general date parser: every row
// of a date column goes through here.
template <typename View> QDate IsoDate(const View& text)
{
    if (text.size() < 10 || text.at(4) != u'-' || text.at(7) != u'-')
        return QDate();
    const auto* p = text.data();
    const int y = Digits(p, 4), m = Digits(p + 5, 2), d = Digits(p + 8, 2);
    if (y < 0 || m < 0 || d < 0)
        return QDate();
    return QDate(y, m, d);
}

QTime IsoTime(const QString& text)
{
    if (text.size() < 5 || text.at(2) != u':')
        return QTime();
    const QChar* p = text.constData();
    const int h = Digits(p, 2), m = Digits(p + 3, 2);
    int s = 0;
    if (text.size() >= 8 && text.at(5) == u':')
        s = Digits(p + 6, 2);
    else if (text.size() != 5)
        return QTime();
    if (h < 0 || m < 0 || s < 0)
        return QTime();
    return QTime(h, m, s);
}

// "yyyy-mm-dd[ hh:mm:ss]", "yyyy-mm-ddThh:mm:ss" or "dd/mm/yyyy[ hh:mm:ss]".
QVariant ParseDateValue(const QString& text)
{
    const QString t = text.trimmed();
    QDate date = IsoDate(t);
    QString timePart;
    if (date.isValid()) {
        if (t.size() == 10)
            return date;
        timePart = t.mid(10).trimmed();
        if (timePart.startsWith(u'T'))
            timePart = timePart.mid(1);
    } else {
        date = ParseDateText(t.section(u' ', 0, 0));
        if (!date.isValid())
            return QVariant();
        timePart = t.section(u' ', 1);
    }
    QTime time(0, 0);
    if (!timePart.isEmpty()) {
        time = IsoTime(timePart.left(8));
        if (!time.isValid())
            return QVariant();
    }
    return DateValue(date, time);
}

std::optional<qint64> ParseInteger(const QString& text)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

std::optional<double> ParseReal(const QString& text)
{
    QString t = text.trimmed();
    t.replace(u',', u'.');
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

QString RealText(double value)
{
    return QString::number(value, 'g', 15);
}

// A value read from the driver in the form the fields hold for the column's type.
QVariant Normalize(const QVariant& v, FieldType type)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    const int id = v.typeId();
    if (IsIntegerType(type)) {
        if (id == QMetaType::Bool)
            return qint64(v.toBool() ? 1 : 0);
        bool ok = false;
        const qint64 n = v.toLongLong(&ok);
        if (ok)
            return n;
        if (const std::optional<double> d = ParseReal(v.toString()))
            return qint64(std::llround(*d));
        return v.toString();
    }
    if (IsRealType(type)) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok)
            return d;
        if (const std::optional<double> r = ParseReal(v.toString()))
            return *r;
        return v.toString();
    }
    if (type == FieldType::ftBoolean) {
        if (id == QMetaType::Bool)
            return v.toBool();
        const QString s = v.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        return v.toLongLong() != 0;
    }
    if (IsDateType(type) || id == QMetaType::QDateTime || id == QMetaType::QDate) {
        if (id == QMetaType::QDate)
            return v.toDate();
        if (id == QMetaType::QDateTime) {
            const QDateTime dt = v.toDateTime();
            return DateValue(dt.date(), dt.time());
        }
        if (IsDateType(type)) {
            const QVariant parsed = ParseDateValue(v.toString());
            return parsed.isValid() ? parsed : QVariant(v.toString());
        }
        return v;
    }
    if (IsTextType(type)) {
        if (id == QMetaType::QByteArray)
            return QString::fromUtf8(v.toByteArray());
        return v.toString();
    }
    if (IsBinaryType(type)) {
        if (id == QMetaType::QString) {
            // A driver that does not know the column's type hands a blob over as X'hex'.
            const QString s = v.toString();
            if (s.startsWith(QLatin1String("X'"), Qt::CaseInsensitive) && s.endsWith(u'\''))
                return QByteArray::fromHex(s.mid(2, s.size() - 3).toLatin1());
            return s.toUtf8();
        }
        return v.toByteArray();
    }
    if (id == QMetaType::Int || id == QMetaType::LongLong || id == QMetaType::UInt ||
        id == QMetaType::ULongLong)
        return v.toLongLong();
    return v;
}

// What is bound for the engine: ISO text for dates, 1/0 for booleans.
QVariant ToStorage(const QVariant& v, FieldType type)
{
    if (!v.isValid() || v.isNull()) {
        if (IsBinaryType(type))
            return QVariant(QMetaType::fromType<QByteArray>());
        if (IsIntegerType(type) || type == FieldType::ftBoolean)
            return QVariant(QMetaType::fromType<qlonglong>());
        if (IsRealType(type))
            return QVariant(QMetaType::fromType<double>());
        return QVariant(QMetaType::fromType<QString>());
    }
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(kIsoDate);
    case QMetaType::QDateTime:
        return v.toDateTime().toString(kIsoDateTime);
    case QMetaType::Bool:
        return qint64(v.toBool() ? 1 : 0);
    default:
        return v;
    }
}

QString TextOf(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString();
    case QMetaType::Double:
        return RealText(v.toDouble());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDate:
        return v.toDate().toString(kDateText);
    case QMetaType::QDateTime:
        return v.toDateTime().toString(kDateText + QStringLiteral(" hh:mm:ss"));
    case QMetaType::QByteArray:
        return QString::fromLatin1(v.toByteArray());
    default:
        return v.toString();
    }
}

std::optional<bool> BoolOf(const QString& text)
{
    const QString t = text.trimmed().toLower();
    if (t == u"true" || t == u"vrai" || t == u"oui" || t == u"yes" || t == u"1" || t == u"-1")
        return true;
    if (t == u"false" || t == u"faux" || t == u"non" || t == u"no" || t == u"0")
        return false;
    return std::nullopt;
}

// The refusals of a value that does not read as its field's kind, alike whether the field is
// read or written.
Error NotAnInteger(const QString& text)
{
    return Error(QStringLiteral("'%1' n'est pas une valeur entière correcte.").arg(text));
}

Error NotANumber(const QString& text)
{
    return Error(QStringLiteral("'%1' n'est pas une valeur numérique correcte.").arg(text));
}

Error NotABoolean(const QString& text)
{
    return Error(QStringLiteral("'%1' n'est pas une valeur booléenne correcte.").arg(text));
}

Error NotADate(const QString& text)
{
    return Error(QStringLiteral("'%1' n'est pas une date correcte.").arg(text));
}

void RangeOf(FieldType type, qint64* low, qint64* high)
{
    switch (type) {
    case FieldType::ftSmallint:
        *low = -32768;
        *high = 32767;
        break;
    case FieldType::ftWord:
        *low = 0;
        *high = 255;
        break;
    case FieldType::ftInteger:
    case FieldType::ftAutoInc:
        *low = std::numeric_limits<qint32>::min();
        *high = std::numeric_limits<qint32>::max();
        break;
    default:
        *low = std::numeric_limits<qint64>::min();
        *high = std::numeric_limits<qint64>::max();
        break;
    }
}

// Reading a whole result. The embedded engine is read through its own cursor: the rows of a
// statistic are many and Qt's generic values cost more than the reading itself. ODBC goes
// through the driver. Both give the same values (see Normalize).
using ColumnMaker = std::function<void(const QStringList&)>;

template <typename ColumnList>
void ReadThroughDriver(const QSqlDatabase& db, const QString& sql, const ColumnMaker& makeColumns,
                       const ColumnList& columns, RowTable& rows)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw Error(Connection::errorText(q.lastError()));
    if (!q.isSelect())
        throw Error(QStringLiteral("La requête ne renvoie pas d'enregistrements."));
    const QSqlRecord record = q.record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    makeColumns(names);
    const size_t n = columns.size();
    rows.reset(n);
    std::vector<QVariant> row(n);
    while (q.next()) {
        for (size_t i = 0; i < n; ++i)
            row[i] = Normalize(q.value(int(i)), columns[i].type);
        rows.appendRow(row);
    }
    if (q.lastError().isValid())
        throw Error(Connection::errorText(q.lastError()));
}

QVariant ReadValue(sqlite3_stmt* stmt, int i, int storage, FieldType type)
{
    switch (storage) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER: {
        const qint64 n = sqlite3_column_int64(stmt, i);
        if (IsIntegerType(type) || type == FieldType::ftUnknown)
            return n;
        return Normalize(QVariant(n), type);
    }
    case SQLITE_FLOAT: {
        const double d = sqlite3_column_double(stmt, i);
        if (IsRealType(type) || type == FieldType::ftUnknown)
            return d;
        return Normalize(QVariant(d), type);
    }
    case SQLITE_BLOB: {
        const char* data = static_cast<const char*>(sqlite3_column_blob(stmt, i));
        const QByteArray bytes(data ? data : "", sqlite3_column_bytes(stmt, i));
        return IsBinaryType(type) || type == FieldType::ftUnknown
                   ? QVariant(bytes)
                   : Normalize(QVariant(bytes), type);
    }
    default: {
        // The engine's own UTF-8 bytes, converted once.
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        const int size = sqlite3_column_bytes(stmt, i);
        // Dates are stored "yyyy-mm-dd": read without the general date parser.
        if (IsDateType(type) && size == 10) {
            const QDate date = IsoDate(QLatin1StringView(bytes, 10));
            if (date.isValid())
                return date;
        }
        const QString s = QString::fromUtf8(bytes, size);
        return IsTextType(type) || type == FieldType::ftUnknown ? QVariant(s)
                                                                : Normalize(QVariant(s), type);
    }
    }
}

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

Statement Prepare(sqlite3* handle, const QString& sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * 2), &stmt, nullptr) != SQLITE_OK)
        throw Error(ExplainEngineText(QString::fromUtf8(sqlite3_errmsg(handle))));
    return Statement(stmt, sqlite3_finalize);
}

// The keys of the rows a statement selecting only its row key gives, in its order.
std::vector<qint64> ReadKeys(sqlite3* handle, const QString& sql)
{
    const Statement stmt = Prepare(handle, sql);
    std::vector<qint64> keys;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(stmt.get(), 0));
    if (rc != SQLITE_DONE)
        throw Error(ExplainEngineText(QString::fromUtf8(sqlite3_errmsg(handle))));
    return keys;
}

template <typename ColumnList>
void ReadEmbedded(sqlite3* handle, const QString& sql, const ColumnMaker& makeColumns,
                  const ColumnList& columns, RowTable& rows)
{
    const Statement guard = Prepare(handle, sql);
    sqlite3_stmt* stmt = guard.get();
    const int n = sqlite3_column_count(stmt);
    if (n == 0)
        throw Error(QStringLiteral("La requête ne renvoie pas d'enregistrements."));
    QStringList names;
    for (int i = 0; i < n; ++i)
        names << QString::fromUtf8(sqlite3_column_name(stmt, i));
    makeColumns(names);
    rows.reset(size_t(n));
    // Each value goes straight into the rows; the many empty columns cost a test each.
    const auto read = [&](size_t i, std::vector<QVariant>& pool) {
        const int storage = sqlite3_column_type(stmt, int(i));
        if (storage == SQLITE_NULL)
            return false;
        QVariant value = ReadValue(stmt, int(i), storage, columns[i].type);
        if (!value.isValid() || value.isNull())
            return false;
        pool.push_back(std::move(value));
        return true;
    };
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        rows.appendRowFrom(read);
    if (rc != SQLITE_DONE)
        throw Error(ExplainEngineText(QString::fromUtf8(sqlite3_errmsg(handle))));
}

} // namespace

// --- Field -----------------------------------------------------------------------------------

QString Field::name() const
{
    return m_set->m_columns.at(size_t(m_column)).name;
}
FieldType Field::type() const
{
    return m_set->m_columns.at(size_t(m_column)).type;
}
int Field::size() const
{
    return m_set->m_columns.at(size_t(m_column)).size;
}
bool Field::isReadOnly() const
{
    return m_set->m_columns.at(size_t(m_column)).readOnly;
}

bool Field::isNull() const
{
    const QVariant v = m_set->rawValue(m_column);
    return !v.isValid() || v.isNull();
}

void Field::clear()
{
    m_set->assign(m_column, QVariant());
}

QVariant Field::value() const
{
    return m_set->rawValue(m_column);
}
void Field::setValue(const QVariant& value)
{
    m_set->assign(m_column, value);
}

QString Field::asText() const
{
    return TextOf(value());
}
void Field::setText(const QString& text)
{
    m_set->assign(m_column, text);
}

qint64 Field::asInteger() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0;
    switch (v.typeId()) {
    case QMetaType::LongLong:
        return v.toLongLong();
    case QMetaType::Double:
        return std::llround(v.toDouble());
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    default:
        break;
    }
    const std::optional<qint64> n = ParseInteger(v.toString());
    if (!n)
        throw NotAnInteger(v.toString());
    return *n;
}

void Field::setInteger(qint64 value)
{
    m_set->assign(m_column, value);
}

double Field::asDouble() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0;
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Double:
        return v.toDouble();
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    default:
        break;
    }
    const std::optional<double> d = ParseReal(v.toString());
    if (!d)
        throw NotANumber(v.toString());
    return *d;
}

void Field::setDouble(double value)
{
    m_set->assign(m_column, value);
}

QDate Field::asDate() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QDate();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QVariant parsed = ParseDateValue(v.toString());
    if (!parsed.isValid())
        throw NotADate(v.toString());
    return parsed.typeId() == QMetaType::QDate ? parsed.toDate() : parsed.toDateTime().date();
}

void Field::setDate(const QDate& date)
{
    m_set->assign(m_column, date.isValid() ? QVariant(date) : QVariant());
}

bool Field::asBoolean() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return false;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double)
        return v.toDouble() != 0;
    const std::optional<bool> b = BoolOf(v.toString());
    if (!b)
        throw NotABoolean(v.toString());
    return *b;
}

void Field::setBoolean(bool value)
{
    m_set->assign(m_column, value);
}

QByteArray Field::asBytes() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QByteArray();
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return TextOf(v).toUtf8();
}

void Field::setBytes(const QByteArray& bytes)
{
    m_set->assign(m_column, bytes.isNull() ? QVariant() : QVariant(bytes));
}

void Field::loadFromFile(const QString& path)
{
    m_set->requireEditing();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Impossible de lire le fichier %1.").arg(path));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Impossible de lire le fichier %1.").arg(path));
    if (bytes.isNull())
        bytes = QByteArray("");
    setBytes(bytes);
}

void Field::saveToFile(const QString& path) const
{
    const QByteArray bytes = asBytes();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Error(QStringLiteral("Impossible d'écrire le fichier %1.").arg(path));
}

FieldDisplay Field::display() const
{
    return m_set->fieldDisplay(name());
}
void Field::setDisplay(const FieldDisplay& display)
{
    m_set->setFieldDisplay(name(), display);
}

QString Field::displayLabel() const
{
    const QString label = display().label;
    return label.isEmpty() ? name() : label;
}

// --- DataSet ---------------------------------------------------------------------------------

DataSet::DataSet(Connection& connection, const QString& name, QObject* parent)
    : QObject(parent), m_connection(&connection), m_name(name)
{
    setObjectName(name);
    m_connection->attach(this);
}

DataSet::~DataSet()
{
    m_connection->detach(this);
}

void DataSet::setSql(const QStringList& lines)
{
    close();
    m_sql = lines;
}

void DataSet::setSqlText(const QString& text)
{
    setSql(SplitLines(text));
}

QString DataSet::sqlText() const
{
    return JoinLines(m_sql);
}

void DataSet::open()
{
    if (isActive())
        return;
    Connection& c = *m_connection;
    c.requireOpen();
    const Translation t = c.dialect().translate(sqlText());
    if (t.kind != Translation::Kind::Select)
        throw Error(QStringLiteral("La requête de %1 ne renvoie pas d'enregistrements.")
                        .arg(m_name.isEmpty() ? QStringLiteral("l'ensemble de données") : m_name));

    // The columns the translation planned, else the driver's names.
    std::vector<Column> columns;
    auto makeColumns = [&](const QStringList& names) {
        const bool planned = !t.columns.empty() && t.columns.size() == size_t(names.size());
        for (qsizetype i = 0; i < names.size(); ++i) {
            Column col;
            if (planned) {
                const ResultColumn& rc = t.columns[size_t(i)];
                col = {rc.name,
                       rc.table,
                       rc.baseColumn,
                       rc.type,
                       rc.size,
                       t.updatableTable.isEmpty() || rc.baseColumn.isEmpty() || rc.autoIncrement,
                       rc.autoIncrement};
            } else {
                col.name = names.at(i);
            }
            columns.push_back(col);
        }
    };
    RowTable rows;
    sqlite3* handle = c.nativeHandle();
    // A long sorted list over one table, read through the embedded engine: the keys give
    // the rows and their order at once, and the rest of each row is read when it is first
    // shown or used (the empty columns of every row cost more than all the keys).
    bool keysOnly = false;
    if (handle && !t.keySelect.isEmpty() && !t.columns.empty() && GetOrderByLine(m_sql) >= 0) {
        std::vector<qint64> keys;
        try {
            keys = ReadKeys(handle, t.keySelect);
        } catch (const Error&) {
            keys.clear(); // an ORDER BY naming a column of the list: read it all
        }
        if (keys.size() > size_t(kRowsReadAtOnce)) {
            QStringList names;
            for (const ResultColumn& rc : t.columns)
                names << rc.name;
            makeColumns(names);
            rows.reset(columns.size());
            for (const qint64 key : keys)
                rows.appendUnreadRow(columns.size() - 1, key);
            keysOnly = true;
        }
    }
    if (!keysOnly) {
        if (handle)
            ReadEmbedded(handle, t.sql, makeColumns, columns, rows);
        else
            ReadThroughDriver(c.database(), t.sql, makeColumns, columns, rows);
    }

    m_columns = std::move(columns);
    m_rows = std::move(rows);
    m_keyColumn = -1;
    m_table.clear();
    m_refetchSql.clear();
    m_fullSql.clear();
    m_blockSql.clear();
    if (!t.updatableTable.isEmpty() && !m_columns.empty() &&
        m_columns.back().name == QLatin1String(JetDialect::kKeyColumn)) {
        m_keyColumn = int(m_columns.size()) - 1;
        m_table = t.updatableTable;
        m_refetchSql = QStringLiteral("SELECT %1 %2 WHERE %3.rowid=?")
                           .arg(t.selectList, t.fromClause, Bracket(t.keyAlias));
        m_fullSql = t.sql;
        m_blockSql = QStringLiteral("SELECT %1 %2 WHERE %3.rowid IN (")
                         .arg(t.selectList, t.fromClause, Bracket(t.keyAlias));
    }
    m_row = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    m_buffer.clear();
    m_modified.clear();
    setState(DataSetState::Browsing);
    notifyContent();
    notifyCurrent();
}

void DataSet::close()
{
    if (!isActive())
        return;
    m_columns.clear();
    m_rows.clear();
    m_buffer.clear();
    m_modified.clear();
    m_row = -1;
    m_bof = m_eof = true;
    m_keyColumn = -1;
    setState(DataSetState::Inactive);
    notifyContent();
    notifyCurrent();
}

void DataSet::execSql()
{
    close();
    m_connection->exec(sqlText());
}

void DataSet::requireActive() const
{
    if (!isActive())
        throw Error(QStringLiteral("Opération impossible sur un ensemble de données fermé%1.")
                        .arg(m_name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m_name)));
}

void DataSet::requireEditing() const
{
    if (m_state != DataSetState::Editing && m_state != DataSetState::Inserting)
        throw Error(
            QStringLiteral("L'ensemble de données%1 n'est pas en mode édition ou insertion.")
                .arg(m_name.isEmpty() ? QString() : u' ' + m_name));
}

void DataSet::requireUpdatable() const
{
    if (m_keyColumn < 0)
        throw Error(QStringLiteral("Les données de%1 ne peuvent pas être modifiées.")
                        .arg(m_name.isEmpty() ? QStringLiteral(" cette requête") : u' ' + m_name));
}

void DataSet::checkBrowseMode()
{
    requireActive();
    if (m_state == DataSetState::Editing || m_state == DataSetState::Inserting)
        post();
}

void DataSet::setState(DataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (m_disabled == 0)
        Q_EMIT stateChanged();
}

void DataSet::notifyCurrent()
{
    if (m_disabled > 0)
        m_pendingCurrent = true;
    else
        Q_EMIT currentChanged();
}

void DataSet::notifyContent()
{
    if (m_disabled > 0)
        m_pendingContent = true;
    else
        Q_EMIT contentChanged();
}

void DataSet::disableControls()
{
    ++m_disabled;
}

void DataSet::enableControls()
{
    if (m_disabled == 0 || --m_disabled > 0)
        return;
    m_pendingContent = m_pendingCurrent = false;
    Q_EMIT stateChanged();
    Q_EMIT contentChanged();
    Q_EMIT currentChanged();
}

void DataSet::first()
{
    checkBrowseMode();
    m_row = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    notifyCurrent();
}

void DataSet::last()
{
    checkBrowseMode();
    m_row = int(m_rows.size()) - 1;
    m_eof = true;
    m_bof = m_rows.empty();
    notifyCurrent();
}

void DataSet::next()
{
    checkBrowseMode();
    if (m_row + 1 < int(m_rows.size())) {
        ++m_row;
        m_bof = m_eof = false;
        notifyCurrent();
    } else {
        m_eof = true;
    }
}

void DataSet::prior()
{
    checkBrowseMode();
    if (m_row > 0) {
        --m_row;
        m_bof = m_eof = false;
        notifyCurrent();
    } else {
        m_bof = true;
    }
}

bool DataSet::bof() const
{
    return !isActive() || m_bof;
}
bool DataSet::eof() const
{
    return !isActive() || m_eof;
}
bool DataSet::isEmpty() const
{
    return m_rows.empty();
}
int DataSet::recordCount() const
{
    return int(m_rows.size());
}
int DataSet::recNo() const
{
    return m_row;
}

void DataSet::moveTo(int row)
{
    checkBrowseMode();
    if (row < 0 || row >= int(m_rows.size()))
        return;
    m_row = row;
    m_bof = m_eof = false;
    notifyCurrent();
}

bool DataSet::locate(const QString& fieldName, const QVariant& value)
{
    checkBrowseMode();
    int col = resolve(fieldName);
    if (col < 0)
        throw Error(QStringLiteral("Champ '%1' non trouvé.").arg(fieldName));
    const FieldType type = m_columns[size_t(col)].type;
    // Rows not read yet are found by their key when the field is the table's own key.
    if (m_rows.unreadCount() > 0) {
        if (m_columns[size_t(col)].rowIdAlias && m_keyColumn >= 0)
            col = m_keyColumn;
        else
            readPendingRows();
    }
    const bool wantNull = !value.isValid() || value.isNull();
    const int id = value.typeId();
    const bool numeric = id == QMetaType::Int || id == QMetaType::LongLong ||
                         id == QMetaType::UInt || id == QMetaType::ULongLong ||
                         id == QMetaType::Double || id == QMetaType::Bool;
    std::optional<double> number;
    if (numeric)
        number = value.toDouble();
    else if (!wantNull && (IsIntegerType(type) || IsRealType(type)))
        number = ParseReal(value.toString());
    QDate day;
    if (!wantNull && IsDateType(type)) {
        const QVariant d = id == QMetaType::QDate || id == QMetaType::QDateTime
                               ? Normalize(value, FieldType::ftDateTime)
                               : ParseDateValue(value.toString());
        day = d.typeId() == QMetaType::QDateTime ? d.toDateTime().date() : d.toDate();
    }
    const QString text = wantNull ? QString() : TextOf(value);
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const QVariant& v = m_rows.at(r, size_t(col));
        const bool isNull = !v.isValid() || v.isNull();
        bool match = false;
        if (wantNull || isNull)
            match = wantNull && isNull;
        else if (number && (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double ||
                            v.typeId() == QMetaType::Bool))
            match = v.toDouble() == *number;
        else if (day.isValid() &&
                 (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime))
            match = (v.typeId() == QMetaType::QDate ? v.toDate() : v.toDateTime().date()) == day;
        else
            match = TextOf(v) == text;
        if (match) {
            m_row = int(r);
            m_bof = m_eof = false;
            notifyCurrent();
            return true;
        }
    }
    return false;
}

void DataSet::insert()
{
    checkBrowseMode();
    requireUpdatable();
    const int at = m_rows.empty() ? 0 : std::max(m_row, 0);
    m_rowBeforeInsert = m_row;
    m_rows.insertRow(size_t(at));
    m_insertedAt = at;
    m_row = at;
    m_buffer.assign(m_columns.size(), QVariant());
    m_modified.assign(m_columns.size(), false);
    m_bof = m_eof = false;
    setState(DataSetState::Inserting);
    notifyContent();
    notifyCurrent();
}

void DataSet::append()
{
    checkBrowseMode();
    requireUpdatable();
    m_rowBeforeInsert = m_row;
    m_rows.appendNullRow();
    m_insertedAt = int(m_rows.size()) - 1;
    m_row = m_insertedAt;
    m_buffer.assign(m_columns.size(), QVariant());
    m_modified.assign(m_columns.size(), false);
    m_bof = m_eof = false;
    setState(DataSetState::Inserting);
    notifyContent();
    notifyCurrent();
}

void DataSet::edit()
{
    requireActive();
    if (m_state == DataSetState::Editing || m_state == DataSetState::Inserting)
        return;
    if (m_rows.empty()) {
        insert();
        return;
    }
    requireUpdatable();
    readRow(m_row);
    m_buffer = m_rows.row(size_t(m_row));
    m_modified.assign(m_columns.size(), false);
    setState(DataSetState::Editing);
}

qint64 DataSet::currentKey() const
{
    return m_rows.at(size_t(m_row), size_t(m_keyColumn)).toLongLong();
}

void DataSet::refetchCurrent(qint64 key)
{
    std::vector<QVariant> row = m_buffer;
    {
        QSqlQuery q(m_connection->database());
        q.setForwardOnly(true);
        q.prepare(m_refetchSql);
        q.addBindValue(key);
        if (q.exec() && q.next()) {
            for (size_t i = 0; i < m_columns.size(); ++i)
                row[i] = Normalize(q.value(int(i)), m_columns[i].type);
        } else {
            row[size_t(m_keyColumn)] = key;
        }
    }
    m_rows.setRow(size_t(m_row), std::move(row));
}

void DataSet::addRecordWriter(const QObject* owner, std::function<void()> writer)
{
    m_recordWriters.emplace_back(owner, std::move(writer));
}

void DataSet::removeRecordWriters(const QObject* owner)
{
    std::erase_if(m_recordWriters, [owner](const auto& w) { return w.first == owner; });
}

void DataSet::updateRecord()
{
    // Run over a copy: a writer may make or destroy controls; one removed meanwhile is skipped.
    const auto writers = m_recordWriters;
    for (const auto& writer : writers) {
        const bool registered =
            std::any_of(m_recordWriters.begin(), m_recordWriters.end(),
                        [&writer](const auto& w) { return w.first == writer.first; });
        if (registered)
            writer.second();
    }
}

void DataSet::post()
{
    requireActive();
    if (m_state != DataSetState::Editing && m_state != DataSetState::Inserting)
        return;
    updateRecord();
    if (m_state != DataSetState::Editing && m_state != DataSetState::Inserting)
        return; // a writer ended the editing itself
    m_connection->requireOpen();
    m_connection->readPendingRows(this, m_table);
    QStringList names;
    QVariantList values;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (!m_modified[i])
            continue;
        names << Bracket(m_columns[i].baseColumn);
        values << ToStorage(m_buffer[i], m_columns[i].type);
    }
    QSqlQuery q(m_connection->database());
    qint64 key = 0;
    if (m_state == DataSetState::Editing) {
        key = currentKey();
        if (!names.isEmpty()) {
            q.prepare(QStringLiteral("UPDATE %1 SET %2=? WHERE rowid=?")
                          .arg(Bracket(m_table), names.join(QStringLiteral("=?, "))));
            for (const QVariant& v : values)
                q.addBindValue(v);
            q.addBindValue(key);
            if (!q.exec())
                throw Error(Connection::errorText(q.lastError()));
            if (q.numRowsAffected() == 0) {
                q = QSqlQuery();
                dropVanishedRow();
                throw Error(QStringLiteral(
                    "La modification n'a pas été enregistrée : l'enregistrement a été supprimé "
                    "entre-temps par une autre opération. Il a été retiré de la liste."));
            }
        }
    } else {
        if (names.isEmpty()) {
            if (!q.exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Bracket(m_table))))
                throw Error(Connection::errorText(q.lastError()));
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(Bracket(m_table), names.join(QStringLiteral(", ")),
                               marks.join(QStringLiteral(", "))));
            for (const QVariant& v : values)
                q.addBindValue(v);
            if (!q.exec())
                throw Error(Connection::errorText(q.lastError()));
        }
        q.finish();
        if (!q.exec(QStringLiteral("SELECT last_insert_rowid()")) || !q.next())
            throw Error(Connection::errorText(q.lastError()));
        key = q.value(0).toLongLong();
    }
    q.finish();
    q = QSqlQuery();
    refetchCurrent(key);
    m_buffer.clear();
    m_modified.clear();
    m_insertedAt = -1;
    setState(DataSetState::Browsing);
    notifyContent();
}

// A row another statement deleted while it was being edited: the edit is dropped with it, and
// the dataset browses what remains.
void DataSet::dropVanishedRow()
{
    m_buffer.clear();
    m_modified.clear();
    m_rows.eraseRow(size_t(m_row));
    if (m_row >= int(m_rows.size()))
        m_row = int(m_rows.size()) - 1;
    m_bof = m_rows.empty();
    m_eof = m_rows.empty();
    setState(DataSetState::Browsing);
    notifyContent();
    notifyCurrent();
}

void DataSet::cancel()
{
    if (m_state == DataSetState::Inserting) {
        m_rows.eraseRow(size_t(m_insertedAt));
        m_row = m_rows.empty() ? -1 : std::clamp(m_rowBeforeInsert, 0, int(m_rows.size()) - 1);
        m_bof = m_row <= 0;
        m_eof = m_rows.empty();
        m_insertedAt = -1;
    } else if (m_state != DataSetState::Editing) {
        return;
    }
    m_buffer.clear();
    m_modified.clear();
    setState(DataSetState::Browsing);
    notifyContent();
    notifyCurrent();
}

void DataSet::remove()
{
    requireActive();
    if (m_state == DataSetState::Inserting) {
        cancel();
        return;
    }
    if (m_state == DataSetState::Editing)
        cancel();
    if (m_rows.empty())
        throw Error(QStringLiteral("Opération impossible sur un ensemble de données vide."));
    requireUpdatable();
    if (m_beforeDelete)
        m_beforeDelete(*this);
    if (m_state != DataSetState::Browsing || m_row < 0)
        throw Error(
            QStringLiteral("L'enregistrement à supprimer a changé pendant la suppression."));
    m_connection->readPendingRows(this, m_table);
    const qint64 key = currentKey();
    {
        QSqlQuery q(m_connection->database());
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(Bracket(m_table)));
        q.addBindValue(key);
        if (!q.exec())
            throw Error(Connection::errorText(q.lastError()));
    }
    m_rows.eraseRow(size_t(m_row));
    if (m_row >= int(m_rows.size()))
        m_row = int(m_rows.size()) - 1;
    m_bof = m_rows.empty();
    m_eof = m_rows.empty();
    notifyContent();
    notifyCurrent();
}

int DataSet::fieldCount() const
{
    return int(m_columns.size()) - (m_keyColumn >= 0 ? 1 : 0);
}

QStringList DataSet::fieldNames() const
{
    QStringList names;
    for (int i = 0; i < fieldCount(); ++i)
        names << m_columns[size_t(i)].name;
    return names;
}

int DataSet::resolve(const QString& name) const
{
    const int n = fieldCount();
    for (int i = 0; i < n; ++i) {
        if (m_columns[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    const qsizetype dot = name.indexOf(u'.');
    if (dot > 0) {
        // TABLE.COLUMN also finds the plain column of that table.
        const QString table = name.left(dot);
        const QString column = name.mid(dot + 1);
        for (int i = 0; i < n; ++i) {
            const Column& c = m_columns[size_t(i)];
            const QString base = c.baseColumn.isEmpty() ? c.name : c.baseColumn;
            if (c.table.compare(table, Qt::CaseInsensitive) == 0 &&
                base.compare(column, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    // A plain name finds the first column of that name qualified by its table.
    for (int i = 0; i < n; ++i) {
        const QString& c = m_columns[size_t(i)].name;
        const qsizetype cdot = c.lastIndexOf(u'.');
        if (cdot > 0 && c.mid(cdot + 1).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Field DataSet::fieldByName(const QString& name)
{
    const std::optional<Field> f = findField(name);
    if (!f)
        throw Error(QStringLiteral("%1 : Champ '%2' non trouvé.")
                        .arg(m_name.isEmpty() ? QStringLiteral("Requête") : m_name, name));
    return *f;
}

std::optional<Field> DataSet::findField(const QString& name)
{
    const int i = resolve(name);
    if (i < 0)
        return std::nullopt;
    return Field(this, i);
}

Field DataSet::field(int index)
{
    if (index < 0 || index >= fieldCount())
        throw Error(QStringLiteral("Index de champ hors limites : %1.").arg(index));
    return Field(this, index);
}

QVariant DataSet::valueAt(int row, int column) const
{
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= fieldCount())
        return QVariant();
    if (row == m_row && !m_buffer.empty())
        return m_buffer[size_t(column)];
    readRow(row);
    return m_rows.at(size_t(row), size_t(column));
}

QString DataSet::textAt(int row, int column) const
{
    return TextOf(valueAt(row, column));
}

QVariant DataSet::rawValue(int column) const
{
    if (m_row < 0 || column < 0 || column >= int(m_columns.size()))
        return QVariant();
    if (!m_buffer.empty())
        return m_buffer[size_t(column)];
    readRow(m_row);
    return m_rows.at(size_t(m_row), size_t(column));
}

// Checks and converts a value for the column; refuses what the column cannot hold.
void DataSet::assign(int column, const QVariant& input)
{
    requireEditing();
    const Column& c = m_columns.at(size_t(column));
    if (c.readOnly)
        throw Error(QStringLiteral("Le champ '%1' ne peut pas être modifié.").arg(c.name));
    QVariant value;
    const bool null =
        !input.isValid() || input.isNull() ||
        (input.typeId() == QMetaType::QString && input.toString().trimmed().isEmpty() &&
         !IsTextType(c.type) && c.type != FieldType::ftUnknown);
    const int id = input.typeId();
    if (null) {
        value = QVariant();
    } else if (IsTextType(c.type)) {
        const QString text = id == QMetaType::QDate        ? input.toDate().toString(kDateText)
                             : id == QMetaType::Double     ? RealText(input.toDouble())
                             : id == QMetaType::QByteArray ? QString::fromUtf8(input.toByteArray())
                                                           : input.toString();
        if (c.size > 0 && text.size() > c.size)
            throw Error(QStringLiteral("La valeur saisie pour le champ '%1' est trop longue : %2 "
                                       "caractères au plus.")
                            .arg(c.name)
                            .arg(c.size));
        value = text;
    } else if (IsIntegerType(c.type)) {
        qint64 n = 0;
        if (id == QMetaType::Double) {
            n = std::llround(input.toDouble());
        } else if (id == QMetaType::Bool) {
            n = input.toBool() ? 1 : 0;
        } else if (id == QMetaType::QString) {
            const std::optional<qint64> parsed = ParseInteger(input.toString());
            if (!parsed)
                throw NotAnInteger(input.toString());
            n = *parsed;
        } else {
            bool ok = false;
            n = input.toLongLong(&ok);
            if (!ok)
                throw NotAnInteger(input.toString());
        }
        qint64 low = 0, high = 0;
        RangeOf(c.type, &low, &high);
        if (n < low || n > high)
            throw Error(QStringLiteral("La valeur %1 est hors des limites du champ '%2' (%3 à %4).")
                            .arg(n)
                            .arg(c.name)
                            .arg(low)
                            .arg(high));
        value = n;
    } else if (IsRealType(c.type)) {
        if (id == QMetaType::QString) {
            const std::optional<double> d = ParseReal(input.toString());
            if (!d)
                throw NotANumber(input.toString());
            value = *d;
        } else {
            bool ok = false;
            const double d = input.toDouble(&ok);
            if (!ok || !std::isfinite(d))
                throw NotANumber(input.toString());
            value = d;
        }
    } else if (c.type == FieldType::ftBoolean) {
        if (id == QMetaType::QString) {
            const std::optional<bool> b = BoolOf(input.toString());
            if (!b)
                throw NotABoolean(input.toString());
            value = *b;
        } else {
            value = input.toDouble() != 0 || (id == QMetaType::Bool && input.toBool());
        }
    } else if (IsDateType(c.type)) {
        QVariant d;
        if (id == QMetaType::QDate || id == QMetaType::QDateTime)
            d = Normalize(input, FieldType::ftDateTime);
        else
            d = ParseDateValue(input.toString());
        if (!d.isValid())
            throw NotADate(input.toString());
        value = d;
    } else if (IsBinaryType(c.type)) {
        value = id == QMetaType::QByteArray ? input.toByteArray() : input.toString().toUtf8();
    } else {
        value = Normalize(input, FieldType::ftUnknown);
    }
    m_buffer[size_t(column)] = value;
    m_modified[size_t(column)] = true;
    notifyCurrent();
}

void DataSet::readRow(int row) const
{
    if (row < 0 || !m_rows.isUnread(size_t(row)))
        return;
    // The rows around it, most of them after it: those a grid shows and scrolls to next.
    const int count = int(m_rows.size());
    const int from = std::max(0, row - kRowsReadTogether / 4);
    const int to = std::min(count, from + kRowsReadTogether);
    std::vector<int> wanted;
    for (int r = from; r < to; ++r) {
        if (m_rows.isUnread(size_t(r)))
            wanted.push_back(r);
    }
    readUnreadRows(wanted);
}

void DataSet::readUnreadRows(const std::vector<int>& wanted) const
{
    sqlite3* handle = m_connection->nativeHandle();
    if (!handle)
        throw Error(QStringLiteral("La connexion à la base de données est fermée."));
    QHash<qint64, int> rowOfKey;
    QStringList keys;
    for (const int r : wanted) {
        const qint64 key = m_rows.at(size_t(r), size_t(m_keyColumn)).toLongLong();
        rowOfKey.insert(key, r);
        keys << QString::number(key);
    }
    RowTable read;
    ReadEmbedded(
        handle, m_blockSql + keys.join(u',') + u')', [](const QStringList&) {}, m_columns, read);
    keep(read, rowOfKey);
}

// Puts read rows in the places of the unread rows of the same keys; a row gone from the table
// meanwhile keeps its key and nothing else.
void DataSet::keep(RowTable& read, QHash<qint64, int>& rowOfKey) const
{
    for (size_t r = 0; r < read.size(); ++r) {
        const auto it = rowOfKey.find(read.at(r, size_t(m_keyColumn)).toLongLong());
        if (it == rowOfKey.end())
            continue;
        m_rows.setRow(size_t(*it), read.row(r));
        rowOfKey.erase(it);
    }
    for (auto it = rowOfKey.cbegin(); it != rowOfKey.cend(); ++it) {
        std::vector<QVariant> gone(m_columns.size());
        gone[size_t(m_keyColumn)] = it.key();
        m_rows.setRow(size_t(it.value()), std::move(gone));
    }
}

void DataSet::readPendingRows()
{
    if (!isActive() || m_rows.unreadCount() == 0)
        return;
    if (m_rows.unreadCount() <= size_t(kRowsReadTogether) * 4) {
        std::vector<int> wanted;
        for (size_t r = 0; r < m_rows.size(); ++r) {
            if (m_rows.isUnread(r))
                wanted.push_back(int(r));
        }
        for (size_t i = 0; i < wanted.size(); i += size_t(kRowsReadTogether))
            readUnreadRows(std::vector<int>(
                wanted.begin() + std::ptrdiff_t(i),
                wanted.begin() + std::ptrdiff_t(std::min(wanted.size(), i + kRowsReadTogether))));
        return;
    }
    // Most of a long list: the statement once more, kept where a row is still unread.
    sqlite3* handle = m_connection->nativeHandle();
    if (!handle)
        throw Error(QStringLiteral("La connexion à la base de données est fermée."));
    QHash<qint64, int> rowOfKey;
    rowOfKey.reserve(qsizetype(m_rows.unreadCount()));
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows.isUnread(r))
            rowOfKey.insert(m_rows.at(r, size_t(m_keyColumn)).toLongLong(), int(r));
    }
    RowTable read;
    ReadEmbedded(
        handle, m_fullSql, [](const QStringList&) {}, m_columns, read);
    keep(read, rowOfKey);
}

FieldDisplay DataSet::fieldDisplay(const QString& fieldName) const
{
    return m_displays.value(fieldName.toUpper());
}

void DataSet::setFieldDisplay(const QString& fieldName, const FieldDisplay& display)
{
    m_displays.insert(fieldName.toUpper(), display);
    notifyContent();
}

DataSetState DataSource::state() const
{
    return m_set->state();
}

} // namespace tilvo
