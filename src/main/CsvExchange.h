// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/CsvFormat.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <vector>

namespace tilvo {

class DataSet;

// Exchanging entries with spreadsheets: the export of entries to a file a French spreadsheet
// opens as it is, and the import of such a file (or one a spreadsheet saved) into an account.
// Both stream: the memory they use does not grow with the file.

// Told how far an operation got (`done` of `total`, in the operation's own unit); returning
// false stops it, leaving nothing done.
using ExchangeProgress = std::function<bool(qint64 done, qint64 total)>;

// What to export.
struct ExportSelection
{
    int accountId = -1; // one account; -1 for every account of the dossier
    int dossierId = -1; // with accountId -1: the dossier, or every dossier when -1 too
    QDate from;         // when both are valid, only the entries of these days (inclusive)
    QDate to;
};

struct ExportResult
{
    qint64 entries = 0;
    bool cancelled = false;
};

// The header line of the exported files.
QString CsvExportHeader();

// Writes the selected entries, ordered by account (title, description) and date, to `path`:
// UTF-8 with a byte-order mark, ";" between fields, CR LF line ends, the header line, then one
// line per entry (Compte;Date;Quantité;Unité;Montant;Commentaire) with the decimal comma and
// dates "dd/mm/yyyy". The file is replaced only once it is whole: a failure or a cancel leaves
// an existing file as it was. `query` is the scratch query; the progress counts entries.
// Throws Error for an account or dossier that does not exist, a file that cannot be written or
// an engine error.
ExportResult ExportEntries(DataSet& query, const QString& path, const ExportSelection& selection,
                           const ExchangeProgress& progress = {});

// One entry read from a line of an imported file.
struct CsvEntry
{
    QDate date;
    double quantity = 0;
    double amount = 0;
    QString comment;
};

// Reads a record as an entry under the mapping (one kind per column of the file): the record
// must have as many fields as the mapping; the date is needed; an empty quantity or amount, or
// none mapped, is 0; the comment loses the guard a spreadsheet export adds, may hold at most
// `commentLimit` characters and no byte the encoding could not read. Returns why the line is
// refused, in French, or an empty text.
QString ReadCsvEntry(const CsvRecord& record, const CsvFormat& format,
                     const std::vector<CsvColumn>& mapping, int commentLimit, CsvEntry& entry);

// The first records of a file read with this format (the header line included), for a preview.
std::vector<CsvRecord> PreviewCsv(const QString& path, const CsvFormat& format, int count);

struct RefusedLine
{
    qint64 line = 0;
    QString reason;
};

struct ImportReport
{
    static constexpr int kListedRefusals = 100;

    qint64 valid = 0;           // lines that can be imported
    qint64 refusedCount = 0;    // lines refused, all of them
    QList<RefusedLine> refused; // the first kListedRefusals of them
    qint64 imported = 0;        // entries written: `valid` once committed, else 0
    bool cancelled = false;

    // "Ligne 4 : ...", one a line (CR between them), then "... et 12 autres lignes refusées."
    // when more were refused than listed.
    QString refusedText() const;
};

// Asked, with the report so far, when some lines were refused and others can be imported:
// true imports the valid ones, false imports nothing.
using RefusalDecision = std::function<bool(const ImportReport&)>;

// The longest comment an entry holds (the declared length of CONSUMPTION.Description).
int CommentLimit(DataSet& query);

// Imports the valid lines of the file into the account, in one transaction: all of them or,
// when the progress stops the import, when no decision or a negative one follows refused lines,
// or on any error, none. Each imported quantity moves the account's counter as an added entry
// does (AdjustCounter: only when IncCount is true, never below 0, line after line in the order
// of the file). The progress counts bytes of the file. `query` is the scratch query. Throws
// Error for an account that does not exist, a mapping without date, a file that cannot be read
// or an engine error; the database is then as it was.
ImportReport ImportEntries(DataSet& query, int accountId, const QString& path,
                           const CsvFormat& format, const std::vector<CsvColumn>& mapping,
                           const ExchangeProgress& progress = {},
                           const RefusalDecision& decision = {});

} // namespace tilvo
