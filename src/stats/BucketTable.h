// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <memory>

class QDate;

namespace tilvo {

// The labelled values every statistic chart draws: bucket i (1-based, i <= count()) is point
// i - 1 of a chart. Its storage is taken once for the full capacity and cleared in place; a
// label keeps its memory across clearings, so filling the table again does not allocate.
// Buckets past count() hold 0 and an empty label.
class BucketTable
{
public:
    static constexpr int Capacity = 50000;
    static constexpr int MaxLabelLength = 255;

    BucketTable();
    ~BucketTable();
    BucketTable(const BucketTable&) = delete;
    BucketTable& operator=(const BucketTable&) = delete;

    int count() const { return m_count; }
    // Between 0 and Capacity; the buckets above it are cleared.
    void setCount(int count);

    // 1 <= i <= Capacity; anything else reads 0 or an empty label and is never written.
    double value(int i) const;
    const QString& label(int i) const;
    void setValue(int i, double value);
    void addToValue(int i, double value);
    // Cut to MaxLabelLength characters.
    void setLabel(int i, QStringView label);
    // The label "dd/mm/yyyy" of a date, written into the label's own memory.
    void setDateLabel(int i, const QDate& date);

    // A new last bucket; false, and nothing written, when the table is full.
    bool append(QStringView label, double value);
    bool appendDate(const QDate& date, double value);

    // Count 0, every value 0, every label empty.
    void ClearBuckets();
    // The first bucket in 1 .. count() - 1 whose label equals the key; count() when none does.
    int FindBucket(QStringView key) const;

    // Whether no bucket in 1 .. count() holds a value above 0 (NaN counts as none).
    bool allZero() const;

private:
    bool inRange(int i) const { return i >= 1 && i <= Capacity; }

    int m_count = 0;
    int m_used = 0; // every bucket above this one is already clear
    std::unique_ptr<double[]> m_values;
    std::unique_ptr<QString[]> m_labels;
};

} // namespace tilvo
