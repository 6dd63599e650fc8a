#include "Connection.h"

#include "SqlText.h"
#include "StoredValues.h"
#include "platform/Error.h"

#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

namespace {

constexpr int busyTimeoutMs = 10000;

// Runs a statement of our own that returns no rows; raises Error.
void runOwn(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        raiseSqliteError(db, QStringLiteral("数据库引擎无法执行 %1").arg(QLatin1String(sql)));
}

} // namespace

// Attaches the files that a statement reads through IN 'file', read-only, for
// the life of the statement.
class Connection::AttachedSources
{
public:
    AttachedSources(sqlite3 *db, const QStringList &files) : m_db(db)
    {
        for (const QString &file : files) {
            const QString path = QFileInfo(file).absoluteFilePath();
            if (!QFileInfo(path).isFile())
                throw Error(QStringLiteral("Cannot read the database file '%1': the file does not exist").arg(file));
            const QString uri = QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()) + QStringLiteral("?mode=ro");
            const QString schema = sourceSchema(m_count);
            Statement attach(db, QStringLiteral("ATTACH DATABASE ? AS %1").arg(schema));
            attach.bind(1, uri);
            try {
                attach.run();
            } catch (const Error &e) {
                throw Error(QStringLiteral("Cannot read the database file '%1': %2").arg(file, e.message()));
            }
            ++m_count;
            try {
                Statement(db, QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(schema)).run();
            } catch (const Error &e) {
                throw Error(QStringLiteral("Cannot read the database file '%1': %2").arg(file, e.message()));
            }
        }
    }
    ~AttachedSources()
    {
        for (int i = m_count - 1; i >= 0; --i) {
            const QByteArray detach = QStringLiteral("DETACH DATABASE %1").arg(sourceSchema(i)).toUtf8();
            sqlite3_exec(m_db, detach.constData(), nullptr, nullptr, nullptr);
        }
    }

private:
    sqlite3 *m_db;
    int m_count = 0;
};

Connection::Connection() = default;
Connection::~Connection()
{
    close();
}

const QStringList &Connection::ledgerTables()
{
    static const QStringList tables = {
        QStringLiteral("Income"),          QStringLiteral("Payout"),          QStringLiteral("IncomeClass"),
        QStringLiteral("PayoutClass"),     QStringLiteral("IncomeStatistic"), QStringLiteral("PayoutStatistic"),
        QStringLiteral("AllCount"),
    };
    return tables;
}

void Connection::setConnectionString(const QString &connectionString)
{
    close();
    m_connectionString = connectionString;
}

QString Connection::dataSourceOf(const QString &connectionString)
{
    // Key=value pairs separated by ";". A piece without "=" belongs to the
    // value before it, so that a path holding ";" survives.
    QString source;
    bool inSource = false;
    for (const QString &piece : connectionString.split(QLatin1Char(';'))) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq < 0) {
            if (inSource)
                source += QLatin1Char(';') + piece;
            continue;
        }
        inSource = piece.left(eq).trimmed().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0;
        if (inSource)
            source = piece.mid(eq + 1);
    }
    source = source.trimmed();
    if (source.size() >= 2 && source.startsWith(QLatin1Char('"')) && source.endsWith(QLatin1Char('"')))
        source = source.mid(1, source.size() - 2);
    return source;
}

QString Connection::dataSource() const
{
    return dataSourceOf(m_connectionString);
}

void Connection::open()
{
    if (m_db)
        return;
    const QString path = dataSource();
    if (path.isEmpty())
        throw Error(QStringLiteral("连接字符串中没有指定数据文件"));
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("找不到账本数据文件：%1").arg(path));
    if (!info.isFile())
        throw Error(QStringLiteral("账本数据文件不是一个文件：%1").arg(path));

    sqlite3 *raw = nullptr;
    const QByteArray utf8 = path.toUtf8();
    // Everything runs on the one UI thread: the connection needs no mutex.
    const int rc = sqlite3_open_v2(utf8.constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        throw Error(QStringLiteral("无法打开账本数据文件（%1）：%2")
                        .arg(QString::fromUtf8(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)), path));
    if (sqlite3_db_readonly(raw, "main") == 1)
        throw Error(QStringLiteral("账本数据文件只能读取，不能写入：%1").arg(path));
    sqlite3_busy_timeout(raw, busyTimeoutMs);
    m_db = std::move(db);
    auto refuse = [&](const QString &reason) {
        m_db.reset();
        m_columns.clear();
        return Error(QStringLiteral("无法打开账本数据文件（%1）：%2").arg(reason, path));
    };
    // Reading the schema is what tells a database from any other file. A
    // missing table is no reason to refuse the file: only the statements that
    // name it fail, with the engine's message. WAL keeps the file whole
    // through a crash and lets readers and the writer work side by side; FULL
    // makes every record durable at commit.
    for (const char *sql : {"SELECT count(*) FROM sqlite_master", "PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL"})
        if (sqlite3_exec(raw, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw refuse(QString::fromUtf8(sqlite3_errmsg(raw)));
    try {
        for (const QString &table : ledgerTables())
            guardStoredValues(raw, table, columnsOf(table));
    } catch (const Error &e) {
        throw refuse(e.message());
    }
}

void Connection::close() noexcept
{
    copyLogIntoMainFile();
    m_db.reset();
    m_columns.clear();
}

sqlite3 *Connection::handle()
{
    if (!m_db)
        throw Error(QStringLiteral("与账本数据文件的连接已关闭"));
    return m_db.get();
}

TableColumns Connection::columnsOf(const QString &table)
{
    const QString key = table.toLower();
    auto it = m_columns.find(key);
    if (it == m_columns.end()) {
        TableColumns columns;
        Statement info(handle(), QStringLiteral("PRAGMA main.table_info(%1)").arg(sqlQuotedName(table)));
        while (info.step())
            columns.push_back({info.value(1).toString(), columnTypeOf(info.value(2).toString())});
        it = m_columns.insert(key, columns);
    }
    return *it;
}

TranslatedStatement Connection::translate(const QString &sql)
{
    handle();
    return translateStatement(sql, [this](const QString &table) { return columnsOf(table); });
}

void Connection::setScratchTables(const QStringList &tables)
{
    m_scratchTables.clear();
    for (const QString &table : tables)
        m_scratchTables.insert(table.toLower());
}

void Connection::scratchBatch(const std::function<void()> &work)
{
    if (!connected() || m_inScratchBatch || !sqlite3_get_autocommit(m_db.get())) {
        work();
        return;
    }
    sqlite3 *db = m_db.get();
    runOwn(db, "PRAGMA synchronous=NORMAL");
    if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = QStringLiteral("统计无法开始写入（%1）").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        restoreFullSync();
        throw Error(message);
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

QString Connection::endScratchBatch() noexcept
{
    m_inScratchBatch = false;
    sqlite3 *db = m_db.get();
    QString failure;
    if (!db)
        return failure;
    if (!sqlite3_get_autocommit(db) && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        failure = QStringLiteral("统计结果无法提交，已撤销（%1）").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        if (sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr) != SQLITE_OK && !sqlite3_get_autocommit(db)) {
            close(); // closing rolls back; the next use reopens
            return failure;
        }
    }
    if (!restoreFullSync() && failure.isEmpty())
        failure = QStringLiteral("无法恢复完全同步的写入方式，连接已关闭，下次使用时重新打开");
    return failure;
}

bool Connection::restoreFullSync() noexcept
{
    // Records written at the cheap sync could be lost on a power cut; a
    // connection that cannot return to the full sync is closed instead, and
    // opening it again sets the full sync.
    if (!m_db || sqlite3_exec(m_db.get(), "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    close();
    return false;
}

void Connection::writeTo(const QString &table, const std::function<void()> &work)
{
    const bool scratch = m_scratchTables.contains(table.toLower());
    if (m_inScratchBatch && !scratch)
        throw Error(QStringLiteral("统计过程中只能写统计表，不能写 %1").arg(table));
    sqlite3 *db = handle();
    if (!scratch) {
        work();
        copyLogIntoMainFile();
        return;
    }
    // The safety level cannot change inside a transaction; the batch or the
    // caller's transaction decides it.
    if (m_inScratchBatch || !sqlite3_get_autocommit(db)) {
        work();
        return;
    }
    // In WAL mode NORMAL never corrupts the file; it may only lose the newest
    // scratch rows on a power cut, which the next statistics run rewrites.
    runOwn(db, "PRAGMA synchronous=NORMAL");
    struct Restore
    {
        Connection &connection;
        ~Restore() { connection.restoreFullSync(); }
    } restore{*this};
    work();
}

void Connection::copyLogIntoMainFile() noexcept
{
    sqlite3 *db = m_db.get();
    if (!db || !sqlite3_get_autocommit(db))
        return;
    // Waiting for another connection's reader could last as long as it reads.
    // The write is durable in the log meanwhile, and the next write or the
    // close tries again; so the outcome is not an error.
    sqlite3_busy_timeout(db, 0);
    sqlite3_wal_checkpoint_v2(db, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_busy_timeout(db, busyTimeoutMs);
}

Connection::Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    if (connection.m_inScratchBatch)
        throw Error(QStringLiteral("统计过程中只能写统计表，不能开始别的事务"));
    sqlite3 *db = connection.handle();
    runOwn(db, "BEGIN IMMEDIATE");
}

Connection::Transaction::~Transaction()
{
    if (!m_open)
        return;
    sqlite3 *db = m_connection.m_db.get();
    if (!db || sqlite3_get_autocommit(db))
        return; // SQLite rolled back already
    // A transaction left open would swallow every later write; closing the
    // connection rolls it back when ROLLBACK itself fails.
    if (sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr) != SQLITE_OK && !sqlite3_get_autocommit(db))
        m_connection.close();
}

void Connection::Transaction::commit()
{
    sqlite3 *db = m_connection.handle();
    runOwn(db, "COMMIT");
    m_open = false;
    m_connection.copyLogIntoMainFile();
}

void Connection::transaction(const std::function<void()> &work)
{
    Transaction transaction(*this);
    work();
    transaction.commit();
}

void Connection::resetCounter(const TranslatedStatement::CounterReset &reset)
{
    sqlite3 *db = handle();
    bool columnFound = false;
    {
        Statement info(db, QStringLiteral("PRAGMA table_info(%1)").arg(sqlQuotedName(reset.table)));
        while (info.step())
            if (info.value(1).toString().compare(reset.column, Qt::CaseInsensitive) == 0 && info.value(5).toInt() == 1)
                columnFound = true;
    }
    if (!columnFound)
        throw Error(QStringLiteral("表 %1 没有自动编号的键列 %2").arg(reset.table, reset.column));
    // The table's next key is max(largest key, stored sequence) + 1; without
    // any auto-numbered table there is no sequence to restart.
    Statement sequences(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name='sqlite_sequence'"));
    if (!sequences.step() || sequences.value(0).toInt() == 0)
        return;
    Statement clear(db, QStringLiteral("DELETE FROM sqlite_sequence WHERE name = ? COLLATE NOCASE"));
    clear.bind(1, reset.table);
    clear.run();
    if (reset.seed > 1) {
        Statement seed(db, QStringLiteral("INSERT INTO sqlite_sequence(name, seq) "
                                          "SELECT name, ? FROM sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE"));
        seed.bind(1, reset.seed - 1);
        seed.bind(2, reset.table);
        seed.run();
    }
}

void Connection::execute(const QString &sql)
{
    const TranslatedStatement statement = translate(sql);
    if (statement.counterReset) {
        writeTo(statement.counterReset->table, [&] { resetCounter(*statement.counterReset); });
        return;
    }
    AttachedSources sources(handle(), statement.sourceFiles);
    writeTo(statement.writtenTable, [&] { Statement(handle(), statement.sql).run(); });
}

void Connection::query(const QString &sql, const std::function<void(Statement &)> &reader)
{
    const TranslatedStatement statement = translate(sql);
    if (statement.counterReset)
        throw Error(QStringLiteral("这条语句不返回记录：%1").arg(excerpt(sql.trimmed())));
    AttachedSources sources(handle(), statement.sourceFiles);
    Statement prepared(handle(), statement.sql);
    reader(prepared);
}
