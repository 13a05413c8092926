// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/ShowDropDown.h"

#include "common/ui/TStrList.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "main/PickLists.h"

namespace tilvo {

TStrList* ShowDropDown(QLineEdit* field, bool sorted, const QString& lines, DataSource* editing,
                       DataSet* comboItems, const QString& listColumn)
{
    if (editing)
        EnsureEditing(*editing, editing->dataSet());
    // The pick-list is sorted here, under its empty first line; the list keeps this order.
    const QStringList shown = DropDownLines(comboItems, listColumn, lines, sorted);
    return TStrList::openUnder(field, shown, false);
}

} // namespace tilvo
