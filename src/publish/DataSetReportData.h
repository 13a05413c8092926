// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/ReportData.h"

namespace tilvo {

class DataSet;

// A report's rows read from a dataset, which is opened when the report runs if it is closed.
class DataSetReportData final : public ReportData
{
public:
    explicit DataSetReportData(DataSet& dataSet) : m_set(dataSet) {}

    void open() override;
    int rowCount() const override;
    int columnIndex(const QString& name) const override;
    QString text(int row, int column) const override;
    double number(int row, int column) const override;

private:
    DataSet& m_set;
};

} // namespace tilvo
