#pragma once

#include "ColumnType.h"

#include <QString>
#include <QVariant>

// The texts of a row set's fields, as grids show them and users type them.

// A value as a grid shows it: null as nothing, a real number in the general
// number format, a day of a date field in the system's short date format.
QString fieldText(const QVariant &value, ColumnType kind);

// A typed text as the value to store in a field of kind: an empty number or
// day is null, a day becomes its ISO text. Raises Error for a text the kind
// cannot take.
QVariant fieldValue(const QString &text, ColumnType kind);

// A value read as a number, null as 0. Raises Error for a text that is none.
double fieldNumber(const QVariant &value);
