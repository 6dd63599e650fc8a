#include "QueryTableModel.h"

QueryTableModel::QueryTableModel(Query *query, std::vector<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_query(query), m_columns(std::move(columns))
{
    // The row set tells before its rows change and again once they have; a
    // reset repaints the row indicator with everything else, and a row that
    // comes or goes shifts the indicator's row below it.
    connect(query, &Query::aboutToReset, this, [this] { beginResetModel(); });
    connect(query, &Query::reset, this, [this] {
        endResetModel();
        m_indicatorRow = m_query->currentRow();
        m_indicatorState = rowState();
    });
    connect(query, &Query::rowAboutToBeInserted, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(query, &Query::rowInserted, this, [this](int row) {
        if (m_indicatorRow >= row)
            ++m_indicatorRow;
        endInsertRows();
    });
    connect(query, &Query::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(query, &Query::rowRemoved, this, [this](int row) {
        if (m_indicatorRow == row)
            m_indicatorRow = -1;
        else if (m_indicatorRow > row)
            --m_indicatorRow;
        endRemoveRows();
    });
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

int QueryTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
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
        return section >= 0 && section < columnCount() ? column(section).title : QVariant();
    if (section != m_query->currentRow())
        return QString();
    switch (rowState()) {
    case Query::State::Edit:
        return QStringLiteral("✎");
    case Query::State::Insert:
        return QStringLiteral("✱");
    default:
        return QStringLiteral("▶");
    }
}

bool QueryTableModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::EditRole || section < 0 || section >= columnCount())
        return false;
    m_columns[size_t(section)].title = value.toString();
    emit headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

Qt::ItemFlags QueryTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_readOnly && !column(index.column()).readOnly && fieldOf(index.column()) >= 0 && m_query->canModify())
        flags |= Qt::ItemIsEditable;
    return flags;
}

// No exception may pass through the toolkit, which makes these requests
// too: a refusal of the row set becomes false, and its Error lastError().
// Every request forgets the last refusal first.
bool QueryTableModel::attempt(const std::function<void()> &request)
{
    try {
        request();
        return true;
    } catch (const Error &e) {
        m_lastError = e;
    } catch (const std::exception &e) {
        m_lastError = Error(QString::fromUtf8(e.what()));
    }
    return false;
}

bool QueryTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    m_lastError.reset();
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    return attempt([&] {
        m_query->moveTo(index.row());
        m_query->setFieldText(fieldOf(index.column()), value.toString());
    });
}

bool QueryTableModel::insertRows(int row, int count, const QModelIndex &parent)
{
    m_lastError.reset();
    if (parent.isValid() || count != 1 || m_readOnly || row < 0 || row > rowCount())
        return false;
    return attempt([&] {
        if (row == rowCount()) {
            m_query->append();
        } else {
            m_query->moveTo(row);
            m_query->insert();
        }
    });
}

bool QueryTableModel::removeRows(int row, int count, const QModelIndex &parent)
{
    m_lastError.reset();
    if (parent.isValid() || count != 1 || row < 0 || row >= rowCount())
        return false;
    return attempt([&] {
        m_query->moveTo(row);
        m_query->deleteRecord();
    });
}

void QueryTableModel::revert()
{
    m_query->cancel();
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
    const Query::State state = rowState();
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
