// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tilvo {

// What the main window's enabling pass asks of the database.
class MainFormData
{
public:
    virtual ~MainFormData() = default;
    // Whether the dossier table holds at least one dossier. Throws Error when it cannot be read.
    virtual bool ProfilesHasRow() = 0;
    // Whether the selected account has no entries.
    virtual bool ConsumptionEmpty() = 0;
    // The dossier opened by itself at start-up: the first one, when it has no password;
    // -1 for none. Throws Error when the dossier table cannot be read.
    virtual int FirstDossierToOpen() = 0;
};

} // namespace tilvo
