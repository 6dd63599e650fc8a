#pragma once

#include <QDate>
#include <QString>

// A text value written into SQL between single quotes, every quote doubled,
// so that a name, note or path holding "'" is stored exactly as typed.
QString sqlQuoted(const QString &value);

// Raises Error when a statement holds a NUL character: SQLite would stop
// reading there and run only what comes before it.
void refuseNul(const QString &sql);

// A table or column name between double quotes, for statements our own code writes.
QString sqlQuotedName(const QString &name);

// A day as the ledger stores it and its statements compare it: YYYY-MM-DD,
// for the years 1 to 9999 that the dialect reads.
QString isoDay(const QDate &day);

// The general number format: rounded to 15 significant digits, fixed-point
// from 0.0001 up to 15 integer digits, otherwise scientific (1.5E20, 1E-5);
// no trailing zeros, no thousands separators, always "." as decimal separator.
QString generalNumber(double value);

// A finite, non-zero value rounded to 15 significant digits: the digits
// d0 d1 ... d14 and the power of ten of d0, as the general number format and
// the "#.00" pattern both read it.
struct Decimal15
{
    QString digits; // 15 digits, d0 not 0
    int exponent = 0;
};
Decimal15 decimal15(double value);
