#pragma once

#include <QStringList>

class Connection;
class Query;

// The two category tables as the settings tab lists them and the record
// grids pick from them. Failures raise.
class CategoryTables
{
public:
    CategoryTables(Query &income, Query &payout, Connection &connection);

    // Reopens both lists, newest first; a row still being edited in either
    // list is dropped.
    void reload();

    // The category names in the order of their numbers, for the category
    // column of the income or the payout grid.
    QStringList incomeNames() const;
    QStringList payoutNames() const;

private:
    QStringList names(const QString &table, const QString &prefix) const;

    Query &m_income;
    Query &m_payout;
    Connection &m_connection;
};
