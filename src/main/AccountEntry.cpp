// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/AccountEntry.h"

#include "common/DateHelpers.h"
#include "common/SqlText.h"

#include <array>

namespace tilvo {

namespace {

const std::array<QLatin1String, 10> kMarkers = {
    QLatin1String("%&a%"), QLatin1String("%&b%"), QLatin1String("%&c%"), QLatin1String("%&d%"),
    QLatin1String("%&e%"), QLatin1String("%&f%"), QLatin1String("%&g%"), QLatin1String("%&h%"),
    QLatin1String("%&i%"), QLatin1String("%&j%")};

QString Escape(QString text)
{
    return text.replace(u'%', QLatin1String("%25"));
}

QString Unescape(QString text)
{
    return text.replace(QLatin1String("%25"), QLatin1String("%"));
}

} // namespace

QString ComposeAccountEntry(const AccountEntry& e)
{
    const QString fields[] = {e.Title,
                              e.Description,
                              e.InfoLine,
                              e.QuantityEditFormat,
                              e.Unit,
                              QString::number(e.PeriodType),
                              QString::number(e.StatType),
                              QString::number(e.ValueType),
                              QString::number(e.ChartColor),
                              e.AllColor ? QStringLiteral("1") : QStringLiteral("0")};
    QString text = ZeroPad(e.AccountId, 4) + u'#';
    for (size_t i = 0; i < kMarkers.size(); ++i)
        text += Escape(fields[i]) + kMarkers[i];
    return text;
}

AccountEntry ParseAccountEntry(const QString& text)
{
    AccountEntry e;
    const qsizetype hash = text.indexOf(u'#');
    e.AccountId = hash < 0 ? -1 : text.left(hash).toLongLong();
    QString fields[kMarkers.size()];
    qsizetype from = hash + 1;
    for (size_t i = 0; i < kMarkers.size(); ++i) {
        const qsizetype end = text.indexOf(kMarkers[i], from);
        if (end < 0)
            break;
        fields[i] = Unescape(text.mid(from, end - from));
        from = end + kMarkers[i].size();
    }
    e.Title = fields[0];
    e.Description = fields[1];
    e.InfoLine = fields[2];
    e.QuantityEditFormat = fields[3];
    e.Unit = fields[4];
    e.PeriodType = fields[5].toInt();
    e.StatType = fields[6].toInt();
    e.ValueType = fields[7].toInt();
    e.ChartColor = fields[8].toUInt();
    e.AllColor = fields[9] == u"1";
    return e;
}

QString AccountInfoLine(const QDate& createDate, double count, int decimals, const QString& unit)
{
    QString line = FormatDateText(createDate);
    if (count > 0)
        line += QStringLiteral("  - ") + TrimLeadingBlanks(FormatReal(count, 7, decimals));
    else if (!unit.isEmpty())
        line += QStringLiteral("  -");
    if (!unit.isEmpty())
        line += u' ' + unit;
    return line;
}

} // namespace tilvo
