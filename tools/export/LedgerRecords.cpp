#include "LedgerRecords.h"

#include "core/Error.h"
#include "store/SqlText.h"
#include "store/Statement.h"

#include <QFileInfo>
#include <QStringList>

namespace {

// What tells income records from payout records.
struct Kind
{
    int payout;
    const char *table;
    const char *prefix;
};
const Kind kinds[] = {{0, "Income", "I_"}, {1, "Payout", "P_"}};

// One statement for both tables, ?1 and ?2 the ends of the range (null: open).
QString recordsSql()
{
    QStringList selects;
    for (const Kind &k : kinds)
        selects.append(QStringLiteral("SELECT %3, %1No, %1Date, %1Class, %1Num, %1Desc FROM %2 "
                                      "WHERE (?1 IS NULL OR %1Date >= ?1) AND (?2 IS NULL OR %1Date <= ?2)")
                           .arg(QLatin1String(k.prefix), QLatin1String(k.table))
                           .arg(k.payout));
    return selects.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(" ORDER BY 3, 2, 1");
}

// The wording of a refusal: is the file no database, or could it not be read?
Error refusal(const QString &path, const Error &failure, const QString &reason)
{
    if (sqliteFailureOf(failure) == SqliteFailure::NotADatabase)
        return Error(QStringLiteral("%1 is not a ledger data file: %2").arg(path, reason));
    return Error(QStringLiteral("cannot read %1: %2").arg(path, reason));
}

QVariant boundOf(const QDate &day)
{
    return day.isNull() ? QVariant() : QVariant(isoDay(day));
}

} // namespace

std::vector<LedgerRecord> readLedgerRecords(const QString &path, const DayRange &range)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("there is no ledger data file %1").arg(path));
    if (!info.isFile())
        throw Error(QStringLiteral("%1 is not a file").arg(path));
    // Opened for writing although nothing is written (query_only sees to
    // that): only a connection that may write removes the -wal when it is the
    // last to close; a read-only one leaves it behind. No CREATE: a file that
    // disappeared in the meantime is not made afresh.
    Database db;
    try {
        db = openDatabase(path, Database::ReadWrite);
    } catch (const Error &e) {
        throw refusal(path, e, e.message());
    }
    // As long as the program waits for a writer before it gives up.
    db.setBusyTimeout(10000);
    std::vector<LedgerRecord> records;
    int tables = 0;
    try {
        // The sort of a whole ledger stays in memory rather than in temporary files.
        for (const char *pragma : {"PRAGMA query_only=ON", "PRAGMA temp_store=MEMORY", "PRAGMA cache_size=-65536"})
            Statement(db, QLatin1String(pragma)).run();
        Statement count(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                            "AND name COLLATE NOCASE IN ('Income', 'Payout')"));
        count.step();
        tables = count.value(0).toInt();
        if (tables == 2) {
            Statement select(db, recordsSql());
            select.bind(1, boundOf(range.from));
            select.bind(2, boundOf(range.to));
            while (select.step())
                records.push_back({select.value(0).toInt() == 1, select.value(2), select.value(3), select.value(4),
                                   select.value(5)});
        }
    } catch (const Error &e) {
        throw refusal(path, e, db.errorMessage());
    }
    if (tables != 2)
        throw Error(QStringLiteral("%1 is not a ledger data file: it lacks the Income or the Payout table").arg(path));
    return records;
}
