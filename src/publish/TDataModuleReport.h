// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/DataSet.h"
#include "publish/BandReport.h"
#include "publish/DataSetReportData.h"

#include <QObject>
#include <QString>
#include <optional>

namespace tilvo {

class Connection;

// The report data module, made once at start-up: the report query on the program's connection,
// the report engine reading it, and the variables the program answers. It goes before the
// connection it was given (its query must not outlive it).
class TDataModuleReport final : public QObject
{
    Q_OBJECT

public:
    explicit TDataModuleReport(Connection& connection, QObject* parent = nullptr);
    ~TDataModuleReport() override;
    Q_DISABLE_COPY_MOVE(TDataModuleReport)

    DataSet& ReportQuery() { return m_reportQuery; }
    // What the engine's data band reads: ReportQuery, opened by the run when it is closed.
    ReportData& frDBDataSet() { return m_reportData; }
    BandReport& frReport() { return m_report; }

    // "CURRENCYSYMBOL": the currency of the money format; "TITLE": the title of the last
    // report started, accents folded and upper-cased. Names are compared upper-cased; any other
    // is left to the engine (nothing).
    std::optional<QString> frReportGetValue(const QString& name) const;

    // Set by each report as it starts.
    void setReportTitle(const QString& title);
    void setMoneyFormat(const QString& moneyFormat);
    const QString& titleVariable() const { return m_titleVariable; }

private:
    DataSet m_reportQuery;
    DataSetReportData m_reportData;
    BandReport m_report;
    QString m_titleVariable;
    QString m_currencySymbol;
};

} // namespace tilvo
