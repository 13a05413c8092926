// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/DataSetReportData.h"

#include "common/TextHelpers.h"
#include "db/DataSet.h"

namespace tilvo {

void DataSetReportData::open()
{
    if (!m_set.isActive())
        m_set.open();
}

int DataSetReportData::rowCount() const
{
    return m_set.isActive() ? m_set.recordCount() : 0;
}

int DataSetReportData::columnIndex(const QString& name) const
{
    const std::optional<Field> field = m_set.findField(name);
    return field ? field->index() : -1;
}

QString DataSetReportData::text(int row, int column) const
{
    return m_set.textAt(row, column);
}

double DataSetReportData::number(int row, int column) const
{
    const QVariant value = m_set.valueAt(row, column);
    if (value.isNull())
        return 0;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Bool:
        return value.toDouble();
    default:
        break;
    }
    QString text = value.toString();
    if (!IsNumberText(text))
        return 0;
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0)
        text[comma] = u'.';
    return text.toDouble();
}

} // namespace tilvo
