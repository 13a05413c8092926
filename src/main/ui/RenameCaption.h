// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLabel;
class QWidget;

namespace tilvo {

class DataSet;
class Prompts;

// Renames a custom caption of the account dialog (a double-click on `Lab_Misc01` ...
// `Lab_Misc07`): the caption dialog opens on its text; " &Ok" stores the new text for the
// dossier on the scratch `query`, and only then shows it. Returns true when it was renamed.
bool RenameCaption(QLabel* caption, DataSet& query, int dossierId, Prompts& prompts,
                   QWidget* parent = nullptr);

} // namespace tilvo
