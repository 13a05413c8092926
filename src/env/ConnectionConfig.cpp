// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/ConnectionConfig.h"

#include "common/FileHelpers.h"
#include "common/IniFile.h"
#include "common/Prompts.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <odbcinst.h>

namespace tilvo {

namespace {

const QString kIniName = QStringLiteral("db.ini");

// The attribute naming the database file, as the driver reads it.
QString FileAttribute(const QString& driver)
{
    return driver.contains(QLatin1String("SQLite"), Qt::CaseInsensitive)
               ? QStringLiteral("Database")
               : QStringLiteral("DBQ");
}

bool WriteDataSource(UWORD mode, const QByteArray& name, const QByteArray& driver,
                     const QByteArray& attribute, const QByteArray& path)
{
    if (!SQLSetConfigMode(mode))
        return false;
    const bool ok = SQLWriteDSNToIni(name.constData(), driver.constData()) &&
                    SQLWritePrivateProfileString(name.constData(), attribute.constData(),
                                                 path.constData(), "odbc.ini");
    SQLSetConfigMode(ODBC_BOTH_DSN);
    return ok;
}

bool DriverUsable(const QString& driver, QString* failure)
{
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        *failure = QStringLiteral("Le pilote de base de données %1 est introuvable : installez le "
                                  "paquet qui le fournit.")
                       .arg(driver);
        return false;
    }
    const QString name = QStringLiteral("tilvo-engine-check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        if (!db.isValid())
            *failure = db.lastError().text();
    }
    QSqlDatabase::removeDatabase(name);
    return failure->isEmpty();
}

} // namespace

DatabaseConfig ReadDatabaseConfig(const QString& iniFolder, const QString& baseFolder,
                                  const QString& defaultPath, const QString& defaultSubFolder,
                                  const QString& defaultFileName, const QString& defaultOdbcName,
                                  const FetchMissingFileFunction& fetchMissingFile)
{
    if (fetchMissingFile)
        fetchMissingFile(kIniName);
    const QString path = WithTrailingBackslash(iniFolder) + kIniName;
    IniFile ini(path);
    const QString file = defaultSubFolder + defaultFileName;
    const DatabaseConfig defaults;

    DatabaseConfig c;
    c.Provider =
        ini.readString(QStringLiteral("DataBase"), QStringLiteral("Provider"), defaults.Provider);
    c.DatabasePath =
        ToSlashes(ini.readString(QStringLiteral("DataBase"), QStringLiteral("Path"), defaultPath));
    c.OdbcName = ini.readString(QStringLiteral("ODBC"), QStringLiteral("Name"), defaultOdbcName);
    c.OdbcDriver =
        ini.readString(QStringLiteral("ODBC"), QStringLiteral("Driver"), defaults.OdbcDriver);
    c.OdbcPath = ToSlashes(ini.readString(QStringLiteral("ODBC"), QStringLiteral("Path"), file));
    c.OleDbProvider =
        ini.readString(QStringLiteral("OLEDB"), QStringLiteral("Provider"), defaults.OleDbProvider);
    c.OleDbFileName =
        ToSlashes(ini.readString(QStringLiteral("OLEDB"), QStringLiteral("FileName"), file));

    if (!QFileInfo::exists(path)) {
        IniFile fresh(path);
        fresh.writeString(QStringLiteral("DataBase"), QStringLiteral("Provider"), c.Provider);
        fresh.writeString(QStringLiteral("DataBase"), QStringLiteral("Path"), c.DatabasePath);
        fresh.writeString(QStringLiteral("ODBC"), QStringLiteral("Name"), c.OdbcName);
        fresh.writeString(QStringLiteral("ODBC"), QStringLiteral("Driver"), c.OdbcDriver);
        fresh.writeString(QStringLiteral("ODBC"), QStringLiteral("Path"), c.OdbcPath);
        fresh.writeString(QStringLiteral("OLEDB"), QStringLiteral("Provider"), c.OleDbProvider);
        fresh.writeString(QStringLiteral("OLEDB"), QStringLiteral("FileName"), c.OleDbFileName);
        fresh.save();
    }

    c.DatabaseFolder = WithTrailingBackslash(
        c.DatabasePath == u"Data/" ? WithTrailingBackslash(baseFolder) + c.DatabasePath
                                   : c.DatabasePath);
    if (c.Provider == u"ODBC")
        c.ActiveDatabaseFile = c.OdbcPath;
    else if (c.Provider == u"OLEDB")
        c.ActiveDatabaseFile = c.OleDbFileName;

    if (c.Provider == u"ODBC" && !c.OdbcPath.isEmpty())
        RegisterDataSource(c.OdbcName, c.OdbcDriver, c.DatabaseFolder + c.OdbcPath);
    return c;
}

bool RegisterDataSource(const QString& name, const QString& driver, const QString& databaseFile)
{
    if (!QFileInfo(databaseFile).isFile())
        return false;
    const QByteArray n = name.toUtf8();
    const QByteArray d = driver.toUtf8();
    const QByteArray p = databaseFile.toUtf8();
    QByteArray attributes = "DSN=" + n + '\0' + "DBQ=" + p + '\0' + '\0';
    if (SQLConfigDataSource(nullptr, ODBC_ADD_SYS_DSN, d.constData(), attributes.constData()))
        return true;
    // Drivers without a setup routine (the SQLite ones) are written in by hand.
    const QByteArray attribute = FileAttribute(driver).toUtf8();
    return WriteDataSource(ODBC_SYSTEM_DSN, n, d, attribute, p) ||
           WriteDataSource(ODBC_USER_DSN, n, d, attribute, p);
}

bool EngineAvailable(const DatabaseConfig& config, Prompts& prompts)
{
    QString failure;
    bool ok = DriverUsable(QStringLiteral("QSQLITE"), &failure);
    if (ok && config.Provider == u"ODBC")
        ok = DriverUsable(QStringLiteral("QODBC"), &failure);
    if (!ok)
        prompts.showMessage(failure, Prompts::Icon::None);
    return ok;
}

} // namespace tilvo
