// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// Deletes the destination, then writes a compacted copy of the source database file there
// and checks it. Throws Error with the engine's text when the source cannot be read (damaged,
// not a database, locked) or the copy fails its check; the source is never changed, and no
// half-written destination is left behind. The source must not be open on any connection.
void CompactDatabaseFile(const QString& source, const QString& destination);

} // namespace tilvo
