#pragma once

#include "core/StatisticsPeriod.h"

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

// The period as the controls show it now; raises as the core's statisticsPeriod.
StatisticsPeriod statisticsPeriod(const PeriodControls &controls, MonthReading reading = MonthReading::Date);
