#pragma once

#include "GridColumn.h"
#include "core/Error.h"
#include "store/Query.h"

#include <QAbstractTableModel>
#include <functional>
#include <optional>
#include <vector>

// An editable table model over a row set, for the grid: the bound columns,
// read through the row set's text forms. Edits arrive through setData, new
// rows through insertRows, deletions through removeRows and abandoning the
// current row's edit through revert; the row set carries each out at once.
// A request that the row set refuses returns false and keeps the row set's
// Error in lastError(): the model reports nothing itself. The row set's
// current row, on which its buttons act, is the grid's current row.
class QueryTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    QueryTableModel(Query *query, std::vector<GridColumn> columns, QObject *parent = nullptr);

    Query *query() const { return m_query; }
    const GridColumn &column(int index) const { return m_columns[size_t(index)]; }
    void setPickList(int index, const QStringList &names) { m_columns[size_t(index)].pickList = names; }
    // A read-only grid's cells take no typing and it adds no rows; it still deletes.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The columns' titles, and the row indicator's mark on the current row.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // A column's title; the row indicator follows the row set alone.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Puts the text into the row, which stays in edit until it is posted.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    // One new row, before the given one or at rowCount() after the last,
    // written to the table only when it is posted.
    bool insertRows(int row, int count, const QModelIndex &parent = {}) override;
    // One row, deleted from its table at once; a new row not yet posted is only dropped.
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;
    // Takes back what was typed into the current row, and drops the row when it is new.
    void revert() override;
    // Why the row set refused the last request that returned false; empty
    // when that request was one the model does not take (a row outside).
    const std::optional<Error> &lastError() const { return m_lastError; }

    Query::State rowState() const { return m_query->state(); }
    int currentRow() const { return m_query->currentRow(); } // -1 when there is none
    void moveTo(int row) { m_query->moveTo(row); }           // posts a changed row first; raises
    bool isUnchangedNewRow() const;
    void settleRow() { m_query->checkBrowseMode(); }         // posts a changed row, drops an unchanged new one; raises

signals:
    void currentRowChanged(int row);

private:
    int fieldOf(int column) const;
    bool attempt(const std::function<void()> &request);
    void refreshIndicator();

    Query *m_query;
    std::vector<GridColumn> m_columns;
    bool m_readOnly = false;
    std::optional<Error> m_lastError;
    int m_indicatorRow = -1; // where the indicator was last shown, with its mark
    Query::State m_indicatorState = Query::State::Inactive;
};
