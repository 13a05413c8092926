// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// The engine's common failures (not a database, damaged, locked, read-only, disk full, cannot
// open, input/output error) as a French sentence followed by the engine's own text, which
// support needs: "La base de données est endommagée. (moteur : database disk image is
// malformed)". Any other text is returned as it stands.
QString ExplainEngineText(const QString& engineText);

} // namespace tilvo
