#pragma once

#include "ColumnType.h"
#include "SqlTokenizer.h"
#include "Statement.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

// Chooses how SQLite reads a list of one table's records over a range of
// days in key order. Without statistics its planner always walks the day's
// index, looks every record up by its key and sorts them all; over most of
// the table one pass through the table, which is in key order already, costs
// half as much. The range's share is judged from the table's first and last
// day, two probes of that index.
//
// Only a statement whose ORDER BY fixes the order of every row is read either
// way: SELECT columns FROM table WHERE column BETWEEN 'a' AND 'b' ORDER BY key,
// the key being the table's own record number (unique, never null). Rows and
// their order are the same under both plans; anything else keeps SQLite's
// plan, so that the order the engine picks and the order of a sum stay as
// they are.
class RangePlanner
{
public:
    using ColumnsOf = std::function<TableColumns(const QString &table)>;

    // Reads the tokens of a translated statement; when it is such a list and
    // its range covers most of the table, the table is marked NOT INDEXED.
    // Returns whether it changed the tokens.
    bool choose(Database &db, SqlTokens &tokens, const ColumnsOf &columnsOf);
    void clear() noexcept;

private:
    struct Table
    {
        QString key;           // the record number; empty when there is none
        QSet<QString> indexed; // lower-case names of the columns that lead an index
        QHash<QString, std::shared_ptr<CachedStatement>> bounds; // first and last value, by lower-case column
    };

    Table *tableFacts(Database &db, const QString &table, const ColumnsOf &columnsOf); // null when there is none
    double shareOf(Database &db, Table &facts, const QString &table, const QString &column, const QString &from,
                   const QString &to);

    QHash<QString, Table> m_tables; // by lower-case table name
};
