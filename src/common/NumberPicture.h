// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>

namespace tilvo {

// Writes a number through a display picture: "0" a required digit, "#" an optional digit,
// "." the place of the decimal separator; no digit grouping. The number takes the first run
// of these characters; everything before and after it is copied as it stands, so a unit
// written after the picture ("#######0.00 m3.h") is never read as digits.
// "#######0.000 €" gives "12,500 €" for 12.5 with a comma separator. A picture without
// digits is returned unchanged.
QString FormatNumberPicture(double value, const QString& picture, QChar decimalSeparator);
// Same, with the decimal separator of the default locale.
QString FormatNumberPicture(double value, const QString& picture);

// The default locale's decimal separator ("," under a French locale).
QChar LocaleDecimalSeparator();

} // namespace tilvo
