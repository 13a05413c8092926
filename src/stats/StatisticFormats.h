// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// The currency symbol amounts are written with: the locale's, except that the franc's symbols
// "F", "FF" and "FR" (in any case) have become "€".
QString CurrencySymbolFor(const QString& localeSymbol);
// "#######0.000 " followed by the currency symbol (after the rule above).
QString MoneyFormatFor(const QString& localeSymbol);
// The symbol a money format ends with (what follows "#######0.000 ").
QString CurrencySymbolOf(const QString& moneyFormat);

// The edit format of an account's quantities: "#######0", then ".0", ".00" or ".000" for 1, 2
// or 3 decimals.
QString QuantityEditFormat(int decimals);
// The edit format followed, when the account has a unit, by a blank and the unit.
QString QuantityFormatFor(int decimals, const QString& unit);

} // namespace tilvo
