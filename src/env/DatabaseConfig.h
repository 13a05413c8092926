// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

inline constexpr const char* kDefaultProvider = "OLEDB";
// The ODBC driver registered on Debian by libsqliteodbc.
inline constexpr const char* kDefaultOdbcDriver = "SQLite3";
// Kept as db.ini has always said; any OLE DB provider name opens the file with SQLite.
inline constexpr const char* kDefaultOleDbProvider = "Microsoft.Jet.OLEDB.4.0";

// How the database is reached: the seven db.ini values and the two derived from them
// (ReadDatabaseConfig, in env/ConnectionConfig.h, fills it). Folders end with "/".
struct DatabaseConfig
{
    QString Provider = QString::fromLatin1(kDefaultProvider); // "OLEDB" or "ODBC"
    QString DatabasePath;                                     // "Data/" or an absolute folder
    QString OdbcName;
    QString OdbcDriver = QString::fromLatin1(kDefaultOdbcDriver);
    QString OdbcPath; // the file under DatabaseFolder for the ODBC data source
    QString OleDbProvider = QString::fromLatin1(kDefaultOleDbProvider);
    QString OleDbFileName; // the file under DatabaseFolder, "Access/TILVO.MDB"

    QString DatabaseFolder;     // where "Access/", "Images/" and "Files/" lie
    QString ActiveDatabaseFile; // OdbcPath or OleDbFileName by Provider; empty for another one

    // DatabaseFolder + OleDbFileName: the file opened, compacted and tested for presence.
    QString databaseFile() const { return DatabaseFolder + OleDbFileName; }
};

// "Provider=MSDASQL.1;Data Source=<OdbcName>;Persist Security Info=True;Mode=ReadWrite".
QString OdbcConnectionString(const QString& dataSourceName);
// The OLE DB template with its provider and data source filled in.
QString OleDbConnectionString(const QString& provider, const QString& databaseFile);

// Whether the file DatabaseFolder + OleDbFileName exists.
bool DatabaseFilePresent(const DatabaseConfig& config);

} // namespace tilvo
