// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/OkCancelRow.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace tilvo {

OkCancelRow MakeOkCancelRow(QWidget* dialog, const QMargins& margins)
{
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(margins);
    layout->addStretch();
    auto* ok = new QPushButton(QStringLiteral(" &Ok"), dialog);
    ok->setObjectName(QStringLiteral("Btn_Ok"));
    auto* cancel = new QPushButton(QStringLiteral(" &Annuler"), dialog);
    cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    layout->addWidget(ok);
    layout->addWidget(cancel);
    return {layout, ok, cancel};
}

} // namespace tilvo
