// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;

namespace tilvo {

// The drop-down list `StrList`: a borderless list that opens under a field and offers lines.
// It is a pop-up: it stays on top, takes the focus, and closes on a choice, on Escape, or as
// soon as the person clicks anywhere outside it. A line is chosen by releasing the mouse on
// it or by Enter on the selected line. It never gets the platform's frame.
class TStrList final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TStrList)

public:
    explicit TStrList(QWidget* parent = nullptr);

    void setLines(const QStringList& lines);
    QStringList lines() const;

    // Places the list for a field's rectangle on screen, selects the line the rules give for
    // the field's text, shows the list and gives it the focus.
    void popUp(const QRect& fieldOnScreen, const QString& fieldText);

    // Opens a list under a line edit; the chosen line becomes its text and its index the
    // field's chosen index (ChosenIndex), and the field gets the focus back with its whole
    // text selected. Lines are sorted without regard to case when `sorted` is true. The list
    // deletes itself when it closes.
    static TStrList* openUnder(QLineEdit* field, const QStringList& lines, bool sorted);

    QListWidget* List;

Q_SIGNALS:
    void chosen(int index, const QString& line);
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void choose(int row);
    bool m_done = false;
};

} // namespace tilvo
