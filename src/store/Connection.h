#pragma once

#include "DialectTranslator.h"
#include "Statement.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

struct sqlite3;

// The connection to one ledger data file, opened from a connection string whose
// "Data Source=" names the file. It opens an existing ledger read-write and never
// creates a file; several connections may have the same file open at once.
class Connection
{
public:
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
    bool connected() const { return bool(m_db); }

    // Runs a statement of the dialect that returns no rows. INSERT INTO t
    // SELECT ... copies whole rows, keys included; a row whose key is taken
    // already gets the next free number, every other row keeps its key.
    void execute(const QString &sql);

    // Runs a statement of the dialect that returns rows; reader gets the
    // prepared statement while the IN files of the statement are attached.
    void query(const QString &sql, const std::function<void(Statement &)> &reader);

    // Files read through IN 'file' stay attached while a transaction may
    // still read them; this lets them go once none is open. Every statement
    // and close() call it, so nothing needs to but the end of a transaction.
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

    bool isDateColumn(const QString &table, const QString &column);
    sqlite3 *handle(); // raises when closed

    static const QStringList &ledgerTables();
    static QString dataSourceOf(const QString &connectionString);

private:
    class AttachedSources;

    void checkLedger(const QString &path);
    void resetCounter(const TranslatedStatement::CounterReset &reset);
    TranslatedStatement translate(const QString &sql);
    QString renumberingInsert(const TranslatedStatement &statement);

    QString m_connectionString;
    SqliteHandle m_db;
    std::unique_ptr<AttachedSources> m_sources;
    QSet<QString> m_scratchTables;
    bool m_inScratchBatch = false;
    QHash<QString, QSet<QString>> m_dateColumns; // lower-case table -> lower-case columns
};
