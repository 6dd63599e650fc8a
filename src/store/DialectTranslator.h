#pragma once

#include "ColumnType.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// What a statement of the ledger's dialect becomes on SQLite.
struct TranslatedStatement
{
    struct CounterReset
    {
        QString table;
        QString column;
        qint64 seed = 1;
    };

    QString sql;             // SQLite text; empty when the statement is a counter reset
    QStringList sourceFiles; // files read through IN 'path', attached as sourceSchema(i)
    std::optional<CounterReset> counterReset;
    QString writtenTable;    // target of INSERT, UPDATE or DELETE; empty otherwise
};

// The columns of a table in their order, empty for an unknown table; date
// columns hold ISO texts.
using ColumnsOf = std::function<TableColumns(const QString &table)>;

// Rewrites one statement: #date# literals; date texts written as values of date
// columns (INSERT ... VALUES with or without a column list, UPDATE ... SET, a
// text in parentheses included); IN 'file' after a table name; Distinct(col);
// ALTER TABLE ... COUNTER(seed, step). Raises Error with a message that quotes
// the offending text.
TranslatedStatement translateStatement(const QString &sql, const ColumnsOf &columnsOf);

// The schema name under which the i-th IN file is attached.
QString sourceSchema(qsizetype index);

// Reads a date as the dialect accepts it: year-month-day with "-", or the
// system's short date format.
std::optional<QDate> readDialectDate(const QString &text);
