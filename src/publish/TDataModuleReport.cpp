// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/TDataModuleReport.h"

#include "common/TextHelpers.h"
#include "stats/StatisticFormats.h"

namespace tilvo {

TDataModuleReport::TDataModuleReport(Connection& connection, QObject* parent)
    : QObject(parent), m_reportQuery(connection, QStringLiteral("ReportQuery")),
      m_reportData(m_reportQuery)
{
    setObjectName(QStringLiteral("DataModuleReport"));
    m_report.setValueCallback([this](const QString& name) { return frReportGetValue(name); });
}

TDataModuleReport::~TDataModuleReport() = default;

std::optional<QString> TDataModuleReport::frReportGetValue(const QString& name) const
{
    const QString upper = name.toUpper();
    if (upper == QLatin1String("CURRENCYSYMBOL"))
        return m_currencySymbol;
    if (upper == QLatin1String("TITLE"))
        return m_titleVariable;
    return std::nullopt;
}

void TDataModuleReport::setReportTitle(const QString& title)
{
    m_report.setTitle(title);
    m_titleVariable = FoldAccents(title).toUpper();
}

void TDataModuleReport::setMoneyFormat(const QString& moneyFormat)
{
    m_currencySymbol = CurrencySymbolOf(moneyFormat);
}

} // namespace tilvo
