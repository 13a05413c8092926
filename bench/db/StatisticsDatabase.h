// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The database the statistics benchmarks read: 1 000 000 entries in 100 accounts, one of them
// holding 100 000. It is built once, by the shipped update script and a seeded generator,
// into the cache folder the benchmark is given (TILVO_BENCH_CACHE_DIR), and reused.
#include "common/Error.h"
#include "db/Connection.h"
#include "db/UpdateScript.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <memory>
#include <random>

namespace tilvo::bench {

inline constexpr int kEntries = 1000000;
inline constexpr int kAccounts = 100;
inline constexpr int kBigAccount = 1;
inline constexpr int kFirstYear = 1999;
inline constexpr int kYears = 12;

inline QString CacheFolder()
{
    return QStringLiteral(TILVO_BENCH_CACHE_DIR) + u'/';
}
inline QString ScriptFolder()
{
    return QStringLiteral(TILVO_SOURCE_DIR) + QStringLiteral("/shipped/Maj/");
}

// Named after the update script's content, so a changed schema builds a new one.
inline QString CachedDatabase()
{
    QFile script(ScriptFolder() + QStringLiteral("BD_183.maj"));
    script.open(QIODevice::ReadOnly);
    const QByteArray digest = QCryptographicHash::hash(script.readAll(), QCryptographicHash::Sha1);
    return CacheFolder() +
           QStringLiteral("statistics-1m-%1.db").arg(QString::fromLatin1(digest.toHex().left(8)));
}

// Dossier 1 holds accounts 1-50 (500 000 entries, 100 000 of them in account 1), dossier 2
// accounts 51-100 (500 000 entries); dates are spread over twelve years, rows interleaved.
inline void BuildDatabase()
{
    if (QFileInfo::exists(CachedDatabase()))
        return;
    QDir().mkpath(CacheFolder());
    const QString building = CachedDatabase() + QStringLiteral(".new");
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

    std::mt19937 random(1834);
    {
        Transaction t(c);
        QSqlQuery q(c.database());
        c.exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
        c.exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Bureau')"));
        q.prepare(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title, CreateDate) VALUES (?, ?, "
                                 "'1999-01-01')"));
        for (int a = 1; a <= kAccounts; ++a) {
            q.addBindValue(a <= kAccounts / 2 ? 1 : 2);
            q.addBindValue(QStringLiteral("Compte %1").arg(a));
            q.exec();
        }
        q.prepare(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                                 "Quantity, Price) VALUES (?, ?, ?, ?, ?)"));
        const QDate first(kFirstYear, 1, 1);
        const int days = int(first.daysTo(QDate(kFirstYear + kYears, 1, 1)));
        std::uniform_int_distribution<int> day(0, days - 1);
        std::uniform_int_distribution<int> small(2, kAccounts / 2);
        std::uniform_int_distribution<int> other(kAccounts / 2 + 1, kAccounts);
        std::uniform_int_distribution<int> amount(1, 20000);
        for (int i = 0; i < kEntries; ++i) {
            // Every tenth entry is account 1's; the rest split evenly between the dossiers.
            int account;
            if (i % 10 == 0)
                account = kBigAccount;
            else if (i % 10 <= 4)
                account = small(random);
            else
                account = other(random);
            q.addBindValue(account <= kAccounts / 2 ? 1 : 2);
            q.addBindValue(account);
            q.addBindValue(first.addDays(day(random)).toString(QStringLiteral("yyyy-MM-dd")));
            q.addBindValue(amount(random) / 100.0);
            q.addBindValue(amount(random) / 1000.0);
            q.exec();
        }
        q.finish();
        t.commit();
    }
    c.exec(QStringLiteral("ANALYZE"));
    c.close();
    QFile::rename(building, CachedDatabase());
}

inline std::unique_ptr<Connection> OpenCached()
{
    BuildDatabase();
    auto c = std::make_unique<Connection>();
    c->setDatabaseFile(CachedDatabase());
    c->open();
    return c;
}

} // namespace tilvo::bench
