// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "env/DatabaseConfig.h"

#include <QString>
#include <functional>

namespace tilvo {

class Prompts;

// Copies a shipped file (by name) into the data folder when the data folder has none.
using FetchMissingFileFunction = std::function<void(const QString& name)>;

// Needs: the folder holding db.ini, the base folder of the default database path, the
// defaults (at start-up: the data folder twice, "Data/", "Access/", "TILVO.MDB",
// "ZEMBRALIK_TILVO") and the shipped-file fetcher. Fetches db.ini, reads its seven keys with
// their defaults, writes them (in order) only when db.ini did not exist, derives
// DatabaseFolder and ActiveDatabaseFile, and registers the ODBC data source when Provider is
// "ODBC". Returns the configuration.
DatabaseConfig ReadDatabaseConfig(const QString& iniFolder, const QString& baseFolder,
                                  const QString& defaultPath, const QString& defaultSubFolder,
                                  const QString& defaultFileName, const QString& defaultOdbcName,
                                  const FetchMissingFileFunction& fetchMissingFile);

// Needs a data source name, a driver name and the database file. Returns whether the data
// source was recorded: false, doing nothing, when the file does not exist. Asks the ODBC
// installer first; when the driver has no setup routine, writes the data source itself as a
// system one, else as the user's, with the driver's attribute for the file ("Database" for
// the SQLite drivers, "DBQ" for the others).
bool RegisterDataSource(const QString& name, const QString& driver, const QString& databaseFile);

// Needs the configuration and where to show a failure. Returns whether the database engine
// (and, for the ODBC way, the ODBC layer) can be created; when not, its text has been shown
// in a plain message box.
bool EngineAvailable(const DatabaseConfig& config, Prompts& prompts);

} // namespace tilvo
