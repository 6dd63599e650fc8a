#pragma once

#include <QString>

class QRadioButton;
class SelectorBox;
class DatePicker;

// The controls of the date selector that define the statistics period.
struct PeriodControls
{
    QRadioButton *yearMode;   // RadioButton1 "年"
    QRadioButton *monthMode;  // RadioButton2 "月"
    QRadioButton *dayMode;    // RadioButton3 "日"
    QRadioButton *customMode; // RadioButton4 "指定范围    "
    SelectorBox *year;        // ComboBox1
    SelectorBox *month;       // ComboBox2
    SelectorBox *day;         // ComboBox3
    DatePicker *start;        // DateTimePicker1
    DatePicker *end;          // DateTimePicker2
};

enum class RangeMode { Day, Month, Year, Custom };

// How the month mode reads its start text back to find the month's length:
// as a date ("'%s' is not a valid date") or as a date with an optional time
// ("'%s' is not a valid date and time").
enum class MonthReading { Date, DateAndTime };

// The statistics period: formed anew from the controls each time, from the
// box texts exactly as they stand.
struct StatisticsPeriod
{
    RangeMode mode;
    QString start;
    QString end;
};

RangeMode rangeMode(const PeriodControls &controls);
// Raises the reading's message when the month mode's start text names no day.
StatisticsPeriod statisticsPeriod(const PeriodControls &controls, MonthReading reading = MonthReading::Date);
