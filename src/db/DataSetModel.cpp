// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DataSetModel.h"

#include "common/DateHelpers.h"
#include "common/Error.h"
#include "common/NumberPicture.h"

namespace tilvo {

namespace {

bool IsNumber(FieldType type)
{
    return IsIntegerType(type) || IsRealType(type);
}

QString RealText(double value)
{
    QString text = QString::number(value, 'g', 15);
    const QChar separator = LocaleDecimalSeparator();
    if (separator != u'.')
        text.replace(u'.', separator);
    return text;
}

} // namespace

DataSetModel::DataSetModel(DataSource& dataSource, QObject* parent)
    : QAbstractTableModel(parent), m_source(&dataSource)
{
    DataSet* set = &dataSource.dataSet();
    connect(set, &DataSet::contentChanged, this, &DataSetModel::contentChanged);
    connect(set, &DataSet::currentChanged, this, &DataSetModel::currentChanged);
    m_columns = buildColumns();
    m_rows = set->isActive() ? set->recordCount() : 0;
    m_current = set->recNo();
}

void DataSetModel::setColumns(const QStringList& fieldNames)
{
    beginResetModel();
    m_requested = fieldNames;
    m_columns = buildColumns();
    endResetModel();
    Q_EMIT currentRowChanged(m_current);
}

std::vector<DataSetModel::Column> DataSetModel::buildColumns() const
{
    DataSet& set = dataSet();
    std::vector<Column> columns;
    const auto add = [&](const QString& name, int field) {
        Column c;
        c.name = name;
        c.field = field;
        if (field >= 0)
            c.type = set.field(field).type();
        c.display = set.fieldDisplay(name);
        columns.push_back(c);
    };
    if (!m_requested.isEmpty()) {
        for (const QString& name : m_requested) {
            const std::optional<Field> f = set.isActive() ? set.findField(name) : std::nullopt;
            add(name, f ? f->index() : -1);
        }
        return columns;
    }
    if (!set.isActive())
        return columns;
    const QStringList names = set.fieldNames();
    for (int i = 0; i < names.size(); ++i) {
        if (set.fieldDisplay(names.at(i)).visible)
            add(names.at(i), i);
    }
    return columns;
}

int DataSetModel::fieldIndex(int column) const
{
    return column >= 0 && column < int(m_columns.size()) ? m_columns[size_t(column)].field : -1;
}

QString DataSetModel::fieldName(int column) const
{
    return column >= 0 && column < int(m_columns.size()) ? m_columns[size_t(column)].name
                                                         : QString();
}

int DataSetModel::columnOf(const QString& fieldName) const
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

void DataSetModel::contentChanged()
{
    DataSet& set = dataSet();
    std::vector<Column> columns = buildColumns();
    const int rows = set.isActive() ? set.recordCount() : 0;
    bool sameColumns = columns.size() == m_columns.size();
    for (size_t i = 0; sameColumns && i < columns.size(); ++i)
        sameColumns =
            columns[i].name == m_columns[i].name && columns[i].field == m_columns[i].field;
    if (!sameColumns || rows != m_rows) {
        beginResetModel();
        m_columns = std::move(columns);
        m_rows = rows;
        endResetModel();
    } else {
        // Same shape: values, captions or formats changed; repaint what shows.
        m_columns = std::move(columns);
        if (!m_columns.empty()) {
            if (m_rows > 0)
                Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, int(m_columns.size()) - 1),
                                   {Qt::DisplayRole});
            Q_EMIT headerDataChanged(Qt::Horizontal, 0, int(m_columns.size()) - 1);
        }
    }
    m_current = set.recNo();
    Q_EMIT currentRowChanged(m_current);
}

void DataSetModel::currentChanged()
{
    const int row = dataSet().recNo();
    // The current row's values may have changed too (a field written while editing).
    if (row >= 0 && row < m_rows && !m_columns.empty())
        Q_EMIT dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1), {Qt::DisplayRole});
    if (row != m_current) {
        m_current = row;
        Q_EMIT currentRowChanged(row);
    }
}

QString DataSetModel::displayText(int row, int column) const
{
    if (row < 0 || row >= m_rows || column < 0 || column >= int(m_columns.size()))
        return QString();
    const Column& c = m_columns[size_t(column)];
    if (c.field < 0)
        return QString();
    QVariant v;
    try {
        v = dataSet().valueAt(row, c.field);
    } catch (const Error&) {
        // A row that cannot be read now shows empty; the program meets the error itself
        // when it uses the row.
        return QString();
    }
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::LongLong:
        if (!c.display.displayFormat.isEmpty())
            return FormatNumberPicture(v.toDouble(), c.display.displayFormat);
        return v.typeId() == QMetaType::Double ? RealText(v.toDouble())
                                               : QString::number(v.toLongLong());
    case QMetaType::QDate:
        return FormatDateText(v.toDate());
    case QMetaType::QByteArray:
        return QString(); // pictures and other binary values have no text
    default:
        return dataSet().textAt(row, c.field); // the row is read by now
    }
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::TextAlignmentRole: {
        const FieldType type = m_columns[size_t(index.column())].type;
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (IsNumber(type) ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
        return QVariant();
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_columns.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    const Column& c = m_columns[size_t(section)];
    switch (role) {
    case Qt::DisplayRole:
        return c.display.label.isEmpty() ? c.name : c.display.label;
    case WidthRole:
        return c.display.width;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace tilvo
