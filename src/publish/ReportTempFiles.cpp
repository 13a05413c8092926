// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/ReportTempFiles.h"

#include <QFile>

namespace tilvo {

void ReportTempFiles::remove()
{
    for (const QString& path : std::as_const(m_paths))
        QFile::remove(path);
}

} // namespace tilvo
