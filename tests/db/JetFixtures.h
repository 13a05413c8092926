// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Error.h"
#include "db/UpdateScript.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

namespace tilvo::test {

// The Jet databases of the earlier platform kept beside the tests (made with an Access
// library from the program's schema).
inline QString JetFixture(const QString& name)
{
    return QStringLiteral(TILVO_SOURCE_DIR "/tests/data/jet/") + name;
}

inline QByteArray Utf16(const char* text)
{
    const QString s = QString::fromLatin1(text);
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

// A copy of a fixture with byte runs replaced (each must be found): Jet keeps table names
// (in its catalogue) and column names (in the table definitions) as UTF-16 text, and the
// fixed part of a row as little-endian numbers.
inline void WritePatchedFixture(const QString& fixture, const QString& target,
                                const QList<QPair<QByteArray, QByteArray>>& patches)
{
    QFile in(JetFixture(fixture));
    if (!in.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("cannot read ") + fixture);
    QByteArray bytes = in.readAll();
    for (const auto& [from, to] : patches) {
        if (from.size() != to.size() || !bytes.contains(from))
            throw Error(QStringLiteral("patch not applicable to ") + fixture);
        bytes.replace(from, to);
    }
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        throw Error(QStringLiteral("cannot write ") + target);
}

// A program folder of its own: the template database the build made and the shipped update
// script, and a data folder for the update log.
class ConversionFolders
{
public:
    ConversionFolders()
    {
        const QString program = programFolder();
        QDir().mkpath(program + QStringLiteral("Ressources/DB/Data/Access"));
        QDir().mkpath(program + QStringLiteral("Maj"));
        QDir().mkpath(dataFolder());
        QFile::copy(QStringLiteral(TILVO_PROGRAM_DIR "/Ressources/DB/Data/Access/TILVO.MDB"),
                    templateFile());
        QFile::copy(QStringLiteral(TILVO_SOURCE_DIR "/shipped/Maj/BD_183.maj"),
                    program + QStringLiteral("Maj/BD_183.maj"));
    }

    QString root() const { return m_root.path() + u'/'; }
    QString programFolder() const { return root() + QStringLiteral("program/"); }
    QString dataFolder() const { return root() + QStringLiteral("data/"); }
    QString templateFile() const
    {
        return programFolder() + QStringLiteral("Ressources/DB/Data/Access/TILVO.MDB");
    }

    UpdateEnvironment environment() const
    {
        UpdateEnvironment env;
        env.config.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
        env.DataFolder = dataFolder();
        env.ProgramFolder = programFolder();
        env.ProgramVersion = QStringLiteral("1.83");
        env.UpdateFileName = QStringLiteral("BD_183.maj");
        return env;
    }

private:
    QTemporaryDir m_root;
};

} // namespace tilvo::test
