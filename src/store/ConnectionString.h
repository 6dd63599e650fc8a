#pragma once

#include <QString>

// The ledger's connection string around a data file's full path.
QString ledgerConnectionString(const QString &fullPath);

// The path that a connection string's "Data Source=" names; empty for none.
QString dataSourceOf(const QString &connectionString);
