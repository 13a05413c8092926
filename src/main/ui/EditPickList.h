// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace tilvo {

class DataSource;
class Prompts;

// Runs the pick-list editor, modal, on the COMBOITEMS column `listColumn`, titled " " +
// `title`. It shows the list cleaned (CleanPickList); " &Ok" stores the text as it then
// stands. Returns true when it was stored. `comboItems` is open only while this runs.
bool EditPickList(DataSource& comboItems, const QString& title, const QString& listColumn,
                  Prompts& prompts, QWidget* parent = nullptr);

} // namespace tilvo
