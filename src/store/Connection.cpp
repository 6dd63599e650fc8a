#include "Connection.h"

#include "AttachedSources.h"
#include "ConnectionString.h"
#include "DialectEmulation.h"
#include "SqlText.h"
#include "StoredValues.h"
#include "core/Error.h"

#include <QFileInfo>

namespace {

// The ledger's seven tables are plain tables. A trigger on one of them would
// run statements of its own at every write (emptying the records when the
// statistics are cleared, say), and a view or virtual table in a table's place
// would answer for it; a file holding either was not made for this program.
void refuseForeignObjects(Database &db)
{
    QStringList names;
    for (const QString &table : Connection::ledgerTables())
        names.append(sqlQuoted(table.toLower()));
    const QString list = names.join(QLatin1Char(','));
    Statement find(db, QStringLiteral("SELECT type, name, tbl_name FROM main.sqlite_master "
                                      "WHERE (type = 'trigger' AND lower(tbl_name) IN (%1)) "
                                      "OR (lower(name) IN (%1) AND (type <> 'table' OR sql LIKE 'CREATE VIRTUAL%')) "
                                      "ORDER BY type, name").arg(list));
    if (!find.step())
        return;
    const QString type = find.value(0).toString(), name = find.value(1).toString();
    if (type == QLatin1String("trigger"))
        throw Error(QStringLiteral("表 %1 带有触发器 %2，账本的表只能是普通的表").arg(find.value(2).toString(), name));
    throw Error(QStringLiteral("%1 不是普通的表，账本的表只能是普通的表").arg(name));
}

// Lets the IN files of a statement go when it ends outside a transaction.
struct SourcesRelease
{
    Connection &connection;
    explicit SourcesRelease(Connection &c) : connection(c) { connection.releaseSources(); }
    ~SourcesRelease() { connection.releaseSources(); }
};

} // namespace

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

QString Connection::dataSource() const
{
    return dataSourceOf(m_connectionString);
}

void Connection::open()
{
    if (m_db.isOpen())
        return;
    const QString path = dataSource();
    if (path.isEmpty())
        throw Error(QStringLiteral("连接字符串中没有指定数据文件"));
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("找不到账本数据文件：%1").arg(path));
    if (!info.isFile())
        throw Error(QStringLiteral("账本数据文件不是一个文件：%1").arg(path));
    // SQLite would take an empty file for a new database and write one into it.
    if (info.size() == 0)
        throw Error(QStringLiteral("无法打开账本数据文件（这是一个空文件，不是数据库文件）：%1").arg(path));

    Database db;
    try {
        // Everything runs on the one UI thread: the connection needs no mutex.
        db = openDatabase(path, Database::ReadWrite | Database::Uri | Database::NoMutex);
    } catch (const Error &e) {
        throw Error(QStringLiteral("无法打开账本数据文件（%1）：%2").arg(e.message(), path), e.resultCode());
    }
    if (db.isReadOnly())
        throw Error(QStringLiteral("账本数据文件只能读取，不能写入：%1").arg(path));
    db.setBusyTimeout(busyTimeoutMs);
    m_db = std::move(db);
    m_sources = std::make_unique<AttachedSources>(m_db, path);
    // Reading the schema is what tells a database from any other file. A
    // missing table is no reason to refuse the file: only the statements that
    // name it fail, with the engine's message. WAL keeps the file whole
    // through a crash and lets readers and the writer work side by side; FULL
    // makes every record durable at commit.
    try {
        m_db.execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        refuseForeignObjects(m_db);
        m_db.execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        m_db.execute(QStringLiteral("PRAGMA synchronous=FULL"));
        for (const QString &table : ledgerTables())
            guardStoredValues(m_db, table, columnsOf(table));
    } catch (const Error &e) {
        forget();
        throw Error(QStringLiteral("无法打开账本数据文件（%1）：%2").arg(e.message(), path), e.resultCode());
    }
}

void Connection::close() noexcept
{
    m_sync.lastCopy();
    forget();
}

void Connection::forget() noexcept
{
    m_statements.clear();
    m_plans.clear();
    m_db = Database(); // detaches every source
    m_sources.reset();
    m_columns.clear();
}

void Connection::releaseSources() noexcept
{
    if (m_sources)
        m_sources->release();
}

Database &Connection::database()
{
    if (!m_db.isOpen())
        throw Error(QStringLiteral("与账本数据文件的连接已关闭"));
    return m_db;
}

TableColumns Connection::columnsOf(const QString &table)
{
    const QString key = table.toLower();
    if (const auto found = m_columns.constFind(key); found != m_columns.constEnd())
        return *found;
    TableColumns columns;
    Statement info(database(), QStringLiteral("PRAGMA main.table_info(%1)").arg(sqlQuotedName(table)));
    while (info.step()) {
        const QString name = info.value(1).toString(), declared = info.value(2).toString();
        columns.push_back({name, columnTypeOf(name, declared), declared, info.value(5).toInt()});
    }
    // A table that is missing now is looked for again when it is named again.
    if (!columns.empty())
        m_columns.insert(key, columns);
    return columns;
}

TranslatedStatement Connection::translate(const QString &sql)
{
    database();
    return translateStatement(
        sql, [this](const QString &table) { return columnsOf(table); },
        [this](const QString &file, const QString &table) { return m_sources->schemaFor(file, table); });
}

Connection::Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    if (connection.m_sync.inScratchBatch())
        throw Error(QStringLiteral("统计过程中只能写统计表，不能开始别的事务"));
    connection.database().executeOwn("BEGIN IMMEDIATE");
}

Connection::Transaction::~Transaction()
{
    if (!m_open)
        return;
    Database &db = m_connection.m_db;
    if (!db.isOpen())
        return;
    // A transaction left open would swallow every later write; closing the
    // connection rolls it back when ROLLBACK itself fails. (SQLite may have
    // rolled back already.)
    if (db.inTransaction() && !db.tryExecute("ROLLBACK") && db.inTransaction())
        m_connection.close();
    m_connection.releaseSources();
}

void Connection::Transaction::commit()
{
    m_connection.database().executeOwn("COMMIT");
    m_open = false;
    m_connection.releaseSources();
    m_connection.m_sync.copyLogIntoMainFile();
}

void Connection::transaction(const std::function<void()> &work)
{
    Transaction transaction(*this);
    work();
    transaction.commit();
}

// Statements that read IN files are prepared afresh: their schema names are
// those of this run's attachments.
Statement Connection::prepare(const TranslatedStatement &statement, const QString &text)
{
    if (!statement.sources.isEmpty() || statement.insertSelect)
        return Statement(database(), text);
    return m_statements.prepare(database(), text, statement.tokens);
}

void Connection::execute(const QString &sql)
{
    SourcesRelease release(*this);
    const TranslatedStatement statement = translate(sql);
    if (const auto &reset = statement.counterReset) {
        writeTo(reset->table, [&] { restartCounter(database(), columnsOf(reset->table), *reset); });
        return;
    }
    const QString text = statement.insertSelect
        ? renumberingInsert(database(), columnsOf(statement.insertSelect->table), statement)
        : statement.sql;
    writeTo(statement.writtenTable, [&] { prepare(statement, text).run(); });
}

void Connection::query(const QString &sql, const std::function<void(Statement &)> &reader)
{
    SourcesRelease release(*this);
    TranslatedStatement statement = translate(sql);
    if (statement.counterReset)
        throw Error(QStringLiteral("这条语句不返回记录：%1").arg(excerpt(sql.trimmed())));
    if (statement.sources.isEmpty()
        && m_plans.choose(database(), statement.tokens, [this](const QString &table) { return columnsOf(table); }))
        statement.sql = joinSql(statement.tokens);
    const qint64 pagesBefore = database().pagesRead();
    Statement prepared = prepare(statement, statement.sql);
    reader(prepared);
    database().releaseCacheAfterPass(pagesBefore);
}
