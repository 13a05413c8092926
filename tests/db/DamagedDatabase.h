// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QTest>

namespace tilvo::test {

// The ways a database file is found damaged.
enum class Damage
{
    Emptied,         // zero bytes left
    LastByteMissing, // cut short by one byte
    PagesZeroed,     // pages 3 to 5 overwritten with zeros
};

inline QByteArray Damaged(QByteArray database, Damage damage)
{
    switch (damage) {
    case Damage::Emptied:
        return QByteArray();
    case Damage::LastByteMissing:
        database.chop(1);
        return database;
    case Damage::PagesZeroed: {
        // The page size is the header's big-endian 16-bit value at offset 16 (1 means 65536).
        const int stored = (uchar(database.at(16)) << 8) | uchar(database.at(17));
        const qsizetype page = stored == 1 ? 65536 : stored;
        if (database.size() >= 5 * page)
            database.replace(2 * page, 3 * page, QByteArray(3 * page, '\0'));
        return database;
    }
    }
    return database;
}

inline void AddDamageRows()
{
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << Damage::Emptied << "est vide";
    QTest::newRow("last byte missing") << Damage::LastByteMissing << "endommagée";
    QTest::newRow("pages 3 to 5 zeroed") << Damage::PagesZeroed << "endommagée";
}

} // namespace tilvo::test

Q_DECLARE_METATYPE(tilvo::test::Damage)
