// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Error.h"
#include "db/Connection.h"
#include "db/UpdateScript.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <random>

namespace tilvo::bench {

inline constexpr int kEntries = 100000;

// The benchmark database: the full schema made by the shipped update script, one dossier,
// one account "Eau" (id 1) and 100 000 daily entries with a comment on every tenth, drawn by
// a seeded generator. Built once into `cacheFolder` and reused while the script is the same.
inline QString EntriesDatabase(const QString& cacheFolder, const QString& scriptFolder)
{
    QFile script(scriptFolder + QStringLiteral("BD_183.maj"));
    script.open(QIODevice::ReadOnly);
    const QByteArray digest = QCryptographicHash::hash(script.readAll(), QCryptographicHash::Sha1);
    const QString cached =
        cacheFolder +
        QStringLiteral("grid-100k-%1.db").arg(QString::fromLatin1(digest.toHex().left(8)));
    if (QFileInfo::exists(cached))
        return cached;
    QDir().mkpath(cacheFolder);
    const QString building = cached + QStringLiteral(".new");
    QFile::remove(building);
    {
        Connection c;
        c.setDatabaseFile(building);
        c.setCreateIfMissing(true);
        c.open();
        UpdateEnvironment env;
        env.DataFolder = cacheFolder;
        if (RunUpdateScript(c, scriptFolder, QStringLiteral("BD_183.maj"), ProgressLabel(), false,
                            env)
                .errors != 0)
            throw Error(QStringLiteral("the update script failed"));
        std::mt19937 random(1834);
        std::uniform_int_distribution<int> amount(1, 20000);
        Transaction t(c);
        c.exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
        c.exec(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, 'Eau')"));
        QSqlQuery q(c.database());
        q.prepare(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                                 "Quantity, Price, Description) VALUES (1, 1, ?, ?, ?, ?)"));
        const QDate first(1800, 1, 1);
        for (int i = 0; i < kEntries; ++i) {
            q.addBindValue(first.addDays(i).toString(QStringLiteral("yyyy-MM-dd")));
            q.addBindValue(amount(random) / 100.0);
            q.addBindValue(amount(random) / 1000.0);
            q.addBindValue(i % 10 == 0 ? QStringLiteral("Relevé n° %1").arg(i) : QString());
            if (!q.exec())
                throw Error(QStringLiteral("cannot insert the entries"));
        }
        t.commit();
    }
    QFile::remove(cached);
    QFile::rename(building, cached);
    return cached;
}

} // namespace tilvo::bench
