// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/LetWindowsRepaint.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace tilvo {

void LetWindowsRepaint()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace tilvo
