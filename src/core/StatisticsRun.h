#pragma once

#include "StatisticsPeriod.h"

class Query;
class TDataModule1;

// What a statistics run produced beside the two grids' reopened row sets: the
// chart's row set and the three totals as read back from its one row.
struct StatisticsFigures
{
    Query &totals; // ADOQueryJSR over AllCount
    double totalIncome;
    double totalPayout;
    double netIncome;
};

// The statistics run: empties the three scratch tables, fills them with one
// statement per figure for the period, and reopens the data module's queries
// over them. It writes dozens of scratch rows: run it inside the connection's
// scratch batch. A failure raises and leaves what was done so far: the rows
// written, and the three queries closed once they were emptied.
class StatisticsRun
{
public:
    explicit StatisticsRun(TDataModule1 &module);

    StatisticsFigures run(const StatisticsPeriod &period);

private:
    struct Kind;
    void sumPerCategory(const Kind &kind, const StatisticsPeriod &period);
    double total(const Kind &kind, const StatisticsPeriod &period);

    TDataModule1 &m_module;
};
