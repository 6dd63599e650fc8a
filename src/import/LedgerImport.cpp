#include "LedgerImport.h"

#include "core/Error.h"
#include "store/Backup.h"
#include "store/Connection.h"
#include "store/ConnectionString.h"
#include "store/SourceSnapshot.h"
#include "store/SqlText.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

const char *const clearingStatements[] = {
    "DELETE FROM Income",
    " ALTER TABLE Income ALTER COLUMN I_No COUNTER(1, 1)",
    "DELETE FROM IncomeClass",
    " ALTER TABLE IncomeClass ALTER COLUMN IC_No COUNTER(1, 1)",
    "DELETE FROM PayOutClass",
    " ALTER TABLE PayOutClass ALTER COLUMN PC_No COUNTER(1, 1)",
    "DELETE FROM PayOut",
    " ALTER TABLE PayOut ALTER COLUMN P_No COUNTER(1, 1)",
    "DELETE FROM IncomeStatistic",
    " ALTER TABLE IncomeStatistic ALTER COLUMN IS_No COUNTER(1, 1)",
    "DELETE FROM PayOutStatistic",
    " ALTER TABLE PayOutStatistic ALTER COLUMN PS_No COUNTER(1, 1)",
    "DELETE FROM AllCount",
    " ALTER TABLE AllCount ALTER COLUMN AC_No COUNTER(1, 1)",
};

// Head and select text of each import statement; the path follows between
// quotes from sqlQuoted, so that a path holding "'" reads like any other.
const struct
{
    const char *head;
    const char *select;
} importStatements[] = {
    {"INSERT INTO IncomeClass ", "SELECT * FROM  IncomeClass IN "},
    {"INSERT INTO Income ", "SELECT * FROM  Income IN "},
    {"INSERT INTO PayoutClass ", "SELECT * FROM  PayoutClass IN "},
    {"INSERT INTO Payout ", "SELECT * FROM  Payout IN "},
};

// A copy of the ledger written beside it while it is open; removed again
// unless the import succeeds.
class LedgerBackup
{
public:
    LedgerBackup(Database &ledger, const QString &ledgerPath)
    {
        const QString base = ledgerPath + QStringLiteral(".before-import-")
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        m_path = base;
        for (int n = 2; QFileInfo::exists(m_path); ++n)
            m_path = base + QLatin1Char('-') + QString::number(n);
        try {
            write(ledger);
        } catch (...) {
            removeUnlessKept();
            throw;
        }
    }
    ~LedgerBackup() { removeUnlessKept(); }
    LedgerBackup(const LedgerBackup &) = delete;
    LedgerBackup &operator=(const LedgerBackup &) = delete;

    void keep() { m_kept = true; }

private:
    void write(Database &ledger)
    {
        try {
            Backup copy(m_path);
            m_created = true;
            copy.copyFrom(ledger);
        } catch (const Error &e) {
            throw Error(QStringLiteral("导入前无法备份账本（%1）：%2").arg(e.message(), m_path));
        }
    }

    // Only a file this run created is ever removed.
    void removeUnlessKept() noexcept
    {
        if (m_created && !m_kept)
            QFile::remove(m_path);
    }

    QString m_path;
    bool m_created = false;
    bool m_kept = false;
};

} // namespace

void importLedger(const QString &ledgerConnectionString, const QString &sourcePath, bool clearFirst)
{
    const QString ledgerPath = dataSourceOf(ledgerConnectionString);
    // Cleared first, the ledger would then be read back empty. And the copy
    // of the source reads its -wal and -journal with plain file calls: on the
    // ledger's own files, closing them would drop the locks SQLite holds.
    if (sharesAFileWith(sourcePath, ledgerPath))
        throw Error(QStringLiteral("不能从正在使用的账本文件本身导入：%1").arg(sourcePath));

    Connection connection;
    connection.setConnectionString(ledgerConnectionString);
    connection.open();
    std::unique_ptr<LedgerBackup> backup;
    if (clearFirst)
        backup = std::make_unique<LedgerBackup>(connection.database(), ledgerPath);

    // The clearing, the restarted numbering and the four imports: all of them or none.
    Connection::Transaction transaction(connection);
    if (clearFirst)
        for (const char *sql : clearingStatements)
            connection.execute(QString::fromLatin1(sql));
    for (const auto &statement : importStatements)
        connection.execute(QString::fromLatin1(statement.head) + QString::fromLatin1(statement.select)
                           + sqlQuoted(sourcePath));
    transaction.commit();
    if (backup)
        backup->keep();
}
