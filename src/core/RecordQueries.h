#pragma once

#include "StatisticsPeriod.h"

#include <QString>

// What tells the income list from the payout list.
struct RecordListKind
{
    QString table;      // "Payout"
    QString prefix;     // "P_"
    QString beforeAsc;  // the blanks before "Asc" in the ordering clause
    MonthReading monthReading;

    static const RecordListKind &payout();
    static const RecordListKind &income();

    QString keyField() const { return prefix + QStringLiteral("No"); }
};

// The list's SQL text for the period, in the order of the record numbers: the
// day's records by equality with the day, every other period's by a range.
QString recordListSql(const RecordListKind &kind, const StatisticsPeriod &period);
