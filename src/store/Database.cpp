#include "Database.h"

#include "FreedMemory.h"
#include "SqlText.h"
#include "core/Error.h"

#include <sqlite3.h>

namespace {

int sqliteFlags(Database::OpenFlags flags)
{
    int result = 0;
    const std::pair<Database::OpenFlag, int> pairs[] = {
        {Database::ReadOnly, SQLITE_OPEN_READONLY}, {Database::ReadWrite, SQLITE_OPEN_READWRITE},
        {Database::Create, SQLITE_OPEN_CREATE},     {Database::Exclusive, SQLITE_OPEN_EXCLUSIVE},
        {Database::Uri, SQLITE_OPEN_URI},           {Database::NoMutex, SQLITE_OPEN_NOMUTEX},
    };
    for (const auto &[flag, sqlite] : pairs)
        if (flags.testFlag(flag))
            result |= sqlite;
    return result;
}

Database::Value::Type typeOf(int sqliteType)
{
    switch (sqliteType) {
    case SQLITE_INTEGER:
        return Database::Value::Type::Integer;
    case SQLITE_FLOAT:
        return Database::Value::Type::Real;
    case SQLITE_TEXT:
        return Database::Value::Type::Text;
    case SQLITE_BLOB:
        return Database::Value::Type::Blob;
    default:
        return Database::Value::Type::Null;
    }
}

void runCheck(sqlite3_context *context, int, sqlite3_value **args)
{
    const auto check = *static_cast<Database::Check *>(sqlite3_user_data(context));
    const std::optional<QString> refusal = check(Database::Value(args[0]), Database::Value(args[1]));
    if (!refusal) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArray message = refusal->toUtf8();
    sqlite3_result_error(context, message.constData(), int(message.size()));
    sqlite3_result_error_code(context, SQLITE_CONSTRAINT_FUNCTION);
}

} // namespace

void Database::Closer::operator()(sqlite3 *db) const noexcept
{
    sqlite3_close_v2(db);
}

Error sqliteError(sqlite3 *db, const QString &reason)
{
    const QString message = excerpt(QString::fromUtf8(sqlite3_errmsg(db)));
    const int code = sqlite3_extended_errcode(db);
    if (reason.isEmpty() || code == SQLITE_CONSTRAINT_FUNCTION)
        return Error(message, code);
    return Error(reason + QStringLiteral("：") + message, code);
}

SqliteFailure sqliteFailureOf(const Error &error)
{
    switch (error.resultCode() & 0xff) {
    case SQLITE_NOTADB:
        return SqliteFailure::NotADatabase;
    case SQLITE_CORRUPT:
        return SqliteFailure::Corrupt;
    default:
        return SqliteFailure::Other;
    }
}

Database openDatabase(const QString &path, Database::OpenFlags flags)
{
    sqlite3 *raw = nullptr;
    const QByteArray utf8 = path.toUtf8();
    const int rc = sqlite3_open_v2(utf8.constData(), &raw, sqliteFlags(flags), nullptr);
    Database db;
    db.m_db.reset(raw);
    if (rc != SQLITE_OK)
        throw Error(QString::fromUtf8(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)), rc);
    return db;
}

void Database::execute(const QString &sql)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_exec(handle(), utf8.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw sqliteError(handle(), QString());
}

void Database::executeOwn(const char *sql)
{
    if (sqlite3_exec(handle(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw sqliteError(handle(), QStringLiteral("数据库引擎无法执行 %1").arg(QLatin1String(sql)));
}

bool Database::tryExecute(const char *sql) noexcept
{
    return sqlite3_exec(handle(), sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString Database::firstText(const QString &sql)
{
    struct First
    {
        QString text;
        bool seen = false;
    } first;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_exec(handle(), utf8.constData(), [](void *out, int, char **values, char **) {
        auto *row = static_cast<First *>(out);
        if (!row->seen && values && values[0])
            row->text = QString::fromUtf8(values[0]);
        row->seen = true;
        return 0;
    }, &first, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(handle(), QString());
    return first.text;
}

bool Database::inTransaction() const
{
    return !sqlite3_get_autocommit(handle());
}

bool Database::isReadOnly() const
{
    return sqlite3_db_readonly(handle(), "main") == 1;
}

void Database::setBusyTimeout(int ms)
{
    m_busyTimeoutMs = ms;
    sqlite3_busy_timeout(handle(), ms);
}

qint64 Database::pagesRead() const
{
    int current = 0, highest = 0;
    if (m_db)
        sqlite3_db_status(m_db.get(), SQLITE_DBSTATUS_CACHE_MISS, &current, &highest, 0);
    return current;
}

void Database::releaseCacheAfterPass(qint64 before) noexcept
{
    // Fewer pages than any cache holds need no look at its size.
    constexpr qint64 fewPages = 64;
    if (!m_db || pagesRead() - before < fewPages)
        return;
    qint64 size = 0, pageSize = 0;
    try {
        size = firstText(QStringLiteral("PRAGMA main.cache_size")).toLongLong();
        pageSize = firstText(QStringLiteral("PRAGMA main.page_size")).toLongLong();
    } catch (const Error &) {
        return; // the cache stays as it is
    }
    if (pageSize <= 0)
        return;
    const qint64 held = size >= 0 ? size : -size * 1024 / pageSize; // negative: in KiB
    if (pagesRead() - before > held && sqlite3_db_release_memory(m_db.get()) == SQLITE_OK)
        returnFreedMemory();
}

qint64 Database::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(handle());
}

QString Database::errorMessage() const
{
    return QString::fromUtf8(sqlite3_errmsg(handle()));
}

Database::Checkpoint Database::checkpoint(int mode, int waitMs) noexcept
{
    Checkpoint result;
    sqlite3_busy_timeout(handle(), waitMs);
    const int rc = sqlite3_wal_checkpoint_v2(handle(), "main", mode, &result.logFrames, &result.copiedFrames);
    sqlite3_busy_timeout(handle(), m_busyTimeoutMs);
    result.done = rc == SQLITE_OK;
    result.busy = rc == SQLITE_BUSY;
    return result;
}

Database::Checkpoint Database::checkpointWithoutWaiting() noexcept
{
    return checkpoint(SQLITE_CHECKPOINT_TRUNCATE, 0);
}

Database::Checkpoint Database::checkpointWaiting(int ms) noexcept
{
    return checkpoint(SQLITE_CHECKPOINT_FULL, ms);
}

void Database::addCheck(const char *name, Check check)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    if (sqlite3_create_function_v2(handle(), name, 2, flags, new Check(check), runCheck, nullptr, nullptr,
                                   [](void *installed) { delete static_cast<Check *>(installed); })
        != SQLITE_OK)
        throw sqliteError(handle(), QStringLiteral("无法安装数值和日期的检查"));
}

Database::Value::Type Database::Value::type() const
{
    return typeOf(sqlite3_value_type(m_value));
}

Database::Value::Type Database::Value::numericType()
{
    return typeOf(sqlite3_value_numeric_type(m_value));
}

double Database::Value::real() const
{
    return sqlite3_value_double(m_value);
}

QString Database::Value::text() const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(m_value));
    return QString::fromUtf8(text, sqlite3_value_bytes(m_value));
}
