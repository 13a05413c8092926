// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QPushButton;
class QTextBrowser;

namespace tilvo {

// The notice shown when the database library is missing or too old: the page
// html/mdac.htm of the program folder.
class TMdacMsg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMdacMsg)

public:
    TMdacMsg(const QString& programFolder, QWidget* parent = nullptr);

    QTextBrowser* WebBrowser1;
    QPushButton* CloseBtn;
};

} // namespace tilvo
