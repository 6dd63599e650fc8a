#pragma once

#include <QString>
#include <QVariant>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQLite statement, finalized when it goes out of scope.
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql); // raises Error with SQLite's message
    Statement(Statement &&) noexcept = default;
    Statement &operator=(Statement &&) noexcept = default;

    void bind(int index, const QVariant &value); // 1-based, as SQLite counts
    bool step();                                 // true while a row is ready
    void run();                                  // steps to the end, ignoring rows

    int columnCount() const;
    QVariant value(int column) const;
    sqlite3_stmt *handle() const { return m_stmt.get(); }

private:
    struct Finalizer
    {
        void operator()(sqlite3_stmt *stmt) const noexcept;
    };
    sqlite3 *m_db;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_stmt;
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
