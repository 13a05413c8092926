// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/AccountListModel.h"

#include "common/Error.h"
#include "db/DataSet.h"
#include "images/ScalePictureColumn.h"
#include "images/Silhouette.h"

namespace tilvo {

namespace {

const QString kColumns = QStringLiteral(
    "SELECT ACCOUNT.Id, ACCOUNT.Title, ACCOUNT.Description, ACCOUNT.Unit, ACCOUNT.Decimal, "
    "ACCOUNT.CreateDate, ACCOUNT.Count, ACCOUNT.ImgMini1, ACCOUNT.PERIODTYPE, ACCOUNT.STATTYPE, "
    "ACCOUNT.VALUETYPE, ACCOUNT.COLOR, ACCOUNT.SETCOLOR, ACCOUNT.ALLCOLOR ");

// Closes the query when the reading ends, whatever the way.
struct ClosedAfterwards
{
    DataSet& set;
    ~ClosedAfterwards() { set.close(); }
};

// The thumbnail in the list's size; the silhouette for an account without one, and for one
// whose stored picture cannot be read, so that a damaged picture never hides the list.
QImage Thumbnail(const Field& column)
{
    try {
        Picture picture;
        ScalePictureColumn(picture, column, AccountListModel::ThumbnailSize,
                           AccountListModel::ThumbnailSize);
        if (picture.width() > 0)
            return picture.toQImage();
    } catch (const Error&) {
    }
    return SilhouettePicture();
}

} // namespace

AccountListModel::AccountListModel(QObject* parent) : QAbstractListModel(parent)
{}

QString AccountListModel::dossierQuery(qint64 dossierId)
{
    return kColumns + QStringLiteral("FROM ACCOUNT WHERE ACCOUNT.Id_File=") +
           QString::number(dossierId) +
           QStringLiteral(" ORDER BY ACCOUNT.Title, ACCOUNT.Description");
}

QString AccountListModel::accountQuery(qint64 accountId)
{
    return kColumns + QStringLiteral("FROM ACCOUNT WHERE ACCOUNT.Id=") + QString::number(accountId);
}

AccountListModel::Row AccountListModel::buildRow(DataSet& query)
{
    const auto field = [&query](const char* name) {
        return query.fieldByName(QLatin1String(name));
    };
    AccountEntry e;
    e.AccountId = field("Id").asInteger();
    e.Title = field("Title").asText();
    e.Description = field("Description").asText();
    e.Unit = field("Unit").asText();
    const int decimals = static_cast<int>(field("Decimal").asInteger());
    e.InfoLine =
        AccountInfoLine(field("CreateDate").asDate(), field("Count").asDouble(), decimals, e.Unit);
    e.QuantityEditFormat = QuantityEditFormat(decimals);
    e.PeriodType = static_cast<int>(field("PeriodType").asInteger());
    e.StatType = static_cast<int>(field("StatType").asInteger());
    e.ValueType = static_cast<int>(field("ValueType").asInteger());
    e.ChartColor =
        field("SetColor").asBoolean() ? static_cast<quint32>(field("Color").asInteger()) : 0;
    e.AllColor = field("AllColor").asBoolean();

    Row row;
    row.text = ComposeAccountEntry(e);
    row.entry = ParseAccountEntry(row.text);
    row.thumbnail = Thumbnail(field("ImgMini1"));
    return row;
}

int AccountListModel::rebuild(DataSet& query, qint64 dossierId, qint64 selectId)
{
    beginResetModel();
    m_rows.clear();
    int selected = 0;
    try {
        if (dossierId >= 0) {
            query.setSqlText(dossierQuery(dossierId));
            query.open();
            const ClosedAfterwards closing{query};
            m_rows.reserve(size_t(query.recordCount()));
            for (query.first(); !query.eof(); query.next()) {
                m_rows.push_back(buildRow(query));
                if (selectId != -1 && m_rows.back().entry.AccountId == selectId)
                    selected = int(m_rows.size()) - 1;
            }
        }
    } catch (...) {
        m_rows.clear();
        endResetModel();
        throw;
    }
    endResetModel();
    return m_rows.empty() ? -1 : selected;
}

int AccountListModel::refresh(DataSet& query, qint64 accountId)
{
    const int row = rowOf(accountId);
    if (row < 0)
        return -1;
    query.setSqlText(accountQuery(accountId));
    query.open();
    const ClosedAfterwards closing{query};
    if (query.isEmpty())
        return -1;
    m_rows[size_t(row)] = buildRow(query);
    const QModelIndex at = index(row);
    Q_EMIT dataChanged(at, at);
    return row;
}

void AccountListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString AccountListModel::entryText(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].text : QString();
}

AccountEntry AccountListModel::entry(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].entry : AccountEntry();
}

const QImage& AccountListModel::thumbnail(int row) const
{
    static const QImage none;
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].thumbnail : none;
}

int AccountListModel::rowOf(qint64 accountId) const
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].entry.AccountId == accountId)
            return int(i);
    }
    return -1;
}

int AccountListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant AccountListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return QVariant();
    const Row& row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.text;
    case Qt::DecorationRole:
        return row.thumbnail;
    case Qt::ToolTipRole:
        return row.entry.Title;
    default:
        return QVariant();
    }
}

} // namespace tilvo
