#pragma once

#include "core/StatisticsRun.h"
#include "views/PeriodControls.h"

class DBChart;
class QLineEdit;
class QStatusBar;

// The statistics tab's output controls.
struct StatisticsControls
{
    PeriodControls period;
    QLineEdit *totalIncome; // Edit1
    QLineEdit *totalPayout; // Edit2
    QLineEdit *netIncome;   // Edit3
    DBChart *chart;         // DBChartJSR
    QStatusBar *statusBar;
};

// Runs the statistics for the period the date selector shows and shows what
// the run produced: the totals in the three boxes, the totals' row set in the
// chart (the grids follow their queries). Guarded: a failure ends the run and
// is reported in the status bar; the boxes stay empty once the run began.
class StatisticsView
{
public:
    StatisticsView(TDataModule1 &module, StatisticsControls controls);

    void refresh(); // BitBtnTJClick

private:
    void show(const StatisticsFigures &figures);

    TDataModule1 &m_module;
    StatisticsRun m_run;
    StatisticsControls m_c;
};
