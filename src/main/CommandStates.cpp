// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/CommandStates.h"

#include "main/MainFormData.h"

namespace tilvo {

CommandState DecideCommandState(int currentDossierId, int currentAccountId, bool consumptionEmpty)
{
    if (currentDossierId == -1)
        return CommandState::S0;
    if (currentAccountId == -1)
        return CommandState::S1;
    return consumptionEmpty ? CommandState::S2 : CommandState::S3;
}

CommandEnables EnablesFor(CommandState state, bool profilesHasRow)
{
    CommandEnables e;
    const bool open = state != CommandState::S0;
    const bool account = state == CommandState::S2 || state == CommandState::S3;
    const bool entries = state == CommandState::S3;
    e.publishMenus = open;
    // With no dossier the publishing entries cannot be reached: they keep their state.
    if (open)
        e.publishEntries = entries;
    e.fileOpen = !open && profilesHasRow;
    e.fileAdd = !open;
    e.fileCloseEditDelete = open;
    e.accountListAndAdd = open;
    e.accountEditDelete = account;
    e.consumptionGrid = open;
    e.consumptionAdd = account;
    e.consumptionEditDelete = entries;
    e.statistics = entries;
    return e;
}

CommandDecision DecideCommands(int currentDossierId, int currentAccountId, MainFormData& data)
{
    CommandDecision decision;
    bool profilesHasRow = false;
    bool consumptionEmpty = true;
    try {
        if (currentDossierId == -1)
            profilesHasRow = data.ProfilesHasRow();
        else if (currentAccountId != -1)
            consumptionEmpty = data.ConsumptionEmpty();
    } catch (const Error& e) {
        decision.failure = e;
    }
    decision.state = DecideCommandState(currentDossierId, currentAccountId, consumptionEmpty);
    decision.enables = EnablesFor(decision.state, profilesHasRow);
    return decision;
}

} // namespace tilvo
