#include "RecordQueries.h"

const RecordListKind &RecordListKind::payout()
{
    static const RecordListKind kind{QStringLiteral("Payout"), QStringLiteral("P_"), QStringLiteral("  "),
                                     MonthReading::DateAndTime};
    return kind;
}

const RecordListKind &RecordListKind::income()
{
    static const RecordListKind kind{QStringLiteral("Income"), QStringLiteral("I_"), QStringLiteral(" "),
                                     MonthReading::Date};
    return kind;
}

QString recordListSql(const RecordListKind &kind, const StatisticsPeriod &period)
{
    const QString &p = kind.prefix;
    const QString head = QStringLiteral("Select %1No,%1Date,%1Class,%1Num,%1Desc From %2 Where ").arg(p, kind.table);
    const QString order = QStringLiteral(" Order By %1No%2Asc").arg(p, kind.beforeAsc);
    if (period.mode == RangeMode::Day)
        return head + p + QStringLiteral("Date = #") + period.start + QLatin1Char('#') + order;
    return head + QLatin1Char('[') + p + QStringLiteral("Date] ") + betweenDays(period) + order;
}
