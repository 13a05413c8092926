// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace tilvo {

class DataSet;

// Keeps a dataset's place while its connection is closed around a file operation (backup,
// restore, compaction). Taking it posts a pending row and stops the bound controls from
// following the dataset; reopen() opens it again on the row that was current (found by its
// field Id; the first row when that row is gone) and lets the controls follow again, which
// shows them the reopened rows once. A dataset that was closed stays closed. The controls
// follow again in every case when the keeper goes.
class KeptDataSet
{
public:
    explicit KeptDataSet(DataSet& dataSet);
    ~KeptDataSet();
    KeptDataSet(const KeptDataSet&) = delete;
    KeptDataSet& operator=(const KeptDataSet&) = delete;

    // Needs the connection open again. Errors of the engine reach the caller; the controls
    // then follow the dataset again, closed.
    void reopen();

    bool wasActive() const { return m_wasActive; }
    qint64 currentId() const { return m_id; }

private:
    void release();

    DataSet& m_set;
    bool m_wasActive = false;
    qint64 m_id = -1;
    bool m_held = false;
};

} // namespace tilvo
