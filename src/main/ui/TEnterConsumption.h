// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QToolButton;

namespace tilvo {

class Clock;
class DBEdit;
class DBMemo;
class DataSource;
class Prompts;

// The entry dialog `EnterConsumption`, on the current row of `Consumption` (inserting or
// editing): the date with its calendar, the quantity and the amount (with the edit formats of
// their fields), and the description. " &Ok" makes an invalid date today's and posts the row;
// a quantity or amount that is no number is refused with a message and the dialog stays open
// with nothing posted. " &Annuler" and the close box only close it: the caller discards the
// row (EditEntry). Enter in any one-line field opens the calendar under the date.
class TEnterConsumption final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEnterConsumption)

public:
    TEnterConsumption(DataSource& dsConsumption, Prompts& prompts, const Clock& clock,
                      QWidget* parent = nullptr);
    ~TEnterConsumption() override;

    // The EntryDialog of AddEntry and EditCurrentEntry: runs the dialog modally and says
    // whether it was confirmed.
    static bool Execute(DataSource& dsConsumption, Prompts& prompts, const Clock& clock,
                        QWidget* parent);

    QLabel* Title;
    DBEdit* Ed_Event_Date;
    QToolButton* Btn_Event_Date;
    DBEdit* DBEdit1; // quantity
    DBEdit* DBEdit2; // amount
    DBMemo* DBMemo1;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    void Btn_Event_DateClick();
    void Btn_OkClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DataSource& m_source;
    Prompts& m_prompts;
    const Clock& m_clock;
};

} // namespace tilvo
