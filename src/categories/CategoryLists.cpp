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
