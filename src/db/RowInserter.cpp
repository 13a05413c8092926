// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/RowInserter.h"

#include "common/Error.h"
#include "db/Connection.h"
#include "db/EngineMessage.h"

#include <QDate>
#include <QSqlError>
#include <sqlite3.h>

namespace tilvo {

namespace {

QString Bracketed(const QString& name)
{
    return u'[' + name + u']';
}

QString StoredValueText(const QVariant& v)
{
    return v.typeId() == QMetaType::QDate ? v.toDate().toString(QStringLiteral("yyyy-MM-dd"))
                                          : v.toString();
}

} // namespace

RowInserter::RowInserter(Connection& connection, const QString& table, const QStringList& columns)
    : m_width(int(columns.size()))
{
    if (!connection.isOpen())
        throw Error(QStringLiteral("La base de données n'est pas ouverte."));
    connection.readPendingRows();
    QStringList names;
    QStringList marks;
    for (const QString& column : columns) {
        names << Bracketed(column);
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(Bracketed(table), names.join(QStringLiteral(", ")),
                                 marks.join(QStringLiteral(", ")));
    m_handle = connection.nativeHandle();
    if (m_handle) {
        if (sqlite3_prepare16_v2(m_handle, sql.utf16(), int(sql.size() * 2), &m_statement,
                                 nullptr) != SQLITE_OK)
            throw Error(ExplainEngineText(QString::fromUtf8(sqlite3_errmsg(m_handle))));
        return;
    }
    m_query = QSqlQuery(connection.database());
    if (!m_query.prepare(sql))
        throw Error(Connection::errorText(m_query.lastError()));
}

RowInserter::~RowInserter()
{
    sqlite3_finalize(m_statement);
}

void RowInserter::insert(const QVariantList& values)
{
    if (values.size() != m_width)
        throw Error(
            QStringLiteral("Nombre de valeurs incorrect pour l'ajout d'un enregistrement."));
    if (m_statement) {
        insertNative(values);
        return;
    }
    for (int i = 0; i < m_width; ++i) {
        const QVariant& v = values.at(i);
        switch (v.typeId()) {
        case QMetaType::QDate:
            m_query.bindValue(i, StoredValueText(v));
            break;
        case QMetaType::Bool:
            m_query.bindValue(i, qint64(v.toBool() ? 1 : 0));
            break;
        default:
            m_query.bindValue(i, v);
        }
    }
    if (!m_query.exec())
        throw Error(Connection::errorText(m_query.lastError()));
    ++m_inserted;
}

void RowInserter::insertNative(const QVariantList& values)
{
    sqlite3_reset(m_statement);
    for (int i = 0; i < m_width; ++i) {
        const QVariant& v = values.at(i);
        int rc = SQLITE_OK;
        if (!v.isValid() || v.isNull()) {
            rc = sqlite3_bind_null(m_statement, i + 1);
        } else {
            switch (v.typeId()) {
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_statement, i + 1, v.toDouble());
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(m_statement, i + 1, v.toLongLong());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = v.toByteArray();
                rc = sqlite3_bind_blob(m_statement, i + 1, bytes.constData(), int(bytes.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QString text = StoredValueText(v);
                rc = sqlite3_bind_text16(m_statement, i + 1, text.utf16(), int(text.size() * 2),
                                         SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            throw Error(ExplainEngineText(QString::fromUtf8(sqlite3_errmsg(m_handle))));
    }
    if (sqlite3_step(m_statement) != SQLITE_DONE) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(m_handle));
        sqlite3_reset(m_statement);
        throw Error(ExplainEngineText(text));
    }
    ++m_inserted;
}

} // namespace tilvo
