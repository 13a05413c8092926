// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tilvo {

// Long operations run on the one thread; this lets pending window messages through so the
// windows stay painted. User input waits, so that no other command can start meanwhile.
// Does nothing when no application object exists (tests without windows).
void LetWindowsRepaint();

} // namespace tilvo
