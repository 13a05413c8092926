// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/TStrList.h"

#include "common/ColorHelpers.h"
#include "common/DropDownRules.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>

namespace tilvo {

TStrList::TStrList(QWidget* parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("StrList"));
    setAttribute(Qt::WA_DeleteOnClose);

    const QColor listColor = ColorFromWindows(kDropDownListColor);
    QPalette border = palette();
    border.setColor(QPalette::Window,
                    ColorFromWindows(ShiftColor(kDropDownListColor, kDropDownBorderShift)));
    setPalette(border);
    setAutoFillBackground(true);

    List = new QListWidget(this);
    List->setObjectName(QStringLiteral("List"));
    List->setFrameShape(QFrame::NoFrame);
    List->setUniformItemSizes(true);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette p = List->palette();
    p.setColor(QPalette::Base, listColor);
    List->setPalette(p);
    QFont font = List->font();
    font.setPixelSize(11);
    List->setFont(font);
    List->installEventFilter(this);
    setFocusProxy(List);

    // Released on a line: that line is chosen.
    connect(List, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { choose(List->row(item)); });
}

void TStrList::setLines(const QStringList& lines)
{
    List->clear();
    for (const QString& line : lines) {
        auto* item = new QListWidgetItem(line, List);
        item->setSizeHint(QSize(0, kDropDownItemHeight));
    }
}

QStringList TStrList::lines() const
{
    QStringList result;
    for (int i = 0; i < List->count(); ++i)
        result << List->item(i)->text();
    return result;
}

void TStrList::popUp(const QRect& fieldOnScreen, const QString& fieldText)
{
    const QScreen* screen = QGuiApplication::screenAt(fieldOnScreen.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    setGeometry(PlaceDropDown(fieldOnScreen, List->count(), area));

    List->clearSelection();
    const int row = InitialDropDownRow(lines(), fieldText);
    if (row >= 0) {
        List->setCurrentRow(row);
        List->scrollToItem(List->item(row));
    }
    // A pop-up takes the keyboard without activating: the dialog under it stays the active
    // window, and gets its focus back when the list closes.
    show();
    List->setFocus(Qt::PopupFocusReason);
}

TStrList* TStrList::openUnder(QLineEdit* field, const QStringList& lines, bool sorted)
{
    auto* list = new TStrList(field);
    list->setLines(sorted ? SortIgnoringCase(lines) : lines);
    QPointer<QLineEdit> target(field);
    connect(list, &TStrList::chosen, field, [target](int index, const QString& line) {
        if (!target)
            return;
        SetChosenIndex(target, index);
        target->setText(line);
        target->setFocus(Qt::OtherFocusReason);
        target->selectAll();
    });
    field->selectAll();
    list->popUp(QRect(field->mapToGlobal(QPoint(0, 0)), field->size()), field->text());
    return list;
}

// The list fills the window but for the one-pixel border, however few lines it holds.
void TStrList::resizeEvent(QResizeEvent* event)
{
    List->setGeometry(rect().adjusted(1, 1, -1, -1));
    QWidget::resizeEvent(event);
}

void TStrList::choose(int row)
{
    if (m_done || row < 0 || row >= List->count())
        return;
    m_done = true;
    const QString line = List->item(row)->text();
    close();
    Q_EMIT chosen(row, line);
}

bool TStrList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const QList<QListWidgetItem*> selected = List->selectedItems();
            if (!selected.isEmpty())
                choose(List->row(selected.first()));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TStrList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TStrList::closeEvent(QCloseEvent* event)
{
    m_done = true;
    Q_EMIT closed();
    QWidget::closeEvent(event);
}

} // namespace tilvo
