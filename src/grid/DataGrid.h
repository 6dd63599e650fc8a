#pragma once

#include <QTableView>

class PickListPopup;
class QueryTableModel;

// The data-aware grid: bound columns over a row set, a row indicator, the
// cell editor always open on the current cell, posting when the user moves
// to another row, Insert and Down past the last row for new rows, Ctrl+Delete
// to delete, Esc to abandon an edit, title clicks and double clicks as
// signals. It edits the rows through the model's standard requests. A
// read-only column's pick list drops down from the current cell (its button,
// F4 or Alt+Down) to be looked at. Failures of the grid's own editing go to
// the application error box.
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    void setRowModel(QueryTableModel *model);
    QueryTableModel *rowModel() const { return m_model; }

    void setConfirmDelete(bool confirm) { m_confirmDelete = confirm; }
    // In place of the toolkit's wheel handling, one wheel event moves one row
    // (a negative amount down), whatever its size; failures are ignored.
    void setWheelMovesRows(bool moves) { m_wheelMovesRows = moves; }
    void wheelMove(int amount);

    // Hands what the open cell editor holds to the row set and settles the
    // row as leaving it would. Raises when the row set refuses the row.
    void finishEditing();

    // The grid's Ctrl+Delete.
    void deleteCurrentRecord();
    // The grid's Esc once nothing typed is left to take back: the row being
    // edited or inserted goes back to what is stored.
    void cancelRowEdit();

    // Whether a cell without an editor of its own drops down a pick list, and
    // the button at its right end that does it.
    bool dropsDown(const QModelIndex &cell) const;
    QRect dropDownButton(const QModelIndex &cell) const;

signals:
    void titleClicked(int column);
    // Any double click over the cells, on a row or below the last.
    void doubleClickedAnywhere();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    void followModel();
    void rowsChanging();
    void rowsChanged();
    void focusMoved(QWidget *old, QWidget *now);
    void commitOpenEditor();
    void openCellEditor();
    void dropDownPickList();

    QueryTableModel *m_model = nullptr;
    PickListPopup *m_pickList = nullptr;
    bool m_confirmDelete = false;
    bool m_syncing = false;
    int m_column = 0;
    bool m_wheelMovesRows = false;
};
