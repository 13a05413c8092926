// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/DataSet.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace tilvo {

// A table model over the rows of a data source's dataset, for grids: one row per dataset
// row, one column per shown field, with the fields' captions, widths and display formats.
//
// Cells are read from the dataset when they are painted; the model keeps nothing per row, so
// opening a large dataset costs the view nothing beyond the rows the dataset already holds.
// It follows the dataset's signals (and so stands still while its controls are disabled) and
// tells of the dataset's current row through currentRowChanged. It never edits.
class DataSetModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DataSetModel)

public:
    // The field's width in characters (int, 0 for the default), in headerData.
    static constexpr int WidthRole = Qt::UserRole + 1;

    explicit DataSetModel(DataSource& dataSource, QObject* parent = nullptr);

    DataSource& dataSource() const { return *m_source; }
    DataSet& dataSet() const { return m_source->dataSet(); }

    // The fields shown, in this order; empty (the default) shows every visible field.
    void setColumns(const QStringList& fieldNames);
    const QStringList& requestedColumns() const { return m_requested; }
    // The dataset's field behind a column, -1 when the dataset does not have it (closed).
    int fieldIndex(int column) const;
    QString fieldName(int column) const;
    // The column showing a field, -1 when none does.
    int columnOf(const QString& fieldName) const;

    // The dataset's current row as the model last announced it.
    int currentRow() const { return m_current; }

    // The text of a cell as the grid shows it.
    QString displayText(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // The dataset moved to another row (-1 when it has none), or its rows were reloaded.
    void currentRowChanged(int row);

private:
    struct Column
    {
        QString name;
        int field = -1;
        FieldType type = FieldType::ftUnknown;
        FieldDisplay display;
    };

    std::vector<Column> buildColumns() const;
    void contentChanged();
    void currentChanged();

    DataSource* m_source;
    QStringList m_requested;
    std::vector<Column> m_columns;
    int m_rows = 0;
    int m_current = -1;
};

} // namespace tilvo
