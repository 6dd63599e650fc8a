#pragma once

class DatePicker;
class MonthCalendar;
class QBoxLayout;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QWidget;
class SelectorBox;

// The date selector's controls in the top strip.
struct DateSelectorWidgets
{
    QGroupBox *dateGroup;       // GroupBox2 "  日期  "
    SelectorBox *year;          // ComboBox1
    SelectorBox *month;         // ComboBox2
    SelectorBox *day;           // ComboBox3
    QPushButton *previousMonth; // Button1 "上月"
    QPushButton *nextMonth;     // Button2 "下月"
    QPushButton *today;         // Button3 "今天"
    QGroupBox *rangeGroup;      // GroupBox1 " 范围  "
    QRadioButton *yearMode;     // RadioButton1
    QRadioButton *monthMode;    // RadioButton2
    QRadioButton *dayMode;      // RadioButton3
    QRadioButton *customMode;   // RadioButton4
    DatePicker *start;          // DateTimePicker1
    DatePicker *end;            // DateTimePicker2
    MonthCalendar *calendar;    // Calendar1
};

// Lays the date group, the range group and the calendar into the strip's row,
// with their design texts and initial contents.
DateSelectorWidgets buildDateSelector(QWidget *strip, QBoxLayout *row);
