// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tilvo {

// The password dialog `EnterPassWord`: one field `Ed_PassWord` showing "*" for each character,
// with the focus. " &Ok" is enabled only while the field is not empty; Enter in the field
// confirms whatever the button's state.
class TEnterPassWord final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEnterPassWord)

public:
    explicit TEnterPassWord(QWidget* parent = nullptr);

    QString password() const;

    QLabel* Title;
    QLabel* Lab_PassWord;
    QLineEdit* Ed_PassWord;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    void Ed_PassWordChange();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tilvo
