#include "NumberPatterns.h"

#include "store/SqlText.h"

#include <cmath>

namespace {

// A decimal digit string plus one.
QString incremented(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

// The value's size in whole cents, as at least three digits ("005" for five
// cents). Rounded from the 15-digit decimal that the grids show, half away
// from zero, so that 1.005 gives 1.01 here as it reads 1.005 there, and a
// sum with binary noise (426055.299999999) its cents (426055.30).
QString centDigits(double value)
{
    QString cents = QStringLiteral("0");
    if (value != 0) {
        const Decimal15 decimal = decimal15(value);
        const int shift = 12 - decimal.exponent; // digits below the cent
        if (shift <= 0) {
            cents = decimal.digits + QString(-shift, QLatin1Char('0'));
        } else if (shift <= decimal.digits.size()) {
            cents = decimal.digits.left(decimal.digits.size() - shift);
            if (decimal.digits[decimal.digits.size() - shift] >= QLatin1Char('5'))
                cents = incremented(cents);
        }
    }
    return cents.rightJustified(3, QLatin1Char('0'));
}

// A minus sign for a negative value that does not round to zero.
QString withSign(double value, const QString &text, const QString &zero)
{
    return value < 0 && text != zero ? QLatin1Char('-') + text : text;
}

} // namespace

QString hashDotZeroZero(double value)
{
    if (!std::isfinite(value))
        return generalNumber(value);
    const QString cents = centDigits(value);
    QString text = cents.left(cents.size() - 2) + QLatin1Char('.') + cents.right(2);
    while (text.startsWith(QLatin1Char('0')))
        text.remove(0, 1);
    return withSign(value, text, QStringLiteral(".00"));
}

QString chartMark(double value)
{
    if (!std::isfinite(value))
        return generalNumber(value);
    const QString cents = centDigits(value);
    QString whole = cents.left(cents.size() - 2);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, QLatin1Char(','));
    QString fraction = cents.right(2);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    return withSign(value, fraction.isEmpty() ? whole : whole + QLatin1Char('.') + fraction, QStringLiteral("0"));
}
