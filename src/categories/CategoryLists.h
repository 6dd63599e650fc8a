#pragma once

#include <QStringList>

class Connection;
class Query;
class QStatusBar;

// The two category lists of the settings tab. Every action is guarded: a
// failure ends it and is reported in the status bar.
class CategoryLists
{
public:
    CategoryLists(Query &income, Query &payout, Connection &connection, QStatusBar *statusBar);

    void reloadBoth();            // BitBtn9Click, TabSheetSZShow
    void add(Query &list);        // BitBtn10Click, BitBtn15Click
    void deleteCurrent(Query &list); // BitBtn11Click, BitBtn14Click
    void save(Query &list);       // BitBtn12Click, BitBtn16Click
    void refresh(Query &list);    // BitBtn13Click, BitBtn17Click

    // The category names in the order of their numbers, for the category
    // column of the income or the payout grid. Unguarded: failures reach the
    // caller.
    QStringList incomeNames() const;
    QStringList payoutNames() const;

private:
    void reload();
    QStringList names(const QString &table, const QString &prefix) const;

    Query &m_income;
    Query &m_payout;
    Connection &m_connection;
    QStatusBar *m_statusBar;
};
