// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace tilvo {

// The temporary pictures of a report run, deleted when the run ends however it ends.
class ReportTempFiles
{
public:
    explicit ReportTempFiles(QStringList paths) : m_paths(std::move(paths)) {}
    ~ReportTempFiles() { remove(); }
    ReportTempFiles(const ReportTempFiles&) = delete;
    ReportTempFiles& operator=(const ReportTempFiles&) = delete;

    const QStringList& paths() const { return m_paths; }
    void remove();

private:
    QStringList m_paths;
};

} // namespace tilvo
