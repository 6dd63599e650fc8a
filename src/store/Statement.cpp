#include "Statement.h"

#include "SqlText.h"
#include "core/Error.h"

#include <sqlite3.h>
#include <utility>

namespace {

QString textOrEmpty(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace

void Statement::Finalizer::operator()(sqlite3_stmt *stmt) const noexcept
{
    sqlite3_finalize(stmt);
}

CachedStatement::~CachedStatement()
{
    sqlite3_finalize(stmt);
}

std::shared_ptr<CachedStatement> CachedStatement::prepare(Database &db, const QString &sql)
{
    const QByteArray utf8 = sql.toUtf8();
    auto entry = std::make_shared<CachedStatement>();
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &entry->stmt, &tail) != SQLITE_OK
        || !entry->stmt || (tail && !QByteArray(tail).trimmed().isEmpty()))
        return nullptr;
    return entry;
}

Statement::Lease &Statement::Lease::operator=(Lease &&other) noexcept
{
    if (this != &other) {
        release();
        entry = std::move(other.entry);
        sql = std::move(other.sql);
    }
    return *this;
}

void Statement::Lease::release() noexcept
{
    if (!entry)
        return;
    sqlite3_reset(entry->stmt);
    sqlite3_clear_bindings(entry->stmt);
    entry->inUse = false;
    entry.reset();
}

Statement::Statement(Database &db, const QString &sql) : Statement(db.handle(), sql)
{
}

Statement::Statement(sqlite3 *db, const QString &sql) : m_db(db)
{
    refuseNul(sql);
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, &tail);
    m_owned.reset(stmt);
    m_stmt = stmt;
    if (rc != SQLITE_OK)
        throw sqliteError(m_db, QStringLiteral("数据库引擎拒绝了这条语句"));
    if (!stmt)
        throw Error(QStringLiteral("语句是空的"));
    // One text is one statement: whatever follows a ";" is refused, not run.
    if (tail && !QString::fromUtf8(tail).trimmed().isEmpty())
        throw Error(QStringLiteral("一次只能执行一条语句，语句结束后还有内容：%1").arg(excerpt(QString::fromUtf8(tail).trimmed())));
}

Statement::Statement(Database &db, std::shared_ptr<CachedStatement> cached, const QString &sql)
    : m_db(db.handle()), m_lease(std::move(cached), sql), m_stmt(m_lease.entry->stmt)
{
    m_lease.entry->inUse = true;
}

Statement::Statement(Statement &&other) noexcept
    : m_db(other.m_db), m_owned(std::move(other.m_owned)), m_lease(std::move(other.m_lease)),
      m_stmt(std::exchange(other.m_stmt, nullptr))
{
}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        m_db = other.m_db;
        m_owned = std::move(other.m_owned);
        m_lease = std::move(other.m_lease);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

void Statement::bind(int index, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else if (value.typeId() == QMetaType::Double) {
        rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
    } else if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int) {
        rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
    } else {
        const QByteArray utf8 = value.toString().toUtf8();
        rc = sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK)
        throw sqliteError(m_db, QStringLiteral("数据库引擎不接受这个值"));
}

bool Statement::step()
{
    if (!m_stmt)
        throw Error(QStringLiteral("语句是空的"));
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const Error failure = sqliteError(m_db, QStringLiteral("数据库引擎执行语句失败"));
    // A kept statement is prepared again when another program changed its
    // tables; one that no longer prepares is refused as its text is.
    if (rc == SQLITE_ERROR && m_lease.entry && !m_lease.sql.isEmpty()) {
        [[maybe_unused]] const Statement text(m_db, m_lease.sql); // raises the refusal
    }
    throw failure;
}

void Statement::run()
{
    while (step()) {
    }
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

int Statement::changes() const
{
    return sqlite3_changes(m_db);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QVariant Statement::value(int column) const
{
    sqlite3_stmt *stmt = m_stmt;
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                                          sqlite3_column_bytes(stmt, column)));
    }
}

ColumnValue Statement::columnValue(int column) const
{
    // One call into the statement per cell: the value's own accessors take
    // no lock, and a row set is read on one thread.
    sqlite3_value *value = sqlite3_column_value(m_stmt, column);
    ColumnValue result;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        result.type = ColumnValue::Type::Integer;
        result.whole = sqlite3_value_int64(value);
        break;
    case SQLITE_FLOAT:
        result.type = ColumnValue::Type::Real;
        result.real = sqlite3_value_double(value);
        break;
    case SQLITE_NULL:
        break;
    default: {
        result.type = ColumnValue::Type::Text;
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
        result.text = QByteArrayView(text, text ? sqlite3_value_bytes(value) : 0);
        break;
    }
    }
    return result;
}

QString Statement::columnName(int column) const
{
    return textOrEmpty(sqlite3_column_name(m_stmt, column));
}

QString Statement::originDatabase(int column) const
{
    return textOrEmpty(sqlite3_column_database_name(m_stmt, column));
}

QString Statement::originTable(int column) const
{
    return textOrEmpty(sqlite3_column_table_name(m_stmt, column));
}

QString Statement::originColumn(int column) const
{
    return textOrEmpty(sqlite3_column_origin_name(m_stmt, column));
}

QString Statement::declaredType(int column) const
{
    const char *type = sqlite3_column_decltype(m_stmt, column);
    return type ? QString::fromLatin1(type) : QString();
}
