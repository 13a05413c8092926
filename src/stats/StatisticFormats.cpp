// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/StatisticFormats.h"

namespace tilvo {

namespace {

const QString kMoneyPicture = QStringLiteral("#######0.000 ");

} // namespace

QString CurrencySymbolFor(const QString& localeSymbol)
{
    const QString upper = localeSymbol.toUpper();
    if (upper == u"F" || upper == u"FF" || upper == u"FR")
        return QStringLiteral("€");
    return localeSymbol;
}

QString MoneyFormatFor(const QString& localeSymbol)
{
    return kMoneyPicture + CurrencySymbolFor(localeSymbol);
}

QString CurrencySymbolOf(const QString& moneyFormat)
{
    if (moneyFormat.startsWith(kMoneyPicture))
        return moneyFormat.mid(kMoneyPicture.size());
    return QString();
}

QString QuantityEditFormat(int decimals)
{
    QString format = QStringLiteral("#######0");
    if (decimals >= 1 && decimals <= 3)
        format += u'.' + QString(decimals, u'0');
    return format;
}

QString QuantityFormatFor(int decimals, const QString& unit)
{
    QString format = QuantityEditFormat(decimals);
    if (!unit.isEmpty())
        format += u' ' + unit;
    return format;
}

} // namespace tilvo
