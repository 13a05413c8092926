// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/StreamedRow.h"

#include "common/DateHelpers.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/JetDialect.h"

#include <QString>
#include <memory>
#include <sqlite3.h>

namespace tilvo {

namespace {

int Digits(const unsigned char* p, int n)
{
    int value = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        value = value * 10 + (p[i] - '0');
    }
    return value;
}

// Dates are stored "yyyy-mm-dd", possibly followed by a time of day.
QDate StoredDate(const unsigned char* text, int size)
{
    if (!text || size < 10 || text[4] != '-' || text[7] != '-')
        return QDate();
    const int y = Digits(text, 4), m = Digits(text + 5, 2), d = Digits(text + 8, 2);
    if (y < 0 || m < 0 || d < 0)
        return QDate();
    return QDate(y, m, d);
}

} // namespace

bool StreamedRow::isNull(int column) const
{
    if (m_stmt)
        return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
    return m_dataSet->field(column).isNull();
}

double StreamedRow::real(int column) const
{
    if (!m_stmt)
        return m_dataSet->field(column).asDouble();
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return 0;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, column);
    default: {
        const auto* text = static_cast<const QChar*>(sqlite3_column_text16(m_stmt, column));
        const QString s = QString(text, sqlite3_column_bytes16(m_stmt, column) / 2).trimmed();
        bool ok = false;
        const double d = QString(s).replace(u',', u'.').toDouble(&ok);
        if (!ok)
            throw Error(QStringLiteral("'%1' n'est pas une valeur numérique correcte.").arg(s));
        return d;
    }
    }
}

QDate StreamedRow::date(int column) const
{
    if (!m_stmt) {
        const Field field = m_dataSet->field(column);
        return field.isNull() ? QDate() : field.asDate();
    }
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return QDate();
    const unsigned char* text = sqlite3_column_text(m_stmt, column);
    const int size = sqlite3_column_bytes(m_stmt, column);
    const QDate date = StoredDate(text, size);
    if (date.isValid() || !text)
        return date;
    return ParseDateText(
        QString::fromUtf8(reinterpret_cast<const char*>(text), size).section(u' ', 0, 0));
}

QString StreamedRow::text(int column) const
{
    if (!m_stmt)
        return m_dataSet->field(column).asText();
    if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
        return QString();
    const auto* text = static_cast<const QChar*>(sqlite3_column_text16(m_stmt, column));
    return QString(text, sqlite3_column_bytes16(m_stmt, column) / 2);
}

void StreamRows(DataSet& dataSet, const std::function<bool(const StreamedRow&)>& onRow)
{
    dataSet.close();
    Connection& c = dataSet.connection();
    sqlite3* handle = c.nativeHandle();
    StreamedRow row;
    if (!handle) {
        dataSet.open();
        row.m_dataSet = &dataSet;
        try {
            for (dataSet.first(); !dataSet.eof(); dataSet.next()) {
                if (!onRow(row))
                    break;
            }
        } catch (...) {
            dataSet.close();
            throw;
        }
        dataSet.close();
        return;
    }

    const Translation t = JetDialect(&c, c.dateRangeRewriting()).translate(dataSet.sqlText());
    if (t.kind != Translation::Kind::Select)
        throw Error(QStringLiteral("La requête ne renvoie pas d'enregistrements."));
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare16_v2(handle, t.sql.utf16(), int(t.sql.size() * 2), &stmt, nullptr) !=
        SQLITE_OK)
        throw Error(QString::fromUtf8(sqlite3_errmsg(handle)));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);
    row.m_stmt = stmt;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (!onRow(row))
            return;
    }
    if (rc != SQLITE_DONE)
        throw Error(QString::fromUtf8(sqlite3_errmsg(handle)));
}

} // namespace tilvo
