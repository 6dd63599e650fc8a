#include "TestLedger.h"

#include "LedgerFiles.h"
#include "newledger/LedgerSchema.h"
#include "store/DataModuleUt.h"
#include "store/Statement.h"

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
    Database db = openFileRaw(m_path);
    Statement(db, sql).run();
}

QVariant TestLedger::scalar(const QString &sql) const
{
    Database db = openFileRaw(m_path);
    Statement statement(db, sql);
    return statement.step() ? statement.value(0) : QVariant();
}

QList<QVariantList> TestLedger::rows(const QString &sql) const
{
    return fileRows(m_path, sql);
}
