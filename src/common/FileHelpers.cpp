// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FileHelpers.h"

#include "common/Error.h"
#include "common/LetWindowsRepaint.h"
#include "common/SqlText.h"
#include "common/Windows1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#ifndef TILVO_INSTALL_PREFIX
#define TILVO_INSTALL_PREFIX "/usr/local"
#endif

namespace tilvo {

QString WithTrailingBackslash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString ToSlashes(const QString& path)
{
    QString result = path;
    result.replace(u'\\', u'/');
    return result;
}

QString ExecutablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString SpecialFolder(SpecialFolderKind kind)
{
    QString path;
    switch (kind) {
    case SpecialFolderKind::Documents:
        path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (path.isEmpty())
            path = QDir::homePath() + QStringLiteral("/Documents");
        QDir().mkpath(path);
        break;
    case SpecialFolderKind::Programs:
        path = QStringLiteral(TILVO_INSTALL_PREFIX);
        break;
    }
    return WithTrailingBackslash(path);
}

namespace {

bool MatchFrom(const QString& name, qsizetype n, const QString& mask, qsizetype m)
{
    // Greedy matching with back-tracking to the last "*": linear for ordinary masks.
    qsizetype starMask = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (m < mask.size() &&
            (mask.at(m) == u'?' || mask.at(m).toCaseFolded() == name.at(n).toCaseFolded())) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask.at(m) == u'*') {
            starMask = m++;
            starName = n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask.at(m) == u'*')
        ++m;
    return m == mask.size();
}

} // namespace

bool MatchesMask(const QString& name, const QString& mask)
{
    if (mask == QLatin1String("*.*") || mask == QLatin1String("*"))
        return true;
    return MatchFrom(name, 0, mask, 0);
}

QStringList ListFiles(const QString& folder, const QString& mask)
{
    QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
    QStringList names;
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name.startsWith(u'.') || !MatchesMask(name, mask))
            continue;
        names.append(name);
        LetWindowsRepaint();
    }
    // Names in byte order of their text, whatever the locale.
    std::sort(names.begin(), names.end());
    return names;
}

void CopyFilesByMask(const QString& sourceFolder, const QString& targetFolder, const QString& mask)
{
    const QString source = WithTrailingBackslash(sourceFolder);
    const QString target = WithTrailingBackslash(targetFolder);
    for (const QString& name : ListFiles(source, mask)) {
        // Copy beside the target first, so that a failed copy leaves the old file whole.
        const QString destination = target + name;
        const QString partial = destination + QStringLiteral(".part");
        QFile::remove(partial);
        if (!QFile::copy(source + name, partial))
            continue;
        if (std::rename(QFile::encodeName(partial).constData(),
                        QFile::encodeName(destination).constData()) != 0)
            QFile::remove(partial);
        LetWindowsRepaint();
    }
}

void DeleteFilesByMask(const QString& folder, const QString& mask)
{
    const QString base = WithTrailingBackslash(folder);
    for (const QString& name : ListFiles(base, mask))
        QFile::remove(base + name);
}

bool SyncToDisk(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

namespace {

[[noreturn]] void ThrowMoveError(const QString& source, const QString& target,
                                 const QString& reason)
{
    throw Error(QStringLiteral("Impossible de déplacer le fichier %1 vers %2 : %3")
                    .arg(source, target, reason));
}

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The copy of MoveFileReplacing across file systems, into `partial`, flushed to the disk.
void CopyFlushed(const QString& source, const QString& partial, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        ThrowMoveError(source, target, in.errorString());
    QFile out(partial);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ThrowMoveError(source, target, out.errorString());
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    QString failure;
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0) {
            failure = in.errorString();
            break;
        }
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n) {
            failure = out.errorString();
            break;
        }
    }
    if (failure.isEmpty() && !out.flush())
        failure = out.errorString();
    if (failure.isEmpty() && ::fsync(out.handle()) != 0)
        failure = SystemReason(errno);
    out.close();
    if (!failure.isEmpty()) {
        QFile::remove(partial);
        ThrowMoveError(source, target, failure);
    }
}

} // namespace

void MoveFileReplacing(const QString& source, const QString& target)
{
    const QByteArray to = QFile::encodeName(target);
    if (std::rename(QFile::encodeName(source).constData(), to.constData()) == 0)
        return;
    if (errno != EXDEV)
        ThrowMoveError(source, target, SystemReason(errno));

    // Another file system: a whole copy first, under a name of its own.
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    CopyFlushed(source, partial, target);
    if (std::rename(QFile::encodeName(partial).constData(), to.constData()) != 0) {
        const int error = errno;
        QFile::remove(partial);
        ThrowMoveError(source, target, SystemReason(error));
    }
    QFile::remove(source);
}

bool WriteTextFile(const QString& path, const QString& text, TextEncoding encoding)
{
    const QString joined = JoinLines(SplitLines(text));
    return WriteFileAtomically(path, encoding == TextEncoding::Utf8 ? joined.toUtf8()
                                                                    : EncodeWindows1252(joined));
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QString> ReadTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return DecodeText(file.readAll());
}

qint64 FileSizeOf(const QString& path)
{
    const QFileInfo info(path);
    const QString mask = info.fileName();
    if (!mask.contains(u'*') && !mask.contains(u'?'))
        return info.isFile() ? info.size() : 0;
    const QStringList names = ListFiles(info.path(), mask);
    if (names.isEmpty())
        return 0;
    return QFileInfo(info.path() + u'/' + names.first()).size();
}

} // namespace tilvo
