// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A database of about 50 MB for the benchmarks: the full schema made by the shipped update
// script, one dossier, sixty accounts and entries with a comment each, spread over twenty
// years by a seeded generator. Built once into the benchmarks' build folder and reused.

#include "common/Error.h"
#include "db/Connection.h"
#include "db/UpdateScript.h"
#include "db/VersionRecord.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <random>

namespace tilvo::bench {

inline constexpr qint64 kTargetBytes = 50LL * 1024 * 1024;
inline constexpr int kAccounts = 60;

inline QString CacheFolder()
{
    return QStringLiteral(TILVO_BENCH_CACHE_DIR) + u'/';
}
inline QString ScriptFolder()
{
    return QStringLiteral(TILVO_SOURCE_DIR) + QStringLiteral("/shipped/Maj/");
}

// Named after the update script's content, so a changed schema builds a new one.
inline QString FiftyMegabyteDatabase()
{
    QFile script(ScriptFolder() + QStringLiteral("BD_183.maj"));
    script.open(QIODevice::ReadOnly);
    const QByteArray digest = QCryptographicHash::hash(script.readAll(), QCryptographicHash::Sha1);
    return CacheFolder() +
           QStringLiteral("fifty-mb-%1.db").arg(QString::fromLatin1(digest.toHex().left(8)));
}

// Accounts of one dossier and entries with a comment each, spread over twenty years, added in
// batches until the file holds about 50 MB.
inline void BuildFiftyMegabyteDatabase()
{
    if (QFileInfo::exists(FiftyMegabyteDatabase()))
        return;
    QDir().mkpath(CacheFolder());
    const QString building = FiftyMegabyteDatabase() + QStringLiteral(".new");
    QFile::remove(building);
    Connection c;
    c.setDatabaseFile(building);
    c.setCreateIfMissing(true);
    c.open();
    UpdateEnvironment env;
    env.DataFolder = CacheFolder();
    if (RunUpdateScript(c, ScriptFolder(), QStringLiteral("BD_183.maj"), ProgressLabel(), false,
                        env)
            .errors != 0)
        throw Error(QStringLiteral("the update script failed"));
    SetBDVersion(c, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE"),
                 QStringLiteral("1.83"));
    c.exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
    for (int a = 1; a <= kAccounts; ++a)
        c.exec(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, 'Compteur %1')")
                   .arg(a));
    std::mt19937 random(1834);
    std::uniform_int_distribution<int> account(1, kAccounts);
    std::uniform_int_distribution<int> day(0, 20 * 365);
    std::uniform_int_distribution<int> amount(1, 20000);
    const QDate first(2000, 1, 1);
    while (QFileInfo(building).size() < kTargetBytes) {
        Transaction t(c);
        QSqlQuery q(c.database());
        q.prepare(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                                 "Quantity, Price, Description) VALUES (1, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < 20000; ++i) {
            q.addBindValue(account(random));
            q.addBindValue(first.addDays(day(random)).toString(QStringLiteral("yyyy-MM-dd")));
            q.addBindValue(amount(random) / 100.0);
            q.addBindValue(amount(random) / 1000.0);
            q.addBindValue(QStringLiteral("relevé du compteur n° %1").arg(amount(random)));
            q.exec();
        }
        q.finish();
        t.commit();
    }
    c.close();
    QFile::rename(building, FiftyMegabyteDatabase());
}

} // namespace tilvo::bench
