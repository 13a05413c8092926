// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/CsvFormat.h"

#include "common/DateHelpers.h"
#include "common/Error.h"
#include "common/TextHelpers.h"
#include "common/Windows1252.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include <map>

namespace tilvo {

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr int kSampleRecords = 50;

bool IsFormulaStart(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@';
}

bool IsGroupBlank(QChar c)
{
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F);
}

// Reads up to `digits` decimal digits at text[pos]; -1 when there are none or too many.
int ReadNumber(const QString& text, qsizetype& pos, int minDigits, int maxDigits)
{
    int value = 0;
    int count = 0;
    while (pos < text.size() && text.at(pos).isDigit() && text.at(pos).unicode() < 128) {
        if (++count > maxDigits)
            return -1;
        value = value * 10 + (text.at(pos).unicode() - '0');
        ++pos;
    }
    return count >= minDigits ? value : -1;
}

// The integer part "1.234.567" grouped by `mark` in threes; the digits alone, or nothing.
std::optional<QString> Ungroup(const QString& integer, QChar mark)
{
    const QStringList groups = integer.split(mark);
    if (groups.first().isEmpty() || groups.first().size() > 3)
        return std::nullopt;
    for (qsizetype i = 1; i < groups.size(); ++i) {
        if (groups.at(i).size() != 3)
            return std::nullopt;
    }
    return groups.join(QString());
}

QString NormalisedName(const QString& text)
{
    return FoldAccents(text.trimmed().toLower());
}

std::optional<CsvColumn> ColumnOfName(const QString& name)
{
    static const QHash<QString, CsvColumn> names{
        {QStringLiteral("date"), CsvColumn::Date},
        {QStringLiteral("quantite"), CsvColumn::Quantity},
        {QStringLiteral("qte"), CsvColumn::Quantity},
        {QStringLiteral("quantity"), CsvColumn::Quantity},
        {QStringLiteral("montant"), CsvColumn::Amount},
        {QStringLiteral("prix"), CsvColumn::Amount},
        {QStringLiteral("amount"), CsvColumn::Amount},
        {QStringLiteral("price"), CsvColumn::Amount},
        {QStringLiteral("commentaire"), CsvColumn::Comment},
        {QStringLiteral("description"), CsvColumn::Comment},
        {QStringLiteral("comment"), CsvColumn::Comment},
        {QStringLiteral("compte"), CsvColumn::Skip},
        {QStringLiteral("unite"), CsvColumn::Skip},
    };
    const auto it = names.constFind(NormalisedName(name));
    if (it == names.constEnd())
        return std::nullopt;
    return *it;
}

// Whether the first kilobytes look like text: no NUL byte and hardly any other control.
bool LooksLikeText(const QByteArray& head)
{
    qsizetype controls = 0;
    for (const char ch : head) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == 0)
            return false;
        if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f') || b == 0x7F)
            ++controls;
    }
    return controls * 100 <= head.size();
}

CsvEncoding DetectEncoding(QFile& file, const QByteArray& head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        return CsvEncoding::Utf8;
    // Windows-1252 text is almost never valid UTF-8 once it holds an accent; the whole file is
    // read, since the first accent may come late.
    QStringDecoder decoder(QStringDecoder::Utf8);
    file.seek(0);
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty())
            break;
        const QString text = decoder.decode(chunk); // the decoding happens here
        if (decoder.hasError())
            return CsvEncoding::Windows1252;
    }
    return CsvEncoding::Utf8;
}

std::vector<CsvRecord> SampleRecords(const QByteArray& head, QChar separator, CsvEncoding encoding)
{
    QByteArray bytes = head;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer, separator, encoding);
    std::vector<CsvRecord> records;
    CsvRecord record;
    while (int(records.size()) < kSampleRecords && reader.next(record)) {
        if (!record.isBlank())
            records.push_back(record);
    }
    return records;
}

// How well a separator splits the sample: the share of records with the first one's number
// of fields, 0 when that number is 1.
double SeparatorScore(const std::vector<CsvRecord>& records)
{
    if (records.empty() || records.front().fields.size() < 2)
        return 0;
    const qsizetype width = records.front().fields.size();
    const auto same = std::count_if(records.begin(), records.end(), [width](const CsvRecord& r) {
        return r.fields.size() == width;
    });
    return double(same) / double(records.size());
}

int UsualWidth(const std::vector<CsvRecord>& records, bool header)
{
    if (records.empty())
        return 0;
    if (header)
        return int(records.front().fields.size());
    std::map<qsizetype, int> counts;
    for (const CsvRecord& r : records)
        ++counts[r.fields.size()];
    qsizetype best = records.front().fields.size();
    for (const auto& [width, count] : counts) {
        if (count > counts[best])
            best = width;
    }
    return int(best);
}

} // namespace

QString CsvColumnName(CsvColumn column)
{
    switch (column) {
    case CsvColumn::Date:
        return QStringLiteral("Date");
    case CsvColumn::Quantity:
        return QStringLiteral("Quantité");
    case CsvColumn::Amount:
        return QStringLiteral("Montant");
    case CsvColumn::Comment:
        return QStringLiteral("Commentaire");
    case CsvColumn::Skip:
        break;
    }
    return QStringLiteral("(ignorer)");
}

QString CsvTextField(const QString& text, QChar separator)
{
    QString field = text;
    if (!field.isEmpty() &&
        (IsFormulaStart(field.at(0)) || (field.size() > 1 && field.at(0) == u'\'' &&
                                         (IsFormulaStart(field.at(1)) || field.at(1) == u'\''))))
        field.prepend(u'\'');
    if (field.contains(separator) || field.contains(u'"') || field.contains(u'\r') ||
        field.contains(u'\n')) {
        field.replace(u'"', QStringLiteral("\"\""));
        field = u'"' + field + u'"';
    }
    return field;
}

QString CsvNumberField(double value, QChar decimalMark)
{
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    text.replace(u'.', decimalMark);
    return text;
}

QString CsvDateField(const QDate& date)
{
    return date.isValid() ? FormatDateText(date) : QString();
}

QDate ParseCsvDate(const QString& input)
{
    const QString text = input.trimmed();
    qsizetype pos = 0;
    int day = 0;
    int month = 0;
    int year = 0;
    if (text.size() >= 8 && text.size() <= 10 && text.at(4) == u'-') {
        year = ReadNumber(text, pos, 4, 4);
        if (year < 0 || pos >= text.size() || text.at(pos++) != u'-')
            return QDate();
        month = ReadNumber(text, pos, 1, 2);
        if (month < 0 || pos >= text.size() || text.at(pos++) != u'-')
            return QDate();
        day = ReadNumber(text, pos, 1, 2);
    } else {
        day = ReadNumber(text, pos, 1, 2);
        if (day < 0 || pos >= text.size() || text.at(pos++) != u'/')
            return QDate();
        month = ReadNumber(text, pos, 1, 2);
        if (month < 0 || pos >= text.size() || text.at(pos++) != u'/')
            return QDate();
        year = ReadNumber(text, pos, 4, 4);
    }
    if (day < 0 || year < 0 || pos != text.size() || !IsValidDate(day, month, year))
        return QDate();
    return QDate(year, month, day);
}

std::optional<double> ParseCsvNumber(const QString& input, QChar decimalMark, bool allowCurrency)
{
    QString text = input.trimmed();
    if (allowCurrency && text.endsWith(QChar(0x20AC))) {
        text.chop(1);
        text = text.trimmed();
    }
    if (text.isEmpty())
        return 0.0;
    QString number;
    number.reserve(text.size());
    qsizetype pos = 0;
    if (text.at(0) == u'-' || text.at(0) == u'+' || text.at(0) == QChar(0x2212)) {
        if (text.at(0) != u'+')
            number += u'-';
        pos = 1;
    }
    // The digits and marks, blanks between two digits dropped.
    QString body;
    int commas = 0;
    int dots = 0;
    bool digits = false;
    for (qsizetype i = pos; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() >= '0' && c.unicode() <= '9') {
            body += c;
            digits = true;
        } else if (c == u',' || c == u'.') {
            body += c;
            (c == u',' ? commas : dots) += 1;
        } else if (IsGroupBlank(c) && i > pos && i + 1 < text.size() && text.at(i - 1).isDigit() &&
                   text.at(i + 1).isDigit()) {
            continue;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    const QChar other = decimalMark == u',' ? u'.' : u',';
    const int decimals = decimalMark == u',' ? commas : dots;
    const int groups = decimalMark == u',' ? dots : commas;
    QString integer = body;
    QString fraction;
    if (decimals + groups == 1) {
        // A single mark of either kind is the decimal one.
        const qsizetype at = body.indexOf(commas ? u',' : u'.');
        integer = body.left(at);
        fraction = body.mid(at + 1);
    } else if (decimals > 1) {
        return std::nullopt;
    } else if (groups > 0) {
        const qsizetype at = decimals ? body.indexOf(decimalMark) : body.size();
        const std::optional<QString> ungrouped = Ungroup(body.left(at), other);
        if (!ungrouped || body.indexOf(other, at) >= 0)
            return std::nullopt;
        integer = *ungrouped;
        fraction = body.mid(at + 1);
    }
    number += (integer.isEmpty() ? QStringLiteral("0") : integer);
    if (!fraction.isEmpty())
        number += u'.' + fraction;
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString UnguardCsvText(const QString& text)
{
    if (text.size() > 1 && text.at(0) == u'\'' &&
        (IsFormulaStart(text.at(1)) || text.at(1) == u'\''))
        return text.mid(1);
    return text;
}

CsvReader::CsvReader(QIODevice& device, QChar separator, CsvEncoding encoding)
    : m_device(device), m_separator(separator), m_encoding(encoding)
{}

bool CsvReader::fill()
{
    if (m_atEnd)
        return false;
    m_buffer.remove(0, m_pos);
    m_pos = 0;
    QByteArray bytes = m_device.read(kChunk);
    if (bytes.isEmpty()) {
        m_atEnd = true;
        return false;
    }
    m_bytesRead += bytes.size();
    if (!m_started) {
        m_started = true;
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
    }
    m_buffer += m_encoding == CsvEncoding::Utf8 ? m_utf8.decode(bytes) : DecodeWindows1252(bytes);
    return true;
}

bool CsvReader::next(CsvRecord& record)
{
    record.fields.clear();
    record.tooLong = false;
    record.unterminated = false;
    while (m_pos >= m_buffer.size()) {
        if (!fill())
            return false;
    }
    record.line = m_line;
    QString field;
    qsizetype length = 0;
    bool inQuotes = false;
    bool fieldStart = true;
    const auto append = [&](QChar c) {
        if (length >= kMaxRecordLength) {
            record.tooLong = true;
            return;
        }
        field += c;
        ++length;
    };
    const auto peek = [this](QChar& c) {
        if (m_pos >= m_buffer.size() && !fill())
            return false;
        c = m_buffer.at(m_pos);
        return true;
    };
    // Each separator counts as a character too, so that a line of separators alone is
    // bounded as well.
    const auto endField = [&] {
        if (length < kMaxRecordLength) {
            record.fields.append(field);
            ++length;
        } else {
            record.tooLong = true;
        }
        field.clear();
        fieldStart = true;
    };
    for (;;) {
        if (m_pos >= m_buffer.size() && !fill()) {
            record.unterminated = inQuotes;
            endField();
            return true;
        }
        const QChar c = m_buffer.at(m_pos++);
        QChar following;
        if (inQuotes) {
            if (c == u'"') {
                if (peek(following) && following == u'"') {
                    append(u'"');
                    ++m_pos;
                } else {
                    inQuotes = false;
                }
                continue;
            }
            if (c == u'\n' || (c == u'\r' && !(peek(following) && following == u'\n')))
                ++m_line;
            append(c);
        } else if (c == m_separator) {
            endField();
        } else if (c == u'\n' || c == u'\r') {
            ++m_line;
            if (c == u'\r' && peek(following) && following == u'\n')
                ++m_pos;
            endField();
            return true;
        } else if (c == u'"' && fieldStart) {
            inQuotes = true;
            fieldStart = false;
        } else {
            fieldStart = false;
            append(c);
        }
    }
}

CsvGuess GuessCsvFormat(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Le fichier « %1 » ne peut pas être lu : %2")
                        .arg(path, file.errorString()));
    QByteArray head = file.read(kChunk);
    const bool wholeFile = file.atEnd();
    if (!LooksLikeText(head))
        throw Error(QStringLiteral("Le fichier « %1 » n'est pas un fichier texte.").arg(path));
    CsvGuess guess;
    guess.format.encoding = DetectEncoding(file, head);
    // The sample ends with the last whole line it holds.
    if (!wholeFile) {
        const qsizetype end = std::max(head.lastIndexOf('\n'), head.lastIndexOf('\r'));
        if (end > 0)
            head.truncate(end + 1);
    }

    std::vector<CsvRecord> records;
    double best = -1;
    for (const QChar separator : {QChar(u';'), QChar(u'\t'), QChar(u',')}) {
        std::vector<CsvRecord> sample = SampleRecords(head, separator, guess.format.encoding);
        const double score = SeparatorScore(sample);
        if (score > best) {
            best = score;
            guess.format.separator = separator;
            records = std::move(sample);
        }
    }
    if (records.empty())
        throw Error(QStringLiteral("Le fichier « %1 » est vide.").arg(path));

    // A first line naming columns, and none of its fields a date, is a header.
    const QStringList& first = records.front().fields;
    const bool named = std::any_of(first.begin(), first.end(),
                                   [](const QString& f) { return ColumnOfName(f).has_value(); });
    const bool dated = std::any_of(first.begin(), first.end(),
                                   [](const QString& f) { return ParseCsvDate(f).isValid(); });
    guess.format.hasHeader = named && !dated;
    guess.columnCount = UsualWidth(records, guess.format.hasHeader);
    guess.mapping.assign(size_t(guess.columnCount), CsvColumn::Skip);

    // The decimal mark: a comma-separated file can only use the point; else the one the
    // numbers of the sample use most.
    int commas = 0;
    int dots = 0;
    for (size_t r = guess.format.hasHeader ? 1 : 0; r < records.size(); ++r) {
        for (const QString& f : records[r].fields) {
            if (ParseCsvNumber(f, u',').has_value()) {
                commas += int(f.count(u','));
                dots += int(f.count(u'.'));
            }
        }
    }
    guess.format.decimalMark =
        guess.format.separator == u',' || dots > commas ? QChar(u'.') : QChar(u',');

    const auto take = [&guess](int column, CsvColumn kind) {
        if (std::find(guess.mapping.begin(), guess.mapping.end(), kind) == guess.mapping.end())
            guess.mapping[size_t(column)] = kind;
    };
    if (guess.format.hasHeader) {
        for (int c = 0; c < guess.columnCount && c < first.size(); ++c) {
            const std::optional<CsvColumn> kind = ColumnOfName(first.at(c));
            if (kind && *kind != CsvColumn::Skip)
                take(c, *kind);
        }
        return guess;
    }
    // Without names, by the values: the first column of dates, the first two of numbers, the
    // first other one that holds something.
    std::vector<CsvColumn> numbers{CsvColumn::Quantity, CsvColumn::Amount};
    for (int c = 0; c < guess.columnCount; ++c) {
        bool allDates = true;
        bool allNumbers = true;
        bool anything = false;
        for (const CsvRecord& r : records) {
            if (c >= r.fields.size())
                continue;
            const QString& value = r.fields.at(c);
            if (value.trimmed().isEmpty())
                continue;
            anything = true;
            allDates = allDates && ParseCsvDate(value).isValid();
            allNumbers = allNumbers && ParseCsvNumber(value, guess.format.decimalMark, true);
        }
        if (!anything)
            continue;
        if (allDates) {
            take(c, CsvColumn::Date);
        } else if (allNumbers) {
            if (!numbers.empty()) {
                take(c, numbers.front());
                numbers.erase(numbers.begin());
            }
        } else {
            take(c, CsvColumn::Comment);
        }
    }
    return guess;
}

QString CheckCsvMapping(const std::vector<CsvColumn>& mapping)
{
    for (const CsvColumn kind :
         {CsvColumn::Date, CsvColumn::Quantity, CsvColumn::Amount, CsvColumn::Comment}) {
        const auto count = std::count(mapping.begin(), mapping.end(), kind);
        if (count > 1)
            return QStringLiteral("La colonne « %1 » est choisie plusieurs fois.")
                .arg(CsvColumnName(kind));
        if (kind == CsvColumn::Date && count == 0)
            return QStringLiteral("Choisissez la colonne de la date.");
    }
    return QString();
}

} // namespace tilvo
