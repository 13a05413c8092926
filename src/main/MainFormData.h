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
};

} // namespace tilvo
