// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tilvo {

class Prompts;

// The pick-list editor `ComboList`: one line per item in the text area `Memo`. " &Ok" runs
// the save given by the caller (an error there is shown and the editor stays open);
// " &Annuler" and the close box leave everything as it was.
class TComboList final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TComboList)

public:
    TComboList(const QString& title, Prompts& prompts, QWidget* parent = nullptr);

    void setOnOk(std::function<void(const QString& text)> save) { m_save = std::move(save); }

    QLabel* Title;
    QPlainTextEdit* Memo;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    void Btn_OkClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Prompts& m_prompts;
    std::function<void(const QString&)> m_save;
};

} // namespace tilvo
