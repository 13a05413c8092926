// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>

namespace tilvo {

// Lower-case accented letters become plain ones (é → e, ç → c ...); capitals stay.
QString FoldAccents(const QString& text);
// Each of / \ : * ? " < > | becomes "_".
QString FileNameSafe(const QString& text);
// Removes leading and trailing spaces (tabs stay). A text made only of spaces keeps one.
QString TrimBlanks(const QString& text);
// Whether the text, with its first "," read as ".", is a decimal real number
// (optional sign, digits, optional fraction, optional exponent). Never throws.
bool IsNumberText(const QString& text);
// The first "," (or, when there is none, the first ".") becomes the given separator.
QString ToLocaleDecimal(const QString& text, QChar separator);
// Same, with the decimal separator of the default locale.
QString ToLocaleDecimal(const QString& text);

} // namespace tilvo
