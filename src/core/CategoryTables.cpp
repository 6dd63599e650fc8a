#include "CategoryTables.h"

#include "store/Query.h"

CategoryTables::CategoryTables(Query &income, Query &payout, Connection &connection)
    : m_income(income), m_payout(payout), m_connection(connection)
{
}

void CategoryTables::reload()
{
    const struct
    {
        Query &query;
        const char *sql;
    } lists[] = {{m_income, "SELECT IC_No,IC_Name FROM IncomeClass ORDER BY IC_No DESC"},
                 {m_payout, "SELECT PC_No,PC_Name FROM PayoutClass ORDER BY PC_No DESC"}};
    for (const auto &list : lists) {
        list.query.close();
        list.query.setConnection(&m_connection);
        list.query.clearSql();
        list.query.addSql(QString::fromLatin1(list.sql));
        list.query.open();
    }
}

QStringList CategoryTables::incomeNames() const
{
    return names(QStringLiteral("Income"), QStringLiteral("IC_"));
}

QStringList CategoryTables::payoutNames() const
{
    return names(QStringLiteral("Payout"), QStringLiteral("PC_"));
}

QStringList CategoryTables::names(const QString &table, const QString &prefix) const
{
    Query scratch(QStringLiteral("ADOQueryPick"));
    scratch.setConnection(&m_connection);
    scratch.setSql(QStringLiteral("Select * From %1Class Order By %2No ASC").arg(table, prefix));
    scratch.open();
    QStringList names;
    for (scratch.first(); !scratch.eof(); scratch.next())
        names.append(scratch.fieldText(prefix + QStringLiteral("Name")));
    return names;
}
