#pragma once

#include <QString>
#include <vector>

// What a column holds, read from its declared type the way SQLite's affinity
// rules read it, with DATE on its own: the ledger keeps days as ISO texts.
enum class ColumnType { Integer, Number, Date, Text };

ColumnType columnTypeOf(const QString &declared);

struct TableColumn
{
    QString name;
    ColumnType type = ColumnType::Text;
};
using TableColumns = std::vector<TableColumn>; // in the table's order
