// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/CommandStates.h"

#include <QTest>

using namespace tilvo;

Q_DECLARE_METATYPE(tilvo::CommandState)

class TestCommandStates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decide_data();
    void decide();
    void enables_data();
    void enables();
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
    const CommandEnables e = EnablesFor(state, profiles);
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
    QCOMPARE(values.join(' '), expected);
}

QTEST_APPLESS_MAIN(TestCommandStates)
#include "tst_CommandStates.moc"
