#include "DialectEmulation.h"

#include "SqlText.h"
#include "Statement.h"
#include "core/Error.h"

#include <QStringList>
#include <algorithm>

void restartCounter(Database &db, const TableColumns &columns, const TranslatedStatement::CounterReset &reset)
{
    if (std::none_of(columns.begin(), columns.end(), [&](const TableColumn &c) {
            return c.name.compare(reset.column, Qt::CaseInsensitive) == 0 && c.primaryKeyPart == 1;
        }))
        throw Error(QStringLiteral("表 %1 没有自动编号的键列 %2").arg(reset.table, reset.column));
    // The table's next key is max(largest key, stored sequence) + 1; without
    // any auto-numbered table there is no sequence to restart.
    Statement sequences(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name='sqlite_sequence'"));
    if (!sequences.step() || sequences.value(0).toInt() == 0)
        return;
    Statement clear(db, QStringLiteral("DELETE FROM sqlite_sequence WHERE name = ? COLLATE NOCASE"));
    clear.bind(1, reset.table);
    clear.run();
    if (reset.seed > 1) {
        Statement seed(db, QStringLiteral("INSERT INTO sqlite_sequence(name, seq) "
                                          "SELECT name, ? FROM sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE"));
        seed.bind(1, reset.seed - 1);
        seed.bind(2, reset.table);
        seed.run();
    }
}

// Rows are inserted in two groups: those whose key is free, with their key,
// then the others (and those without a key) with the next free numbers, which
// lie above every key of the first group. SQLite reads the SELECT in full
// before it inserts, so "taken" means taken before the statement.
QString renumberingInsert(Database &db, const TableColumns &columns, const TranslatedStatement &statement)
{
    const TranslatedStatement::InsertSelect &insert = *statement.insertSelect;
    QStringList names;
    qsizetype key = -1;
    int keyParts = 0;
    for (const TableColumn &column : columns) {
        if (column.primaryKeyPart > 0) {
            ++keyParts;
            if (column.declaredType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                key = names.size();
        }
        names.append(column.name);
    }
    if (key < 0 || keyParts != 1 || Statement(db, insert.select).columnCount() != names.size())
        return statement.sql; // SQLite's own rules and messages apply

    QStringList aliases, values;
    for (qsizetype i = 0; i < names.size(); ++i)
        aliases.append(QStringLiteral("lumibran_c%1").arg(i));
    const QString keyValue = aliases[key];
    const QString taken = QStringLiteral("(%1 IS NULL OR %1 IN (SELECT %2 FROM %3))")
                              .arg(keyValue, sqlQuotedName(names[key]), sqlQuotedName(insert.table));
    for (qsizetype i = 0; i < names.size(); ++i)
        values.append(i == key ? QStringLiteral("CASE WHEN %1 THEN NULL ELSE %2 END").arg(taken, keyValue) : aliases[i]);
    return QStringLiteral("WITH lumibran_rows(%1) AS (%2) INSERT INTO %3 SELECT %4 FROM lumibran_rows ORDER BY %5, %6")
        .arg(aliases.join(QLatin1Char(',')), insert.select, sqlQuotedName(insert.table), values.join(QLatin1Char(',')),
             taken, keyValue);
}
