#pragma once

#include "PeriodControls.h"

class MonthCalendar;
class QBoxLayout;
class QGroupBox;
class QPushButton;
class QWidget;

// The date selector's controls in the top strip.
struct DateSelectorWidgets
{
    QGroupBox *dateGroup;       // GroupBox2 "  日期  "
    QPushButton *previousMonth; // Button1 "上月"
    QPushButton *nextMonth;     // Button2 "下月"
    QPushButton *today;         // Button3 "今天"
    QGroupBox *rangeGroup;      // GroupBox1 " 范围  "
    MonthCalendar *calendar;    // Calendar1
    PeriodControls period;      // the three boxes, the range buttons, the pickers
};

// Lays the date group, the range group and the calendar into the strip's row,
// with their design texts and initial contents.
DateSelectorWidgets buildDateSelector(QWidget *strip, QBoxLayout *row);
