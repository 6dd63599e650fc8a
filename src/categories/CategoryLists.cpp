#include "CategoryLists.h"

#include "platform/ErrorReport.h"
#include "store/Query.h"

CategoryLists::CategoryLists(Query &income, Query &payout, Connection &connection, QStatusBar *statusBar)
    : m_income(income), m_payout(payout), m_connection(connection), m_statusBar(statusBar)
{
}

// A row still being edited in either list is dropped by the reopening.
void CategoryLists::reload()
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

void CategoryLists::reloadBoth()
{
    runGuarded(m_statusBar, [this] { reload(); });
}

void CategoryLists::add(Query &list)
{
    runGuarded(m_statusBar, [&list] { list.insert(); });
}

void CategoryLists::deleteCurrent(Query &list)
{
    runGuarded(m_statusBar, [this, &list] {
        list.deleteRecord();
        reload();
    });
}

void CategoryLists::save(Query &list)
{
    runGuarded(m_statusBar, [this, &list] {
        list.edit();
        list.post();
        reload();
    });
}

void CategoryLists::refresh(Query &list)
{
    runGuarded(m_statusBar, [this, &list] {
        list.refresh();
        reload();
    });
}

QStringList CategoryLists::incomeNames() const
{
    return names(QStringLiteral("Income"), QStringLiteral("IC_"));
}

QStringList CategoryLists::payoutNames() const
{
    return names(QStringLiteral("Payout"), QStringLiteral("PC_"));
}

QStringList CategoryLists::names(const QString &table, const QString &prefix) const
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
