#include "CategoryLists.h"

#include "platform/ErrorReport.h"
#include "store/Query.h"

CategoryLists::CategoryLists(Query &income, Query &payout, Connection &connection, QStatusBar *statusBar)
    : m_tables(income, payout, connection), m_statusBar(statusBar)
{
}

void CategoryLists::reloadBoth()
{
    runGuarded(m_statusBar, [this] { m_tables.reload(); });
}

void CategoryLists::add(Query &list)
{
    runGuarded(m_statusBar, [&list] { list.insert(); });
}

void CategoryLists::deleteCurrent(Query &list)
{
    runGuarded(m_statusBar, [this, &list] {
        list.deleteRecord();
        m_tables.reload();
    });
}

void CategoryLists::save(Query &list)
{
    runGuarded(m_statusBar, [this, &list] {
        list.edit();
        list.post();
        m_tables.reload();
    });
}

void CategoryLists::refresh(Query &list)
{
    runGuarded(m_statusBar, [this, &list] {
        list.refresh();
        m_tables.reload();
    });
}
