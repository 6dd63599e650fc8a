#include "SyncPolicy.h"

#include "Connection.h"
#include "core/Error.h"

#include <QTimer>

namespace {

// How soon a copy that another program's reader held up is tried again.
constexpr int copyRetryMs = 25;
// How long the copy on close waits for another program's reader.
constexpr int lastCopyWaitMs = 2000;

} // namespace

SyncPolicy::SyncPolicy(Connection &connection) : m_connection(connection)
{
}

SyncPolicy::~SyncPolicy() = default;

void SyncPolicy::setScratchTables(const QStringList &tables)
{
    m_scratchTables.clear();
    for (const QString &table : tables)
        m_scratchTables.insert(table.toLower());
}

void SyncPolicy::scratchBatch(const std::function<void()> &work)
{
    if (!m_connection.connected() || m_inScratchBatch || m_connection.database().inTransaction()) {
        work();
        return;
    }
    Database &db = m_connection.database();
    db.executeOwn("PRAGMA synchronous=NORMAL");
    try {
        db.execute(QStringLiteral("BEGIN"));
    } catch (const Error &e) {
        restoreFullSync();
        throw Error(QStringLiteral("统计无法开始写入（%1）").arg(e.message()), e.resultCode());
    }
    m_inScratchBatch = true;
    try {
        work();
    } catch (...) {
        endScratchBatch(); // the failure that ends the work is the one to report
        throw;
    }
    const QString failure = endScratchBatch();
    if (!failure.isEmpty())
        throw Error(failure);
}

QString SyncPolicy::endScratchBatch() noexcept
{
    m_inScratchBatch = false;
    QString failure;
    if (!m_connection.connected())
        return failure;
    Database &db = m_connection.database();
    if (db.inTransaction() && !db.tryExecute("COMMIT")) {
        failure = QStringLiteral("统计结果无法提交，已撤销（%1）").arg(db.errorMessage());
        if (!db.tryExecute("ROLLBACK") && db.inTransaction()) {
            m_connection.close(); // closing rolls back; the next use reopens
            return failure;
        }
    }
    if (!restoreFullSync() && failure.isEmpty())
        failure = QStringLiteral("无法恢复完全同步的写入方式，连接已关闭，下次使用时重新打开");
    return failure;
}

bool SyncPolicy::restoreFullSync() noexcept
{
    // Records written at the cheap sync could be lost on a power cut; a
    // connection that cannot return to the full sync is closed instead, and
    // opening it again sets the full sync.
    if (!m_connection.connected() || m_connection.database().tryExecute("PRAGMA synchronous=FULL"))
        return true;
    m_connection.close();
    return false;
}

void SyncPolicy::writeTo(const QString &table, const std::function<void()> &work)
{
    const bool scratch = m_scratchTables.contains(table.toLower());
    if (m_inScratchBatch && !scratch)
        throw Error(QStringLiteral("统计过程中只能写统计表，不能写 %1").arg(table));
    Database &db = m_connection.database();
    if (!scratch) {
        work();
        copyLogIntoMainFile();
        return;
    }
    // The safety level cannot change inside a transaction; the batch or the
    // caller's transaction decides it.
    if (m_inScratchBatch || db.inTransaction()) {
        work();
        return;
    }
    // In WAL mode NORMAL never corrupts the file; it may only lose the newest
    // scratch rows on a power cut, which the next statistics run rewrites.
    db.executeOwn("PRAGMA synchronous=NORMAL");
    struct Restore
    {
        SyncPolicy &policy;
        ~Restore() { policy.restoreFullSync(); }
    } restore{*this};
    work();
}

void SyncPolicy::copyLogIntoMainFile() noexcept
{
    if (tryCopyLogIntoMainFile()) {
        if (m_copyRetry)
            m_copyRetry->stop();
        return;
    }
    // Waiting here could last as long as the other program reads, with the
    // window frozen; the write is durable in the log meanwhile.
    if (!m_copyRetry) {
        m_copyRetry = std::make_unique<QTimer>();
        m_copyRetry->setInterval(copyRetryMs);
        QObject::connect(m_copyRetry.get(), &QTimer::timeout, [this] {
            if (!m_connection.connected() || tryCopyLogIntoMainFile())
                m_copyRetry->stop();
        });
    }
    if (!m_copyRetry->isActive())
        m_copyRetry->start();
}

void SyncPolicy::lastCopy() noexcept
{
    if (m_copyRetry)
        m_copyRetry->stop();
    // No later try can follow the close: a reader elsewhere that holds the
    // copy up is waited for, a little, rather than leaving the records in the
    // log alone.
    if (!tryCopyLogIntoMainFile() && m_connection.connected() && !m_connection.database().inTransaction())
        m_connection.database().checkpointWaiting(lastCopyWaitMs);
}

bool SyncPolicy::tryCopyLogIntoMainFile() noexcept
{
    if (!m_connection.connected())
        return true;
    Database &db = m_connection.database();
    if (db.inTransaction())
        return false; // the transaction's end copies it
    const Database::Checkpoint checkpoint = db.checkpointWithoutWaiting();
    // A reader of the newest state keeps the log from being emptied, not from
    // being copied: the main file then holds every frame all the same.
    return checkpoint.done
        || (checkpoint.busy && checkpoint.logFrames >= 0 && checkpoint.copiedFrames == checkpoint.logFrames);
}
