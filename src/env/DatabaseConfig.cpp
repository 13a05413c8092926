// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/DatabaseConfig.h"

#include <QFileInfo>

namespace tilvo {

QString OdbcConnectionString(const QString& dataSourceName)
{
    QString text = QStringLiteral(
        "Provider=MSDASQL.1;Data Source=%DATASOURCE%;Persist Security Info=True;Mode=ReadWrite");
    return text.replace(QLatin1String("%DATASOURCE%"), dataSourceName);
}

QString OleDbConnectionString(const QString& provider, const QString& databaseFile)
{
    QString text = QStringLiteral(
        "Provider=%PROVIDER%;Data Source=%DATASOURCE%;Mode=ReadWrite;Jet OLEDB:Engine Type=5;"
        "Jet OLEDB:Database Locking Mode=1;Jet OLEDB:Global Partial Bulk Ops=2;"
        "Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:Create System Database=False;"
        "Jet OLEDB:Encrypt Database=False;Jet OLEDB:Don't Copy Locale on Compact=False;"
        "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False");
    text.replace(QLatin1String("%PROVIDER%"), provider);
    return text.replace(QLatin1String("%DATASOURCE%"), databaseFile);
}

bool DatabaseFilePresent(const DatabaseConfig& config)
{
    return QFileInfo(config.databaseFile()).isFile();
}

} // namespace tilvo
