// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QStringList>
#include <QTableView>

namespace tilvo {

class DataSetModel;
class DataSource;
class Prompts;

// A grid over a data source: a table view of a DataSetModel whose current row and the
// dataset's current row follow each other. Whole rows are selected, and the selection stays
// visible without the focus; nothing is edited in the grid. Rows are all one height, so a
// grid of a hundred thousand rows costs no more to show than the rows on screen.
//
// Moving in the grid moves the dataset, which posts a pending edit first; an error there is
// shown through the prompts and the grid returns to the dataset's row.
class DBGrid final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBGrid)

public:
    explicit DBGrid(Prompts& prompts, QWidget* parent = nullptr);
    ~DBGrid() override;

    // Binds the grid; `columns` names the fields shown in order (empty: every visible field).
    void setDataSource(DataSource* dataSource, const QStringList& columns = {});
    DataSetModel* dataModel() const { return m_model; }

    // The band behind the column titles and the selected row's colours.
    void setHeaderColor(const QColor& color);
    void setSelectionColors(const QColor& background, const QColor& text = Qt::white);
    QColor headerColor() const { return m_headerColor; }
    QColor selectionColor() const;

    void setRowHeight(int pixels);

private:
    void followDataSet(int row);
    void viewRowChanged(const QModelIndex& current, const QModelIndex& previous);
    void applyColumnWidths();
    int defaultWidthInCharacters(int column) const;

    Prompts& m_prompts;
    DataSetModel* m_model = nullptr;
    QColor m_headerColor;
    QStringList m_widthsFor; // the columns whose widths were last applied
    bool m_following = false;
};

} // namespace tilvo
