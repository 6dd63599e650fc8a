#include "QueryTableModel.h"

QueryTableModel::QueryTableModel(Query *query, std::vector<Column> columns, QObject *parent)
    : GridRowModel(std::move(columns), parent), m_query(query)
{
    // The row set has already changed when it tells; a reset is the honest report.
    // The reset repaints the row indicator with everything else.
    auto resetAll = [this] {
        beginResetModel();
        endResetModel();
        m_indicatorRow = m_query->currentRow();
        m_indicatorState = rowState();
        emit currentRowChanged(m_query->currentRow());
    };
    connect(query, &Query::reset, this, resetAll);
    connect(query, &Query::rowInserted, this, resetAll);
    connect(query, &Query::rowRemoved, this, resetAll);
    connect(query, &Query::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        refreshIndicator();
    });
    connect(query, &Query::stateChanged, this, &QueryTableModel::refreshIndicator);
    connect(query, &Query::currentChanged, this, [this](int row) {
        refreshIndicator();
        emit currentRowChanged(row);
    });
}

int QueryTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_query->isOpen() ? 0 : m_query->recordCount();
}

int QueryTableModel::fieldOf(int column) const
{
    return m_query->isOpen() ? m_query->fieldIndex(this->column(column).field) : -1;
}

QVariant QueryTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const int field = fieldOf(index.column());
    if (field < 0 || index.row() >= m_query->recordCount())
        return {};
    return m_query->textAt(index.row(), field);
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < columnCount() ? column(section).title : QVariant();
    if (section != m_query->currentRow())
        return QString();
    switch (rowState()) {
    case RowState::Edit:
        return QStringLiteral("✎");
    case RowState::Insert:
        return QStringLiteral("✱");
    default:
        return QStringLiteral("▶");
    }
}

Qt::ItemFlags QueryTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!isReadOnly() && !column(index.column()).readOnly && fieldOf(index.column()) >= 0 && m_query->canModify())
        flags |= Qt::ItemIsEditable;
    return flags;
}

GridRowModel::RowState QueryTableModel::rowState() const
{
    switch (m_query->state()) {
    case Query::State::Inactive:
        return RowState::Closed;
    case Query::State::Edit:
        return RowState::Edit;
    case Query::State::Insert:
        return RowState::Insert;
    default:
        return RowState::Browse;
    }
}

void QueryTableModel::setCellText(int row, int column, const QString &text)
{
    const int field = fieldOf(column);
    if (field < 0)
        return;
    if (row != m_query->currentRow())
        m_query->moveTo(row);
    m_query->setFieldText(field, text);
}

bool QueryTableModel::isUnchangedNewRow() const
{
    return m_query->state() == Query::State::Insert && !m_query->isModified();
}

// Each announcement makes the grid's row header lay itself out again after it
// painted, so only a change of the indicator's row or mark is announced.
void QueryTableModel::refreshIndicator()
{
    const int row = m_query->currentRow();
    const RowState state = rowState();
    if (row == m_indicatorRow && state == m_indicatorState)
        return;
    m_indicatorState = state;
    const int rows = rowCount();
    if (m_indicatorRow >= 0 && m_indicatorRow < rows)
        emit headerDataChanged(Qt::Vertical, m_indicatorRow, m_indicatorRow);
    if (row >= 0 && row < rows)
        emit headerDataChanged(Qt::Vertical, row, row);
    m_indicatorRow = row;
}
