// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/RenameCaption.h"

#include "main/CustomCaptions.h"
#include "main/ui/TEnterStr.h"

#include <QLabel>
#include <QLineEdit>

namespace tilvo {

bool RenameCaption(QLabel* caption, DataSet& query, int dossierId, Prompts& prompts,
                   QWidget* parent)
{
    TEnterStr dialog(prompts, parent);
    dialog.Lab_Title->setText(QStringLiteral("Modifiez le libellé"));
    dialog.Ed_Str->setText(caption->text());
    const QString name = caption->objectName();
    dialog.setOnOk([&](const QString& text) {
        RenameCustomCaption(query, dossierId, name, text);
        caption->setText(text);
    });
    return dialog.exec() == QDialog::Accepted;
}

} // namespace tilvo
