#include "SqlText.h"

#include "core/Error.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

QString sqlQuoted(const QString &value)
{
    return QLatin1Char('\'') + QString(value).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// Built by hand: the calendar's general formatter is slow, and every date
// literal of every statement passes here.
QString isoDay(const QDate &day)
{
    const auto digits = [](int value, int count) {
        return QString::number(value).rightJustified(count, QLatin1Char('0'));
    };
    return digits(day.year(), 4) + QLatin1Char('-') + digits(day.month(), 2) + QLatin1Char('-') + digits(day.day(), 2);
}

void refuseNul(const QString &sql)
{
    if (sql.contains(QChar(0)))
        throw Error(QStringLiteral("语句中含有 NUL 字符，不能执行：%1").arg(excerpt(QString(sql).replace(QChar(0), QStringLiteral("\\0")))));
}

QString sqlQuotedName(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

Decimal15 decimal15(double value)
{
    // d.dddddddddddddde±x: the 15 significant digits and the decimal exponent.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    Decimal15 decimal;
    const char *p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p != '.')
            decimal.digits += QLatin1Char(*p);
    decimal.exponent = std::atoi(p + 1);
    return decimal;
}

QString generalNumber(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

    const Decimal15 decimal = decimal15(value);
    QString digits = decimal.digits;
    const int exponent = decimal.exponent;
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);

    QString text;
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            text = QStringLiteral("0.") + QString(-exponent - 1, QLatin1Char('0')) + digits;
        } else if (digits.size() <= exponent + 1) {
            text = digits + QString(exponent + 1 - digits.size(), QLatin1Char('0'));
        } else {
            text = digits.left(exponent + 1) + QLatin1Char('.') + digits.mid(exponent + 1);
        }
    } else {
        text = digits.left(1);
        if (digits.size() > 1)
            text += QLatin1Char('.') + digits.mid(1);
        text += QLatin1Char('E') + QString::number(exponent);
    }
    return value < 0 ? QLatin1Char('-') + text : text;
}
