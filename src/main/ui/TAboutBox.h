// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace tilvo {

// The about window: the program's name and version.
class TAboutBox final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAboutBox)

public:
    TAboutBox(int currentYear, QWidget* parent);
};

} // namespace tilvo
