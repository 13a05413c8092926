// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stats/StatisticFormats.h" // QuantityEditFormat

#include <QDate>
#include <QString>

namespace tilvo {

// One row of the account list. The list keeps each row as one text in which every field is
// followed by its end marker: the id (at least four digits) then "#", the title then "%&a%",
// the description "%&b%", the information line "%&c%", the quantity edit format "%&d%", the
// unit "%&e%", the period, chart and value kinds "%&f%", "%&g%", "%&h%", the chart colour
// "%&i%" and the all-colour flag "%&j%".
//
// Field texts typed by the user may hold "%" and so a marker; every "%" inside a field is
// written "%25" so that only real markers are found when the text is read back.
struct AccountEntry
{
    qint64 AccountId = -1;
    QString Title;
    QString Description;
    QString InfoLine;
    QString QuantityEditFormat;
    QString Unit;
    int PeriodType = 0;
    int StatType = 1;
    int ValueType = 0;
    quint32 ChartColor = 0; // the account's colour when it uses one, 0 otherwise
    bool AllColor = false;

    bool operator==(const AccountEntry&) const = default;
};

QString ComposeAccountEntry(const AccountEntry& entry);
// Reads back what ComposeAccountEntry wrote; a missing field reads empty (or 0).
AccountEntry ParseAccountEntry(const QString& text);

// The creation date, then the counter with the account's decimals when it is above 0, then the
// unit: "01/02/2008  - 12.5 kWh", "01/02/2008  - kWh", "01/02/2008".
QString AccountInfoLine(const QDate& createDate, double count, int decimals, const QString& unit);

} // namespace tilvo
