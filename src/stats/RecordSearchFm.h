#pragma once

#include "store/Query.h"
#include "views/PeriodControls.h"

#include <QSize>
#include <QWidget>

class Connection;
class DataGrid;
class QEventLoop;
class QStatusBar;
class QueryTableModel;
struct ListTabDesign;

// What tells the income detail window from the payout one: names, size, the
// grid's columns and the fragments of the detail SQL text, blanks included.
struct RecordSearchKind
{
    const char *objectName;     // "IncomeSearchFm"
    QString caption;            // "收入明细"
    QSize outerSize;            // frame included
    const ListTabDesign &grid;  // the columns of the matching list grid
    QString statisticsField;    // "IS_I_Class", the category of a statistics row
    QString head;               // "Select ... Where I_Class = ", before the quoted category
    QString dayTest;            // " AND I_Date = #"
    QString rangeTest;          // " AND  [I_Date] ", before the range
    QString order;              // " Order By I_No Asc"
    MonthReading monthReading;
};

// A detail window: the records behind one statistics row in an editable grid,
// shown modally over the main window. Closing only hides it, so the grid's
// title marks stay for the next drill-down.
class RecordSearchFm : public QWidget
{
    Q_OBJECT
public:
    RecordSearchFm(const RecordSearchKind &kind, QWidget *parent = nullptr);
    ~RecordSearchFm() override;

    const RecordSearchKind &kind() const { return m_kind; }

    // The detail SQL text for a category and the period the controls show
    // now; raises the month reading's message when the month names no day.
    QString detailSql(const QString &category, const PeriodControls &period) const;
    // Replaces the rows with the category's records in the period. Raises on
    // failure, leaving the detail query closed.
    void load(const QString &category, const PeriodControls &period, Connection &connection);
    // Centres the window on another and shows it modally: returns once closed.
    void showModal(QWidget *over);

    Query ADOQuery1{QStringLiteral("ADOQuery1")};
    QueryTableModel *DataSource1;
    QStatusBar *StatusBar1;

protected:
    DataGrid *grid() const { return m_grid; }
    void titleClicked(int column);
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    const RecordSearchKind &m_kind;
    DataGrid *m_grid;
    QEventLoop *m_modalLoop = nullptr;
};
