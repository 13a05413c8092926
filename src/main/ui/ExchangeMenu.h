// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/MainWindowHooks.h"

#include <QString>
#include <functional>

class QMenu;
class QWidget;

namespace tilvo {

class Clock;
class Prompts;
class TDataModule1;

// What the exchange entries take from the main window when they run.
struct ExchangeContext
{
    TDataModule1& dm;
    Prompts& prompts;
    const Clock& clock;
    QString exportFolder; // DataFolder + "Export/": where the files are proposed
    int dossierId = -1;   // CurrentDossierId
    int accountId = -1;   // CurrentAccountId
    MainWindowHooks hooks;
    QWidget* parent = nullptr; // the main window
};

// "&Exporter les consommations …": with a dossier open, asks what to export (the selected
// account's entries, all or of a period, or every account's of the dossier), the period when
// one is wanted (the period dialog, preset with the account's first and last entries), then the
// file, writes it with the wait window and says how many entries it holds. Returns whether a
// file was written.
bool ExportEntriesAction(const ExchangeContext& context);

// "&Importer des consommations …": with an account selected, asks the file, shows the import
// dialog and, once entries were imported, reopens `Consumption`, recomputes the statistic,
// refreshes the account's line (its counter) and runs the enabling pass, then says how many
// entries were imported. Returns whether any were.
bool ImportEntriesAction(const ExchangeContext& context);

// Adds the sub-menu "&Echanges" (`Popup_Tools_Exchange`) with `Popup_Tools_Exchange_Export`
// and `Popup_Tools_Exchange_Import` to the tools menu. `context` is asked each time the
// sub-menu opens (to enable the export with a dossier open and the import with an account
// selected) and each time an entry runs; errors go to the error display. Returns the sub-menu.
QMenu* AddExchangeMenu(QMenu* tools, std::function<ExchangeContext()> context);

} // namespace tilvo
