// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/OpenDatabase.h"

#include "common/Error.h"
#include "common/Prompts.h"
#include "db/Connection.h"

namespace tilvo {

bool OpenDatabase(Connection& connection, const DatabaseConfig& config, Prompts& prompts)
{
    if (!DatabaseFilePresent(config))
        return true;
    connection.close();
    try {
        if (config.Provider == u"ODBC")
            connection.setConnectionString(OdbcConnectionString(config.OdbcName));
        else if (config.Provider == u"OLEDB")
            connection.setConnectionString(
                OleDbConnectionString(config.OleDbProvider, config.databaseFile()));
        else
            throw Error(QStringLiteral("Le fournisseur de base de données '%1' est inconnu "
                                       "(ODBC ou OLEDB attendu).")
                            .arg(config.Provider));
        connection.open();
        // Before anything is read from it or written to it.
        connection.checkIntegrity();
    } catch (const Error& e) {
        connection.close();
        prompts.showMessage(e.text(), Prompts::Icon::None);
        return false;
    }
    return true;
}

} // namespace tilvo
