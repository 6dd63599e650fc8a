#pragma once

#include "grid/GridColumn.h"

#include <vector>

class DataGrid;
class DBChart;
class QFrame;
class QLineEdit;
class QPushButton;
class QWidget;

// The statistics tab's controls.
struct StatisticsTab
{
    QFrame *incomePanel;   // Panel10
    DataGrid *incomeGrid;  // DBGridSRTJ
    QFrame *payoutPanel;   // Panel8
    DataGrid *payoutGrid;  // DBGridZCTJ
    QFrame *totalsPanel;   // Panel9
    QLineEdit *totalIncome; // Edit1
    QLineEdit *totalPayout; // Edit2
    QLineEdit *netIncome;   // Edit3
    DBChart *chart;        // DBChartJSR
    QPushButton *run;      // BitBtnTJ, never visible
};

// Lays out the tab: the income and payout statistics grids side by side, then
// the three total boxes above the chart.
StatisticsTab buildStatisticsTab(QWidget *tab);

// The two columns of a statistics grid, category and sum; prefix "IS_I_" or "PS_P_".
std::vector<GridColumn> statisticsColumns(const QString &prefix, const QString &classTitle,
                                                    const QString &amountTitle);
