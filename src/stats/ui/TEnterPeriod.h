// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tilvo {

class Clock;

// The period dialog `EnterPeriod`: two read-only dates "Du" and "Au" filled through the
// calendar drop-down, and OK allowed only for a begin date strictly before the end date.
// The caller writes both texts, runs the dialog and reads them back after OK.
class TEnterPeriod final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEnterPeriod)

public:
    explicit TEnterPeriod(const Clock& clock, QWidget* parent = nullptr);
    explicit TEnterPeriod(QWidget* parent = nullptr);

    QLabel* Title;
    QLineEdit* Ed_Begin_Date;
    QToolButton* Btn_Begin_Date;
    QLineEdit* Ed_End_Date;
    QToolButton* Btn_End_Date;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    void Btn_Begin_DateClick();
    void Btn_End_DateClick();
    void Ed_Begin_DateChange();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const Clock& m_clock;
};

} // namespace tilvo
