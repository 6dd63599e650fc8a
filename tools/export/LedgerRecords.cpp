#include "LedgerRecords.h"

#include "platform/Error.h"
#include "store/Statement.h"

#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

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

QVariant isoDay(const QDate &day)
{
    return day.isNull() ? QVariant() : QVariant(day.toString(Qt::ISODate));
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
    sqlite3 *raw = nullptr;
    const int opened = sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const SqliteHandle db(raw);
    auto failure = [&](int code) {
        const QString reason = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString::fromUtf8(sqlite3_errstr(code));
        return Error(code == SQLITE_NOTADB ? QStringLiteral("%1 is not a ledger data file: %2").arg(path, reason)
                                           : QStringLiteral("cannot read %1: %2").arg(path, reason));
    };
    if (opened != SQLITE_OK)
        throw failure(opened);
    // As long as the program waits for a writer before it gives up.
    sqlite3_busy_timeout(raw, 10000);
    std::vector<LedgerRecord> records;
    int tables = 0;
    try {
        // The sort of a whole ledger stays in memory rather than in temporary files.
        for (const char *pragma : {"PRAGMA query_only=ON", "PRAGMA temp_store=MEMORY", "PRAGMA cache_size=-65536"})
            Statement(raw, QLatin1String(pragma)).run();
        Statement count(raw, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                            "AND name COLLATE NOCASE IN ('Income', 'Payout')"));
        count.step();
        tables = count.value(0).toInt();
        if (tables == 2) {
            Statement select(raw, recordsSql());
            select.bind(1, isoDay(range.from));
            select.bind(2, isoDay(range.to));
            while (select.step())
                records.push_back({select.value(0).toInt() == 1, select.value(2), select.value(3), select.value(4),
                                   select.value(5)});
        }
    } catch (const Error &) {
        throw failure(sqlite3_errcode(raw));
    }
    if (tables != 2)
        throw Error(QStringLiteral("%1 is not a ledger data file: it lacks the Income or the Payout table").arg(path));
    return records;
}
