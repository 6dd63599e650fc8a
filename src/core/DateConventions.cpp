#include "DateConventions.h"

#include "Error.h"

#include <QStringList>

namespace {

DateConventions &instance()
{
    static DateConventions conventions = DateConventions::standard();
    return conventions;
}

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

DateConventions::DateConventions(QString shortFormat, QChar separator, Order order)
    : m_shortFormat(std::move(shortFormat)), m_separator(separator), m_order(order)
{
}

const DateConventions &DateConventions::system()
{
    return instance();
}

void DateConventions::setSystem(const DateConventions &conventions)
{
    instance() = conventions;
}

DateConventions DateConventions::standard()
{
    return DateConventions(QStringLiteral("yyyy-M-d"), QLatin1Char('-'), Order::YearMonthDay);
}

QString DateConventions::format(const QDate &date) const
{
    return date.toString(m_shortFormat);
}

std::optional<QDate> dateFromParts(const QString &year, const QString &month, const QString &day)
{
    if (!allDigits(year) || !allDigits(month) || !allDigits(day) || year.size() > 4
        || month.size() > 2 || day.size() > 2)
        return std::nullopt;
    const int y = year.toInt(), m = month.toInt(), d = day.toInt();
    if (y < 1 || !QDate::isValid(y, m, d))
        return std::nullopt;
    return QDate(y, m, d);
}

std::optional<QDate> DateConventions::tryRead(const QString &text) const
{
    const QStringList parts = text.trimmed().split(m_separator);
    if (parts.size() != 3)
        return std::nullopt;
    switch (m_order) {
    case Order::YearMonthDay:
        return dateFromParts(parts[0], parts[1], parts[2]);
    case Order::DayMonthYear:
        return dateFromParts(parts[2], parts[1], parts[0]);
    case Order::MonthDayYear:
        return dateFromParts(parts[2], parts[0], parts[1]);
    }
    return std::nullopt;
}

QDate DateConventions::toDate(const QString &text) const
{
    if (const auto date = tryRead(text))
        return *date;
    throw Error(QStringLiteral("'%1' is not a valid date").arg(excerpt(text)));
}

QDateTime DateConventions::toDateTime(const QString &text) const
{
    const QString trimmed = text.trimmed();
    const qsizetype blank = trimmed.indexOf(QLatin1Char(' '));
    const QString datePart = blank < 0 ? trimmed : trimmed.left(blank);
    const QString timePart = blank < 0 ? QString() : trimmed.mid(blank + 1).trimmed();
    const auto date = tryRead(datePart);
    QTime time(0, 0);
    if (!timePart.isEmpty()) {
        time = QTime::fromString(timePart, QStringLiteral("H:mm:ss"));
        if (!time.isValid())
            time = QTime::fromString(timePart, QStringLiteral("H:mm"));
    }
    if (!date || !time.isValid())
        throw Error(QStringLiteral("'%1' is not a valid date and time").arg(excerpt(text)));
    return QDateTime(*date, time);
}

int textToInt(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(excerpt(text)));
    return value;
}
