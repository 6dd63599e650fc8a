#pragma once

#include "Database.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>

struct sqlite3_stmt;

// A prepared statement kept for reuse; finalized when its last holder lets go,
// which may be after the connection closed (SQLite allows that).
struct CachedStatement
{
    sqlite3_stmt *stmt = nullptr;
    bool inUse = false;
    ~CachedStatement();

    // Null when SQLite refuses the text or more than one statement follows.
    static std::shared_ptr<CachedStatement> prepare(Database &db, const QString &sql);
};

// A value of the current row as SQLite holds it; a text's bytes (a blob's too)
// stay valid until the statement steps again.
struct ColumnValue
{
    enum class Type : std::uint8_t { Null, Integer, Real, Text };
    Type type = Type::Null;
    qint64 whole = 0;
    double real = 0;
    QByteArrayView text;
};

// One prepared SQLite statement, finalized when it goes out of scope; or one
// lent from a cache, reset and handed back then. Moving it leaves an empty
// statement behind, which refuses to step.
class Statement
{
public:
    Statement(Database &db, const QString &sql); // raises Error with SQLite's message
    // Marks it in use; sql is the text it stands for, which decides how a
    // failure reads (empty: none).
    Statement(Database &db, std::shared_ptr<CachedStatement> cached, const QString &sql = QString());
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;

    void bind(int index, const QVariant &value); // 1-based, as SQLite counts
    bool step();                                 // true while a row is ready
    void run();                                  // steps to the end, ignoring rows
    void reset();                                // ready to run again with its bindings

    int columnCount() const;
    QVariant value(int column) const;
    ColumnValue columnValue(int column) const;
    int changes() const; // rows the last run of a write changed, as SQLite counts them

    QString columnName(int column) const;
    // Where a result column comes from; empty for an expression.
    QString originDatabase(int column) const; // "main", or the schema of an attached file
    QString originTable(int column) const;
    QString originColumn(int column) const;
    QString declaredType(int column) const;

private:
    Statement(sqlite3 *db, const QString &sql);

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
