#pragma once

#include <QDate>
#include <QString>

enum class RangeMode { Day, Month, Year, Custom };

// How the month mode reads its start text back to find the month's length:
// as a date ("'%s' is not a valid date") or as a date with an optional time
// ("'%s' is not a valid date and time").
enum class MonthReading { Date, DateAndTime };

// What the date selector holds of the period: the chosen range, the three box
// texts exactly as they stand, and the two pickers' days.
struct PeriodInput
{
    RangeMode mode;
    QString year;
    QString month;
    QString day;
    QDate start;
    QDate end;
};

// The statistics period: formed anew from the date selector each time.
struct StatisticsPeriod
{
    RangeMode mode;
    QString start;
    QString end;
};

// The range test of every period but a day's: "between #start# And #end#".
QString betweenDays(const StatisticsPeriod &period);

// Raises the reading's message when the month mode's start text names no day.
StatisticsPeriod statisticsPeriod(const PeriodInput &input, MonthReading reading = MonthReading::Date);
