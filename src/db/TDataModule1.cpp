// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/TDataModule1.h"

#include "db/DataSetOps.h"
#include "db/OpenDatabase.h"

#include <QFile>

namespace tilvo {

namespace {

// The statements the dossier cascade runs, each followed by the dossier's ID.
const char* const kCascade[] = {
    "DELETE FROM CONSUMPTION WHERE CONSUMPTION.Id_File=",
    "DELETE FROM CUSTOMLAB WHERE CUSTOMLAB.Id_File=",
    "DELETE FROM COMBOITEMS WHERE COMBOITEMS.Id_File=",
    "DELETE FROM OBJECT_VAL_BIT WHERE OBJECT_VAL_BIT.USERID=",
    "DELETE FROM OBJECT_VAL_INT WHERE OBJECT_VAL_INT.USERID=",
    "DELETE FROM OBJECT_VAL_MEMO WHERE OBJECT_VAL_MEMO.USERID=",
    "DELETE FROM OBJECT_VAL_OLE WHERE OBJECT_VAL_OLE.USERID=",
    "DELETE FROM OBJECT_VAL_REAL WHERE OBJECT_VAL_REAL.USERID=",
    "DELETE FROM OBJECT_VAL_STR WHERE OBJECT_VAL_STR.USERID=",
};

FieldDisplay Column(const QString& label, int width = 0)
{
    FieldDisplay d;
    d.label = label;
    d.width = width;
    return d;
}

} // namespace

QStringList TDataModule1::mainFileSql()
{
    return {QStringLiteral("SELECT ID, FullName, LoginName, LoginPassword, Administrator, Image, "
                           "Comment as [Color], Custom00144243 as [Size] FROM PROFILES")};
}

QStringList TDataModule1::accountSql()
{
    return {QStringLiteral("SELECT * FROM ACCOUNT"), QStringLiteral("WHERE ID_FILE=-1"),
            QStringLiteral("ORDER BY TITLE, DESCRIPTION")};
}

QStringList TDataModule1::consumptionSql()
{
    return {QStringLiteral("SELECT * FROM CONSUMPTION"), QStringLiteral("WHERE ID_FILE=-1"),
            QStringLiteral("ORDER BY DATEACTION")};
}

TDataModule1::TDataModule1(const DatabaseConfig& config, Prompts& prompts, QObject* parent)
    : QObject(parent), m_config(config), m_connection(),
      m_mainFile(m_connection, QStringLiteral("MainFile")),
      m_account(m_connection, QStringLiteral("Account")),
      m_consumption(m_connection, QStringLiteral("Consumption")),
      m_comboItems(m_connection, QStringLiteral("ComboItems")),
      m_backup(m_connection, QStringLiteral("Backup")),
      m_query(m_connection, QStringLiteral("Query")), m_dsMainFile(m_mainFile),
      m_dsAccount(m_account), m_dsConsumption(m_consumption), m_dsComboItems(m_comboItems),
      m_dsBackup(m_backup), m_deletePicture([](const QString& path) {
          if (QFile::exists(path))
              QFile::remove(path);
      })
{
    setObjectName(QStringLiteral("DataModule1"));
    m_mainFile.setSql(mainFileSql());
    m_account.setSql(accountSql());
    m_consumption.setSql(consumptionSql());
    m_comboItems.setSql({QStringLiteral("SELECT * FROM COMBOITEMS")});
    m_backup.setSql({QStringLiteral("SELECT * FROM BACKUP")});

    m_consumption.setFieldDisplay(QStringLiteral("DateAction"), Column(QStringLiteral("Date"), 10));
    m_consumption.setFieldDisplay(QStringLiteral("Quantity"), Column(QStringLiteral("Quantité")));
    FieldDisplay price = Column(QStringLiteral("Montant"));
    price.editFormat = QStringLiteral("#######0.000");
    m_consumption.setFieldDisplay(QStringLiteral("Price"), price);
    m_consumption.setFieldDisplay(QStringLiteral("Description"),
                                  Column(QStringLiteral("Commentaire")));
    m_backup.setFieldDisplay(QStringLiteral("DateSav"), Column(QStringLiteral("Date"), 10));
    m_backup.setFieldDisplay(QStringLiteral("TimeSav"), Column(QStringLiteral("Heure"), 10));
    m_backup.setFieldDisplay(QStringLiteral("Description"), Column(QString(), 30));
    m_backup.setFieldDisplay(QStringLiteral("Path"),
                             Column(QStringLiteral("Fichier de sauvegarde"), 128));

    m_mainFile.setBeforeDelete([this](DataSet& set) {
        deleteDossierContents(set.fieldByName(QStringLiteral("ID")).asInteger());
    });
    m_account.setBeforeDelete([this](DataSet& set) { deleteAccountPicture(set); });

    m_connectionOk = OpenDatabase(m_connection, m_config, prompts);
}

TDataModule1::~TDataModule1() = default;

QString TDataModule1::accountPicturePath(qint64 accountId) const
{
    return m_config.DatabaseFolder + QStringLiteral("Images/Account") + QString::number(accountId) +
           QStringLiteral(".jpg");
}

void TDataModule1::setPictureFileDeleter(std::function<void(const QString&)> deleter)
{
    m_deletePicture = std::move(deleter);
}

void TDataModule1::deleteAccountPicture(DataSet& account)
{
    const qint64 id = account.fieldByName(QStringLiteral("Id")).asInteger();
    if (m_deletePicture)
        m_deletePicture(accountPicturePath(id));
}

void TDataModule1::deleteDossierContents(qint64 id)
{
    ReplaceWhereLine(m_account, QStringLiteral("WHERE Id_File=") + QString::number(id));
    m_account.open();
    while (!IsEmptyDataSet(m_account))
        m_account.remove();
    m_account.close();
    for (const char* statement : kCascade)
        ExecSql(m_query, QLatin1String(statement) + QString::number(id));
}

} // namespace tilvo
