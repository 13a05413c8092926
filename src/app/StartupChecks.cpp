// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartupChecks.h"

#include "common/FileHelpers.h"
#include "common/Prompts.h"
#include "common/TextHelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>

namespace tilvo {

bool CheckWriteAccess(const QString& caption, const QString& probePath, Prompts& prompts)
{
    const bool written = WriteTextFile(probePath, QStringLiteral("admin"));
    if (!written) {
        const QString folder = WithTrailingBackslash(QFileInfo(probePath).path());
        prompts.showMessage(
            caption.toUpper() +
                QStringLiteral(" : EXECUTION IMPOSSIBLE\r\rPour utiliser ce logiciel vous devez "
                               ":\r\r  - Soit avoir un compte administrateur\r  - Soit avoir des "
                               "droits en écriture sur le répertoire : ") +
                folder + QStringLiteral("\r\r"),
            Prompts::Icon::Error);
    }
    if (QFileInfo::exists(probePath))
        QFile::remove(probePath);
    return written;
}

bool DataAccessComponentsPresent(const QString& versionText)
{
    const QString text = versionText.left(4);
    if (!IsNumberText(text))
        return false;
    const QLocale locale;
    const QString point = locale.decimalPoint();
    bool ok = false;
    const double version =
        locale.toDouble(ToLocaleDecimal(text, point.isEmpty() ? QChar(u'.') : point.at(0)), &ok);
    return ok && version >= 2.5;
}

SingleInstanceGuard::SingleInstanceGuard(const QString& folder, const QString& name)
    : m_lock(std::make_unique<QLockFile>(WithTrailingBackslash(folder) + name +
                                         QStringLiteral(".lock")))
{
    m_lock->setStaleLockTime(0);
    m_acquired = m_lock->tryLock(0);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

} // namespace tilvo
