#pragma once

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

// Tells whether a column of a table holds dates (stored as ISO texts).
using DateColumnTest = std::function<bool(const QString &table, const QString &column)>;

// Rewrites one statement: #date# literals, date texts stored into date columns,
// IN 'file' after a table name, Distinct(col), ALTER TABLE ... COUNTER(seed, step).
// Raises Error with a message that quotes the offending text.
TranslatedStatement translateStatement(const QString &sql, const DateColumnTest &isDateColumn);

// The schema name under which the i-th IN file is attached.
QString sourceSchema(qsizetype index);

// Reads a date as the dialect accepts it: year-month-day with "-", or the
// system's short date format.
std::optional<QDate> readDialectDate(const QString &text);
