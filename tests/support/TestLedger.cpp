#include "TestLedger.h"

#include "LedgerFiles.h"
#include "newledger/LedgerSchema.h"
#include "store/DataModuleUt.h"
#include "store/Statement.h"

#include <memory>
#include <sqlite3.h>

namespace {

SqliteHandle openRaw(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db, 5000);
    return SqliteHandle(db);
}

} // namespace

TestLedger::TestLedger(bool withCategories, const QString &fileName) : m_path(m_dir.filePath(fileName))
{
    createLedgerFile(m_path, withCategories);
}

QString TestLedger::connectionString() const
{
    return TDataModule1::connectionStringFor(m_path);
}

void TestLedger::exec(const QString &sql) const
{
    auto db = openRaw(m_path);
    Statement(db.get(), sql).run();
}

QVariant TestLedger::scalar(const QString &sql) const
{
    auto db = openRaw(m_path);
    Statement statement(db.get(), sql);
    return statement.step() ? statement.value(0) : QVariant();
}

QList<QVariantList> TestLedger::rows(const QString &sql) const
{
    auto db = openRaw(m_path);
    Statement statement(db.get(), sql);
    return rowsOf(statement);
}
