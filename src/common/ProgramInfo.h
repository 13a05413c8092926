// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tilvo {

inline constexpr const char* ProgramTitle = "Tilvo";
// The version the database's version record is brought up to.
inline constexpr const char* ProgramVersion = "1.83";
inline constexpr const char* MakerName = "Vantrel Software Developpement";
inline constexpr const char* MakerEmail = "support@vantrel-software.example";
inline constexpr const char* MakerWebSite = "https://www.vantrel-software.example/";
// The name other processes see for the single-instance guard.
inline constexpr const char* InstanceName = "ZEMBRALIK_TILVO";

} // namespace tilvo
