#pragma once

#include "views/StatisticsPeriod.h"

#include <QString>

class DBChart;
class QLineEdit;
class QStatusBar;
class TDataModule1;

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

// The statistics run: empties the three scratch tables, fills them with one
// statement per figure for the period, and reopens the queries that the grids
// and the chart show. A failure ends the run and is reported in the status bar.
class StatisticsRun
{
public:
    StatisticsRun(TDataModule1 &module, StatisticsControls controls);

    void run(); // BitBtnTJClick

private:
    struct Kind;
    void sumPerCategory(const Kind &kind, const StatisticsPeriod &period);
    double total(const Kind &kind, const StatisticsPeriod &period);
    void steps();

    TDataModule1 &m_module;
    StatisticsControls m_c;
};
