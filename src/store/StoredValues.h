#pragma once

#include "ColumnType.h"

#include <QString>

class Database;

// Only finite amounts and real days are stored, whatever statement writes
// them: INSERT with or without a column list, INSERT ... SELECT, an UPDATE,
// a computed or concatenated value, a grid post. Installs on one connection a
// check that runs before each row of the table is written: number columns take
// a finite number or null, date columns an ISO day (YYYY-MM-DD) or null. A row
// that fails ends its statement, which then writes nothing, with a message
// naming the column and the value. Ledgers made before their schema carried
// the same CHECK constraints rely on this alone. Raises Error.
void guardStoredValues(Database &db, const QString &table, const TableColumns &columns);

// The message of a value refused for a column of the given type.
QString refusedValueMessage(ColumnType type, const QString &column, const QString &value);
