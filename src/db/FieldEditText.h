// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

class Field;

// The text an editor shows for a field of the current row: dates "dd/mm/yyyy", numbers with
// the locale's decimal separator (through the field's edit format when it has one), nothing
// for null.
QString FieldEditText(const Field& field);

// Writes a text typed in an editor into the field. Numbers take the locale's decimal
// separator or "." and blanks around them; an empty text makes a number or a date null;
// texts are kept exactly. Throws Error with a French message when the field refuses the
// text (not a number, not a date, too long), leaving the field as it was.
void SetFieldFromEditText(Field& field, const QString& text);

} // namespace tilvo
