// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/DropDownRules.h"

#include <QCollator>
#include <QLocale>
#include <QObject>
#include <QVariant>
#include <algorithm>

namespace tilvo {

namespace {

constexpr const char* kChosenIndexProperty = "tilvoChosenIndex";

} // namespace

int DropDownHeight(int lineCount)
{
    const int lines = std::clamp(lineCount, 1, kDropDownVisibleLines);
    return lines * kDropDownItemHeight + 3;
}

QRect PlaceDropDown(const QRect& field, int lineCount, const QRect& screen)
{
    const int fullHeight = DropDownHeight(kDropDownVisibleLines);
    const int height = DropDownHeight(lineCount);
    int top = field.bottom() + 1;
    if (top + fullHeight > screen.bottom() + 1)
        top = field.top() - 1 - height;
    return QRect(field.left(), top, field.width(), height);
}

int InitialDropDownRow(const QStringList& lines, const QString& fieldText)
{
    if (lines.size() < 2)
        return -1;
    const qsizetype equal = lines.lastIndexOf(fieldText);
    return equal < 0 ? 0 : int(equal);
}

QStringList SortIgnoringCase(QStringList lines)
{
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(lines.begin(), lines.end(), [&collator](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    return lines;
}

int ChosenIndex(const QObject* field)
{
    const QVariant index = field ? field->property(kChosenIndexProperty) : QVariant();
    return index.isValid() ? index.toInt() : -1;
}

void SetChosenIndex(QObject* field, int index)
{
    if (field)
        field->setProperty(kChosenIndexProperty, index);
}

} // namespace tilvo
