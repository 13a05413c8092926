// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Compaction.h"

#include "common/Error.h"
#include "db/Connection.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace tilvo {

void CompactDatabaseFile(const QString& source, const QString& destination)
{
    const QFileInfo from(source);
    const QFileInfo to(destination);
    if (from.exists() && to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        throw Error(QStringLiteral("Le compactage de %1 ne peut pas écrire sur le fichier qu'il "
                                   "lit.")
                        .arg(source));
    QFile::remove(destination);

    Connection connection;
    connection.setDatabaseFile(source, true);
    connection.setBusyTimeout(0);
    connection.open();
    QString failure;
    {
        QSqlQuery q(connection.database());
        q.prepare(QStringLiteral("VACUUM INTO ?"));
        q.addBindValue(destination);
        if (!q.exec())
            failure = Connection::engineText(q.lastError());
    }
    connection.close();
    if (failure.isEmpty()) {
        // The copy must be a sound database before anyone relies on it.
        Connection check;
        check.setDatabaseFile(destination, true);
        try {
            check.open();
            QSqlQuery q(check.database());
            q.setForwardOnly(true);
            if (!q.exec(QStringLiteral("PRAGMA integrity_check")))
                failure = Connection::engineText(q.lastError());
            else if (q.next() && q.value(0).toString() != u"ok")
                failure = q.value(0).toString();
        } catch (const Error& e) {
            failure = e.text();
        }
        check.close();
    }
    if (!failure.isEmpty()) {
        QFile::remove(destination);
        throw Error(QStringLiteral("Le compactage de la base de données %1 a échoué : %2")
                        .arg(source, failure));
    }
}

} // namespace tilvo
