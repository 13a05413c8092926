// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/HistoryGraphOptions.h"

namespace tilvo {

HistoryGraphOptions HistoryGraphOptions::ForHtmlPage(const QString& dataFolder)
{
    HistoryGraphOptions o;
    o.width = 330;
    o.height = 198;
    o.gradient = true;
    o.setAxisFormat = true;
    o.quantityColumn = QStringLiteral("QUANTITY");
    o.dateColumn = QStringLiteral("DateAction");
    o.unitColumn = QStringLiteral("Unit");
    o.amountColumn = QStringLiteral("PRICE");
    o.firstFile = dataFolder + QStringLiteral("Html/Temp/graph1.bmp");
    o.secondFile = dataFolder + QStringLiteral("Html/Temp/graph2.bmp");
    o.backToFirstAfterAmounts = true;
    return o;
}

HistoryGraphOptions HistoryGraphOptions::ForReports(const QString& dataFolder)
{
    HistoryGraphOptions o;
    o.quantityColumn = QStringLiteral("ConsumptionQuantity");
    o.dateColumn = QStringLiteral("ConsumptionDate");
    o.unitColumn = QStringLiteral("Unit");
    o.amountColumn = QStringLiteral("ConsumptionPrice");
    o.firstFile = dataFolder + QStringLiteral("temp1.bmp");
    o.secondFile = dataFolder + QStringLiteral("temp2.bmp");
    return o;
}

} // namespace tilvo
