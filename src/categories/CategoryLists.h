#pragma once

#include "core/CategoryTables.h"

class Connection;
class Query;
class QStatusBar;

// The buttons of the two category lists of the settings tab. Every action is
// guarded: a failure ends it and is reported in the status bar.
class CategoryLists
{
public:
    CategoryLists(Query &income, Query &payout, Connection &connection, QStatusBar *statusBar);

    void reloadBoth();            // BitBtn9Click, TabSheetSZShow
    void add(Query &list);        // BitBtn10Click, BitBtn15Click
    void deleteCurrent(Query &list); // BitBtn11Click, BitBtn14Click
    void save(Query &list);       // BitBtn12Click, BitBtn16Click
    void refresh(Query &list);    // BitBtn13Click, BitBtn17Click

    const CategoryTables &tables() const { return m_tables; }

private:
    CategoryTables m_tables;
    QStatusBar *m_statusBar;
};
