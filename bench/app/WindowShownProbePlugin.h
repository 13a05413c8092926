// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGenericPlugin>

// Loaded by Qt itself when QT_QPA_GENERIC_PLUGINS names it, so that a program can be timed
// without any code of its own for it. The class of the awaited window comes from
// TILVO_PROBE_WINDOW_CLASS.
class WindowShownProbePlugin final : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "WindowShownProbe.json")

public:
    QObject* create(const QString& key, const QString& specification) override;
};
