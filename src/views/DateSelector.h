#pragma once

#include "PeriodControls.h"

#include <functional>

class MonthCalendar;
class QObject;
class QStatusBar;
class QWidget;

// The date selector's controls beyond those that define the period.
struct DateSelectorControls
{
    PeriodControls period;
    QWidget *previousMonth; // Button1 "上月"
    QWidget *nextMonth;     // Button2 "下月"
    QWidget *today;         // Button3 "今天"
    MonthCalendar *calendar;
    QStatusBar *statusBar;
    std::function<void()> refreshChain; // BitBtn4, BitBtn8, BitBtnTJ
};

// The actions of the date selector. The handlers of controls that the program
// also sets from code act only while their control holds the focus; each runs
// its steps in one trap that reports a failure in the status bar and skips
// the rest, the refresh chain included.
class DateSelector
{
public:
    explicit DateSelector(DateSelectorControls controls);

    // Connects the boxes, the calendar, the range buttons and the pickers to
    // the handlers below, for as long as the context object lives.
    void connectControls(QObject *context);

    void todayClicked();                 // Button3Click
    void monthClicked(int step);         // Button1Click (-1), Button2Click (+1)
    void yearBoxChanged();               // ComboBox1Change, ComboBox1Select
    void monthBoxChanged();              // ComboBox2Change, ComboBox2Select
    void dayBoxTyped();                  // ComboBox3Change
    void dayBoxPicked();                 // ComboBox3Select
    void calendarChanged();              // Calendar1Change
    void rangeChosen(bool custom);       // RadioButton1Click .. RadioButton4Click
    void pickerChanged();                // DateTimePicker1Change, DateTimePicker2Change
    void pickerKeyReleased(int picker, int key); // DateTimePicker1KeyUp, DateTimePicker2KeyUp

    // The key filter of the three boxes: digits and Backspace pass.
    static QChar boxKeyFilter(QChar typed);
    // Whether the control holds the input focus (for a box: its text field).
    static bool holdsFocus(const QWidget *control);

private:
    void guarded(const QWidget *control, const std::function<void()> &steps);
    void calendarFromBoxes();
    void checkCustomRange();

    DateSelectorControls m_c;
};
