// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/CustomCaptions.h"

#include "db/DataSet.h"
#include "db/DataSetOps.h"

namespace tilvo {

namespace {

// Closes the scratch query however the work on it ends.
class ClosingQuery
{
public:
    explicit ClosingQuery(DataSet& query) : m_query(query) {}
    ~ClosingQuery() { m_query.close(); }
    Q_DISABLE_COPY_MOVE(ClosingQuery)

private:
    DataSet& m_query;
};

void OpenDossierRow(DataSet& query, int dossierId, const char* select)
{
    query.close();
    query.setSqlText(QLatin1String(select) + QString::number(dossierId));
    query.open();
}

} // namespace

QStringList ReadCustomCaptions(DataSet& query, int dossierId)
{
    ClosingQuery closing(query);
    OpenDossierRow(query, dossierId, "SELECT * FROM CustomLab WHERE Id_File=");
    if (IsEmptyDataSet(query)) {
        query.append();
        query.fieldByName(QStringLiteral("Id_File")).setInteger(dossierId);
        query.post();
    }
    QStringList captions;
    for (int i = 1; i <= kCustomCaptionCount; ++i)
        captions << query
                        .fieldByName(
                            QStringLiteral("Account_Misc%1").arg(i, 2, 10, QLatin1Char('0')))
                        .asText();
    return captions;
}

QString CustomCaptionColumn(const QString& captionName)
{
    return QStringLiteral("Account_") + captionName.mid(4);
}

void RenameCustomCaption(DataSet& query, int dossierId, const QString& captionName,
                         const QString& text)
{
    ClosingQuery closing(query);
    OpenDossierRow(query, dossierId, "SELECT * FROM CustomLab where Id_File=");
    const bool missing = IsEmptyDataSet(query);
    query.edit();
    // A dossier without its row yet gets one that belongs to it, not a stray row.
    if (missing)
        query.fieldByName(QStringLiteral("Id_File")).setInteger(dossierId);
    query.fieldByName(CustomCaptionColumn(captionName)).setText(text);
    query.post();
}

} // namespace tilvo
