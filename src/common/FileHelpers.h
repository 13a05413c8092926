// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tilvo {

// Folder texts end with "/". Values read from files written on other systems may hold "\";
// they pass through ToSlashes before being used as paths.
QString WithTrailingBackslash(const QString& folder);
QString ToSlashes(const QString& path);

// The full path of the running executable.
QString ExecutablePath();

enum class SpecialFolderKind
{
    Documents,
    Programs
};
// The folder's path with a final "/". The documents folder is created when a new user
// account has none yet.
QString SpecialFolder(SpecialFolderKind kind);

// Whether a file name matches a mask of "*" and "?", case-insensitively;
// "*.*" matches every name, with or without an extension.
bool MatchesMask(const QString& name, const QString& mask);

// The names (without folder) of the plain, non-hidden files of the folder that match the mask,
// sorted by name so that every file system gives the same order.
QStringList ListFiles(const QString& folder, const QString& mask);
// Copies each file ListFiles gives into the target folder, replacing files there;
// a copy that fails is passed over.
void CopyFilesByMask(const QString& sourceFolder, const QString& targetFolder, const QString& mask);
// Deletes each file ListFiles gives for the folder and the mask; a deletion that fails is
// passed over.
void DeleteFilesByMask(const QString& folder, const QString& mask);

// Flushes a file's content, or a folder's list of names, to the disk, so that what was
// written survives a power cut. False when it cannot.
bool SyncToDisk(const QString& path);
// Moves a file to `target`, replacing a file there in one step: a rename when both lie on the
// same file system, otherwise a copy beside the target (target + ".part") flushed to the disk
// and renamed over it, the source removed last. At no moment does the target name hold a part
// of the file. The folder's new entry is the caller's to flush (SyncToDisk), once for many
// moves. Throws Error (a French text with the system's reason) when the file cannot be moved;
// the target is then as it was and the source is kept.
void MoveFileReplacing(const QString& source, const QString& target);

enum class TextEncoding
{
    Windows1252,
    Utf8
};
// Writes the text's lines with CR LF ends, replacing the file; false when it cannot.
bool WriteTextFile(const QString& path, const QString& text,
                   TextEncoding encoding = TextEncoding::Windows1252);
// Replaces the file in one step: a failed write leaves the old file as it was.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);
// The whole file as text (UTF-8 or Windows-1252, see DecodeText); nothing when unreadable.
std::optional<QString> ReadTextFile(const QString& path);
// The size of the first file matching the path (whose name may hold a mask), 0 when none.
qint64 FileSizeOf(const QString& path);

} // namespace tilvo
