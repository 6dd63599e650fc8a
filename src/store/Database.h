#pragma once

#include <QFlags>
#include <QString>
#include <memory>
#include <optional>

class Error;
struct sqlite3;
struct sqlite3_value;

// One open SQLite database, closed when it goes out of scope. With Statement
// and Backup it wraps SQLite: the rest of the program reaches SQLite through
// these three alone.
class Database
{
public:
    enum OpenFlag {
        ReadOnly = 0x01,
        ReadWrite = 0x02,  // or reading only where the file system allows no more
        Create = 0x04,     // a missing file becomes an empty database
        Exclusive = 0x08,  // with Create: never an existing file
        Uri = 0x10,        // the path may be a file: URI
        NoMutex = 0x20,    // one thread uses the connection
    };
    Q_DECLARE_FLAGS(OpenFlags, OpenFlag)

    // What a check installed with addCheck reads of a value SQLite hands it.
    class Value
    {
    public:
        enum class Type { Integer, Real, Text, Blob, Null };
        explicit Value(sqlite3_value *value) : m_value(value) {}
        Type type() const;
        // Applies numeric affinity in place, as a number column does on
        // storing: a text that reads as a number becomes that number.
        Type numericType();
        double real() const;
        QString text() const; // the value as SQLite writes it as a text
    private:
        sqlite3_value *m_value;
    };
    // Null when the value may be stored, otherwise the refusal's message.
    using Check = std::optional<QString> (*)(Value column, Value value);

    // What a checkpoint of the main database's log achieved.
    struct Checkpoint
    {
        bool done = false;
        bool busy = false; // another connection's reader or writer held it up
        int logFrames = -1;
        int copiedFrames = -1;
    };

    Database() = default;
    Database(Database &&) noexcept = default;
    Database &operator=(Database &&) noexcept = default;

    bool isOpen() const { return bool(m_db); }

    // Runs statements of our own that return no rows. Raises Error with
    // SQLite's message and code; executeOwn says first which statement failed.
    void execute(const QString &sql);
    void executeOwn(const char *sql);
    bool tryExecute(const char *sql) noexcept; // whether it succeeded
    // The first value of the statement's first row as text, empty for none;
    // raises as execute does.
    QString firstText(const QString &sql);

    bool inTransaction() const; // one begun and not yet ended
    bool isReadOnly() const;    // the main database cannot be written
    void setBusyTimeout(int ms);
    qint64 lastInsertRowId() const;
    // Pages read from the files into this connection's cache since it opened.
    qint64 pagesRead() const;
    // Gives the cache's pages back to the system when a statement read more
    // pages since pagesRead() said `before` than the cache holds: it then
    // holds the tail of that one pass alone, of no use to what comes next,
    // and a list over a whole ledger would keep megabytes of it.
    void releaseCacheAfterPass(qint64 before) noexcept;
    QString errorMessage() const; // SQLite's message for the last failure

    // Copies the log into the main file and empties it, without waiting for
    // other connections (the busy timeout is suspended meanwhile).
    Checkpoint checkpointWithoutWaiting() noexcept;
    // Copies the whole log into the main file, waiting at most ms for other
    // connections' readers to reach the newest state; the log stays as it is.
    Checkpoint checkpointWaiting(int ms) noexcept;

    // Installs name(column, value), deterministic, as a check for triggers:
    // its refusal ends the statement with the message and a code that
    // sqliteError reads as a message of its own.
    void addCheck(const char *name, Check check);

private:
    friend class Statement;
    friend struct CachedStatement;
    friend class Backup;
    friend Database openDatabase(const QString &path, OpenFlags flags);

    struct Closer
    {
        void operator()(sqlite3 *db) const noexcept;
    };
    sqlite3 *handle() const { return m_db.get(); }
    Checkpoint checkpoint(int mode, int waitMs) noexcept; // mode: SQLite's SQLITE_CHECKPOINT_*

    std::unique_ptr<sqlite3, Closer> m_db;
    int m_busyTimeoutMs = 0;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(Database::OpenFlags)

// Opens the database file at path. Raises Error with SQLite's message and
// code; nothing stays open then.
Database openDatabase(const QString &path, Database::OpenFlags flags);

// The failures of SQLite that callers tell apart.
enum class SqliteFailure { Other, NotADatabase, Corrupt };
SqliteFailure sqliteFailureOf(const Error &error);

// The Error for the last failure on db: our reason, when given, then SQLite's
// message; a check's refusal reads as its own message.
Error sqliteError(sqlite3 *db, const QString &reason);
