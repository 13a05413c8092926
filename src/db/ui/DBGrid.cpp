// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ui/DBGrid.h"

#include "common/ui/ErrorGuard.h"
#include "db/DataSetModel.h"

#include <QHeaderView>
#include <QScrollBar>

namespace tilvo {

namespace {

constexpr int kDefaultRowHeight = 18;

} // namespace

DBGrid::DBGrid(Prompts& prompts, QWidget* parent) : QTableView(parent), m_prompts(prompts)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setRowHeight(kDefaultRowHeight);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsMovable(false);
    setSelectionColors(palette().color(QPalette::Active, QPalette::Highlight),
                       palette().color(QPalette::Active, QPalette::HighlightedText));
}

DBGrid::~DBGrid() = default;

void DBGrid::setDataSource(DataSource* dataSource, const QStringList& columns)
{
    DataSetModel* old = m_model;
    m_model = nullptr;
    m_widthsFor.clear();
    if (dataSource) {
        m_model = new DataSetModel(*dataSource, this);
        m_model->setColumns(columns);
    }
    setModel(m_model);
    delete old;
    if (!m_model)
        return;
    connect(m_model, &DataSetModel::currentRowChanged, this, &DBGrid::followDataSet);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGrid::applyColumnWidths);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DBGrid::viewRowChanged);
    applyColumnWidths();
    followDataSet(m_model->currentRow());
}

void DBGrid::setHeaderColor(const QColor& color)
{
    m_headerColor = color;
    horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: black;"
                       " border: none; border-right: 1px solid #a0a0a0;"
                       " border-bottom: 1px solid #a0a0a0; padding: 1px 3px; }")
            .arg(color.name()));
}

void DBGrid::setSelectionColors(const QColor& background, const QColor& text)
{
    QPalette p = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight, background);
        p.setColor(group, QPalette::HighlightedText, text);
    }
    setPalette(p);
}

QColor DBGrid::selectionColor() const
{
    return palette().color(QPalette::Inactive, QPalette::Highlight);
}

void DBGrid::setRowHeight(int pixels)
{
    verticalHeader()->setDefaultSectionSize(pixels);
}

// The dataset moved: the grid shows its row.
void DBGrid::followDataSet(int row)
{
    if (!m_model || !selectionModel())
        return;
    m_following = true;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
    } else {
        const int column = std::max(currentIndex().column(), 0);
        const QModelIndex index = m_model->index(row, std::min(column, m_model->columnCount() - 1));
        if (index.isValid()) {
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
            scrollTo(index);
        }
    }
    m_following = false;
}

// The person moved in the grid: the dataset follows.
void DBGrid::viewRowChanged(const QModelIndex& current, const QModelIndex&)
{
    if (m_following || !m_model || !current.isValid())
        return;
    DataSet& set = m_model->dataSet();
    if (!set.isActive() || current.row() == set.recNo())
        return;
    const int row = current.row();
    if (!RunGuarded(m_prompts, [&] { set.moveTo(row); }) || set.recNo() != row)
        followDataSet(set.recNo());
}

int DBGrid::defaultWidthInCharacters(int column) const
{
    const int field = m_model->fieldIndex(column);
    if (field < 0)
        return 10;
    const Field f = m_model->dataSet().field(field);
    if (IsDateType(f.type()))
        return 10;
    if (IsIntegerType(f.type()) || IsRealType(f.type()))
        return 12;
    if (IsTextType(f.type()) && f.size() > 0)
        return std::min(f.size(), 30);
    return 20;
}

// Widths come from the fields when the columns change; a width the person set stays while
// the same columns show.
void DBGrid::applyColumnWidths()
{
    if (!m_model)
        return;
    QStringList names;
    for (int c = 0; c < m_model->columnCount(); ++c)
        names << m_model->fieldName(c);
    const bool opened = m_model->columnCount() > 0 && m_model->fieldIndex(0) >= 0;
    if (names == m_widthsFor || !opened)
        return;
    m_widthsFor = names;
    const QFontMetrics metrics(font());
    const int digit = metrics.horizontalAdvance(u'0');
    for (int c = 0; c < m_model->columnCount(); ++c) {
        int characters = m_model->headerData(c, Qt::Horizontal, DataSetModel::WidthRole).toInt();
        if (characters <= 0)
            characters = defaultWidthInCharacters(c);
        const QString label = m_model->headerData(c, Qt::Horizontal).toString();
        setColumnWidth(c, std::max(characters * digit, metrics.horizontalAdvance(label)) + 8);
    }
}

} // namespace tilvo
