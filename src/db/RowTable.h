// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>
#include <vector>

namespace tilvo {

// The rows of an open dataset, kept in one block: row r, column c is cell r * width + c.
class RowTable
{
public:
    void reset(size_t width)
    {
        m_width = width;
        m_cells.clear();
    }
    void clear() { m_cells.clear(); }
    bool empty() const { return m_cells.empty(); }
    size_t size() const { return m_width == 0 ? 0 : m_cells.size() / m_width; }
    size_t width() const { return m_width; }

    const QVariant& at(size_t row, size_t column) const { return m_cells[row * m_width + column]; }
    QVariant& at(size_t row, size_t column) { return m_cells[row * m_width + column]; }

    std::vector<QVariant> row(size_t row) const
    {
        const auto first = m_cells.begin() + std::ptrdiff_t(row * m_width);
        return std::vector<QVariant>(first, first + std::ptrdiff_t(m_width));
    }
    void setRow(size_t row, std::vector<QVariant> values)
    {
        for (size_t c = 0; c < m_width; ++c)
            m_cells[row * m_width + c] = std::move(values[c]);
    }
    // A new row of nulls at the end; its first cell.
    QVariant* appendRow()
    {
        m_cells.resize(m_cells.size() + m_width);
        return &m_cells[m_cells.size() - m_width];
    }
    void insertRow(size_t row)
    {
        m_cells.insert(m_cells.begin() + std::ptrdiff_t(row * m_width), m_width, QVariant());
    }
    void eraseRow(size_t row)
    {
        const auto first = m_cells.begin() + std::ptrdiff_t(row * m_width);
        m_cells.erase(first, first + std::ptrdiff_t(m_width));
    }

private:
    size_t m_width = 0;
    std::vector<QVariant> m_cells;
};

} // namespace tilvo
