#include "StatisticsRun.h"

#include "Error.h"
#include "store/DataModuleUt.h"
#include "store/SqlText.h"

#include <cmath>

// What tells the income sums from the payout sums.
struct StatisticsRun::Kind
{
    QString table;     // "Income"
    QString prefix;    // "I_"
    QString statTable; // "IncomeStatistic"
    QString statPrefix; // "IS_I_"
};

namespace {

// A sum beyond the largest number (two payouts of 1e308) has no value that
// could be stored or shown.
double finiteSum(double sum)
{
    if (!std::isfinite(sum))
        throw Error(QStringLiteral("金额的合计超出了能够计算的范围，无法统计"));
    return sum;
}

} // namespace

StatisticsRun::StatisticsRun(TDataModule1 &module) : m_module(module)
{
}

void StatisticsRun::sumPerCategory(const Kind &kind, const StatisticsPeriod &period)
{
    Connection &connection = m_module.ADOConnection1;
    const QString &p = kind.prefix;
    Query categories(QStringLiteral("ADOQueryClass"));
    categories.setConnection(&connection);
    categories.setSql(QStringLiteral("Select Distinct(%1Class) From %2").arg(p, kind.table)
                      + QStringLiteral(" Where [%1Date] ").arg(p) + betweenDays(period));
    categories.open();
    Query sum(QStringLiteral("ADOQuerySum"));
    sum.setConnection(&connection);
    const QString sumHead = QStringLiteral("Select Sum(%1Num) As %1Num_Count From %2").arg(p, kind.table);
    for (categories.first(); !categories.eof(); categories.next()) {
        const QString category = categories.fieldText(p + QStringLiteral("Class"));
        // The day's sums test the date for equality; every other sum a range.
        const QString dates = period.mode == RangeMode::Day
            ? QStringLiteral(" Where [%1Date] = #").arg(p) + period.start + QLatin1Char('#')
            : QStringLiteral(" Where [%1Date] ").arg(p) + betweenDays(period);
        sum.clearSql();
        sum.setSql(sumHead + dates + QStringLiteral(" And %1Class=").arg(p) + sqlQuoted(category));
        sum.open();
        const QString sumField = p + QStringLiteral("Num_Count");
        if (!sum.fieldValue(sumField).isNull())
            finiteSum(sum.fieldFloat(sumField));
        const QString sumText = sum.fieldText(sumField);
        sum.close();
        Query insert(QStringLiteral("ADOQueryInsert"));
        insert.setConnection(&connection);
        // A category whose amounts are all null sums to null, and is stored so.
        insert.setSql(QStringLiteral("INSERT INTO %1(%2Class,%2Count)").arg(kind.statTable, kind.statPrefix)
                      + QStringLiteral(" VALUES(") + sqlQuoted(category) + QStringLiteral(", ")
                      + (sumText.isEmpty() ? QStringLiteral("Null") : sumText) + QStringLiteral(" )"));
        insert.execSQL();
    }
}

double StatisticsRun::total(const Kind &kind, const StatisticsPeriod &period)
{
    Query sum(QStringLiteral("ADOQueryTotal"));
    sum.setConnection(&m_module.ADOConnection1);
    sum.setSql(QStringLiteral("Select Sum(%1Num) As %1Num_Count From %2 Where [%1Date] ").arg(kind.prefix, kind.table)
               + betweenDays(period));
    sum.open();
    return finiteSum(sum.fieldFloat(kind.prefix + QStringLiteral("Num_Count")));
}

StatisticsFigures StatisticsRun::run(const StatisticsPeriod &period)
{
    static const Kind income{QStringLiteral("Income"), QStringLiteral("I_"), QStringLiteral("IncomeStatistic"),
                             QStringLiteral("IS_I_")};
    static const Kind payout{QStringLiteral("Payout"), QStringLiteral("P_"), QStringLiteral("PayoutStatistic"),
                             QStringLiteral("PS_P_")};
    struct Shown
    {
        Query &query;
        QString table;
    };
    const Shown shown[] = {{m_module.ADOQuerySRTJ, QStringLiteral("IncomeStatistic")},
                           {m_module.ADOQueryZCTJ, QStringLiteral("PayoutStatistic")},
                           {m_module.ADOQueryJSR, QStringLiteral("AllCount")}};

    for (const Shown &s : shown) {
        s.query.close();
        s.query.clearSql();
        s.query.addSql(QStringLiteral("DELETE FROM ") + s.table);
        s.query.execSQL();
    }
    sumPerCategory(income, period);
    sumPerCategory(payout, period);
    const double incomeTotal = total(income, period);
    const double payoutTotal = total(payout, period);
    const double net = finiteSum(incomeTotal - payoutTotal);
    Query insert(QStringLiteral("ADOQueryInsert"));
    insert.setConnection(&m_module.ADOConnection1);
    insert.setSql(QStringLiteral("INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count)") + QStringLiteral(" VALUES(")
                  + generalNumber(incomeTotal) + QStringLiteral(", ") + generalNumber(payoutTotal)
                  + QStringLiteral(", ") + generalNumber(net) + QStringLiteral(" )"));
    insert.execSQL();
    for (const Shown &s : shown) {
        s.query.close();
        s.query.clearSql();
        s.query.addSql(QStringLiteral("SELECT * FROM ") + s.table);
        s.query.open();
    }
    Query &totals = m_module.ADOQueryJSR;
    return {totals,
            totals.fieldFloat(QStringLiteral("AC_I_Count")),
            totals.fieldFloat(QStringLiteral("AC_P_Count")),
            totals.fieldFloat(QStringLiteral("AC_Net_Count"))};
}
