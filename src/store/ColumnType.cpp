#include "ColumnType.h"

#include <algorithm>
#include <initializer_list>

namespace {

bool isOneOf(const QString &column, std::initializer_list<const char *> names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const char *name) { return column.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; });
}

} // namespace

ColumnType columnTypeOf(const QString &column, const QString &declared)
{
    if (isOneOf(column, {"I_Date", "P_Date"}))
        return ColumnType::Date;
    if (isOneOf(column, {"I_Num", "P_Num", "IS_I_Count", "PS_P_Count", "AC_I_Count", "AC_P_Count", "AC_Net_Count"}))
        return ColumnType::Number;
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
