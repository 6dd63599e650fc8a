#pragma once

#include "DialectTranslator.h"
#include "RangePlanner.h"
#include "Statement.h"
#include "StatementCache.h"
#include "SyncPolicy.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class AttachedSources;

// The connection to one ledger data file, opened from a connection string whose
// "Data Source=" names the file. It opens an existing ledger read-write and never
// creates a file; several connections may have the same file open at once.
// Every write of a record or category (execute, a row set's post or delete, a
// committed Transaction) reaches the main file before it returns (SyncPolicy).
//
// Only SQLite may open the ledger's files (the file, its -wal and -shm) in
// this process: SQLite's locks are POSIX locks, which belong to the process,
// and closing any other descriptor of those files drops every one of them;
// a second program then takes the ledger for unused and deletes its log under
// us. File dialogs that read the files they list, copies and checksums
// included: keep them off the ledger's files.
class Connection
{
public:
    // Several statements as one: rolled back on destruction unless committed;
    // commit() copies the result into the main file. Files read through IN stay
    // attached until it ends, since SQLite cannot detach them before.
    class Transaction
    {
    public:
        explicit Transaction(Connection &connection); // raises Error
        ~Transaction();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;
        void commit(); // raises Error; the transaction is then rolled back

    private:
        Connection &m_connection;
        bool m_open = true;
    };

    // How long a statement waits for another program's writer.
    static constexpr int busyTimeoutMs = 10000;

    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void setConnectionString(const QString &connectionString); // closes first
    const QString &connectionString() const { return m_connectionString; }
    QString dataSource() const;

    // Opening an open connection does nothing. Raises Error naming the path.
    void open();
    void close() noexcept;
    bool connected() const { return m_db.isOpen(); }

    // Runs a statement of the dialect that returns no rows. INSERT INTO t
    // SELECT ... copies whole rows, keys included; a row whose key is taken
    // already gets the next free number, every other row keeps its key.
    void execute(const QString &sql);

    // Runs a statement of the dialect that returns rows; reader gets the
    // prepared statement while the IN files of the statement are attached.
    void query(const QString &sql, const std::function<void(Statement &)> &reader);

    // Files read through IN 'file' stay attached while a transaction may
    // still read them; this lets them go once none is open. Every statement,
    // the end of a Transaction and close() call it.
    void releaseSources() noexcept;

    void setScratchTables(const QStringList &tables) { m_sync.setScratchTables(tables); }
    void writeTo(const QString &table, const std::function<void()> &work) { m_sync.writeTo(table, work); }
    void scratchBatch(const std::function<void()> &work) { m_sync.scratchBatch(work); }

    // Runs work as one Transaction: all of it is stored, or none of it.
    void transaction(const std::function<void()> &work);

    // The columns of a table in their order, as its schema declares them,
    // read once per connection; empty when there is no such table.
    TableColumns columnsOf(const QString &table);
    qint64 lastInsertRowId() { return database().lastInsertRowId(); }
    Database &database(); // raises when closed

    static const QStringList &ledgerTables();

private:
    void forget() noexcept; // drops the handle, its statements and what was read of the schema
    TranslatedStatement translate(const QString &sql);
    Statement prepare(const TranslatedStatement &statement, const QString &text);

    QString m_connectionString;
    Database m_db;
    std::unique_ptr<AttachedSources> m_sources;
    StatementCache m_statements;
    RangePlanner m_plans;
    SyncPolicy m_sync{*this};
    QHash<QString, TableColumns> m_columns; // by lower-case table name
};
