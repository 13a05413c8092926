// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

namespace tilvo {

// Writes a standard Microsoft Cabinet file (libgcab): one cabinet, no continuation, no
// reserved areas, one cabinet folder (libgcab writes no more); every entry compressed with
// MSZIP and stored under the name it was added with, in the order it was added. A folder
// counts its data blocks of 32 KiB in 16 bits, so the entries hold at most contentLimit()
// bytes in all (2 GiB).
class CabinetWriter
{
public:
    CabinetWriter();
    ~CabinetWriter();
    CabinetWriter(const CabinetWriter&) = delete;
    CabinetWriter& operator=(const CabinetWriter&) = delete;

    // Adds the file at `path` under `name` (read when the cabinet is written). Throws Error
    // when it cannot be read, or when the entries would go beyond contentLimit().
    void addFile(const QString& name, const QString& path);
    int count() const;

    static constexpr qint64 kContentLimit = qint64(65535) * 32768;
    void setContentLimit(qint64 bytes);
    qint64 contentLimit() const;

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
