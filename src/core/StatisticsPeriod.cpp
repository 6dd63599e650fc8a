#include "StatisticsPeriod.h"

#include "DateConventions.h"

QString betweenDays(const StatisticsPeriod &period)
{
    return QStringLiteral("between #") + period.start + QStringLiteral("# And #") + period.end + QLatin1Char('#');
}

StatisticsPeriod statisticsPeriod(const PeriodInput &input, MonthReading reading)
{
    const QString &y = input.year, &m = input.month, &d = input.day;
    const DateConventions &conventions = DateConventions::system();
    switch (input.mode) {
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
    return {RangeMode::Custom, conventions.format(input.start), conventions.format(input.end)};
}
