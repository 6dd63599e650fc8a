#include "MonthCalendar.h"

#include "Error.h"

#include <QHeaderView>
#include <QTableView>

MonthCalendar::MonthCalendar(QWidget *parent) : QCalendarWidget(parent)
{
    setFirstDayOfWeek(Qt::Sunday);
    setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setNavigationBarVisible(false);
    setGridVisible(false);
    setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    // Six weeks and the day names fit the strip's height.
    if (auto *view = findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview"))) {
        view->verticalHeader()->setMinimumSectionSize(1);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        view->horizontalHeader()->setMinimumSectionSize(1);
    }
    connect(this, &QCalendarWidget::selectionChanged, this, &MonthCalendar::changed);
}

void MonthCalendar::moveTo(int year, int month, int day)
{
    if (year > 9999 || !QDate::isValid(year, month, day))
        throw Error(QStringLiteral("Invalid argument to date encode"));
    const QDate date(year, month, day);
    setSelectedDate(date);
    setCurrentPage(year, month);
}

void MonthCalendar::setYear(int value)
{
    if (value < 1 || value == year())
        return;
    moveTo(value, month(), day());
}

void MonthCalendar::setMonth(int value)
{
    if (value < 1 || value > 12 || value == month())
        return;
    moveTo(year(), value, day());
}

void MonthCalendar::setDay(int value)
{
    if (value < 1 || value > selectedDate().daysInMonth() || value == day())
        return;
    moveTo(year(), month(), value);
}
