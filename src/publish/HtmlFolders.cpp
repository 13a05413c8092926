// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/HtmlFolders.h"

#include "common/Error.h"
#include "common/FileHelpers.h"

#include <QDir>
#include <QFile>

namespace tilvo {

QString HtmlTempFolder(const QString& dataFolder)
{
    return WithTrailingBackslash(dataFolder) + QStringLiteral("Html/Temp/");
}

void EnsureHtmlFolders(const QString& dataFolder)
{
    const QString base = WithTrailingBackslash(dataFolder);
    for (const QString& folder :
         {base + QStringLiteral("Html"), base + QStringLiteral("Html/Temp")}) {
        if (!QDir().mkpath(folder))
            throw Error(QStringLiteral("Impossible de créer le dossier \"%1\".").arg(folder));
    }
}

void ClearHtmlFolder(const QString& folder)
{
    const QString base = WithTrailingBackslash(folder);
    for (const char* mask : {"*.jpg", "*.bmp", "*.htm"}) {
        for (const QString& name : ListFiles(base, QLatin1String(mask)))
            QFile::remove(base + name);
    }
}

} // namespace tilvo
