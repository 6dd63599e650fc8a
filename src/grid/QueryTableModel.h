#pragma once

#include "GridRowModel.h"
#include "store/Query.h"

// Shows a row set in a grid: the grid's bound columns, read through the row
// set's text forms, edited through its states.
class QueryTableModel : public GridRowModel
{
    Q_OBJECT
public:
    QueryTableModel(Query *query, std::vector<Column> columns, QObject *parent = nullptr);

    Query *query() const { return m_query; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    RowState rowState() const override;
    int currentRow() const override { return m_query->currentRow(); }
    void moveTo(int row) override { m_query->moveTo(row); }
    void setCellText(int row, int column, const QString &text) override;
    void insertRow() override { m_query->insert(); }
    void appendRow() override { m_query->append(); }
    void deleteCurrentRow() override { m_query->deleteRecord(); }
    bool isUnchangedNewRow() const override;
    void cancelRow() override { m_query->cancel(); }
    void settleRow() override { m_query->checkBrowseMode(); }

private:
    int fieldOf(int column) const;
    void refreshIndicator();

    Query *m_query;
    int m_indicatorRow = -1; // where the indicator was last shown, with its mark
    RowState m_indicatorState = RowState::Closed;
};
