// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/EntriesDisplay.h"

#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "main/AccountEntry.h"
#include "stats/StatisticFormats.h"

#include <QLocale>

namespace tilvo {

namespace {

const QString kQuantity = QStringLiteral("Quantity");

// Reopens `Consumption` on another account without its controls following meanwhile.
void Reopen(DataSet& consumption, qint64 accountId, const std::function<void()>& whileStopped)
{
    consumption.disableControls();
    try {
        consumption.close();
        ReplaceWhereLine(consumption,
                         QStringLiteral("WHERE Id_Account=") + QString::number(accountId));
        consumption.open();
        consumption.last();
        if (whileStopped)
            whileStopped();
    } catch (...) {
        consumption.enableControls();
        throw;
    }
    consumption.enableControls();
}

} // namespace

QString ProgramCurrencySymbol(const QLocale& locale)
{
    return CurrencySymbolFor(locale.currencySymbol());
}

QString PriceDisplayFormat(const QString& currencySymbol)
{
    return QStringLiteral("#######0.000 ") + currencySymbol;
}

void SetPriceDisplay(DataSet& consumption, const QString& currencySymbol)
{
    const QString price = QStringLiteral("Price");
    FieldDisplay display = consumption.fieldDisplay(price);
    display.displayFormat = PriceDisplayFormat(currencySymbol);
    consumption.setFieldDisplay(price, display);
}

QString QuantityDisplayFormat(const AccountEntry& entry)
{
    if (entry.Unit.isEmpty())
        return entry.QuantityEditFormat;
    return entry.QuantityEditFormat + u' ' + entry.Unit;
}

void ShowAccountEntries(DataSet& consumption, const AccountEntry& entry)
{
    Reopen(consumption, entry.AccountId, [&] {
        FieldDisplay display = consumption.fieldDisplay(kQuantity);
        display.editFormat = entry.QuantityEditFormat;
        display.displayFormat = QuantityDisplayFormat(entry);
        consumption.setFieldDisplay(kQuantity, display);
    });
}

void ShowNoEntries(DataSet& consumption)
{
    Reopen(consumption, -1, nullptr);
}

} // namespace tilvo
