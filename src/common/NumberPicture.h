// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>

namespace tilvo {

// Writes a number through a display picture such as "#######0.000 €" or "###0": in the first
// run of "#", "0" and "." characters, "0" is a required digit, "#" an optional one and "."
// the place of the decimal separator; everything before and after the run is copied, so a
// unit written after the number ("l/100km", "m3.0#") is never read as digits. Rounded to the
// decimals the picture allows (halves away from zero; trailing optional ones dropped), no
// grouping, "-" only before a value that shows a digit other than 0. Magnitudes of 1e18 and
// more are written in exponent form; NaN and infinities as "NAN", "INF" and "-INF".
// "#######0.000 €" gives "12,500 €" for 12.5 with a comma separator. A picture without
// digit marks is returned unchanged.
QString FormatNumberPicture(double value, const QString& picture, QChar decimalSeparator);
// Same, with the decimal separator of the default locale.
QString FormatNumberPicture(double value, const QString& picture);
// The most decimals the picture shows.
int PictureDecimals(const QString& picture);

// The default locale's decimal separator ("," under a French locale).
QChar LocaleDecimalSeparator();

} // namespace tilvo
