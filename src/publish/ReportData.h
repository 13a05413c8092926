// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// The rows a report's data band runs over.
class ReportData
{
public:
    virtual ~ReportData() = default;
    // Ready to be read: a source that was closed is opened.
    virtual void open() = 0;
    virtual int rowCount() const = 0;
    // The column of that name (case-insensitive); -1 when there is none.
    virtual int columnIndex(const QString& name) const = 0;
    // Dates as "dd/mm/yyyy", reals with "." as decimal point, null as "".
    virtual QString text(int row, int column) const = 0;
    // 0 for a null value or a text that is no number.
    virtual double number(int row, int column) const = 0;
};

} // namespace tilvo
