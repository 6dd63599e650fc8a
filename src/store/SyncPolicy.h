#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Connection;
class QTimer;

// How a connection's writes reach the disk. The ledger file alone is the
// user's data: people carry Tavokel.257 on a stick without its -wal. So every
// write of a record or category is synced in full and copied from the log into
// the main file before it returns, and so is everything on close. When another
// program's reader holds the log, the write stays durable in the log and the
// copy is tried again every few milliseconds from the event loop, so that it
// lands as soon as the reader lets go, without waiting for it meanwhile; on
// close, the last copy waits up to two seconds for such a reader.
// Writes whose loss on a power cut costs nothing (the statistics tables) are
// committed without waiting for the disk.
class SyncPolicy
{
public:
    explicit SyncPolicy(Connection &connection);
    ~SyncPolicy();
    SyncPolicy(const SyncPolicy &) = delete;
    SyncPolicy &operator=(const SyncPolicy &) = delete;

    void setScratchTables(const QStringList &tables);
    // Runs work that writes table: with the cheap sync when it is a scratch
    // table, otherwise followed by the copy into the main file.
    void writeTo(const QString &table, const std::function<void()> &work);
    // Runs work that writes only scratch tables as one transaction with the
    // cheap sync. What the work wrote before a failure is committed all the
    // same, so the tables look as if each statement had committed alone.
    void scratchBatch(const std::function<void()> &work);
    bool inScratchBatch() const { return m_inScratchBatch; }

    void copyLogIntoMainFile() noexcept; // on failure, tries again from the event loop
    void lastCopy() noexcept;            // before the connection closes: waits a little for readers elsewhere

private:
    bool tryCopyLogIntoMainFile() noexcept; // whether the main file holds the whole log
    QString endScratchBatch() noexcept;     // the failure's message, or empty
    bool restoreFullSync() noexcept;

    Connection &m_connection;
    QSet<QString> m_scratchTables;
    bool m_inScratchBatch = false;
    std::unique_ptr<QTimer> m_copyRetry;
};
