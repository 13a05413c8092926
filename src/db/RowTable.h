// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>
#include <bit>
#include <vector>

namespace tilvo {

// The rows of an open dataset. Most columns of the program's tables are empty in most rows
// (pictures, free fields, remarks), so a row keeps a mask of its non-null columns and only
// their values, packed one after the other in a common pool. A changed row is written again
// at the end of the pool; the pool lives only as long as the dataset stays open.
class RowTable
{
public:
    void reset(size_t width)
    {
        m_width = width;
        m_words = (width + 63) / 64;
        clear();
    }
    void clear()
    {
        m_masks.clear();
        m_offsets.clear();
        m_pool.clear();
    }
    bool empty() const { return m_offsets.empty(); }
    size_t size() const { return m_offsets.size(); }
    size_t width() const { return m_width; }

    const QVariant& at(size_t row, size_t column) const
    {
        const quint64* mask = &m_masks[row * m_words];
        const size_t word = column / 64;
        const quint64 bit = quint64(1) << (column % 64);
        if (!(mask[word] & bit))
            return null();
        size_t index = m_offsets[row];
        for (size_t w = 0; w < word; ++w)
            index += size_t(std::popcount(mask[w]));
        index += size_t(std::popcount(mask[word] & (bit - 1)));
        return m_pool[index];
    }

    std::vector<QVariant> row(size_t row) const
    {
        std::vector<QVariant> values(m_width);
        for (size_t c = 0; c < m_width; ++c)
            values[c] = at(row, c);
        return values;
    }

    // Adds a row at the end; the values are taken (moved from).
    void appendRow(std::vector<QVariant>& values)
    {
        m_masks.resize(m_masks.size() + m_words, 0);
        m_offsets.push_back(0);
        store(m_offsets.size() - 1, values);
    }
    void setRow(size_t row, std::vector<QVariant> values) { store(row, values); }
    // A row of nulls before `row`.
    void insertRow(size_t row)
    {
        m_masks.insert(m_masks.begin() + std::ptrdiff_t(row * m_words), m_words, 0);
        m_offsets.insert(m_offsets.begin() + std::ptrdiff_t(row), m_pool.size());
    }
    void appendNullRow() { insertRow(size()); }
    void eraseRow(size_t row)
    {
        const auto first = m_masks.begin() + std::ptrdiff_t(row * m_words);
        m_masks.erase(first, first + std::ptrdiff_t(m_words));
        m_offsets.erase(m_offsets.begin() + std::ptrdiff_t(row));
    }

private:
    static const QVariant& null()
    {
        static const QVariant value;
        return value;
    }
    void store(size_t row, std::vector<QVariant>& values)
    {
        quint64* mask = &m_masks[row * m_words];
        std::fill(mask, mask + m_words, 0);
        m_offsets[row] = m_pool.size();
        for (size_t c = 0; c < m_width; ++c) {
            QVariant& v = values[c];
            if (!v.isValid() || v.isNull())
                continue;
            mask[c / 64] |= quint64(1) << (c % 64);
            m_pool.push_back(std::move(v));
        }
    }

    size_t m_width = 0;
    size_t m_words = 0;
    std::vector<quint64> m_masks;  // m_words per row
    std::vector<size_t> m_offsets; // where each row's values start in the pool
    std::vector<QVariant> m_pool;
};

} // namespace tilvo
