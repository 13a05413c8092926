// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/EditPickList.h"

#include "db/DataSet.h"
#include "main/PickLists.h"
#include "main/ui/TComboList.h"

#include <QPlainTextEdit>

namespace tilvo {

bool EditPickList(DataSource& comboItems, const QString& title, const QString& listColumn,
                  Prompts& prompts, QWidget* parent)
{
    DataSet& set = comboItems.dataSet();
    set.open();
    struct Closing
    {
        DataSet& set;
        ~Closing() { set.close(); }
    } closing{set};

    TComboList editor(u' ' + title, prompts, parent);
    editor.Memo->setPlainText(CleanPickList(PickListLines(set, listColumn)).join(u'\n'));
    editor.setOnOk([&](const QString& text) {
        try {
            SavePickList(comboItems, listColumn, text);
        } catch (...) {
            set.cancel();
            throw;
        }
    });
    return editor.exec() == QDialog::Accepted;
}

} // namespace tilvo
