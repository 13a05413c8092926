// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

class Connection;

// The database version record: the row of `table` (OBJECT_VAL_STR) whose ID_CLASS,
// ID_ATTRIBUTE and USERID are all -99; its text column is `column` ("VALUE", "VAL" in older
// databases).

// Needs an open connection. Returns the stored version text; "0" when there is none or when
// anything fails (missing table or column, closed connection).
QString GetBDVersion(Connection& connection, const QString& table, const QString& column);

// Needs an open connection. Updates the first version row, or inserts one when there is none.
// Errors of the engine reach the caller.
void SetBDVersion(Connection& connection, const QString& table, const QString& column,
                  const QString& version);

// The version text without its first "." read as a decimal integer ("1.83" gives 183,
// "1.9" gives 19, "2" gives 2); 0 for anything else ("", "1.8.3", letters).
int VersionNumber(const QString& version);

} // namespace tilvo
