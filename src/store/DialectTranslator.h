#pragma once

#include "ColumnType.h"
#include "SqlTokenizer.h"

#include <QDate>
#include <QList>
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

    // A table read from another database file through table IN 'path'.
    struct Source
    {
        QString file;
        QString table;
    };

    // INSERT INTO table SELECT ... without a column list: whole rows copied.
    struct InsertSelect
    {
        QString table;
        QString select; // the translated SELECT text
    };

    QString sql;             // SQLite text; empty when the statement is a counter reset
    SqlTokens tokens;        // the tokens of sql
    QList<Source> sources;   // in the order they appear in the statement
    std::optional<CounterReset> counterReset;
    QString writtenTable;    // target of INSERT, UPDATE or DELETE; empty otherwise
    std::optional<InsertSelect> insertSelect;
};

// The columns of a table in their order, empty for an unknown table; date
// columns hold ISO texts.
using ColumnsOf = std::function<TableColumns(const QString &table)>;

// Names the schema under which a statement reads a table of an IN file; the
// engine attaches the file there (and may raise when it cannot).
using SourceSchemaFor = std::function<QString(const QString &file, const QString &table)>;

// Rewrites one statement: #date# literals; date texts written as values of date
// columns (INSERT ... VALUES with or without a column list, UPDATE ... SET, a
// text in parentheses included); IN 'file' after a table of a FROM list;
// Distinct(col); ALTER TABLE ... COUNTER(seed, step). Without schemaFor the
// i-th IN file is read as sourceSchema(i). Raises Error with a message that
// quotes the offending text.
TranslatedStatement translateStatement(const QString &sql, const ColumnsOf &columnsOf,
                                       const SourceSchemaFor &schemaFor = {});

// The schema name of the index-th attached file.
QString sourceSchema(qsizetype index);

// Reads a date as the dialect accepts it: year-month-day with "-", or the
// system's short date format.
std::optional<QDate> readDialectDate(const QString &text);
