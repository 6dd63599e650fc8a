#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

// The system's date conventions: the short date format, its separator and the
// order of the date parts. The program reads the process-wide instance; tests
// replace it to reproduce other systems (d/M/yyyy, say).
class DateConventions
{
public:
    enum class Order { YearMonthDay, DayMonthYear, MonthDayYear };

    DateConventions(QString shortFormat, QChar separator, Order order);

    static const DateConventions &system();
    static void setSystem(const DateConventions &conventions);
    static DateConventions standard(); // yyyy-M-d, "-", year-month-day

    const QString &shortFormat() const { return m_shortFormat; }

    // A date printed in the short date format.
    QString format(const QDate &date) const;

    // Reads a text in the system's order with its separator; nullopt when it names no real day.
    std::optional<QDate> tryRead(const QString &text) const;

    // Raises "'%s' is not a valid date".
    QDate toDate(const QString &text) const;
    // A date with an optional time of day; raises "'%s' is not a valid date and time".
    QDateTime toDateTime(const QString &text) const;

private:
    QString m_shortFormat;
    QChar m_separator;
    Order m_order;
};

// Reads year, month and day parts (digits only, in that order) into a real day.
std::optional<QDate> dateFromParts(const QString &year, const QString &month, const QString &day);

// A whole number in decimal; raises "'%s' is not a valid integer value".
int textToInt(const QString &text);
