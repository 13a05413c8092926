// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/DataModuleFormData.h"

#include "db/TDataModule1.h"
#include "main/Dossiers.h"

namespace tilvo {

bool DataModuleFormData::ProfilesHasRow()
{
    return AnyDossier(m_dataModule.MainFile());
}

bool DataModuleFormData::ConsumptionEmpty()
{
    DataSet& consumption = m_dataModule.Consumption();
    if (!consumption.isActive())
        consumption.open();
    return consumption.isEmpty();
}

int DataModuleFormData::FirstDossierToOpen()
{
    const std::optional<DossierRef> first = FirstDossierForStartup(m_dataModule.MainFile());
    return first ? static_cast<int>(first->id) : -1;
}

} // namespace tilvo
