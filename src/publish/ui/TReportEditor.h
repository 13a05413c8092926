// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tilvo {

class Prompts;

// The report designer: the template file in a plain text editor. Saving writes the file and
// calls `onSaved` (which shows the report again); an error there is shown and the text stays
// open for correction.
class TReportEditor final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TReportEditor)

public:
    TReportEditor(const QString& path, Prompts& prompts, std::function<void()> onSaved,
                  QWidget* parent = nullptr);

    QLabel* Title;
    QPlainTextEdit* Ed_Template;
    QPushButton* Btn_Save;
    QPushButton* Btn_Close;

    void Btn_SaveClick();

private:
    QString m_path;
    Prompts& m_prompts;
    std::function<void()> m_onSaved;
};

} // namespace tilvo
