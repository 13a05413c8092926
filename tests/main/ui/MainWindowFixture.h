// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Clock.h"
#include "common/ui/Chrome.h"
#include "env/Environment.h"
#include "env/Settings.h"
#include "main/AccountEntry.h"
#include "main/MainTestData.h"
#include "main/ui/TMainForm.h"
#include "support/DialogDriving.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace tilvo::test {

// One main window over its own folders and database, with the program's French formats, a
// fixed clock and scripted prompts. The database is opened by the fixture and filled by the
// test before the window is made.
struct MainWindowFixture
{
    QTemporaryDir dir;
    Environment env = MakeEnvironment(dir.path(), QStringLiteral("/usr/bin/tilvo"), true);
    Settings settings;
    ScriptedPrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(14, 5, 9))};
    TestDatabase& db;
    TDataModule1& data;
    bool odbcDatabase = false;
    QList<AccountEntry> loaded; // what the statistics panel was handed
    int computed = 0;           // how often the statistic was recomputed
    std::unique_ptr<TMainForm> form;

    explicit MainWindowFixture(TestDatabase& database, bool odbc = false)
        : db(database), data(database.open(odbc)), odbcDatabase(odbc)
    {
        Chrome() = ChromeContext{};
        Chrome().standardChrome = false;
        env.DataFolder = env.ProgramFolder;
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    }
    ~MainWindowFixture()
    {
        Chrome().mainWindow = nullptr;
        form.reset();
        db.release();
    }
    MainWindowFixture(const MainWindowFixture&) = delete;
    MainWindowFixture& operator=(const MainWindowFixture&) = delete;

    TMainForm& make()
    {
        MainFormServices services{env,
                                  settings,
                                  env.DataFolder + QStringLiteral("tilvo.ini"),
                                  prompts,
                                  clock,
                                  data,
                                  [](const QUrl&) { return true; },
                                  {}};
        services.statistic.loadAccountStatistic = [this](const AccountEntry& e) { loaded << e; };
        services.statistic.computeStatistic = [this] { ++computed; };
        services.maintenance = maintenance();
        form = std::make_unique<TMainForm>(std::move(services));
        Chrome().mainWindow = form.get();
        return *form;
    }

    // The database menu's commands work on the test's database and data folder.
    UpdateEnvironment maintenance() const
    {
        UpdateEnvironment environment;
        environment.config = db.config(odbcDatabase);
        environment.DataFolder = env.DataFolder;
        environment.ProgramFolder = env.ProgramFolder;
        environment.ProgramVersion = QStringLiteral("1.83");
        environment.UpdateFileName = env.UpdateFileName;
        environment.clock = &clock;
        return environment;
    }

    TMainForm& shown()
    {
        TMainForm& w = make();
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qWarning("main window not exposed");
        return w;
    }
};

} // namespace tilvo::test
