// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QDate>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <optional>
#include <vector>

class QIODevice;

namespace tilvo {

// How the entries exchange files are written and read: the text form of their fields, a
// streaming reader and the guessing of an unknown file's layout.

enum class CsvEncoding
{
    Utf8,
    Windows1252
};

struct CsvFormat
{
    QChar separator = u';';
    QChar decimalMark = u',';
    CsvEncoding encoding = CsvEncoding::Utf8;
    bool hasHeader = true;
};

// What a column of an imported file holds.
enum class CsvColumn
{
    Skip,
    Date,
    Quantity,
    Amount,
    Comment
};

// The French name of a column kind as the import offers it ("Date", "Quantité", "Montant",
// "Commentaire", "(ignorer)").
QString CsvColumnName(CsvColumn column);

// --- Writing -------------------------------------------------------------------------------

// A text field as a French spreadsheet reads it back unchanged: quoted (quotes doubled) when it
// holds the separator, a quote or a line break; a text beginning with "=", "+", "-" or "@"
// gets a leading "'" so that a spreadsheet shows it instead of running it as a formula (and a
// text that already begins with "'" followed by one of those, or by "'", gets one too, so that
// reading strips exactly what writing added).
QString CsvTextField(const QString& text, QChar separator = u';');
// A number with the decimal comma and as many digits as it takes to read back the same value
// (never an exponent): 12.5 gives "12,5", -0.25 gives "-0,25".
QString CsvNumberField(double value, QChar decimalMark = u',');
// "dd/mm/yyyy".
QString CsvDateField(const QDate& date);

// --- Reading values ------------------------------------------------------------------------

// "dd/mm/yyyy", "d/m/yyyy" or "yyyy-mm-dd", blanks around it allowed, of a real calendar day
// of the years the program accepts (1900 to 2099); an invalid date otherwise.
QDate ParseCsvDate(const QString& text);
// A decimal number with "," or "." as its decimal mark and blanks (spaces, non-breaking and
// narrow non-breaking spaces) between digit groups; an optional sign before it and, with
// `allowCurrency`, an optional "€" after it. When both "," and "." appear, the one that is not
// `decimalMark` must group thousands (1.234,5 with ","). Empty (or blank) reads 0. Nothing when
// the text is no such number ("12,5,3", "abc", "1e5").
std::optional<double> ParseCsvNumber(const QString& text, QChar decimalMark,
                                     bool allowCurrency = false);
// Undoes CsvTextField's formula guard: a leading "'" before "=", "+", "-", "@" or "'" goes.
QString UnguardCsvText(const QString& text);

// --- Reading records -----------------------------------------------------------------------

// One record of a file: its fields and the line of the file it starts on (from 1).
struct CsvRecord
{
    QStringList fields;
    qint64 line = 0;
    bool tooLong = false;      // the record passed kMaxRecordLength; its fields are cut off
    bool unterminated = false; // a quoted field runs to the end of the file
    // A record of a single empty field: a blank line.
    bool isBlank() const { return fields.size() == 1 && fields.first().isEmpty(); }
};

// Reads the records of a delimited text file one at a time, whatever its size: quoted fields
// may hold separators, doubled quotes and line breaks; lines end with CR LF, LF or CR; a
// byte-order mark is skipped. A record longer than kMaxRecordLength characters (separators
// counted) is not kept whole: it is marked tooLong and the reader goes on after it.
class CsvReader
{
public:
    static constexpr qsizetype kMaxRecordLength = 64 * 1024;

    // The device must stay open while the reader is used.
    CsvReader(QIODevice& device, QChar separator, CsvEncoding encoding);
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // The next record; false at the end of the file.
    bool next(CsvRecord& record);
    // How many bytes of the device have been read.
    qint64 bytesRead() const { return m_bytesRead; }

private:
    bool fill();

    QIODevice& m_device;
    QChar m_separator;
    CsvEncoding m_encoding;
    QStringDecoder m_utf8{QStringDecoder::Utf8};
    QString m_buffer;
    qsizetype m_pos = 0;
    qint64 m_line = 1;
    qint64 m_bytesRead = 0;
    bool m_started = false;
    bool m_atEnd = false;
};

// --- Guessing ------------------------------------------------------------------------------

// What the import proposes for a file before the person looks at it.
struct CsvGuess
{
    CsvFormat format;
    std::vector<CsvColumn> mapping; // one per column of the file
    int columnCount = 0;
};

// Reads the file's beginning (and the whole file for the encoding: UTF-8 when it has a
// byte-order mark or is valid UTF-8 throughout, else Windows-1252) and proposes the separator
// (";", "," or tab: the one that splits the first lines into the same number of fields), the
// decimal mark, whether the first line names the columns, and what each column holds (by its
// name in a header: Date, Quantité, Montant, Commentaire, and the program's own Compte and
// Unité, which are skipped; else by the values: dates, then numbers, then text). Throws Error
// with a French message for a file that cannot be read, is empty or is not text.
CsvGuess GuessCsvFormat(const QString& path);

// The mapping's problem, in French, or an empty text when it can be imported: a date column
// is needed and no kind may be given to two columns.
QString CheckCsvMapping(const std::vector<CsvColumn>& mapping);

} // namespace tilvo
