// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;
class QToolButton;
class QWidget;

namespace tilvo {

// A flat button of a viewer's bar, as small as its caption, that leaves the keyboard focus
// where it is.
QToolButton* SpeedButton(QWidget* parent, const char* name, const QString& caption,
                         const QString& hint);

} // namespace tilvo
