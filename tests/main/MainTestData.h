// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/DbTestSupport.h"
#include "db/TDataModule1.h"
#include "db/TableDump.h"
#include "support/ScriptedPrompts.h"

#include <QDate>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <memory>

namespace tilvo::test {

// An account as the tests write it.
struct AccountRow
{
    QString title;
    QString description;
    QString unit;
    int decimals = 0;
    double count = 0;
    QDate createDate = QDate(2008, 2, 1);
    QByteArray thumbnail; // ImgMini1
    int periodType = 0;
    int statType = 1;
    int valueType = 0;
    qint64 color = 255;
    bool setColor = false;
    bool allColor = false;
    bool incCount = true;
};

// The shared data module over a copy of the full schema in a data folder of its own
// ("Access/TILVO.MDB", "Images/", "Files/"), through the file or an ODBC data source, and the
// rows the tests need, written straight into the tables.
class TestDatabase
{
public:
    // Once per test case: the schema made by the shipped update script.
    void prepare() { m_copy.prepare(); }

    TDataModule1& open(bool odbc = false)
    {
        m_module.reset();
        m_copy.release();
        if (!m_copy.copyTo(QStringLiteral("Access/TILVO.MDB")))
            throw Error(QStringLiteral("cannot copy the schema database"));
        for (const char* sub : {"Images", "Files"})
            QDir().mkpath(m_copy.folder() + QLatin1String(sub));
        m_module = std::make_unique<TDataModule1>(config(odbc), m_prompts);
        if (!m_module->connectionOk())
            throw Error(m_prompts.texts().join(u'|'));
        return *m_module;
    }
    void release()
    {
        m_module.reset();
        m_copy.release();
    }

    TDataModule1& module() { return *m_module; }
    Connection& connection() { return m_module->ADOConnection1(); }
    QString folder() const { return m_copy.folder(); }
    QString file() const { return m_copy.file(); }
    QString dump() { return DumpTables(connection()); }
    QVariant scalar(const QString& select) { return Scalar(connection(), select); }

    qint64 addDossier(const QString& name, const QString& password = QString(),
                      const QString& owner = QString())
    {
        exec(QStringLiteral("INSERT INTO PROFILES (LoginName, LoginPassword, FullName) VALUES "
                            "(?, ?, ?)"),
             {name, password, owner});
        return lastId(QStringLiteral("PROFILES"), QStringLiteral("ID"));
    }

    qint64 addAccount(qint64 dossier, const AccountRow& a)
    {
        exec(QStringLiteral(
                 "INSERT INTO ACCOUNT (Id_File, Title, Description, Unit, Decimal, Count, "
                 "IncCount, CreateDate, ImgMini1, PeriodType, StatType, ValueType, Color, "
                 "SetColor, AllColor) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
             {dossier, a.title, a.description, a.unit, a.decimals, a.count, a.incCount ? 1 : 0,
              a.createDate.toString(QStringLiteral("yyyy-MM-dd")),
              a.thumbnail.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>())
                                    : QVariant(a.thumbnail),
              a.periodType, a.statType, a.valueType, a.color, a.setColor ? 1 : 0,
              a.allColor ? 1 : 0});
        return lastId(QStringLiteral("ACCOUNT"), QStringLiteral("Id"));
    }
    qint64 addAccount(qint64 dossier, const QString& title, const QString& description = {})
    {
        AccountRow row;
        row.title = title;
        row.description = description;
        return addAccount(dossier, row);
    }

    qint64 addEntry(qint64 dossier, qint64 account, const QDate& date, double quantity,
                    double price, const QString& comment = QString())
    {
        exec(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, "
                            "Price, Description) VALUES (?, ?, ?, ?, ?, ?)"),
             {dossier, account, date.toString(QStringLiteral("yyyy-MM-dd")), quantity, price,
              comment});
        return lastId(QStringLiteral("CONSUMPTION"), QStringLiteral("Id"));
    }

    // How the data module reaches the copy: its file, or an ODBC data source over it.
    DatabaseConfig config(bool odbc = false) const
    {
        DatabaseConfig c;
        c.DatabasePath = m_copy.folder();
        c.DatabaseFolder = c.DatabasePath;
        c.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
        c.OdbcPath = c.OleDbFileName;
        c.Provider = odbc ? QStringLiteral("ODBC") : QStringLiteral("OLEDB");
        c.ActiveDatabaseFile = c.OleDbFileName;
        if (odbc)
            c.OdbcName = OdbcSandbox::instance().registerFile(c.databaseFile());
        return c;
    }

    // Runs a statement on the engine as it stands.
    void exec(const QString& statement, const QVariantList& values = {})
    {
        QSqlQuery q(connection().database());
        q.prepare(statement);
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec())
            throw Error(q.lastError().text() + QStringLiteral(" in ") + statement);
        q.finish();
        connection().invalidateSchema();
    }

private:
    qint64 lastId(const QString& table, const QString& key)
    {
        return Scalar(connection(), QStringLiteral("SELECT max(%1) FROM %2").arg(key, table))
            .toLongLong();
    }

    SchemaCopy m_copy;
    ScriptedPrompts m_prompts;
    std::unique_ptr<TDataModule1> m_module;
};

} // namespace tilvo::test
