// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Error.h"

#include <optional>

namespace tilvo {

class MainFormData;

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

// What the enabling pass decides from the database, and the error of a read that failed.
struct CommandDecision
{
    CommandState state = CommandState::S0;
    CommandEnables enables;
    std::optional<Error> failure;
};

// Reads what the enabling pass needs. A read that fails turns off what it would have allowed:
// an unreadable dossier table offers no dossier to open, unreadable entries offer none to edit.
CommandDecision DecideCommands(int currentDossierId, int currentAccountId, MainFormData& data);

} // namespace tilvo
