#pragma once

#include "StatisticsPeriod.h"

class Query;
class TDataModule1;

// What a statistics run produced: the reopened row sets of the two grids and
// of the chart, and the three totals as read back from the chart's one row.
struct StatisticsFigures
{
    Query &incomeByCategory; // ADOQuerySRTJ over IncomeStatistic
    Query &payoutByCategory; // ADOQueryZCTJ over PayoutStatistic
    Query &totals;           // ADOQueryJSR over AllCount
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
