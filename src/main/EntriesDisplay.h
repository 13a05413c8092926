// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLocale;

namespace tilvo {

class DataSet;
struct AccountEntry;

// The program's currency symbol: the locale's, except that "F", "FF" and "FR" (in any letter
// case) become "€".
QString ProgramCurrencySymbol(const QLocale& locale);
// "#######0.000 " followed by the symbol.
QString PriceDisplayFormat(const QString& currencySymbol);
// The display format of `Consumption.Price`.
void SetPriceDisplay(DataSet& consumption, const QString& currencySymbol);

// The quantity's display format: the edit format, then a blank and the unit when there is one.
QString QuantityDisplayFormat(const AccountEntry& entry);

// Shows the entries of the account in `Consumption`: its controls stop following it, it is
// closed, its WHERE line becomes "WHERE Id_Account=" + the account's ID, it is opened on its
// last row (the latest entry) and the quantity takes the account's edit and display formats;
// the controls then follow it again, also when the opening failed.
void ShowAccountEntries(DataSet& consumption, const AccountEntry& entry);
// The same with "WHERE Id_Account=-1": `Consumption` open and empty.
void ShowNoEntries(DataSet& consumption);

} // namespace tilvo
