// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/RowInserter.h"

#include "common/Error.h"
#include "db/Connection.h"

#include <QDate>
#include <QSqlError>

namespace tilvo {

namespace {

QString Bracketed(const QString& name)
{
    return u'[' + name + u']';
}

} // namespace

RowInserter::RowInserter(Connection& connection, const QString& table, const QStringList& columns)
    : m_query(connection.database()), m_width(int(columns.size()))
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
    if (!m_query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(Bracketed(table), names.join(QStringLiteral(", ")),
                                  marks.join(QStringLiteral(", ")))))
        throw Error(Connection::errorText(m_query.lastError()));
}

void RowInserter::insert(const QVariantList& values)
{
    if (values.size() != m_width)
        throw Error(
            QStringLiteral("Nombre de valeurs incorrect pour l'ajout d'un enregistrement."));
    for (int i = 0; i < m_width; ++i) {
        const QVariant& v = values.at(i);
        switch (v.typeId()) {
        case QMetaType::QDate:
            m_query.bindValue(i, v.toDate().toString(QStringLiteral("yyyy-MM-dd")));
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

} // namespace tilvo
