#include "StatisticsPeriod.h"

#include "platform/DatePicker.h"
#include "core/DateConventions.h"
#include "platform/SelectorBox.h"

#include <QRadioButton>

RangeMode rangeMode(const PeriodControls &c)
{
    if (c.dayMode->isChecked())
        return RangeMode::Day;
    if (c.monthMode->isChecked())
        return RangeMode::Month;
    if (c.yearMode->isChecked())
        return RangeMode::Year;
    return RangeMode::Custom;
}

StatisticsPeriod statisticsPeriod(const PeriodControls &c, MonthReading reading)
{
    const QString y = c.year->text(), m = c.month->text(), d = c.day->text();
    const DateConventions &conventions = DateConventions::system();
    switch (rangeMode(c)) {
    case RangeMode::Day: {
        const QString day = y + QLatin1Char('-') + m + QLatin1Char('-') + d;
        return {RangeMode::Day, day, day};
    }
    case RangeMode::Month: {
        const QString start = y + QLatin1Char('-') + m + QStringLiteral("-1");
        const QDate first = reading == MonthReading::Date ? conventions.toDate(start) : conventions.toDateTime(start).date();
        return {RangeMode::Month, start, y + QLatin1Char('-') + m + QLatin1Char('-') + QString::number(first.daysInMonth())};
    }
    case RangeMode::Year:
        return {RangeMode::Year, y + QStringLiteral("-1-1"), y + QStringLiteral("-12-31")};
    case RangeMode::Custom:
        break;
    }
    return {RangeMode::Custom, conventions.format(c.start->date()), conventions.format(c.end->date())};
}
