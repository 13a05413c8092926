// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tilvo {

class Prompts;

// The caption dialog `EnterStr`: a label `Lab_Title` over a one-line field `Ed_Str`. " &Ok"
// is enabled only while the field is not empty; it runs the check given by the caller (an
// error there is shown and the dialog stays open).
class TEnterStr final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEnterStr)

public:
    explicit TEnterStr(Prompts& prompts, QWidget* parent = nullptr);

    void setOnOk(std::function<void(const QString& text)> accept) { m_onOk = std::move(accept); }

    QLabel* Title;
    QLabel* Lab_Title;
    QLineEdit* Ed_Str;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    void Ed_StrChange();
    void Btn_OkClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Prompts& m_prompts;
    std::function<void(const QString&)> m_onOk;
};

} // namespace tilvo
