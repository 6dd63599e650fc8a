#pragma once

#include "DialectTranslator.h"
#include "Statement.h"
#include "StatementCache.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

class QTimer;

// The connection to one ledger data file, opened from a connection string whose
// "Data Source=" names the file. It opens an existing ledger read-write and never
// creates a file; several connections may have the same file open at once.
//
// The ledger file alone is the user's data: people carry Tavokel.257 on a stick
// without its -wal. So every write of a record or category (execute, a row
// set's post or delete, a committed Transaction) is copied from the log into
// the main file before it returns, and so is everything on close. When another
// program's reader holds the log, the write stays durable in the log and the
// copy is tried again every few milliseconds from the event loop, so that it
// lands as soon as the reader lets go, without waiting for it meanwhile.
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

    // Writes whose loss on a power cut costs nothing (the statistics tables)
    // are committed without waiting for the disk.
    void setScratchTables(const QStringList &tables);
    // Runs work with the cheap sync when table is a scratch table.
    void writeTo(const QString &table, const std::function<void()> &work);

    // Runs work that writes only scratch tables as one transaction with the
    // cheap sync. What the work wrote before a failure is committed all the
    // same, so the tables look as if each statement had committed alone.
    void scratchBatch(const std::function<void()> &work);

    // Runs work as one Transaction: all of it is stored, or none of it.
    void transaction(const std::function<void()> &work);

    // The columns of a table in their order; empty when there is no such table.
    TableColumns columnsOf(const QString &table);
    Database &database(); // raises when closed

    static const QStringList &ledgerTables();
    // The ledger's connection string around a file's full path, and the path
    // that a connection string names.
    static QString connectionStringFor(const QString &fullPath);
    static QString dataSourceOf(const QString &connectionString);

private:
    class AttachedSources;

    void resetCounter(const TranslatedStatement::CounterReset &reset);
    TranslatedStatement translate(const QString &sql);
    QString renumberingInsert(const TranslatedStatement &statement);
    Statement prepare(const TranslatedStatement &statement, const QString &text);
    void copyLogIntoMainFile() noexcept; // on failure, tries again from the event loop
    bool tryCopyLogIntoMainFile() noexcept; // whether the main file holds the whole log
    QString endScratchBatch() noexcept; // the failure's message, or empty
    bool restoreFullSync() noexcept;

    QString m_connectionString;
    Database m_db;
    std::unique_ptr<AttachedSources> m_sources;
    StatementCache m_statements;
    QSet<QString> m_scratchTables;
    bool m_inScratchBatch = false;
    QHash<QString, TableColumns> m_columns; // by lower-case table name
    std::unique_ptr<QTimer> m_copyRetry;
};
