// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/MainFormData.h"

namespace tilvo {

class TDataModule1;

// What the enabling pass reads, over the shared data module.
class DataModuleFormData final : public MainFormData
{
public:
    explicit DataModuleFormData(TDataModule1& dataModule) : m_dataModule(dataModule) {}

    bool ProfilesHasRow() override;
    // Opens `Consumption` on its current statement when it is closed; it stays open.
    bool ConsumptionEmpty() override;
    int FirstDossierToOpen() override;

private:
    TDataModule1& m_dataModule;
};

} // namespace tilvo
