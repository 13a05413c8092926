// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/OpenDatabase.h"

#include "common/Error.h"
#include "common/Prompts.h"
#include "db/Compaction.h"
#include "db/Connection.h"

#include <QFileInfo>

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
        QString text = e.text();
        // A compaction stopped while writing the new file leaves the old one aside.
        const QString moved = MovedAsideName(config.databaseFile());
        if (QFileInfo(moved).isFile())
            text += QStringLiteral("\rLe fichier %1, laissé par un compactage interrompu, contient "
                                   "peut-être la base de données telle qu'elle était avant ce "
                                   "compactage.")
                        .arg(moved);
        prompts.showMessage(text, Prompts::Icon::None);
        return false;
    }
    return true;
}

} // namespace tilvo
