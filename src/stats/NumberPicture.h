// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>

namespace tilvo {

// Writes a number through a picture such as "#######0.000 €" or "###0": in the first run of
// "#", "0" and "." characters, "0" is a required digit, "#" an optional one and "." the place
// of the decimal separator; every other character is copied. Rounded to the decimals the
// picture allows (trailing optional ones dropped), no grouping, "-" before a negative value.
// Magnitudes of 1e18 and more are written in exponent form; NaN and infinities as
// "NAN", "INF" and "-INF". Only the first run counts, so a unit such as "l/100km" after the
// number stays as it is.
QString FormatWithPicture(double value, const QString& picture, QChar decimalSeparator);
// The most decimals the picture shows.
int PictureDecimals(const QString& picture);

} // namespace tilvo
