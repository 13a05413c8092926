// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/BucketTable.h"

#include <QDate>
#include <algorithm>

namespace tilvo {

namespace {

const QString& EmptyLabel()
{
    static const QString empty;
    return empty;
}

// Overwrites the text in place: a label that has held a text before keeps its memory.
void Assign(QString& target, QStringView text)
{
    target.resize(text.size());
    std::copy(text.begin(), text.end(), target.data());
}

// Empties a label, keeping its memory unless another holder (a chart) shares it.
void Blank(QString& label)
{
    if (label.isDetached())
        label.resize(0);
    else
        label = QString();
}

} // namespace

BucketTable::BucketTable()
    : m_values(std::make_unique<double[]>(Capacity)),
      m_labels(std::make_unique<QString[]>(Capacity))
{}

BucketTable::~BucketTable() = default;

void BucketTable::setCount(int count)
{
    count = std::clamp(count, 0, int(Capacity));
    for (int i = count + 1; i <= m_used; ++i) {
        m_values[i - 1] = 0;
        Blank(m_labels[i - 1]);
    }
    m_count = count;
    m_used = std::max(m_used, count);
}

double BucketTable::value(int i) const
{
    return inRange(i) ? m_values[i - 1] : 0.0;
}

const QString& BucketTable::label(int i) const
{
    return inRange(i) ? m_labels[i - 1] : EmptyLabel();
}

void BucketTable::setValue(int i, double value)
{
    if (!inRange(i))
        return;
    m_values[i - 1] = value;
    m_used = std::max(m_used, i);
}

void BucketTable::addToValue(int i, double value)
{
    if (!inRange(i))
        return;
    m_values[i - 1] += value;
    m_used = std::max(m_used, i);
}

void BucketTable::setLabel(int i, QStringView label)
{
    if (!inRange(i))
        return;
    Assign(m_labels[i - 1], label.left(MaxLabelLength));
    m_used = std::max(m_used, i);
}

void BucketTable::setDateLabel(int i, const QDate& date)
{
    if (!inRange(i))
        return;
    if (!date.isValid()) {
        setLabel(i, QStringView());
        return;
    }
    const int numbers[3] = {date.day(), date.month(), date.year()};
    const int widths[3] = {2, 2, 4};
    char16_t text[10];
    char16_t* out = text;
    for (int part = 0; part < 3; ++part) {
        int n = std::clamp(numbers[part], 0, part == 2 ? 9999 : 99);
        for (int d = widths[part] - 1; d >= 0; --d) {
            out[d] = char16_t(u'0' + n % 10);
            n /= 10;
        }
        out += widths[part];
        if (part < 2)
            *out++ = u'/';
    }
    setLabel(i, QStringView(text, 10));
}

bool BucketTable::append(QStringView label, double value)
{
    if (m_count >= Capacity)
        return false;
    ++m_count;
    setLabel(m_count, label);
    setValue(m_count, value);
    return true;
}

bool BucketTable::appendDate(const QDate& date, double value)
{
    if (m_count >= Capacity)
        return false;
    ++m_count;
    setDateLabel(m_count, date);
    setValue(m_count, value);
    return true;
}

void BucketTable::ClearBuckets()
{
    for (int i = 0; i < m_used; ++i) {
        m_values[i] = 0;
        Blank(m_labels[i]);
    }
    m_count = 0;
    m_used = 0;
}

int BucketTable::FindBucket(QStringView key) const
{
    for (int i = 1; i < m_count; ++i) {
        if (m_labels[i - 1] == key)
            return i;
    }
    return m_count;
}

bool BucketTable::allZero() const
{
    for (int i = 0; i < m_count; ++i) {
        if (m_values[i] > 0)
            return false;
    }
    return true;
}

} // namespace tilvo
