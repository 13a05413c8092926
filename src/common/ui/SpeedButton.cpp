// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/SpeedButton.h"

#include <QToolButton>

namespace tilvo {

QToolButton* SpeedButton(QWidget* parent, const char* name, const QString& caption,
                         const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace tilvo
