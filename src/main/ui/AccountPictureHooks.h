// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QWidget;

namespace tilvo {

// The picture commands of the account dialog, filled in by the pictures code. Each works on
// the account being edited (the current row of `Account`, in editing); `dialog` is the
// account dialog, the parent of any window the command opens. An empty hook does nothing.
// After `select` and `remove` the dialog shows the thumbnail again and redoes its enabling.
struct AccountPictureHooks
{
    std::function<void(QWidget* dialog)> select; // Btn_Select_Img, Popup_Img_Select
    std::function<void(QWidget* dialog)> remove; // Btn_Delete_Img, Popup_Img_Delete
    std::function<void(QWidget* dialog)> view;  // double-click on the thumbnail, Popup_Img_FullSize
    std::function<void(QWidget* dialog)> print; // Popup_Img_Print
    std::function<void(QWidget* dialog)> saveCopy; // Popup_Img_Save
};

} // namespace tilvo
