// lumibran-soak [--kills N] [--seed S]: a crash soak of the ledger store. It
// starts a writer on a temporary ledger, kills it with SIGKILL at a random
// moment, and checks after each kill that every acknowledged record and
// deletion is there, that integrity_check is ok, and that the main file alone,
// copied without its -wal, holds every acknowledged write.
#include "SoakJournal.h"
#include "SoakWriter.h"
#include "newledger/LedgerSchema.h"
#include "platform/Error.h"
#include "store/Statement.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

using soak::Operation;

struct Counts
{
    int kills = 0;
    int lost = 0;
    int integrityFailures = 0;
    int mainFileMissing = 0;
    int acknowledged = 0; // writes whose call returned before the kill
    int interrupted = 0;  // kills that landed inside a write
};

// What the ledger must hold: marker -> (table, present).
using Expected = QHash<QString, std::pair<QString, bool>>;

SqliteHandle openLedger(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    return SqliteHandle(db);
}

// The markers of the soak's records in each table; raises when unreadable.
QHash<QString, QSet<QString>> markersIn(sqlite3 *db)
{
    QHash<QString, QSet<QString>> found;
    for (const soak::Target &t : soak::targets()) {
        Statement rows(db, QStringLiteral("SELECT %1 FROM %2 WHERE %1 LIKE 'soak%'").arg(t.markerColumn, t.table));
        while (rows.step())
            found[t.table].insert(rows.value(0).toString());
    }
    return found;
}

int misses(const Expected &expected, const QHash<QString, QSet<QString>> &found, const char *where)
{
    int missing = 0;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        if (found.value(it->first).contains(it.key()) == it->second)
            continue;
        ++missing;
        std::fprintf(stderr, "%s: %s %s is %s\n", where, qPrintable(it->first), qPrintable(it.key()),
                     it->second ? "missing" : "back after its deletion");
    }
    return missing;
}

QString integrity(sqlite3 *db)
{
    Statement check(db, QStringLiteral("PRAGMA integrity_check"));
    return check.step() ? check.value(0).toString() : QString();
}

pid_t startWriter(const QString &ledger, const QString &journal, unsigned seed)
{
    const QByteArray exe = QFile::encodeName(QCoreApplication::applicationFilePath());
    const QByteArray l = QFile::encodeName(ledger), j = QFile::encodeName(journal), s = QByteArray::number(seed);
    char *argv[] = {const_cast<char *>(exe.constData()), const_cast<char *>("--writer"), const_cast<char *>(l.constData()),
                    const_cast<char *>(j.constData()), const_cast<char *>(s.constData()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.constData(), nullptr, nullptr, argv, environ) != 0)
        throw Error(QStringLiteral("cannot start the writer"));
    return pid;
}

// One round: a writer killed at a random moment, then the checks.
void round(const QString &dir, const QString &ledger, unsigned seed, std::mt19937 &random, Expected &expected, Counts &counts)
{
    const QString journal = dir + QStringLiteral("/journal");
    QFile::remove(journal);
    const pid_t writer = startWriter(ledger, journal, seed);
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 300000)(random)));
    ::kill(writer, SIGKILL);
    int status = 0;
    ::waitpid(writer, &status, 0);
    if (!WIFSIGNALED(status))
        throw Error(QStringLiteral("the writer ended by itself with status %1").arg(WEXITSTATUS(status)));
    ++counts.kills;

    std::vector<soak::Entry> inFlight;
    for (const soak::Entry &entry : soak::readJournal(journal)) {
        if (!entry.acknowledged) {
            expected.remove(entry.marker); // it may or may not have happened
            inFlight.push_back(entry);
            ++counts.interrupted;
            continue;
        }
        ++counts.acknowledged;
        expected.insert(entry.marker, {entry.table, entry.operation == Operation::Insert});
    }

    // The main file alone, as a user copies it while the program runs.
    const QString copy = dir + QStringLiteral("/copy.257");
    QFile::remove(copy);
    QFile::copy(ledger, copy);
    try {
        SqliteHandle db = openLedger(copy);
        counts.mainFileMissing += misses(expected, markersIn(db.get()), "main file alone");
    } catch (const Error &e) {
        std::fprintf(stderr, "main file alone: %s\n", e.what());
        counts.mainFileMissing += int(expected.size());
    }
    QFile::remove(copy);

    SqliteHandle db = openLedger(ledger);
    const QString check = integrity(db.get());
    if (check != QLatin1String("ok")) {
        std::fprintf(stderr, "integrity_check: %s\n", qPrintable(check));
        ++counts.integrityFailures;
    }
    const auto found = markersIn(db.get());
    counts.lost += misses(expected, found, "ledger");
    for (const soak::Entry &entry : inFlight)
        expected.insert(entry.marker, {entry.table, found.value(entry.table).contains(entry.marker)});
}

int controller(int kills, unsigned seed)
{
    QTemporaryDir dir;
    const QString ledger = dir.filePath(QStringLiteral("Tavokel.257"));
    createLedgerFile(ledger);
    std::mt19937 random(seed);
    Expected expected;
    Counts counts;
    for (int i = 0; i < kills; ++i)
        round(dir.path(), ledger, seed * 100003u + unsigned(i), random, expected, counts);
    std::printf("seed=%u acknowledged_writes=%d kills_inside_a_write=%d\n", seed, counts.acknowledged, counts.interrupted);
    std::printf("kills=%d lost=%d integrity_failures=%d main_file_missing=%d\n", counts.kills, counts.lost,
                counts.integrityFailures, counts.mainFileMissing);
    return counts.lost == 0 && counts.integrityFailures == 0 && counts.mainFileMissing == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.size() == 4 && args[0] == QLatin1String("--writer"))
            soak::runWriter(args[1], args[2], args[3].toUInt());
        int kills = 30;
        unsigned seed = unsigned(std::random_device{}());
        for (int i = 0; i + 1 < args.size(); i += 2) {
            if (args[i] == QLatin1String("--kills"))
                kills = args[i + 1].toInt();
            else if (args[i] == QLatin1String("--seed"))
                seed = args[i + 1].toUInt();
            else
                throw Error(QStringLiteral("usage: lumibran-soak [--kills N] [--seed S]"));
        }
        if (args.size() % 2 != 0)
            throw Error(QStringLiteral("usage: lumibran-soak [--kills N] [--seed S]"));
        return controller(kills, seed);
    } catch (const Error &e) {
        std::fprintf(stderr, "lumibran-soak: %s\n", e.what());
        return 2;
    }
}
