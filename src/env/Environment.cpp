// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/Environment.h"

#include "common/FileHelpers.h"
#include "common/ProgramInfo.h"

#include <QFileInfo>

namespace tilvo {

Environment MakeEnvironment(const QString& workingDirectory, const QString& executablePath,
                            bool isVistaOrLater)
{
    Environment env;
    env.ProgramFolder = WithTrailingBackslash(workingDirectory);
    env.DataFolder = env.ProgramFolder;
    env.ReportsFolder = env.ProgramFolder + QStringLiteral("Reports/");
    env.HelpFile = env.ProgramFolder + QStringLiteral("doc.html");
    env.UpdateFileName = UpdateFileNameFor(QString::fromLatin1(ProgramVersion));
    env.ExecutablePath = executablePath;
    env.IsVistaOrLater = isVistaOrLater;
    env.ChromeStyle = isVistaOrLater;
    return env;
}

QString UpdateFileNameFor(const QString& version)
{
    QString digits;
    for (const int i : {0, 2, 3}) {
        if (i < version.size())
            digits += version.at(i);
    }
    return QStringLiteral("BD_") + digits + QStringLiteral(".maj");
}

QString ExecutableDerivedName(const QString& executablePath, const QString& extension)
{
    QString name = QFileInfo(executablePath).fileName().toLower();
    if (name.endsWith(QLatin1String(".exe")))
        name.chop(4);
    return name + extension;
}

QString SettingsFileName(const QString& executablePath)
{
    return ExecutableDerivedName(executablePath, QStringLiteral(".ini"));
}

} // namespace tilvo
