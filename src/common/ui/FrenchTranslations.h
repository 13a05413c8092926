// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tilvo {

// Loads the toolkit's own French texts ("&Oui", "&Non", "Annuler" on standard buttons).
// False when the translation file is not installed.
bool InstallFrenchTranslations();

} // namespace tilvo
