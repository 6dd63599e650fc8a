#pragma once

#include <QString>
#include <vector>

// What a column holds, read from its declared type the way SQLite's affinity
// rules read it, with DATE on its own: the ledger keeps days as ISO texts.
enum class ColumnType { Integer, Number, Date, Text };

// The ledger's own days and amounts are known by their column's name,
// whatever type a file made by another tool declares for them (DATETIME,
// TEXT, ...), so that they get ISO days and finite numbers all the same. Any
// other column is known by its declared type.
ColumnType columnTypeOf(const QString &column, const QString &declared);

// A column as the table's schema declares it.
struct TableColumn
{
    QString name;
    ColumnType type = ColumnType::Text;
    QString declaredType;
    int primaryKeyPart = 0; // its place in the primary key, from 1; 0 outside it
};
using TableColumns = std::vector<TableColumn>; // in the table's order
