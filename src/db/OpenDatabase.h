// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "env/DatabaseConfig.h"

namespace tilvo {

class Connection;
class Prompts;

// Needs: the configuration and where to show the engine's refusal. Opens the connection and
// checks the whole file (Connection::checkIntegrity). Returns false when the connection was
// refused or the file is damaged (the French text has been shown in a plain message box, the
// connection is closed and nothing was written; a file an interrupted compaction left aside is
// pointed out); the start-up then clears StartupOk. Without a database file nothing is opened
// and the result is true. A Provider other than "ODBC" and "OLEDB" counts as refused.
bool OpenDatabase(Connection& connection, const DatabaseConfig& config, Prompts& prompts);

} // namespace tilvo
