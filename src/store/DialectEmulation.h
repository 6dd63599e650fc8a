#pragma once

#include "ColumnType.h"
#include "DialectTranslator.h"

#include <QString>

class Database;

// What SQLite has no statement for, carried out with its own. columns
// describes the table that the statement names.

// ALTER TABLE t ALTER COLUMN c COUNTER(seed, step): the table's numbering
// restarts at seed. Raises Error unless c is the table's auto-numbered key.
void restartCounter(Database &db, const TableColumns &columns, const TranslatedStatement::CounterReset &reset);

// INSERT INTO t SELECT ... copying whole rows, keys included: the SQLite text
// by which a row whose key is taken already gets the next free number and
// every other row keeps its key; the statement's own text where SQLite's
// rules and messages apply as they are.
QString renumberingInsert(Database &db, const TableColumns &columns, const TranslatedStatement &statement);
