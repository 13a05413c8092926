// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/CsvExchange.h"

#include "common/DateHelpers.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/RowInserter.h"
#include "db/StreamedRow.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace tilvo {

namespace {

constexpr qint64 kProgressEvery = 1000;
constexpr int kQuotedLength = 40;
constexpr int kShortColumnMax = 32767;

// A value as a reason shows it: between French quotes, a long one cut.
QString Quoted(const QString& value)
{
    QString shown = value.trimmed();
    if (shown.size() > kQuotedLength)
        shown = shown.left(kQuotedLength) + QChar(0x2026);
    return QStringLiteral("« %1 »").arg(shown);
}

QString SelectionWhere(const ExportSelection& selection)
{
    QString where;
    if (selection.accountId >= 0)
        where = QStringLiteral("CONSUMPTION.Id_Account=") + QString::number(selection.accountId);
    else if (selection.dossierId >= 0)
        where = QStringLiteral("ACCOUNT.Id_File=") + QString::number(selection.dossierId);
    if (selection.from.isValid() && selection.to.isValid()) {
        if (!where.isEmpty())
            where += QStringLiteral(" AND ");
        where += QStringLiteral("CONSUMPTION.DateAction>=#") + SqlDateLiteral(selection.from) +
                 QStringLiteral("# AND CONSUMPTION.DateAction<=#") + SqlDateLiteral(selection.to) +
                 u'#';
    }
    return where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where;
}

const QString kJoin =
    QStringLiteral(" FROM CONSUMPTION INNER JOIN ACCOUNT ON CONSUMPTION.Id_Account=ACCOUNT.Id");

// Closes the scratch query whatever happens.
struct QueryCloser
{
    DataSet& query;
    ~QueryCloser() { query.close(); }
};

} // namespace

QString CsvExportHeader()
{
    return QStringLiteral("Compte;Date;Quantité;Unité;Montant;Commentaire");
}

ExportResult ExportEntries(DataSet& query, const QString& path, const ExportSelection& selection,
                           const ExchangeProgress& progress)
{
    const QueryCloser closer{query};
    const auto requireRow = [&query](const QString& select, const QString& missing) {
        query.close();
        query.setSqlText(select);
        query.open();
        const bool found = !IsEmptyDataSet(query);
        query.close();
        if (!found)
            throw Error(missing);
    };
    if (selection.accountId >= 0)
        requireRow(QStringLiteral("SELECT Id FROM ACCOUNT WHERE Id=") +
                       QString::number(selection.accountId),
                   QStringLiteral("Le compte %1 n'existe pas.").arg(selection.accountId));
    else if (selection.dossierId >= 0)
        requireRow(QStringLiteral("SELECT ID FROM PROFILES WHERE ID=") +
                       QString::number(selection.dossierId),
                   QStringLiteral("Le dossier %1 n'existe pas.").arg(selection.dossierId));
    const QString where = SelectionWhere(selection);
    qint64 total = 0;
    query.setSqlText(QStringLiteral("SELECT COUNT(*)") + kJoin + where);
    StreamRows(query, [&total](const StreamedRow& row) {
        total = qint64(row.real(0));
        return false;
    });

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Le fichier « %1 » ne peut pas être écrit : %2")
                        .arg(path, file.errorString()));
    QByteArray pending("\xEF\xBB\xBF");
    pending += CsvExportHeader().toUtf8() + "\r\n";
    const auto flush = [&file, &path, &pending] {
        if (file.write(pending) != pending.size())
            throw Error(QStringLiteral("Le fichier « %1 » ne peut pas être écrit : %2")
                            .arg(path, file.errorString()));
        pending.clear();
    };

    ExportResult result;
    query.setSqlText(QStringLiteral("SELECT ACCOUNT.Title, CONSUMPTION.DateAction, "
                                    "CONSUMPTION.Quantity, ACCOUNT.Unit, CONSUMPTION.Price, "
                                    "CONSUMPTION.Description") +
                     kJoin + where +
                     QStringLiteral(" ORDER BY ACCOUNT.Title, ACCOUNT.Description, ACCOUNT.Id, "
                                    "CONSUMPTION.DateAction, CONSUMPTION.Id"));
    QString line;
    StreamRows(query, [&](const StreamedRow& row) {
        line = CsvTextField(row.text(0));
        line += u';';
        line += CsvDateField(row.date(1));
        line += u';';
        line += CsvNumberField(row.real(2));
        line += u';';
        line += CsvTextField(row.text(3));
        line += u';';
        line += CsvNumberField(row.real(4));
        line += u';';
        line += CsvTextField(row.text(5));
        line += QStringLiteral("\r\n");
        pending += line.toUtf8();
        if (pending.size() >= 64 * 1024)
            flush();
        ++result.entries;
        if (progress && result.entries % kProgressEvery == 0 &&
            !progress(result.entries, std::max(total, result.entries))) {
            result.cancelled = true;
            return false;
        }
        return true;
    });
    if (result.cancelled) {
        file.cancelWriting();
        return result;
    }
    flush();
    if (progress && !progress(result.entries, std::max(total, result.entries))) {
        file.cancelWriting();
        result.cancelled = true;
        return result;
    }
    if (!file.commit())
        throw Error(QStringLiteral("Le fichier « %1 » ne peut pas être écrit : %2")
                        .arg(path, file.errorString()));
    return result;
}

QString ReadCsvEntry(const CsvRecord& record, const CsvFormat& format,
                     const std::vector<CsvColumn>& mapping, int commentLimit, CsvEntry& entry)
{
    if (record.tooLong)
        return QStringLiteral("ligne trop longue (plus de %1 caractères)")
            .arg(CsvReader::kMaxRecordLength);
    if (record.unterminated)
        return QStringLiteral("guillemet non fermé : le champ va jusqu'à la fin du fichier");
    if (record.fields.size() != qsizetype(mapping.size()))
        return QStringLiteral("%1 champs au lieu de %2")
            .arg(record.fields.size())
            .arg(mapping.size());
    entry = CsvEntry();
    bool dated = false;
    for (size_t c = 0; c < mapping.size(); ++c) {
        const QString& value = record.fields.at(qsizetype(c));
        switch (mapping[c]) {
        case CsvColumn::Date:
            entry.date = ParseCsvDate(value);
            if (!entry.date.isValid())
                return value.trimmed().isEmpty()
                           ? QStringLiteral("date absente")
                           : QStringLiteral("date invalide : ") + Quoted(value);
            dated = true;
            break;
        case CsvColumn::Quantity:
        case CsvColumn::Amount: {
            const bool amount = mapping[c] == CsvColumn::Amount;
            const std::optional<double> number = ParseCsvNumber(value, format.decimalMark, amount);
            if (!number)
                return (amount ? QStringLiteral("montant invalide : ")
                               : QStringLiteral("quantité invalide : ")) +
                       Quoted(value);
            (amount ? entry.amount : entry.quantity) = *number;
            break;
        }
        case CsvColumn::Comment:
            // Bytes the chosen encoding cannot read would be stored as replacement marks.
            if (value.contains(QChar::ReplacementCharacter))
                return QStringLiteral("commentaire illisible dans le codage choisi : ") +
                       Quoted(value);
            entry.comment = UnguardCsvText(value);
            if (entry.comment.size() > commentLimit)
                return QStringLiteral("commentaire trop long (%1 caractères, %2 au plus)")
                    .arg(entry.comment.size())
                    .arg(commentLimit);
            break;
        case CsvColumn::Skip:
            break;
        }
    }
    if (!dated)
        return QStringLiteral("aucune colonne de date");
    return QString();
}

std::vector<CsvRecord> PreviewCsv(const QString& path, const CsvFormat& format, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Le fichier « %1 » ne peut pas être lu : %2")
                        .arg(path, file.errorString()));
    CsvReader reader(file, format.separator, format.encoding);
    std::vector<CsvRecord> records;
    CsvRecord record;
    while (int(records.size()) < count && reader.next(record)) {
        if (!record.isBlank())
            records.push_back(record);
    }
    return records;
}

QString ImportReport::refusedText() const
{
    QStringList lines;
    for (const RefusedLine& r : refused)
        lines << QStringLiteral("Ligne %1 : %2").arg(r.line).arg(r.reason);
    if (refusedCount > refused.size()) {
        const qint64 rest = refusedCount - refused.size();
        lines << (rest == 1 ? QStringLiteral("… et 1 autre ligne refusée.")
                            : QStringLiteral("… et %1 autres lignes refusées.").arg(rest));
    }
    return lines.join(u'\r');
}

int CommentLimit(DataSet& query)
{
    const TableInfo* table = query.connection().table(QStringLiteral("CONSUMPTION"));
    const ColumnInfo* column = table ? table->column(QStringLiteral("Description")) : nullptr;
    return column && column->size > 0 ? column->size : 255;
}

ImportReport ImportEntries(DataSet& query, int accountId, const QString& path,
                           const CsvFormat& format, const std::vector<CsvColumn>& mapping,
                           const ExchangeProgress& progress, const RefusalDecision& decision)
{
    const QString mappingProblem = CheckCsvMapping(mapping);
    if (!mappingProblem.isEmpty())
        throw Error(mappingProblem);
    const QueryCloser closer{query};
    Connection& connection = query.connection();
    const int commentLimit = CommentLimit(query);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Le fichier « %1 » ne peut pas être lu : %2")
                        .arg(path, file.errorString()));
    const qint64 total = std::max<qint64>(file.size(), 1);

    Transaction transaction(connection);
    query.close();
    query.setSqlText(QStringLiteral("SELECT Id_File, Count, IncCount FROM ACCOUNT WHERE Id=") +
                     QString::number(accountId));
    query.open();
    if (IsEmptyDataSet(query))
        throw Error(QStringLiteral("Le compte %1 n'existe pas.").arg(accountId));
    const qint64 dossierId = query.fieldByName(QStringLiteral("Id_File")).asInteger();
    const bool incCount = query.fieldByName(QStringLiteral("IncCount")).asBoolean();
    double counter = query.fieldByName(QStringLiteral("Count")).asDouble();
    query.close();
    // The entries refer to their account in a 16-bit column.
    if (accountId > kShortColumnMax)
        throw Error(QStringLiteral("Le compte %1 ne peut pas recevoir de consommations : son "
                                   "numéro dépasse %2.")
                        .arg(accountId)
                        .arg(kShortColumnMax));

    ImportReport report;
    {
        RowInserter inserter(connection, QStringLiteral("CONSUMPTION"),
                             {QStringLiteral("Id_File"), QStringLiteral("Id_Account"),
                              QStringLiteral("DateAction"), QStringLiteral("Quantity"),
                              QStringLiteral("Price"), QStringLiteral("Description")});
        CsvReader reader(file, format.separator, format.encoding);
        CsvRecord record;
        CsvEntry entry;
        QVariantList values{dossierId, accountId, QVariant(), 0.0, 0.0, QVariant()};
        const QVariant noText(QMetaType::fromType<QString>());
        bool header = format.hasHeader;
        qint64 records = 0;
        while (reader.next(record)) {
            if (progress && ++records % kProgressEvery == 0 &&
                !progress(reader.bytesRead(), total)) {
                report.cancelled = true;
                return report;
            }
            if (record.isBlank())
                continue;
            if (header) {
                header = false;
                continue;
            }
            const QString reason = ReadCsvEntry(record, format, mapping, commentLimit, entry);
            if (!reason.isEmpty()) {
                if (report.refused.size() < ImportReport::kListedRefusals)
                    report.refused.append({record.line, reason});
                ++report.refusedCount;
                continue;
            }
            values[2] = entry.date;
            values[3] = entry.quantity;
            values[4] = entry.amount;
            values[5] = entry.comment.isEmpty() ? noText : QVariant(entry.comment);
            inserter.insert(values);
            ++report.valid;
            // As AdjustCounter does it for each added entry.
            if (incCount) {
                counter += entry.quantity;
                if (counter < 0)
                    counter = 0;
            }
        }
    }
    if (progress && !progress(total, total)) {
        report.cancelled = true;
        return report;
    }
    if (report.valid == 0)
        return report;
    if (report.refusedCount > 0 && !(decision && decision(report)))
        return report;
    if (incCount) {
        query.setSqlText(QStringLiteral("SELECT Count, IncCount FROM ACCOUNT WHERE Id=") +
                         QString::number(accountId));
        query.open();
        query.edit();
        query.fieldByName(QStringLiteral("Count")).setDouble(counter);
        query.post();
        query.close();
    }
    transaction.commit();
    report.imported = report.valid;
    return report;
}

} // namespace tilvo
