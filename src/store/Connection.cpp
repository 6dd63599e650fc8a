#include "Connection.h"

#include "SourceSnapshot.h"
#include "SqlText.h"
#include "StoredValues.h"
#include "platform/Error.h"

#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace {

constexpr int busyTimeoutMs = 10000;
// How soon a copy that another program's reader held up is tried again.
constexpr int copyRetryMs = 25;

// Runs a statement of our own that returns no rows; raises Error.
void runOwn(Database &db, const char *sql)
{
    db.execute(QLatin1String(sql), QStringLiteral("数据库引擎无法执行 %1").arg(QLatin1String(sql)));
}

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

} // namespace

// The files that statements read through IN 'file', each attached read-only
// from a private snapshot (SourceSnapshot). SQLite cannot detach a file that
// the open transaction has read, so the files stay attached until no
// transaction is open; within one transaction a file named again is read from
// the same snapshot, and a new file gets a name no attached file holds.
class Connection::AttachedSources
{
public:
    explicit AttachedSources(Database &db) : m_db(db) {}

    // The schema from which a statement reads table of file; raises Error
    // naming the path when the file cannot be read or lacks the table.
    QString schemaFor(const QString &file, const QString &table)
    {
        const QFileInfo info(file);
        const QString key = info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
        auto found = std::find_if(m_attached.begin(), m_attached.end(), [&](const Attached &a) { return a.key == key; });
        if (found == m_attached.end())
            found = m_attached.insert(m_attached.end(), attach(file, key));
        checkTable(*found, table);
        return found->schema;
    }

    void release() noexcept
    {
        if (m_db.inTransaction())
            return;
        // A file still in use stays attached under its own name, so that a
        // failed detach blocks no later statement.
        std::erase_if(m_attached, [this](const Attached &a) {
            const QByteArray detach = QStringLiteral("DETACH DATABASE %1").arg(a.schema).toUtf8();
            return m_db.tryExecute(detach.constData());
        });
    }

private:
    struct Attached
    {
        QString key;
        QString schema;
        std::unique_ptr<SourceSnapshot> snapshot;
    };

    Attached attach(const QString &file, const QString &key)
    {
        auto snapshot = std::make_unique<SourceSnapshot>(file);
        QString schema;
        for (qsizetype i = 0; schema.isEmpty(); ++i)
            if (std::none_of(m_attached.begin(), m_attached.end(), [&](const Attached &a) { return a.schema == sourceSchema(i); }))
                schema = sourceSchema(i);
        const QString uri = QString::fromUtf8(QUrl::fromLocalFile(snapshot->copyPath()).toEncoded()) + QStringLiteral("?mode=ro");
        Statement statement(m_db, QStringLiteral("ATTACH DATABASE ? AS %1").arg(schema));
        statement.bind(1, uri);
        try {
            statement.run();
        } catch (const Error &e) {
            throw Error(QStringLiteral("无法读取数据库文件（%1）：%2").arg(e.message(), snapshot->path()));
        }
        return {key, schema, std::move(snapshot)};
    }

    // Only a plain table is read: a view or virtual table of that name could
    // run without end (a recursive view fills the disk) or read other files.
    void checkTable(const Attached &source, const QString &table)
    {
        Statement find(m_db, QStringLiteral("SELECT type = 'table' AND sql NOT LIKE 'CREATE VIRTUAL%' FROM %1.sqlite_master "
                                            "WHERE type IN ('table', 'view') AND name = ? COLLATE NOCASE").arg(source.schema));
        find.bind(1, table);
        if (!find.step())
            throw Error(QStringLiteral("数据库文件中没有表 %1：%2").arg(table, source.snapshot->path()));
        if (find.value(0).toInt() == 0)
            throw Error(QStringLiteral("数据库文件中的 %1 不是普通的表：%2").arg(table, source.snapshot->path()));
    }

    Database &m_db;
    std::vector<Attached> m_attached;
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

namespace {

const QString &connectionHead()
{
    static const QString head = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=");
    return head;
}

const QString &connectionTail()
{
    static const QString tail = QStringLiteral(";Mode=Share Deny None;Extended Properties=\"\";");
    return tail;
}

} // namespace

QString Connection::connectionStringFor(const QString &fullPath)
{
    return connectionHead() + fullPath + connectionTail();
}

QString Connection::dataSourceOf(const QString &connectionString)
{
    // A string that connectionStringFor made gives back exactly the path put
    // in, ";" and "=" included (a folder named "a;Mode=x" is a folder).
    if (connectionString.startsWith(connectionHead()) && connectionString.endsWith(connectionTail())
        && connectionString.size() >= connectionHead().size() + connectionTail().size())
        return connectionString.mid(connectionHead().size(),
                                    connectionString.size() - connectionHead().size() - connectionTail().size());
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
    m_sources = std::make_unique<AttachedSources>(m_db);
    auto refuse = [&](const QString &reason) {
        m_statements.clear();
        m_db = Database();
        m_sources.reset();
        m_columns.clear();
        return Error(QStringLiteral("无法打开账本数据文件（%1）：%2").arg(reason, path));
    };
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
        throw refuse(e.message());
    }
}

void Connection::close() noexcept
{
    tryCopyLogIntoMainFile();
    if (m_copyRetry)
        m_copyRetry->stop();
    m_statements.clear();
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

void Connection::setScratchTables(const QStringList &tables)
{
    m_scratchTables.clear();
    for (const QString &table : tables)
        m_scratchTables.insert(table.toLower());
}

void Connection::scratchBatch(const std::function<void()> &work)
{
    if (!connected() || m_inScratchBatch || m_db.inTransaction()) {
        work();
        return;
    }
    runOwn(m_db, "PRAGMA synchronous=NORMAL");
    try {
        m_db.execute(QStringLiteral("BEGIN"));
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

QString Connection::endScratchBatch() noexcept
{
    m_inScratchBatch = false;
    QString failure;
    if (!m_db.isOpen())
        return failure;
    if (m_db.inTransaction() && !m_db.tryExecute("COMMIT")) {
        failure = QStringLiteral("统计结果无法提交，已撤销（%1）").arg(m_db.errorMessage());
        if (!m_db.tryExecute("ROLLBACK") && m_db.inTransaction()) {
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
    if (!m_db.isOpen() || m_db.tryExecute("PRAGMA synchronous=FULL"))
        return true;
    close();
    return false;
}

void Connection::writeTo(const QString &table, const std::function<void()> &work)
{
    const bool scratch = m_scratchTables.contains(table.toLower());
    if (m_inScratchBatch && !scratch)
        throw Error(QStringLiteral("统计过程中只能写统计表，不能写 %1").arg(table));
    Database &db = database();
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
            if (!m_db.isOpen() || tryCopyLogIntoMainFile())
                m_copyRetry->stop();
        });
    }
    if (!m_copyRetry->isActive())
        m_copyRetry->start();
}

bool Connection::tryCopyLogIntoMainFile() noexcept
{
    if (!m_db.isOpen())
        return true;
    if (m_db.inTransaction())
        return false; // the transaction's end copies it
    const Database::Checkpoint checkpoint = m_db.checkpointWithoutWaiting();
    // A reader of the newest state keeps the log from being emptied, not from
    // being copied: the main file then holds every frame all the same.
    return checkpoint.done
        || (checkpoint.busy && checkpoint.logFrames >= 0 && checkpoint.copiedFrames == checkpoint.logFrames);
}

Connection::Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    if (connection.m_inScratchBatch)
        throw Error(QStringLiteral("统计过程中只能写统计表，不能开始别的事务"));
    runOwn(connection.database(), "BEGIN IMMEDIATE");
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
    runOwn(m_connection.database(), "COMMIT");
    m_open = false;
    m_connection.releaseSources();
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
    Database &db = database();
    const TableColumns columns = columnsOf(reset.table);
    if (std::none_of(columns.begin(), columns.end(), [&](const TableColumn &c) {
            return c.name.compare(reset.column, Qt::CaseInsensitive) == 0 && c.primaryKeyPart == 1;
        }))
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

namespace {

// Lets the IN files of a statement go when it ends outside a transaction.
struct SourcesRelease
{
    Connection &connection;
    explicit SourcesRelease(Connection &c) : connection(c) { connection.releaseSources(); }
    ~SourcesRelease() { connection.releaseSources(); }
};

} // namespace

// Rows are inserted in two groups: those whose key is free, with their key,
// then the others (and those without a key) with the next free numbers, which
// lie above every key of the first group. SQLite reads the SELECT in full
// before it inserts, so "taken" means taken before the statement.
QString Connection::renumberingInsert(const TranslatedStatement &statement)
{
    const TranslatedStatement::InsertSelect &insert = *statement.insertSelect;
    QStringList columns;
    qsizetype key = -1;
    int keyParts = 0;
    for (const TableColumn &column : columnsOf(insert.table)) {
        if (column.primaryKeyPart > 0) {
            ++keyParts;
            if (column.declaredType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                key = columns.size();
        }
        columns.append(column.name);
    }
    if (key < 0 || keyParts != 1 || Statement(database(), insert.select).columnCount() != columns.size())
        return statement.sql; // SQLite's own rules and messages apply

    QStringList names, values;
    for (qsizetype i = 0; i < columns.size(); ++i)
        names.append(QStringLiteral("lumibran_c%1").arg(i));
    const QString keyValue = names[key];
    const QString taken = QStringLiteral("(%1 IS NULL OR %1 IN (SELECT %2 FROM %3))")
                              .arg(keyValue, sqlQuotedName(columns[key]), sqlQuotedName(insert.table));
    for (qsizetype i = 0; i < columns.size(); ++i)
        values.append(i == key ? QStringLiteral("CASE WHEN %1 THEN NULL ELSE %2 END").arg(taken, keyValue) : names[i]);
    return QStringLiteral("WITH lumibran_rows(%1) AS (%2) INSERT INTO %3 SELECT %4 FROM lumibran_rows ORDER BY %5, %6")
        .arg(names.join(QLatin1Char(',')), insert.select, sqlQuotedName(insert.table), values.join(QLatin1Char(',')),
             taken, keyValue);
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
    if (statement.counterReset) {
        writeTo(statement.counterReset->table, [&] { resetCounter(*statement.counterReset); });
        return;
    }
    const QString text = statement.insertSelect ? renumberingInsert(statement) : statement.sql;
    writeTo(statement.writtenTable, [&] { prepare(statement, text).run(); });
}

void Connection::query(const QString &sql, const std::function<void(Statement &)> &reader)
{
    SourcesRelease release(*this);
    const TranslatedStatement statement = translate(sql);
    if (statement.counterReset)
        throw Error(QStringLiteral("这条语句不返回记录：%1").arg(excerpt(sql.trimmed())));
    Statement prepared = prepare(statement, statement.sql);
    reader(prepared);
}
