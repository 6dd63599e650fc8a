#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

// What the data-aware grid needs of the row set it shows: the bound columns, a
// current row, and the row set's editing operations. The operations raise
// Error; the grid decides where a failure goes.
class GridRowModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column
    {
        QString field;
        QString title;
        int width = 64;
        bool readOnly = false;
        QStringList pickList;
    };
    enum class RowState { Closed, Browse, Edit, Insert };

    explicit GridRowModel(std::vector<Column> columns, QObject *parent = nullptr)
        : QAbstractTableModel(parent), m_columns(std::move(columns))
    {
    }

    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_columns.size()); }
    const Column &column(int index) const { return m_columns[size_t(index)]; }
    void setPickList(int index, const QStringList &items) { m_columns[size_t(index)].pickList = items; }
    // A column's title, which the title-click sort marks with its direction.
    void setTitle(int index, const QString &title)
    {
        m_columns[size_t(index)].title = title;
        emit headerDataChanged(Qt::Horizontal, index, index);
    }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    virtual RowState rowState() const = 0;
    virtual int currentRow() const = 0;     // -1 when there is none
    virtual void moveTo(int row) = 0;       // posts a changed row first
    virtual void setCellText(int row, int column, const QString &text) = 0;
    virtual void insertRow() = 0;           // before the current row
    virtual void appendRow() = 0;
    virtual void deleteCurrentRow() = 0;
    virtual bool isUnchangedNewRow() const = 0;
    virtual void cancelRow() = 0;
    virtual void settleRow() = 0;           // posts a changed row, drops an unchanged one

signals:
    void currentRowChanged(int row);

private:
    std::vector<Column> m_columns;
    bool m_readOnly = false;
};
