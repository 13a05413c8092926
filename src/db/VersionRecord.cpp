// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/VersionRecord.h"

#include "common/Error.h"
#include "db/Connection.h"
#include "db/DataSet.h"

namespace tilvo {

namespace {

const QString kVersionRow =
    QStringLiteral(" WHERE [ID_CLASS]=-99 AND [ID_ATTRIBUTE]=-99 AND [USERID]=-99");

} // namespace

QString GetBDVersion(Connection& connection, const QString& table, const QString& column)
{
    try {
        DataSet query(connection, QStringLiteral("GetBDVersion"));
        query.setSqlText(QStringLiteral("SELECT [") + column + QStringLiteral("] FROM [") + table +
                         u']' + kVersionRow);
        query.open();
        if (query.isEmpty())
            return QStringLiteral("0");
        return query.field(0).asText();
    } catch (const Error&) {
        return QStringLiteral("0");
    }
}

void SetBDVersion(Connection& connection, const QString& table, const QString& column,
                  const QString& version)
{
    DataSet query(connection, QStringLiteral("SetBDVersion"));
    query.setSqlText(QStringLiteral("SELECT [") + column +
                     QStringLiteral("], [ID_CLASS], [ID_ATTRIBUTE], [USERID] FROM [") + table +
                     u']' + kVersionRow);
    query.open();
    if (query.isEmpty())
        query.insert();
    else
        query.edit();
    query.fieldByName(column).setText(version);
    query.fieldByName(QStringLiteral("ID_CLASS")).setInteger(-99);
    query.fieldByName(QStringLiteral("ID_ATTRIBUTE")).setInteger(-99);
    query.fieldByName(QStringLiteral("USERID")).setInteger(-99);
    query.post();
    query.close();
}

int VersionNumber(const QString& version)
{
    QString digits = version;
    const qsizetype dot = digits.indexOf(u'.');
    if (dot >= 0)
        digits.remove(dot, 1);
    bool ok = false;
    const int number = digits.toInt(&ok, 10);
    return ok ? number : 0;
}

} // namespace tilvo
