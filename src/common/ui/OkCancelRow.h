// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace tilvo {

// The foot of a dialog: " &Ok" (`Btn_Ok`) and " &Annuler" (`Btn_Cancel`) on the right of a
// row. The dialog decides which button is the default and adds the row to its layout.
struct OkCancelRow
{
    QHBoxLayout* layout;
    QPushButton* ok;
    QPushButton* cancel;
};

OkCancelRow MakeOkCancelRow(QWidget* dialog, const QMargins& margins = QMargins(8, 6, 8, 8));

} // namespace tilvo
