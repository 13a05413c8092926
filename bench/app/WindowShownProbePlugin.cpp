// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowShownProbePlugin.h"

#include "WindowShownProbe.h"

#include <QCoreApplication>

QObject* WindowShownProbePlugin::create(const QString&, const QString&)
{
    auto* probe = new WindowShownProbe(qgetenv("TILVO_PROBE_WINDOW_CLASS"));
    QCoreApplication::instance()->installEventFilter(probe);
    return probe;
}
