// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

namespace tilvo {

// Writes a standard Microsoft Cabinet file (libgcab): one cabinet, no continuation, no
// reserved areas; every entry compressed with MSZIP and stored under the name it was added
// with, in the order it was added. Entries go into cabinet folders of at most folderLimit()
// bytes of uncompressed data each, since the format counts a folder's blocks in 16 bits
// (2 GiB at most).
class CabinetWriter
{
public:
    CabinetWriter();
    ~CabinetWriter();
    CabinetWriter(const CabinetWriter&) = delete;
    CabinetWriter& operator=(const CabinetWriter&) = delete;

    // Adds the file at `path` under `name` (read when the cabinet is written). Throws Error
    // when it cannot be read, or when the cabinet could not hold it (a file of 2 GiB or more,
    // or more than 4 GiB in all).
    void addFile(const QString& name, const QString& path);
    int count() const;

    void setFolderLimit(qint64 bytes);
    qint64 folderLimit() const;

    // Called before each entry is compressed, with its place (from 0) and its name.
    using Progress = std::function<void(int index, const QString& name)>;
    // Writes the cabinet to `path`, replacing a file there. Throws Error with a French text
    // when a file cannot be read or the cabinet cannot be written (a full disk); what was
    // written of it is then the caller's to delete.
    void write(const QString& path, const Progress& progress = Progress());

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tilvo
