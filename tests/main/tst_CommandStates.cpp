// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "main/CommandStates.h"
#include "main/MainFormData.h"

#include <QTest>

using namespace tilvo;

Q_DECLARE_METATYPE(tilvo::CommandState)

namespace {

// A database whose reads can be made to fail, counting the reads it answers.
struct FailingData final : MainFormData
{
    bool failProfiles = false;
    bool failConsumption = false;
    bool profiles = true;
    bool consumptionEmpty = false;
    QStringList reads;
    bool ProfilesHasRow() override
    {
        reads << "profiles";
        if (failProfiles)
            throw Error("no such table: PROFILES");
        return profiles;
    }
    bool ConsumptionEmpty() override
    {
        reads << "consumption";
        if (failConsumption)
            throw Error("no such table: CONSUMPTION");
        return consumptionEmpty;
    }
    int FirstDossierToOpen() override { return -1; }
};

QString Flags(const CommandEnables& e)
{
    const QStringList values = {
        QString::number(e.publishMenus),
        e.publishEntries ? QString::number(*e.publishEntries) : QStringLiteral("-1"),
        QString::number(e.fileOpen),
        QString::number(e.fileAdd),
        QString::number(e.fileCloseEditDelete),
        QString::number(e.accountListAndAdd),
        QString::number(e.accountEditDelete),
        QString::number(e.consumptionGrid),
        QString::number(e.consumptionAdd),
        QString::number(e.consumptionEditDelete),
        QString::number(e.statistics),
    };
    return values.join(' ');
}

} // namespace

class TestCommandStates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decide_data();
    void decide();
    void enables_data();
    void enables();
    void decideFromTheDatabase_data();
    void decideFromTheDatabase();
};

void TestCommandStates::decide_data()
{
    QTest::addColumn<int>("dossier");
    QTest::addColumn<int>("account");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<CommandState>("state");
    QTest::newRow("no dossier") << -1 << 4 << false << CommandState::S0;
    QTest::newRow("dossier, no account") << 1 << -1 << false << CommandState::S1;
    QTest::newRow("account without entries") << 1 << 4 << true << CommandState::S2;
    QTest::newRow("account with entries") << 1 << 4 << false << CommandState::S3;
    QTest::newRow("dossier id 0 is a dossier") << 0 << 0 << false << CommandState::S3;
}

void TestCommandStates::decide()
{
    QFETCH(int, dossier);
    QFETCH(int, account);
    QFETCH(bool, empty);
    QFETCH(CommandState, state);
    QCOMPARE(DecideCommandState(dossier, account, empty), state);
}

void TestCommandStates::enables_data()
{
    // Columns in the order of the enabling table; publishEntries: -1 unchanged, 0 off, 1 on.
    QTest::addColumn<CommandState>("state");
    QTest::addColumn<bool>("profiles");
    QTest::addColumn<QString>("expected");
    QTest::newRow("S0 without dossiers") << CommandState::S0 << false << "0 -1 0 1 0 0 0 0 0 0 0";
    QTest::newRow("S0 with dossiers") << CommandState::S0 << true << "0 -1 1 1 0 0 0 0 0 0 0";
    QTest::newRow("S1") << CommandState::S1 << true << "1 0 0 0 1 1 0 1 0 0 0";
    QTest::newRow("S2") << CommandState::S2 << true << "1 0 0 0 1 1 1 1 1 0 0";
    QTest::newRow("S3") << CommandState::S3 << false << "1 1 0 0 1 1 1 1 1 1 1";
}

void TestCommandStates::enables()
{
    QFETCH(CommandState, state);
    QFETCH(bool, profiles);
    QFETCH(QString, expected);
    QCOMPARE(Flags(EnablesFor(state, profiles)), expected);
}

void TestCommandStates::decideFromTheDatabase_data()
{
    QTest::addColumn<int>("dossier");
    QTest::addColumn<int>("account");
    QTest::addColumn<bool>("failProfiles");
    QTest::addColumn<bool>("failConsumption");
    QTest::addColumn<CommandState>("state");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("reads");
    QTest::addColumn<QString>("failure");
    QTest::newRow("no dossier, dossiers readable")
        << -1 << -1 << false << false << CommandState::S0 << "0 -1 1 1 0 0 0 0 0 0 0"
        << "profiles"
        << "";
    // Nothing that needs a dossier may come on because the dossier table cannot be read.
    QTest::newRow("no dossier, dossier table unreadable")
        << -1 << -1 << true << false << CommandState::S0 << "0 -1 0 1 0 0 0 0 0 0 0"
        << "profiles"
        << "no such table: PROFILES";
    QTest::newRow("dossier without account reads nothing")
        << 2 << -1 << true << true << CommandState::S1 << "1 0 0 0 1 1 0 1 0 0 0"
        << ""
        << "";
    QTest::newRow("account, entries readable")
        << 2 << 7 << true << false << CommandState::S3 << "1 1 0 0 1 1 1 1 1 1 1"
        << "consumption"
        << "";
    // Entries that cannot be read are neither edited, deleted nor drawn.
    QTest::newRow("account, entries unreadable")
        << 2 << 7 << false << true << CommandState::S2 << "1 0 0 0 1 1 1 1 1 0 0"
        << "consumption"
        << "no such table: CONSUMPTION";
}

void TestCommandStates::decideFromTheDatabase()
{
    QFETCH(int, dossier);
    QFETCH(int, account);
    QFETCH(bool, failProfiles);
    QFETCH(bool, failConsumption);
    QFETCH(CommandState, state);
    QFETCH(QString, expected);
    QFETCH(QString, reads);
    QFETCH(QString, failure);
    FailingData data;
    data.failProfiles = failProfiles;
    data.failConsumption = failConsumption;
    const CommandDecision decision = DecideCommands(dossier, account, data);
    QCOMPARE(decision.state, state);
    QCOMPARE(Flags(decision.enables), expected);
    QCOMPARE(data.reads.join(' '), reads);
    QCOMPARE(decision.failure ? decision.failure->text() : QString(), failure);
}

QTEST_APPLESS_MAIN(TestCommandStates)
#include "tst_CommandStates.moc"
