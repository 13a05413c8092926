// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DatabaseStartup.h"

#include "app/SplashDisplay.h"
#include "common/Error.h"
#include "common/ProgramInfo.h"
#include "common/Prompts.h"
#include "common/TextCatalogue.h"
#include "db/Compaction.h"
#include "db/Connection.h"
#include "db/JetConverter.h"
#include "db/TDataModule1.h"
#include "db/UpdateScript.h"
#include "db/VersionRecord.h"
#include "env/ConnectionConfig.h"
#include "env/DataFolders.h"
#include "env/Environment.h"
#include "images/ImageScriptPictures.h"

#include <QFile>

namespace tilvo {

namespace {

const QString kVersionTable = QStringLiteral("OBJECT_VAL_STR");
const QString kVersionColumn = QStringLiteral("VALUE");

} // namespace

DatabaseStartup::DatabaseStartup(const Clock& clock, UpdateDisplay* display)
    : m_clock(clock), m_display(display), m_pictures(std::make_unique<ImageScriptPictures>())
{}

DatabaseStartup::~DatabaseStartup() = default;

void DatabaseStartup::readConfig(const Environment& env)
{
    m_env = env;
    m_config = ReadDatabaseConfig(env.DataFolder, env.DataFolder, QStringLiteral("Data/"),
                                  QStringLiteral("Access/"), QStringLiteral("TILVO.MDB"),
                                  QString::fromLatin1(InstanceName),
                                  [&env](const QString& name) { FetchMissingFile(env, name); });
}

FirstRunTarget DatabaseStartup::firstRunTarget() const
{
    FirstRunTarget target{m_config.DatabaseFolder, m_config.ActiveDatabaseFile,
                          m_config.OleDbFileName};
    if (!m_config.ActiveDatabaseFile.isEmpty())
        target.movedAsideFile =
            MovedAsideName(m_config.DatabaseFolder + m_config.ActiveDatabaseFile);
    target.checkDatabase = [](const QString& path) {
        try {
            Connection connection;
            connection.setDatabaseFile(path, true);
            connection.setBusyTimeout(0);
            connection.open();
            connection.checkIntegrity();
        } catch (const Error& e) {
            return e.text();
        }
        return QString();
    };
    return target;
}

bool DatabaseStartup::engineAvailable(Prompts& prompts)
{
    return EngineAvailable(m_config, prompts);
}

bool DatabaseStartup::convertEarlierDatabase(Prompts& prompts)
{
    const QString live = m_config.databaseFile();
    // A conversion cut short left its file beside the database; it never holds the only copy
    // of anything.
    QFile::remove(ConversionFileName(live));
    if (!IsJetDatabaseFile(live))
        return true;
    const QString kept = UnusedName(live, QStringLiteral(".jet"));
    // Declined, the file is left as it is and the engine's refusal follows.
    if (!prompts.askYesNo(QStringLiteral("Le fichier %1 est une base de données de l'ancienne "
                                         "version de ce logiciel. Voulez-vous la convertir pour "
                                         "cette version ?\r\rLe fichier d'origine sera conservé "
                                         "sous le nom %2.")
                              .arg(live, kept),
                          Prompts::Icon::Question))
        return true;
    try {
        const JetConversionReport report =
            ImportJetDatabase(live, live, updateEnvironment(m_display), {}, kept);
        prompts.showMessage(QStringLiteral("La base de données de l'ancienne version a été "
                                           "convertie.\r") +
                                report.summary() +
                                QStringLiteral("\rLe fichier d'origine est conservé sous le nom "
                                               "%1.")
                                    .arg(kept),
                            Prompts::Icon::Information);
    } catch (const Error& e) {
        prompts.showMessage(e.text(), Prompts::Icon::Warning);
        return false;
    }
    return true;
}

bool DatabaseStartup::createDataModules(Prompts& prompts)
{
    if (!convertEarlierDatabase(prompts))
        return false;
    m_module = std::make_unique<TDataModule1>(m_config, prompts);
    return m_module->connectionOk();
}

bool DatabaseStartup::databaseFilePresent() const
{
    return DatabaseFilePresent(m_config);
}

QString DatabaseStartup::getVersion()
{
    return GetBDVersion(m_module->ADOConnection1(), kVersionTable, kVersionColumn);
}

void DatabaseStartup::setVersion(const QString& version)
{
    SetBDVersion(m_module->ADOConnection1(), kVersionTable, kVersionColumn, version);
}

double DatabaseStartup::versionNumber(const QString& version) const
{
    return VersionNumber(version);
}

UpdateEnvironment DatabaseStartup::updateEnvironment(UpdateDisplay* display) const
{
    UpdateEnvironment environment;
    environment.config = m_config;
    environment.DataFolder = m_env.DataFolder;
    environment.ProgramFolder = m_env.ProgramFolder;
    environment.ProgramVersion = QString::fromLatin1(ProgramVersion);
    environment.UpdateFileName = m_env.UpdateFileName;
    environment.clock = &m_clock;
    environment.display = display;
    environment.lookupText = LookupText;
    environment.pictures = m_pictures.get();
    return environment;
}

void DatabaseStartup::runUpdateScript(const QString& folder, const QString& fileName,
                                      SplashDisplay& progress, bool interactive)
{
    RunUpdateScript(
        m_module->ADOConnection1(), folder, fileName,
        [&progress](const QString& text) { progress.setInfo(text); }, interactive,
        updateEnvironment(m_display));
}

void DatabaseStartup::updateProgramFolderDatabase(SplashDisplay&)
{
    UpdateProgramFolderDatabase(updateEnvironment(m_display));
}

TDataModule1& DatabaseStartup::dataModule()
{
    if (!m_module)
        throw Error(QStringLiteral("La base de données n'est pas encore ouverte."));
    return *m_module;
}

} // namespace tilvo
