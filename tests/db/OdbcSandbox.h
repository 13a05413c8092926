// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Error.h"
#include "env/ConnectionConfig.h"

#include <QFile>
#include <QTemporaryDir>

namespace tilvo::test {

// unixODBC reads its data sources from ODBCSYSINI/odbc.ini (system) and ODBCINI (the user's).
// For the whole test process both point into a temporary folder, with the machine's driver
// list copied beside them, so the tests never touch /etc/odbc.ini or ~/.odbc.ini.
class OdbcSandbox
{
public:
    static OdbcSandbox& instance()
    {
        static OdbcSandbox sandbox;
        return sandbox;
    }
    QString folder() const { return m_dir.path() + u'/'; }

    // A data source of its own for the file, registered the way the program does it.
    QString registerFile(const QString& databaseFile)
    {
        const QString name = QStringLiteral("TILVO_TEST_%1").arg(++m_count);
        if (!RegisterDataSource(name, QStringLiteral("SQLite3"), databaseFile))
            throw Error(QStringLiteral("cannot register ") + databaseFile);
        return name;
    }

private:
    OdbcSandbox()
    {
        const QString dir = m_dir.path();
        QFile::copy(QStringLiteral("/etc/odbcinst.ini"), dir + QStringLiteral("/odbcinst.ini"));
        for (const char* name : {"/odbc.ini", "/user-odbc.ini"}) {
            QFile f(dir + QLatin1String(name));
            f.open(QIODevice::WriteOnly);
        }
        qputenv("ODBCSYSINI", dir.toUtf8());
        qputenv("ODBCINI", (dir + QStringLiteral("/user-odbc.ini")).toUtf8());
    }
    QTemporaryDir m_dir;
    int m_count = 0;
};

} // namespace tilvo::test
