#pragma once

#include <QString>
#include <QVariant>
#include <memory>

class Error;
struct sqlite3;
struct sqlite3_stmt;

// A prepared statement kept for reuse; finalized when its last holder lets go,
// which may be after the connection closed (SQLite allows that).
struct CachedStatement
{
    sqlite3_stmt *stmt = nullptr;
    bool inUse = false;
    ~CachedStatement();
};

// One prepared SQLite statement, finalized when it goes out of scope; or one
// lent from a cache, reset and handed back then.
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql); // raises Error with SQLite's message
    // Marks it in use; sql is the text it stands for, which decides how a
    // failure reads (empty: none).
    Statement(sqlite3 *db, std::shared_ptr<CachedStatement> cached, const QString &sql = QString());
    Statement(Statement &&) noexcept = default;
    Statement &operator=(Statement &&) noexcept = default;

    void bind(int index, const QVariant &value); // 1-based, as SQLite counts
    bool step();                                 // true while a row is ready
    void run();                                  // steps to the end, ignoring rows

    int columnCount() const;
    QVariant value(int column) const;
    int changes() const; // rows the last run of a write changed, as SQLite counts them
    sqlite3_stmt *handle() const { return m_stmt; }

private:
    struct Finalizer
    {
        void operator()(sqlite3_stmt *stmt) const noexcept;
    };
    struct Lease
    {
        std::shared_ptr<CachedStatement> entry;
        QString sql;
        Lease(std::shared_ptr<CachedStatement> e, const QString &text = QString()) : entry(std::move(e)), sql(text) {}
        Lease(Lease &&) noexcept = default;
        Lease &operator=(Lease &&) noexcept;
        ~Lease() { release(); }
        void release() noexcept;
    };
    sqlite3 *m_db;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_owned;
    Lease m_lease{nullptr};
    sqlite3_stmt *m_stmt = nullptr;
};

// One open SQLite connection, closed when it goes out of scope.
struct SqliteCloser
{
    void operator()(sqlite3 *db) const noexcept;
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

// Raises Error with our reason and then the connection's last message, as
// SQLite gave it. A refusal of the stored-value checks is its own reason.
[[noreturn]] void raiseSqliteError(sqlite3 *db, const QString &reason);
Error sqliteError(sqlite3 *db, const QString &reason); // the Error that raiseSqliteError raises
