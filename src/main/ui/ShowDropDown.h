// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLineEdit;

namespace tilvo {

class DataSet;
class DataSource;
class TStrList;

// Opens the drop-down list under `field` and returns at once; the choice arrives later as the
// field's text and chosen index. The lines are the CR-separated `lines`, or, when
// `listColumn` names a COMBOITEMS column, that pick-list read from `comboItems` with an
// empty line on top. When `editing` is given its dataset is put into editing first, since a
// bound field writes into it. Throws Error (nothing opened) when that or the reading fails.
TStrList* ShowDropDown(QLineEdit* field, bool sorted, const QString& lines,
                       DataSource* editing = nullptr, DataSet* comboItems = nullptr,
                       const QString& listColumn = QString());

} // namespace tilvo
