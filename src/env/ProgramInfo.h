// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tilvo {

inline constexpr const char* ProgramTitle = "Tilvo";
// The version the database's version record is brought up to.
inline constexpr const char* ProgramVersion = "1.83";

} // namespace tilvo
