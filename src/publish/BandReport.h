// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/PreparedReport.h"
#include "publish/ReportTemplate.h"

#include <QDate>
#include <QHash>
#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace tilvo {

class ReportData;

// Our band-report engine: a template, the pictures loaded into its named picture objects, a
// title and the program's variables; prepare() runs it over the rows of a query and gives the
// pages.
//
// Texts hold expressions in square brackets, replaced when the report runs:
// - [PAGE#], [TOTALPAGES], [DATE] (the run's day), [LINE#] (the row number), [COUNT] (rows so
//   far), [SUM(Column)] (the column's total so far: in the summary, the total of all rows);
// - a variable the program answers (the value callback: "TITLE", "CURRENCYSYMBOL");
// - a column of the query: the current row's, the first row of the page in headers, the last
//   row in footers and the summary.
// A number picture may follow a colon: [SUM(Price):#######0.000] writes the number through it
// with the locale's decimal separator; [Quantity:dec(Decimals)] takes the decimals from the
// column Decimals (0 to 3), as the account's quantities show. "[[" writes "[".
// A name that is none of these makes prepare() fail with an error naming it.
class BandReport
{
public:
    // Answers a variable by its upper-cased name; nothing leaves it to the engine.
    using ValueCallback = std::function<std::optional<QString>(const QString& name)>;

    BandReport();

    // Replaces the template (the pictures loaded so far are forgotten); on error nothing changes.
    void loadFromFile(const QString& path);
    void setTemplate(ReportTemplate layout);
    const ReportTemplate& layout() const { return *m_layout; }

    bool hasObject(const QString& name) const;
    // Loads a BMP (or any picture the toolkit reads) into a named picture object; throws Error
    // naming the file when it cannot be read.
    void loadPicture(const QString& objectName, const QString& path);
    void setPicture(const QString& objectName, const QImage& image);

    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    void setValueCallback(ValueCallback callback) { m_values = std::move(callback); }
    void setRunDate(const QDate& date) { m_runDate = date; }

    // Runs the report over the rows (opening them when closed; null for a report without rows)
    // and lays out its pages. Throws Error for an expression naming nothing known.
    PreparedReport prepare(ReportData* data) const;

private:
    std::shared_ptr<const ReportTemplate> m_layout;
    QHash<QString, QImage> m_pictures;
    QString m_title;
    ValueCallback m_values;
    QDate m_runDate;
};

} // namespace tilvo
