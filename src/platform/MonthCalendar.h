#pragma once

#include <QCalendarWidget>

class QLabel;

// The month calendar: one month as a grid of days, weeks beginning on Sunday,
// headed by the short Chinese day names, with the month and year at its left.
// Its parts are set one at a time: a set below 1, a month above 12 or a day
// beyond the current month's length is ignored, a set to the value held does
// nothing, and a set that gives an impossible date raises "Invalid argument to
// date encode". Every change, by the user or by a set, raises changed().
class MonthCalendar : public QCalendarWidget
{
    Q_OBJECT
public:
    explicit MonthCalendar(QWidget *parent = nullptr);

    int year() const { return selectedDate().year(); }
    int month() const { return selectedDate().month(); }
    int day() const { return selectedDate().day(); }
    void setYear(int year);
    void setMonth(int month);
    void setDay(int day);

    // Raises "Invalid argument to date encode" for a day that the calendar
    // cannot hold: no real day, or a year outside 1 to 9999.
    static void checkHolds(int year, int month, int day);

    // The month and year shown, as the heading reads.
    QString heading() const;

signals:
    void changed();

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void moveTo(int year, int month, int day);
    void layOutHeading();

    QLabel *m_heading;
};
