// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// The values the start-up fixes for the whole run. Folders end with "/".
struct Environment
{
    QString ProgramFolder;  // the working directory at start: the shipped files
    QString DataFolder;     // the user's files
    QString ReportsFolder;  // ProgramFolder + "Reports/"
    QString HelpFile;       // ProgramFolder + "doc.html"
    QString UpdateFileName; // "BD_183.maj" for version 1.83
    QString ExecutablePath; // the running executable, for the names derived from it
    bool IsVistaOrLater = true;
    bool ChromeStyle = true; // standard window frames instead of the drawn title bars
    bool StartupOk = true;
};

// Fills the folders and names from the working directory and the executable's path.
Environment MakeEnvironment(const QString& workingDirectory, const QString& executablePath,
                            bool isVistaOrLater);

// "BD_" + the 1st, 3rd and 4th characters of the version + ".maj".
QString UpdateFileNameFor(const QString& version);
// The executable's file name, lower-cased, with ".exe" replaced by the extension
// (appended when the name has no ".exe"): "tilvo" gives "tilvo.ini".
QString ExecutableDerivedName(const QString& executablePath, const QString& extension);
QString SettingsFileName(const QString& executablePath);

} // namespace tilvo
