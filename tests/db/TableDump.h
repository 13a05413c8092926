// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Connection.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>

namespace tilvo::test {

// Every row of every table as text, for "nothing changed" checks. `skipped` names tables
// left out, such as sqlite_sequence, where a key handed out and given back still counts
// (keys are never reused).
inline QString DumpTables(Connection& connection, const QStringList& skipped = {})
{
    QStringList tables;
    {
        QSqlQuery q(connection.database());
        q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"));
        while (q.next()) {
            if (!skipped.contains(q.value(0).toString(), Qt::CaseInsensitive))
                tables << q.value(0).toString();
        }
    }
    QString dump;
    for (const QString& table : tables) {
        dump += QStringLiteral("== %1\n").arg(table);
        QSqlQuery q(connection.database());
        q.exec(QStringLiteral("SELECT * FROM [%1] ORDER BY rowid").arg(table));
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            dump += values.join(u'|') + u'\n';
        }
    }
    return dump;
}

// One statement's first value, through the program's connection.
inline QVariant Scalar(Connection& connection, const QString& select)
{
    QSqlQuery q(connection.database());
    if (q.exec(select) && q.next())
        return q.value(0);
    return QVariant();
}

} // namespace tilvo::test
