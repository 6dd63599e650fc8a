// lumibran-bench: times what the user waits for after a change of the date
// selector, the refresh chain through the real main window until the event
// queue is empty (every paint included), against the very statements that the
// chain must send, run bare on the same file. Ledgers of 1, 20 and 100 years.
//
// Output, one line per case:
//   <years>y <mode> <tab> chain_ms=<x> mandated_ms=<y> groupby_ms=<z> ratio=<x/y>
//   <years>y custom-all chain_ms=<x> rss_delta_mb=<m>
//   startup_ms=<z>
//   peak_rss_mb=<m>
// Arguments, when given, name the ledger sizes to run (say "20"); start-up is
// then not measured.
// Times are thread CPU time, medians of interleaved runs; each run alternates
// between two periods so that no run repeats the one before it.
#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "newledger/LedgerSchema.h"
#include "platform/DatePicker.h"
#include "platform/SelectorBox.h"
#include "store/Statement.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int runs = 21;
const QDate firstDay(2006, 1, 1);

SqliteHandle openDb(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db, 10000);
    return SqliteHandle(db);
}

// About five payouts a day over 40 categories, an income every ten days over 10.
void buildLedger(const QString &path, int years)
{
    createLedgerFile(path, false);
    SqliteHandle db = openDb(path);
    Statement(db.get(), QStringLiteral("BEGIN")).run();
    for (int c = 0; c < 40; ++c) {
        Statement insert(db.get(), QStringLiteral("INSERT INTO PayoutClass(PC_Name) VALUES(?)"));
        insert.bind(1, QStringLiteral("支出类别%1").arg(c));
        insert.run();
    }
    for (int c = 0; c < 10; ++c) {
        Statement insert(db.get(), QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES(?)"));
        insert.bind(1, QStringLiteral("收入类别%1").arg(c));
        insert.run();
    }
    Statement payout(db.get(), QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES(?,?,?,?)"));
    Statement income(db.get(), QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES(?,?,?,?)"));
    const QDate end = firstDay.addYears(years);
    quint32 seed = 12345;
    auto random = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    int n = 0;
    for (QDate day = firstDay; day < end; day = day.addDays(1), ++n) {
        const QString iso = day.toString(Qt::ISODate);
        for (int i = 0; i < 5; ++i) {
            payout.bind(1, iso);
            payout.bind(2, QStringLiteral("支出类别%1").arg(random() % 40));
            payout.bind(3, double(random() % 50000) / 100);
            payout.bind(4, QStringLiteral("记录%1").arg(n * 5 + i));
            payout.run();
            sqlite3_reset(payout.handle());
        }
        if (n % 10 == 0) {
            income.bind(1, iso);
            income.bind(2, QStringLiteral("收入类别%1").arg(random() % 10));
            income.bind(3, double(random() % 1000000) / 100);
            income.bind(4, QStringLiteral("收入%1").arg(n));
            income.run();
            sqlite3_reset(income.handle());
        }
    }
    Statement(db.get(), QStringLiteral("COMMIT")).run();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double threadCpuMs(const std::function<void()> &work)
{
    timespec from{}, to{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &from);
    work();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &to);
    return double(to.tv_sec - from.tv_sec) * 1e3 + double(to.tv_nsec - from.tv_nsec) / 1e6;
}

// A line of /proc/self/status ("VmRSS", "VmHWM") in megabytes.
double statusMb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').front().toDouble() / 1024;
    return 0;
}

double residentMb()
{
    return statusMb("VmRSS");
}

// Counts every event the application delivers, so that the queue can be run
// until it is empty: posted events, queued calls and paints alike.
class EventCounter : public QObject
{
public:
    qint64 count = 0;

protected:
    bool eventFilter(QObject *, QEvent *) override
    {
        ++count;
        return false;
    }
};

EventCounter *eventCounter()
{
    static EventCounter *counter = [] {
        auto *c = new EventCounter;
        qApp->installEventFilter(c);
        return c;
    }();
    return counter;
}

void drainEvents()
{
    EventCounter *counter = eventCounter();
    for (;;) {
        const qint64 before = counter->count;
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents(QEventLoop::AllEvents);
        if (counter->count == before)
            return;
    }
}

// One period as the date selector's boxes hold it, and its first and last day.
struct Period
{
    QString year, month, day;
    QDate start, end;
};

enum class Mode { Day, Month, Year };

const char *modeName(Mode mode)
{
    return mode == Mode::Day ? "day" : mode == Mode::Month ? "month" : "year";
}

Period periodOf(Mode mode, const QDate &date)
{
    const QString y = date.toString(QStringLiteral("yyyy")), m = date.toString(QStringLiteral("MM")),
                  d = date.toString(QStringLiteral("dd"));
    switch (mode) {
    case Mode::Day:
        return {y, m, d, date, date};
    case Mode::Month:
        return {y, m, d, QDate(date.year(), date.month(), 1), QDate(date.year(), date.month(), date.daysInMonth())};
    case Mode::Year:
        break;
    }
    return {y, m, d, QDate(date.year(), 1, 1), QDate(date.year(), 12, 31)};
}

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// The bare work of one statement: prepare, step through every row reading
// every value, finalize.
class BareRunner
{
public:
    explicit BareRunner(sqlite3 *db) : m_db(db) {}

    std::vector<std::vector<QByteArray>> run(const QString &sql)
    {
        std::vector<std::vector<QByteArray>> rows;
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "bench: %s: %s\n", utf8.constData(), sqlite3_errmsg(m_db));
            std::exit(1);
        }
        const int columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::vector<QByteArray> row;
            row.reserve(size_t(columns));
            for (int c = 0; c < columns; ++c)
                row.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)),
                                 sqlite3_column_bytes(stmt, c));
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        return rows;
    }

private:
    sqlite3 *m_db;
};

// Exactly the statements that a refresh chain sends for the period, as the
// engine hands them to SQLite: both list selects, the statistics run (scratch
// deletes, the distinct categories, one sum and one insert per category, both
// totals, the totals row) in one transaction without a sync, and the three
// reopening selects.
void mandatedStatements(sqlite3 *db, Mode mode, const Period &period)
{
    BareRunner bare(db);
    const QString s = quoted(period.start.toString(Qt::ISODate)), e = quoted(period.end.toString(Qt::ISODate));
    const QString range = QStringLiteral(" BETWEEN %1 AND %2").arg(s, e);
    const QString dayTest = mode == Mode::Day ? QStringLiteral(" = ") + s : range;
    struct Kind
    {
        const char *table, *prefix, *statTable, *statPrefix;
    };
    const Kind kinds[] = {{"Income", "I_", "IncomeStatistic", "IS_I_"}, {"Payout", "P_", "PayoutStatistic", "PS_P_"}};
    for (const Kind *k : {&kinds[1], &kinds[0]})
        bare.run(QStringLiteral("SELECT %1No,%1Date,%1Class,%1Num,%1Desc FROM %2 WHERE %1Date%3 ORDER BY %1No")
                     .arg(QLatin1String(k->prefix), QLatin1String(k->table), dayTest));
    sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const char *table : {"IncomeStatistic", "PayoutStatistic", "AllCount"})
        bare.run(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
    for (const Kind &k : kinds) {
        const QString p = QLatin1String(k.prefix), t = QLatin1String(k.table);
        const auto categories = bare.run(QStringLiteral("SELECT DISTINCT %1Class FROM %2 WHERE %1Date%3").arg(p, t, range));
        for (const auto &category : categories) {
            const QString name = QString::fromUtf8(category[0]);
            const auto sum = bare.run(QStringLiteral("SELECT Sum(%1Num) AS %1Num_Count FROM %2 WHERE %1Date%3 AND %1Class=%4")
                                          .arg(p, t, dayTest, quoted(name)));
            bare.run(QStringLiteral("INSERT INTO %1(%2Class,%2Count) VALUES(%3, %4 )")
                         .arg(QLatin1String(k.statTable), QLatin1String(k.statPrefix), quoted(name),
                              QString::fromUtf8(sum[0][0])));
        }
    }
    double totals[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const QString p = QLatin1String(kinds[i].prefix), t = QLatin1String(kinds[i].table);
        const auto sum = bare.run(QStringLiteral("SELECT Sum(%1Num) AS %1Num_Count FROM %2 WHERE %1Date%3").arg(p, t, range));
        totals[i] = sum[0][0].toDouble();
    }
    bare.run(QStringLiteral("INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count) VALUES(%1, %2, %3 )")
                 .arg(totals[0], 0, 'g', 15)
                 .arg(totals[1], 0, 'g', 15)
                 .arg(totals[0] - totals[1], 0, 'g', 15));
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    for (const char *table : {"IncomeStatistic", "PayoutStatistic", "AllCount"})
        bare.run(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)));
}

// The floor measured before the chain had to write anything: the two list
// selects and one grouped sum per table.
void groupByStatements(sqlite3 *db, const Period &period)
{
    BareRunner bare(db);
    const QString range = QStringLiteral(" BETWEEN %1 AND %2")
                              .arg(quoted(period.start.toString(Qt::ISODate)), quoted(period.end.toString(Qt::ISODate)));
    bare.run(QStringLiteral("SELECT P_No,P_Date,P_Class,P_Num,P_Desc FROM Payout WHERE P_Date%1 ORDER BY P_No").arg(range));
    bare.run(QStringLiteral("SELECT I_No,I_Date,I_Class,I_Num,I_Desc FROM Income WHERE I_Date%1 ORDER BY I_No").arg(range));
    bare.run(QStringLiteral("SELECT P_Class, Sum(P_Num) FROM Payout WHERE P_Date%1 GROUP BY P_Class").arg(range));
    bare.run(QStringLiteral("SELECT I_Class, Sum(I_Num) FROM Income WHERE I_Date%1 GROUP BY I_Class").arg(range));
}

// The refresh chain as the date selector runs it after a change, until the
// event queue is empty.
void chain(TMainFm *main)
{
    main->BitBtn4->click();
    main->BitBtn8->click();
    main->BitBtnTJ->click();
    drainEvents();
}

void showPeriod(TMainFm *main, const Period &period)
{
    main->ComboBox1->setText(period.year);
    main->ComboBox2->setText(period.month);
    main->ComboBox3->setText(period.day);
}

void benchPeriods(int years, TMainFm *main, const QString &path)
{
    SqliteHandle db = openDb(path);
    const QDate middle(firstDay.year() + years / 2, 6, 15);
    for (const Mode mode : {Mode::Day, Mode::Month, Mode::Year}) {
        const QDate other = mode == Mode::Day ? middle.addDays(1) : mode == Mode::Month ? middle.addMonths(1)
                                                                                        : middle.addYears(1);
        const Period periods[] = {periodOf(mode, middle), periodOf(mode, other)};
        QRadioButton *button = mode == Mode::Day ? main->RadioButton3
            : mode == Mode::Month                ? main->RadioButton2
                                                 : main->RadioButton1;
        for (QWidget *tab : {main->TabSheet1, main->TabSheetTJ}) {
            main->PageControl1->setCurrentWidget(tab);
            showPeriod(main, periods[1]);
            button->setChecked(true);
            drainEvents();
            std::vector<double> chainTimes, mandatedTimes, groupByTimes;
            for (int r = 0; r < runs; ++r) {
                const Period &period = periods[r % 2];
                showPeriod(main, period);
                chainTimes.push_back(threadCpuMs([&] { chain(main); }));
                mandatedTimes.push_back(threadCpuMs([&] { mandatedStatements(db.get(), mode, period); }));
                groupByTimes.push_back(threadCpuMs([&] { groupByStatements(db.get(), period); }));
            }
            const double chainMs = median(chainTimes), mandatedMs = median(mandatedTimes);
            std::printf("%dy %s %s chain_ms=%.2f mandated_ms=%.2f groupby_ms=%.2f ratio=%.2f\n", years, modeName(mode),
                        tab == main->TabSheet1 ? "income" : "stats", chainMs, mandatedMs, median(groupByTimes),
                        chainMs / mandatedMs);
            std::fflush(stdout);
        }
    }
}

// A custom range over the whole ledger, on the income tab: the time of the
// chain and how much the program grows by it.
void benchWholeLedger(int years, TMainFm *main)
{
    main->PageControl1->setCurrentWidget(main->TabSheet1);
    main->RadioButton2->setChecked(true);
    drainEvents();
    const double before = residentMb();
    double grown = 0;
    const QDate last = firstDay.addYears(years).addDays(-1);
    main->DateTimePicker1->setDateQuietly(firstDay);
    std::vector<double> times;
    for (int r = 0; r < 7; ++r) {
        main->DateTimePicker2->setDateQuietly(last.addDays(-(r % 2)));
        times.push_back(threadCpuMs([&] {
            if (!main->RadioButton4->isChecked())
                main->RadioButton4->setChecked(true); // its own action runs the chain
            else
                chain(main);
            drainEvents();
        }));
        grown = std::max(grown, residentMb() - before);
    }
    std::printf("%dy custom-all chain_ms=%.2f rss_delta_mb=%.1f\n", years, median(times), grown);
    std::fflush(stdout);
}

// Child mode: start the program on the ledger in the current folder and
// report once the main window is shown with its first refresh painted.
int startupChild()
{
    int argc = 1;
    char name[] = "lumibran-bench";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    setUpApplication();
    WindowSet windows;
    windows.MainFm->show();
    drainEvents();
    std::printf("ready\n");
    std::fflush(stdout);
    // The peak of this process image: getrusage() would also count the
    // benchmark that forked it, which Linux carries across exec.
    std::printf("%.1f\n", statusMb("VmHWM"));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && QByteArray(argv[1]) == "--startup-child")
        return startupChild();

    QApplication app(argc, argv);
    setUpApplication();
    QTemporaryDir work;
    const QString home = QDir::currentPath();
    QString twentyYearDir;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(QByteArray(argv[i]).toInt());
    const bool allSizes = sizes.empty();
    if (allSizes)
        sizes = {1, 20, 100};
    for (int years : sizes) {
        const QString dir = work.filePath(QStringLiteral("y%1").arg(years));
        QDir().mkpath(dir);
        const QString path = QDir(dir).filePath(QStringLiteral("Tavokel.257"));
        buildLedger(path, years);
        if (years == 20)
            twentyYearDir = dir;
        QDir::setCurrent(dir);
        {
            WindowSet windows;
            windows.MainFm->show();
            drainEvents();
            benchPeriods(years, windows.MainFm.get(), path);
            if (years > 1)
                benchWholeLedger(years, windows.MainFm.get());
        }
        QDir::setCurrent(home);
    }
    if (!allSizes)
        return 0;

    std::vector<double> startups;
    double peakMb = 0;
    for (int r = 0; r < 5; ++r) {
        QProcess child;
        child.setWorkingDirectory(twentyYearDir);
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup-child")});
        while (!child.canReadLine() && child.waitForReadyRead(60000)) {
        }
        startups.push_back(double(timer.nsecsElapsed()) / 1e6);
        child.waitForFinished(60000);
        child.readLine();
        peakMb = std::max(peakMb, child.readLine().trimmed().toDouble());
    }
    std::printf("startup_ms=%.1f\n", median(startups));
    std::printf("peak_rss_mb=%.1f\n", peakMb);
    return 0;
}
