// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/DataFolders.h"

#include "common/FileHelpers.h"
#include "common/IniFile.h"
#include "common/LetWindowsRepaint.h"
#include "common/ProgramInfo.h"
#include "common/Prompts.h"
#include "common/TextHelpers.h"
#include "common/WaitDisplay.h"
#include "env/Environment.h"
#include "env/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tilvo {

namespace {

QString WarningText(const QString& contentLine)
{
    return QStringList{
        QStringLiteral("ATTENTION : NE SUPPRIMEZ PAS CE REPERTOIRE "),
        QString(),
        contentLine,
        QStringLiteral("Contact : ") + QString::fromLatin1(MakerEmail),
        QStringLiteral("Site web : ") + QString::fromLatin1(MakerWebSite),
    }
        .join(u'\r');
}

// Creates one level of folder; when it was created, writes the warning file into it.
void CreateWithWarning(const QString& folder, const QString& warning)
{
    if (QFileInfo(folder).isDir())
        return;
    if (QDir().mkdir(folder))
        WriteTextFile(folder + QStringLiteral("Avertissement.txt"), warning);
}

// A copy that never leaves a half-written file under the target's name.
bool CopyFileAtomically(const QString& source, const QString& target)
{
    QFile file(source);
    return file.open(QIODevice::ReadOnly) && WriteFileAtomically(target, file.readAll());
}

// An interrupted compaction left the database under its moved-aside name only.
bool PutBackMovedAside(const FirstRunTarget& target, const QString& live, Prompts& prompts)
{
    const QString& moved = target.movedAsideFile;
    const QString found =
        QStringLiteral("La base de données %1 est absente, mais le fichier %2, laissé par un "
                       "compactage interrompu, a été trouvé.")
            .arg(live, moved);
    const QString problem = target.checkDatabase ? target.checkDatabase(moved)
                                                 : QStringLiteral("il n'a pas pu être vérifié");
    if (!problem.isEmpty()) {
        prompts.showMessage(QStringLiteral("EXECUTION IMPOSSIBLE !!\r\r") + found +
                                QStringLiteral("\rIl ne peut pas reprendre la place de la base de "
                                               "données : ") +
                                problem +
                                QStringLiteral("\rRien n'a été modifié. Restaurez une sauvegarde "
                                               "de la base de données."),
                            Prompts::Icon::Warning);
        return false;
    }
    if (!QFile::rename(moved, live)) {
        prompts.showMessage(QStringLiteral("EXECUTION IMPOSSIBLE !!\r\r") + found +
                                QStringLiteral("\rIl est intact mais n'a pas pu être renommé : "
                                               "renommez-le en %1, puis relancez le logiciel.")
                                    .arg(live),
                            Prompts::Icon::Warning);
        return false;
    }
    prompts.showMessage(found + QStringLiteral("\rIl a été vérifié et a repris sa place : vos "
                                               "données sont conservées."),
                        Prompts::Icon::Information);
    return true;
}

void CreateDataSubFolders(const QString& dataFolder)
{
    for (const char* sub :
         {"Export", "Html", "Backup", "Data", "Data/Access", "Data/Images", "Data/Files"}) {
        QDir().mkdir(dataFolder + QLatin1String(sub));
    }
}

} // namespace

QString BaseFolderWarning()
{
    return WarningText(
        QStringLiteral("Ce répertoire contient les données des logiciels édités par ") +
        QString::fromLatin1(MakerName));
}

QString DataFolderWarning()
{
    return WarningText(QStringLiteral("Ce répertoire contient les données du logiciels ") +
                       QString::fromUtf8(ProgramTitle) + QStringLiteral(" édités par ") +
                       QString::fromLatin1(MakerName));
}

void PrepareDataFolder(Environment& env, const Platform& platform)
{
    const IniFile directories(env.ProgramFolder + QStringLiteral("directories.ini"));
    const QString appDataDir =
        ToSlashes(directories.readString(QStringLiteral("Path"), QStringLiteral("AppDataDir")));

    const bool developmentMode = QFileInfo::exists(
        env.ProgramFolder + ExecutableDerivedName(env.ExecutablePath, QStringLiteral(".dpr")));
    const bool portable = platform.isOnRemovableDrive(env.ProgramFolder) &&
                          !env.ProgramFolder.contains(platform.programsFolder());

    if (appDataDir == QLatin1String("appexe") || developmentMode || portable) {
        env.DataFolder = env.ProgramFolder;
    } else {
        // A base folder written without its final separator still means that folder.
        QString base = appDataDir.isEmpty() ? platform.documentsFolder() +
                                                  QStringLiteral("Vantrel Software Development/")
                                            : WithTrailingBackslash(appDataDir);
        CreateWithWarning(base, BaseFolderWarning());
        env.DataFolder = base + FoldAccents(QString::fromUtf8(ProgramTitle)) + u'/';
        CreateWithWarning(env.DataFolder, DataFolderWarning());
    }

    CreateDataSubFolders(env.DataFolder);
}

void UseDataFolder(Environment& env, const QString& folder)
{
    env.DataFolder = WithTrailingBackslash(QFileInfo(ToSlashes(folder)).absoluteFilePath());
    if (!QFileInfo(env.DataFolder).isDir() && QDir().mkpath(env.DataFolder))
        WriteTextFile(env.DataFolder + QStringLiteral("Avertissement.txt"), DataFolderWarning());
    CreateDataSubFolders(env.DataFolder);
}

void FetchMissingFile(const Environment& env, const QString& name)
{
    const QString target = env.DataFolder + name;
    if (QFileInfo::exists(target))
        return;
    for (const QString& folder :
         {env.ProgramFolder, env.ProgramFolder + QStringLiteral("Ressources/DB/"),
          env.ProgramFolder + QStringLiteral("Maj/")}) {
        if (QFileInfo(folder + name).isFile()) {
            QFile::copy(folder + name, target);
            return;
        }
    }
}

bool TransferOnFirstRun(const Environment& env, const FirstRunTarget& target,
                        const QString& settingsFileName, Prompts& prompts, WaitDisplay& wait)
{
    bool found = true;
    const QString databaseFolder = WithTrailingBackslash(ToSlashes(target.databaseFolder));
    const QString activeFile = ToSlashes(target.activeDatabaseFile);
    const QString oleDbFile = ToSlashes(target.oleDbFileName);

    const QString live = databaseFolder + activeFile;
    if (!activeFile.isEmpty() && !QFileInfo(live).isFile() && !target.movedAsideFile.isEmpty() &&
        QFileInfo(target.movedAsideFile).isFile()) {
        found = PutBackMovedAside(target, live, prompts);
    } else if (!QFileInfo(live).isFile()) {
        QDir().mkdir(databaseFolder);
        for (const char* sub : {"Access", "Images", "Files"})
            QDir().mkdir(databaseFolder + QLatin1String(sub));

        const QString olderData = env.ProgramFolder + QStringLiteral("Data/");
        const bool fromOlder = !activeFile.isEmpty() &&
                               QFileInfo(olderData + activeFile).isFile() &&
                               (QFileInfo::exists(env.ProgramFolder + QStringLiteral("dsn.ini")) ||
                                QFileInfo::exists(env.ProgramFolder + QStringLiteral("db.ini")));
        const QString source =
            fromOlder ? olderData : env.ProgramFolder + QStringLiteral("Ressources/DB/Data/");

        if (activeFile.isEmpty() || !QFileInfo(source + activeFile).isFile()) {
            prompts.showMessage(
                QStringLiteral("EXECUTION IMPOSSIBLE !!\r\rCertains composants nécessaires au bon "
                               "fonctionnement de cette application sont introuvables.\rEffectuez "
                               "une nouvelle installation de l'application afin de résoudre ce "
                               "problème."),
                Prompts::Icon::Warning);
            found = false;
        } else {
            wait.open(QStringLiteral("TRANSFERT DES DONNEES"),
                      QStringLiteral("Quelques instants, SVP ..."), 3, fromOlder);
            wait.setMessage(QStringLiteral("Copie de la base de données"));
            wait.advance();
            // A failed copy is not reported here: the write check that follows reports an
            // unwritable data folder, and a missing database is opened by nobody.
            const QString copied = databaseFolder + oleDbFile;
            if (!QFileInfo::exists(copied))
                CopyFileAtomically(source + activeFile, copied);
            LetWindowsRepaint();
            wait.setMessage(QStringLiteral("Copie des images"));
            wait.advance();
            CopyFilesByMask(source + QStringLiteral("Images/"),
                            databaseFolder + QStringLiteral("Images/"), QStringLiteral("*.jpg"));
            LetWindowsRepaint();
            wait.setMessage(QStringLiteral("Copie des fichiers"));
            wait.advance();
            CopyFilesByMask(source + QStringLiteral("Files/"),
                            databaseFolder + QStringLiteral("Files/"), QStringLiteral("*.f"));
            wait.close();
            if (fromOlder) {
                prompts.showMessage(
                    QStringLiteral("IMPORTANT !!\r\rLa base de données a été transférée dans le "
                                   "réperoire :\r") +
                        databaseFolder + QStringLiteral("\r\rNE SUPPRIMEZ PAS CE REPERTOIRE"),
                    Prompts::Icon::Warning);
            }
        }
    }

    FetchMissingFile(env, QStringLiteral("SortList.def"));
    FetchMissingFile(env, settingsFileName);
    return found;
}

} // namespace tilvo
