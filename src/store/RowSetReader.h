#pragma once

#include "ColumnType.h"
#include "RowStore.h"

#include <QString>
#include <vector>

class Connection;

// A field of a row set; table and column name where it comes from when that
// is a column of a table of the ledger file itself (not of an IN file).
struct RowSetField
{
    QString name;
    ColumnType kind = ColumnType::Text;
    QString table;
    QString column;
};

// What a statement of the dialect returned, read in one go.
struct RowSetRead
{
    std::vector<RowSetField> fields;
    RowStore rows;
};

// Runs sql on connection and reads its fields and rows; raises Error.
RowSetRead readRowSet(Connection &connection, const QString &sql);

// Replaces held by fresh. A row set over a whole ledger holds megabytes in
// many blocks; once such a one is dropped, the freed pages go back to the
// system.
void replaceRows(RowStore &held, RowStore &&fresh);
