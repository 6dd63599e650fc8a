#include "ColumnType.h"

ColumnType columnTypeOf(const QString &declared)
{
    const QString type = declared.toUpper();
    if (type == QLatin1String("DATE"))
        return ColumnType::Date;
    if (type.contains(QLatin1String("INT")))
        return ColumnType::Integer;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA"))
        || type.contains(QLatin1String("DOUB")) || type.contains(QLatin1String("NUM")))
        return ColumnType::Number;
    return ColumnType::Text;
}
