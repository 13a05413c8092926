// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/DrawAccountRow.h"

#include "common/ColorHelpers.h"
#include "main/AccountEntry.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <cmath>

namespace tilvo {

namespace {

constexpr int kBox = 39;

QFont RowFont(int pixels, bool bold)
{
    // Liberation Sans has Arial's metrics.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QColor Shifted(const QColor& colour, int amount)
{
    return ColorFromWindows(ShiftColor(WindowsColor(colour), amount));
}

// One line of text, left-aligned at the top of its rectangle and clipped to it.
void DrawLine(QPainter& painter, const QRect& rect, const QFont& font, const QString& text)
{
    painter.setFont(font);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

} // namespace

void DrawAccountRow(QPainter& painter, const QRect& cell, int clientWidth,
                    const AccountEntry* entry, const QImage& thumbnail, bool current)
{
    painter.save();
    painter.setClipRect(QRect(0, cell.top(), clientWidth, cell.height()));
    painter.setFont(RowFont(12, false));
    painter.setPen(Qt::black);
    if (!entry) {
        painter.restore();
        return;
    }
    const int top = cell.top();
    const int bottom = cell.top() + cell.height(); // one past the last line

    // Background over the whole client width.
    const QColor background = current ? kCurrentAccountFill : kAccountRowBackground;
    painter.fillRect(QRect(0, top, clientWidth, cell.height()), kAccountRowBackground);
    if (current) {
        const QRect inset(QPoint(3, top + 2), QPoint(clientWidth - 4, bottom - 3));
        painter.fillRect(inset, kCurrentAccountFill);
        painter.setPen(kCurrentAccountOutline);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(inset.adjusted(0, 0, -1, -1));
    }

    // Thumbnail box with its outline and its shadow.
    const QRect box(current ? 6 : 4, top + 5, kBox, kBox);
    painter.fillRect(box, Qt::white);
    if (!thumbnail.isNull()) {
        const int left = box.left() + int(std::lround((kBox - thumbnail.width()) / 2.0));
        const int up = box.top() + int(std::lround((kBox - thumbnail.height()) / 2.0));
        painter.drawImage(QPoint(left, up), thumbnail);
    }
    painter.setPen(kThumbnailOutline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    const int shades[] = {-120, -80, -40};
    for (int k = 0; k < 3; ++k) {
        painter.setPen(Shifted(background, shades[k]));
        const int x = box.left() + kBox - 1 + k;
        painter.drawLine(x, box.top() + 2 + k, x, box.top() + 38 + k);
    }
    for (int k = 0; k < 3; ++k) {
        painter.setPen(Shifted(background, shades[k]));
        const int y = box.top() + kBox - 1 + k;
        painter.drawLine(box.left() + 2 + k, y, box.left() + 38 + k, y);
    }

    // The three lines of text on the row's background.
    painter.setPen(Qt::black);
    const int right = clientWidth - 4;
    DrawLine(painter, QRect(QPoint(50, top + 6), QPoint(right - 1, top + 29)), RowFont(18, true),
             entry->Title);
    DrawLine(painter, QRect(QPoint(50, top + 21), QPoint(right - 1, top + 38)), RowFont(14, false),
             entry->Description);
    DrawLine(painter, QRect(QPoint(50, top + 34), QPoint(right - 1, top + 51)), RowFont(12, false),
             entry->InfoLine);
    painter.restore();
}

} // namespace tilvo
