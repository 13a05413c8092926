// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Compaction.h"

#include "common/Error.h"
#include "common/FileHelpers.h"
#include "db/Connection.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <fcntl.h>
#include <unistd.h>

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
    QString failure;
    try {
        connection.open();
        // A copy of a damaged file would only look sound.
        connection.checkIntegrity();
        QSqlQuery q(connection.database());
        q.prepare(QStringLiteral("VACUUM INTO ?"));
        q.addBindValue(destination);
        if (!q.exec())
            failure = Connection::errorText(q.lastError());
    } catch (const Error& e) {
        failure = e.text();
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
                failure = Connection::errorText(q.lastError());
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

QString MovedAsideName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.indexOf(u'.', slash + 1);
    QString aside = path;
    aside.insert(dot < 0 ? slash + 1 : dot, u'~');
    return aside;
}

void CompactInPlace(const QString& live, const CompactFunction& compact)
{
    const QString moved = MovedAsideName(live);
    if (QFileInfo::exists(moved))
        throw Error(QStringLiteral("le fichier %1 existe déjà (compactage interrompu ?) ; rien "
                                   "n'est modifié")
                        .arg(moved));
    if (!QFile::rename(live, moved))
        throw Error(QStringLiteral("impossible de renommer %1 en %2 ; rien n'est modifié")
                        .arg(live, moved));
    try {
        compact(moved, live);
    } catch (const Error& e) {
        // The database as it was goes back under its own name; a failed compaction leaves no
        // file there, but a stray one must not stop the way back.
        QFile::remove(live);
        if (QFile::rename(moved, live))
            throw;
        throw Error(e.text() + QStringLiteral(" ; la base de données n'a pas pu reprendre son "
                                              "nom : elle se trouve dans %1, à renommer en %2")
                                   .arg(moved, live));
    }
    QFile::remove(moved);
}

QString PendingDatabaseName(const QString& live)
{
    return live + QStringLiteral(".new");
}

namespace {

void RemovePendingDatabase(const QString& live)
{
    const QString pending = PendingDatabaseName(live);
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(pending + QLatin1String(suffix));
}

// Whether another process holds the database: the engine locks bytes from 1 GiB into the file
// (its pending, reserved and shared locks) while it reads or writes it. The locks of this
// process are not seen, and it holds none: its connection is closed.
bool InUseElsewhere(const QString& live)
{
    const int fd = ::open(QFile::encodeName(live).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0x40000000;
    lock.l_len = 2 + 510;
    const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

} // namespace

void ReplaceLiveDatabase(const QString& replacement, const QString& live)
{
    if (InUseElsewhere(live))
        throw Error(QStringLiteral("La base de données %1 est en cours d'utilisation par un autre "
                                   "programme : elle n'a pas été remplacée. Fermez ce programme, "
                                   "puis recommencez.")
                        .arg(live));
    const QString pending = PendingDatabaseName(live);
    if (QFileInfo(replacement).absoluteFilePath() != QFileInfo(pending).absoluteFilePath()) {
        RemovePendingDatabase(live);
        MoveFileReplacing(replacement, pending);
    }
    if (!SyncToDisk(pending)) {
        RemovePendingDatabase(live);
        throw Error(QStringLiteral("La nouvelle base de données %1 n'a pas pu être écrite sur le "
                                   "disque : la base de données %2 n'a pas été remplacée.")
                        .arg(pending, live));
    }
    // What the engine left beside the old file belongs to it and must never be played back
    // into the new one; it goes before the new file takes the name.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(live + QLatin1String(suffix));
    try {
        MoveFileReplacing(pending, live);
    } catch (const Error&) {
        RemovePendingDatabase(live);
        throw;
    }
    SyncToDisk(QFileInfo(live).absolutePath());
}

void CompactLiveDatabase(const QString& live, const CompactFunction& compact)
{
    const QString moved = MovedAsideName(live);
    if (QFileInfo::exists(moved))
        throw Error(QStringLiteral("Le fichier %1, laissé par un compactage interrompu, existe "
                                   "encore à côté de la base de données. Rien n'a été modifié : "
                                   "déplacez ce fichier (il contient une copie plus ancienne de la "
                                   "base de données) ou supprimez-le s'il n'est plus utile, puis "
                                   "recommencez.")
                        .arg(moved));
    RemovePendingDatabase(live);
    const QString pending = PendingDatabaseName(live);
    try {
        compact(live, pending);
    } catch (const Error&) {
        RemovePendingDatabase(live);
        throw;
    }
    ReplaceLiveDatabase(pending, live);
}

} // namespace tilvo
