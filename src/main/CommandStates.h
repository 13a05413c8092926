// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace tilvo {

// The states of the main window's commands.
enum class CommandState
{
    S0, // no dossier open
    S1, // a dossier open, no account selected (its list is empty)
    S2, // an account selected, without entries
    S3, // an account selected, with entries
};

CommandState DecideCommandState(int currentDossierId, int currentAccountId, bool consumptionEmpty);

// Which commands the enabling pass turns on in a state.
struct CommandEnables
{
    bool publishMenus = false;          // Menu_Report, Menu_Html, Btn_Report, Btn_Html
    std::optional<bool> publishEntries; // Popup_Report_Stat/_List, Popup_Html_Stat/_List
    bool fileOpen = false;              // Popup_File_Open
    bool fileAdd = false;               // Popup_File_Add
    bool fileCloseEditDelete = false;   // Popup_File_Close, _Edit, _Delete
    bool accountListAndAdd = false;     // Grid_AccountList, Btn_Account_Add
    bool accountEditDelete = false;     // Btn_Account_Edit, Btn_Account_Delete
    bool consumptionGrid = false;       // Grid_Consumption
    bool consumptionAdd = false;        // Btn_Consumption_Add
    bool consumptionEditDelete = false; // Btn_Consumption_Edit, _Delete
    bool statistics = false;            // the statistics bar and the chart
};

// `profilesHasRow` matters in S0 only: whether the dossier table holds any dossier.
CommandEnables EnablesFor(CommandState state, bool profilesHasRow);

} // namespace tilvo
