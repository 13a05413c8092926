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
//
// A row may be kept unread: only its key is known, in its key column, until the dataset reads
// the rest (setRow).
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
        m_unread.clear();
        m_unreadCount = 0;
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
        m_unread.push_back(false);
        store(m_offsets.size() - 1, values);
    }
    // Adds a row at the end from a reader called for each column in turn: it appends the
    // column's value to the pool it is given and returns true, or returns false for a null.
    template <typename Reader> void appendRowFrom(Reader&& reader)
    {
        const size_t first = m_masks.size();
        m_masks.resize(first + m_words, 0);
        m_offsets.push_back(m_pool.size());
        m_unread.push_back(false);
        for (size_t c = 0; c < m_width; ++c) {
            if (reader(c, m_pool))
                m_masks[first + c / 64] |= quint64(1) << (c % 64);
        }
    }
    // Adds a row of which only the key is known yet.
    void appendUnreadRow(size_t keyColumn, qint64 key)
    {
        m_masks.resize(m_masks.size() + m_words, 0);
        m_offsets.push_back(m_pool.size());
        m_unread.push_back(true);
        ++m_unreadCount;
        m_masks[m_masks.size() - m_words + keyColumn / 64] |= quint64(1) << (keyColumn % 64);
        m_pool.emplace_back(key);
    }
    void setRow(size_t row, std::vector<QVariant> values)
    {
        markRead(row);
        store(row, values);
    }
    bool isUnread(size_t row) const { return m_unread[row]; }
    size_t unreadCount() const { return m_unreadCount; }
    // A row of nulls before `row`.
    void insertRow(size_t row)
    {
        m_masks.insert(m_masks.begin() + std::ptrdiff_t(row * m_words), m_words, 0);
        m_offsets.insert(m_offsets.begin() + std::ptrdiff_t(row), m_pool.size());
        m_unread.insert(m_unread.begin() + std::ptrdiff_t(row), false);
    }
    void appendNullRow() { insertRow(size()); }
    void eraseRow(size_t row)
    {
        markRead(row);
        const auto first = m_masks.begin() + std::ptrdiff_t(row * m_words);
        m_masks.erase(first, first + std::ptrdiff_t(m_words));
        m_offsets.erase(m_offsets.begin() + std::ptrdiff_t(row));
        m_unread.erase(m_unread.begin() + std::ptrdiff_t(row));
    }

private:
    void markRead(size_t row)
    {
        if (m_unread[row]) {
            m_unread[row] = false;
            --m_unreadCount;
        }
    }
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
    std::vector<bool> m_unread;
    size_t m_unreadCount = 0;
};

} // namespace tilvo
