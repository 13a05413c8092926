// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QDate>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class QCalendarWidget;

class QPushButton;
class QToolButton;

namespace tilvo {

// The calendar drop-down `SelectDate`: a month calendar with week numbers over a bar with
// `Btn_Clear`, `Btn_Ok` and `Btn_Cancel`. It is a pop-up: it closes on its buttons, on Escape
// and as soon as the person clicks outside it. Only OK (or clear) writes the date text into
// its target field; a field bound to a date column is emptied to null by clear.
class TSelectDate final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSelectDate)

public:
    enum class Result
    {
        None,
        Ok,
        Cancel
    };

    explicit TSelectDate(QWidget* parent = nullptr);

    // "dd/mm/yyyy" or empty; at most 10 characters are kept.
    void setDateText(const QString& text);
    const QString& dateText() const { return m_dateText; }
    void setTarget(QLineEdit* field) { m_target = field; }
    QLineEdit* target() const { return m_target; }
    // `Back`: the month's background colour.
    void setBackColor(const QColor& color);
    QColor backColor() const { return m_back; }
    // The date an invalid date text starts from.
    void setToday(const QDate& today) { m_today = today; }
    Result result() const { return m_result; }

    QCalendarWidget* MonthCalendar;
    QToolButton* Btn_Clear;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

Q_SIGNALS:
    void closed(tilvo::TSelectDate::Result result);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Btn_OkClick();
    void Btn_ClearClick();
    void Btn_CancelClick();
    void FormShow();
    void writeTarget();
    void applyColors();

    QString m_dateText;
    QPointer<QLineEdit> m_target;
    QColor m_back = Qt::white;
    QDate m_today = QDate::currentDate();
    Result m_result = Result::None;
    bool m_closing = false;
};

} // namespace tilvo
