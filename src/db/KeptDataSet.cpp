// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/KeptDataSet.h"

#include "db/DataSet.h"
#include "db/DataSetOps.h"

namespace tilvo {

KeptDataSet::KeptDataSet(DataSet& dataSet) : m_set(dataSet)
{
    m_wasActive = m_set.isActive();
    if (m_wasActive) {
        // A row being typed must not be lost when the connection closes.
        if (m_set.state() == DataSetState::Editing || m_set.state() == DataSetState::Inserting)
            m_set.post();
        if (!IsEmptyDataSet(m_set)) {
            if (const std::optional<Field> id = m_set.findField(QStringLiteral("Id")))
                m_id = id->asInteger();
        }
    }
    m_set.disableControls();
    m_held = true;
}

KeptDataSet::~KeptDataSet()
{
    release();
}

void KeptDataSet::release()
{
    if (m_held) {
        m_held = false;
        m_set.enableControls();
    }
}

void KeptDataSet::reopen()
{
    try {
        if (m_wasActive) {
            m_set.close();
            m_set.open();
            if (m_id < 0 || !m_set.locate(QStringLiteral("Id"), m_id))
                m_set.first();
        }
    } catch (...) {
        release();
        throw;
    }
    release();
}

} // namespace tilvo
