#pragma once

#include <QString>

// The "#.00" pattern of the total boxes: no thousands separators, exactly two
// decimals, a zero integer part left out: 1234.5 → 1234.50, 0.5 → .50,
// 0 → .00, -250 → -250.00.
QString hashDotZeroZero(double value);

// The "#,##0.###" pattern of the chart's marks, of the value rounded to
// cents: 426055.3 → 426,055.3, 1000 → 1,000, 0 → 0, -250 → -250.
QString chartMark(double value);
