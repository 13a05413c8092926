// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/PickLists.h"

#include "common/DropDownRules.h"
#include "common/Error.h"
#include "common/SqlText.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"

#include <algorithm>

namespace tilvo {

QStringList CleanPickList(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : SortIgnoringCase(lines)) {
        const bool seen = std::any_of(kept.begin(), kept.end(), [&line](const QString& k) {
            return k.compare(line, Qt::CaseInsensitive) == 0;
        });
        if (!seen)
            kept << line;
    }
    return kept;
}

QStringList PickListLines(DataSet& comboItems, const QString& column)
{
    const Field field = comboItems.fieldByName(column);
    if (IsEmptyDataSet(comboItems))
        return {};
    return SplitLines(field.asText());
}

QStringList DropDownLines(DataSet* comboItems, const QString& listColumn, const QString& fixedLines,
                          bool sorted)
{
    if (listColumn.isEmpty()) {
        QStringList lines = fixedLines.isEmpty() ? QStringList() : fixedLines.split(u'\r');
        return sorted ? SortIgnoringCase(lines) : lines;
    }
    if (!comboItems)
        throw Error(QStringLiteral("Aucune liste de choix pour %1.").arg(listColumn));
    QStringList lines;
    comboItems->open();
    try {
        lines = PickListLines(*comboItems, listColumn);
    } catch (...) {
        comboItems->close();
        throw;
    }
    comboItems->close();
    if (sorted)
        lines = SortIgnoringCase(lines);
    lines.prepend(QString());
    return lines;
}

void SavePickList(DataSource& comboItems, const QString& column, const QString& text)
{
    DataSet& set = comboItems.dataSet();
    QStringList lines = SplitLines(text);
    EnsureEditing(comboItems, set);
    set.fieldByName(column).setText(lines.join(QStringLiteral("\r\n")));
    set.post();
}

} // namespace tilvo
