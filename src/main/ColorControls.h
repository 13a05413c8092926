// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace tilvo {

// Which colour controls of the account dialog are usable, from the "Couleur" check box, the
// chart kind and whether the account has a thumbnail:
// - colour off: the colour button and "Pour toutes les statistiques" disabled, the swatch as
//   it was;
// - colour on with a pie chart, which has no single colour: both disabled, the swatch hidden
//   (the four-colour strip behind it shows) and "Pour toutes les statistiques" unchecked;
// - otherwise: both enabled, the swatch shown.
// The picture's delete button is enabled only with a thumbnail.
struct ColorControls
{
    bool colorButtonEnabled = false;
    std::optional<bool> swatchVisible; // none: keeps its visibility
    bool allColorEnabled = false;
    bool uncheckAllColor = false;
    bool deletePictureEnabled = false;

    bool operator==(const ColorControls&) const = default;
};

ColorControls DecideColorControls(bool setColor, int statTypeIndex, bool hasThumbnail);

} // namespace tilvo
