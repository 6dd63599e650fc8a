// lumibran-soak [--kills N] [--seed S] [--beside writer|import]: a crash soak
// of the ledger store. It starts a writer on a temporary ledger, kills it with
// SIGKILL at a random moment, and checks after each kill that every
// acknowledged record and deletion is there, that integrity_check is ok, and
// that the main file alone, copied without its -wal, holds every acknowledged
// write. With --beside, a second program works on the ledger for the whole
// soak (SoakNeighbour): its records are checked alike. Its reads may hold up
// the copy into the main file of the killed writer's last writes, which then
// wait in the log (main_file_pending); once both have ended and the ledger is
// closed, the main file alone must hold everything.
#include "SoakJournal.h"
#include "SoakNeighbour.h"
#include "SoakWriter.h"
#include "newledger/LedgerSchema.h"
#include "core/Error.h"
#include "store/Statement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <signal.h>
#include <spawn.h>
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
    int mainFilePending = 0; // beside a reader: in the log, not yet in the main file
    int acknowledged = 0; // writes whose call returned before the kill
    int interrupted = 0;  // kills that landed inside a write
};

// What the ledger must hold: marker -> (table, present).
using Expected = QHash<QString, std::pair<QString, bool>>;

Database openLedger(const QString &path)
{
    return openDatabase(path, Database::ReadWrite);
}

// The markers of the soak's records in each table; raises when unreadable.
QHash<QString, QSet<QString>> markersIn(Database &db)
{
    QHash<QString, QSet<QString>> found;
    for (const soak::Target &t : soak::targets()) {
        Statement rows(db, QStringLiteral("SELECT %1 FROM %2 WHERE %1 LIKE 'soak%' OR %1 LIKE 'beside-%'").arg(t.markerColumn, t.table));
        while (rows.step())
            found[t.table].insert(rows.value(0).toString());
    }
    return found;
}

// Counts what found lacks of expected; names each one unless where is null.
int misses(const Expected &expected, const QHash<QString, QSet<QString>> &found, const char *where)
{
    int missing = 0;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        if (found.value(it->first).contains(it.key()) == it->second)
            continue;
        ++missing;
        if (where)
            std::fprintf(stderr, "%s: %s %s is %s\n", where, qPrintable(it->first), qPrintable(it.key()),
                         it->second ? "missing" : "back after its deletion");
    }
    return missing;
}

QString integrity(Database &db)
{
    Statement check(db, QStringLiteral("PRAGMA integrity_check"));
    return check.step() ? check.value(0).toString() : QString();
}

pid_t startProcess(const QStringList &arguments)
{
    QList<QByteArray> args{QFile::encodeName(QCoreApplication::applicationFilePath())};
    for (const QString &argument : arguments)
        args.append(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw Error(QStringLiteral("cannot start %1").arg(arguments.value(0)));
    return pid;
}

void killAndWait(pid_t pid, const char *who)
{
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSIGNALED(status))
        throw Error(QStringLiteral("the %1 ended by itself with status %2").arg(QLatin1String(who)).arg(WEXITSTATUS(status)));
}

// The neighbour's records acknowledged so far; the one in flight is unknown.
void addNeighbourWrites(const QString &journal, Expected &expected)
{
    for (const soak::Entry &entry : soak::readJournal(journal))
        if (entry.acknowledged)
            expected.insert(entry.marker, {entry.table, true});
        else
            expected.remove(entry.marker);
}

int mainFileMisses(const QString &dir, const QString &ledger, const Expected &expected, bool named)
{
    const QString copy = dir + QStringLiteral("/copy.257");
    QFile::remove(copy);
    QFile::copy(ledger, copy);
    int missing = 0;
    try {
        Database db = openLedger(copy);
        missing = misses(expected, markersIn(db), named ? "main file alone" : nullptr);
    } catch (const Error &e) {
        std::fprintf(stderr, "main file alone: %s\n", e.what());
        missing = int(expected.size());
    }
    QFile::remove(copy);
    return missing;
}

// One round: a writer killed at a random moment, then the checks.
void round(const QString &dir, const QString &ledger, unsigned seed, std::mt19937 &random, Expected &expected,
           Counts &counts, const QString &neighbourJournal)
{
    const QString journal = dir + QStringLiteral("/journal");
    QFile::remove(journal);
    const pid_t writer = startProcess({QStringLiteral("--writer"), ledger, journal, QString::number(seed)});
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 300000)(random)));
    killAndWait(writer, "writer");
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
    if (!neighbourJournal.isEmpty())
        addNeighbourWrites(neighbourJournal, expected);

    // The main file alone, as a user copies it while the program runs.
    // Beside a reader, the last writes may wait in the log: counted, not named.
    const int inMainFileOnlyLater = mainFileMisses(dir, ledger, expected, neighbourJournal.isEmpty());
    (neighbourJournal.isEmpty() ? counts.mainFileMissing : counts.mainFilePending) += inMainFileOnlyLater;

    Database db = openLedger(ledger);
    const QString check = integrity(db);
    if (check != QLatin1String("ok")) {
        std::fprintf(stderr, "integrity_check: %s\n", qPrintable(check));
        ++counts.integrityFailures;
    }
    const auto found = markersIn(db);
    counts.lost += misses(expected, found, "ledger");
    // A write killed in flight may have reached the log whole without the
    // shared index showing it yet. Alone, this reader rebuilds the index from
    // the log and sees how it ended. Beside a neighbour the index lives on:
    // the write stays unseen until the neighbour's next write lands over it,
    // or shows after all when the last connection closes and the index is
    // rebuilt; what is seen of it now is no outcome yet.
    if (neighbourJournal.isEmpty())
        for (const soak::Entry &entry : inFlight)
            expected.insert(entry.marker, {entry.table, found.value(entry.table).contains(entry.marker)});
}

int controller(int kills, unsigned seed, const QString &beside)
{
    QTemporaryDir dir;
    const QString ledger = dir.filePath(QStringLiteral("Tavokel.257"));
    createLedgerFile(ledger);
    std::mt19937 random(seed);
    Expected expected;
    Counts counts;
    const QString neighbourJournal = beside.isEmpty() ? QString() : dir.filePath(QStringLiteral("beside/journal"));
    pid_t neighbour = 0;
    if (!beside.isEmpty()) {
        QDir().mkpath(QFileInfo(neighbourJournal).path());
        neighbour = startProcess({QStringLiteral("--neighbour"), beside, ledger, neighbourJournal, QString::number(seed)});
    }
    for (int i = 0; i < kills; ++i)
        round(dir.path(), ledger, seed * 100003u + unsigned(i), random, expected, counts, neighbourJournal);
    if (neighbour) {
        killAndWait(neighbour, "neighbour");
        addNeighbourWrites(neighbourJournal, expected);
        {
            Database last = openLedger(ledger); // the last to close copies the log
            counts.lost += misses(expected, markersIn(last), "ledger");
        }
        counts.mainFileMissing += mainFileMisses(dir.path(), ledger, expected, true);
    }
    std::printf("seed=%u acknowledged_writes=%d kills_inside_a_write=%d\n", seed, counts.acknowledged, counts.interrupted);
    if (neighbour)
        std::printf("beside=%s neighbour_writes=%d main_file_pending=%d\n", qPrintable(beside),
                    int(std::count_if(expected.keyBegin(), expected.keyEnd(),
                                      [](const QString &marker) { return marker.startsWith(QLatin1String("beside-")); })),
                    counts.mainFilePending);
    std::printf("kills=%d lost=%d integrity_failures=%d main_file_missing=%d\n", counts.kills, counts.lost,
                counts.integrityFailures, counts.mainFileMissing);
    return counts.lost == 0 && counts.integrityFailures == 0 && counts.mainFileMissing == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString usage = QStringLiteral("usage: lumibran-soak [--kills N] [--seed S] [--beside writer|import]");
    try {
        if (args.size() == 4 && args[0] == QLatin1String("--writer"))
            soak::runWriter(args[1], args[2], args[3].toUInt());
        if (args.size() == 5 && args[0] == QLatin1String("--neighbour"))
            soak::runNeighbour(args[1] == QLatin1String("import") ? soak::Neighbour::Import : soak::Neighbour::Writer,
                               args[2], args[3], args[4].toUInt());
        int kills = 30;
        unsigned seed = unsigned(std::random_device{}());
        QString beside;
        for (int i = 0; i + 1 < args.size(); i += 2) {
            if (args[i] == QLatin1String("--kills"))
                kills = args[i + 1].toInt();
            else if (args[i] == QLatin1String("--seed"))
                seed = args[i + 1].toUInt();
            else if (args[i] == QLatin1String("--beside") && (args[i + 1] == QLatin1String("writer") || args[i + 1] == QLatin1String("import")))
                beside = args[i + 1];
            else
                throw Error(usage);
        }
        if (args.size() % 2 != 0)
            throw Error(usage);
        return controller(kills, seed, beside);
    } catch (const Error &e) {
        std::fprintf(stderr, "lumibran-soak: %s\n", e.what());
        return 2;
    }
}
