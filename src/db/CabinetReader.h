// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

namespace tilvo {

struct CabinetEntry
{
    QString name; // as stored, with any folder part
    qint64 size = 0;
};

// Reads a Microsoft Cabinet file (libgcab; MSZIP, stored or other compressions libgcab reads).
// Every data block's checksum is verified while extracting, so damaged data is refused rather
// than written out.
class CabinetReader
{
public:
    // Opens and reads the cabinet's directory. Throws Error with a French text when the file
    // is missing, unreadable, empty or no cabinet.
    explicit CabinetReader(const QString& path);
    ~CabinetReader();
    CabinetReader(const CabinetReader&) = delete;
    CabinetReader& operator=(const CabinetReader&) = delete;

    // The entries in archive order.
    const QList<CabinetEntry>& entries() const;

    // Called before each entry is extracted, with its place (from 0) and its name as stored.
    using Progress = std::function<void(int index, const QString& name)>;
    // Extracts every entry flat into `folder`, under ExtractionName(its name); an entry with
    // no such name is passed over, and a later entry replaces an earlier one of the same name.
    // Nothing is written outside `folder`. Throws Error with a French text when the archive is
    // damaged (a checksum, a size or the compressed data is wrong) or a file cannot be
    // written; what was extracted is then the caller's to delete.
    void extractAll(const QString& folder, const Progress& progress = Progress());

    // The name an entry is written under: the last part of its name after any "/" or "\";
    // empty (the entry is not written) for "", "." and "..".
    static QString ExtractionName(const QString& entryName);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tilvo
