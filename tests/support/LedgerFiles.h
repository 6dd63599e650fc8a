#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

class Database;
class Statement;

// Whole ledger files and the folders they lie in, for tests that must show
// that a file or a folder was left exactly as it was.

// Every row of every table of a ledger, and its counters.
using LedgerContent = QMap<QString, QList<QVariantList>>;
LedgerContent ledgerContent(const QString &path);

// Files that SQLite may hold open in this process are read and copied by a
// child process: closing any descriptor of a file here would drop every
// POSIX lock that SQLite holds on it.

// Name, size, modification time and a hash of the bytes of every entry of a folder.
QStringList folderState(const QString &dir);

// A byte for byte copy of a file, as a user copies the ledger to a stick.
bool copyFromAnotherProcess(const QString &from, const QString &to);

// Runs statements of the dialect on a ledger file through the engine.
void fillLedger(const QString &path, const QStringList &statements);

// A database file opened read-write straight through SQLite, below the
// engine; it waits up to 5 s for another connection's writer.
Database openFileRaw(const QString &path);

// The rows of a query on any database file, read without the engine.
QList<QVariantList> fileRows(const QString &path, const QString &sql);

// Every row that a prepared statement returns, stepping it to its end.
QList<QVariantList> rowsOf(Statement &statement);
