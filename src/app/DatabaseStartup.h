// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/StartupDatabase.h"
#include "db/UpdateScript.h"
#include "env/DatabaseConfig.h"
#include "env/Environment.h"

#include <memory>

namespace tilvo {

class Clock;
class ImageScriptPictures;
class TDataModule1;

// The start-up's database steps over the real database layer.
class DatabaseStartup final : public StartupDatabase
{
public:
    // `display` shows the update scripts' gauge and backup question; null runs them without.
    DatabaseStartup(const Clock& clock, UpdateDisplay* display);
    ~DatabaseStartup() override;

    void readConfig(const Environment& env) override;
    FirstRunTarget firstRunTarget() const override;
    bool engineAvailable(Prompts& prompts) override;
    bool createDataModules(Prompts& prompts) override;
    bool databaseFilePresent() const override;
    QString getVersion() override;
    void setVersion(const QString& version) override;
    double versionNumber(const QString& version) const override;
    void runUpdateScript(const QString& folder, const QString& fileName, SplashDisplay& progress,
                         bool interactive) override;
    void updateProgramFolderDatabase(SplashDisplay& progress) override;
    TDataModule1& dataModule() override;
    // The data module once created (null before, or when its creation failed).
    TDataModule1* createdDataModule() const { return m_module.get(); }

    const DatabaseConfig& config() const { return m_config; }
    // What the update scripts run with: the folders and versions of the start-up, the clock,
    // the given gauge window and the picture coder. Valid once readConfig has run.
    UpdateEnvironment updateEnvironment(UpdateDisplay* display) const;

private:
    // A Jet database of the earlier platform under the live name (an old data folder copied
    // over) is converted after a question, the original kept as "TILVO.MDB.jet". False when
    // the conversion failed (its text has been shown; nothing was changed). The file of a
    // conversion cut short is removed first.
    bool convertEarlierDatabase(Prompts& prompts);

    const Clock& m_clock;
    UpdateDisplay* m_display;
    Environment m_env; // the folders and names, as readConfig was given them
    DatabaseConfig m_config;
    std::unique_ptr<ImageScriptPictures> m_pictures;
    std::unique_ptr<TDataModule1> m_module;
};

} // namespace tilvo
