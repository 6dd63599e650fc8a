// lumibran-bench: times what the user waits for after a change of the date
// selector, the refresh chain through the real main window until the event
// queue is empty (every paint included), against the very statements that the
// chain must send, run bare on the same file. Ledgers of 1, 20 and 100 years.
//
// Output, one line per case:
//   <years>y <mode> <tab> chain_ms=<x> mandated_ms=<y> groupby_ms=<z> ratio=<x/y>
//   <years>y custom-all chain_ms=<x> rss_delta_mb=<m>
//   <years>y export_ms=<x> records=<n>
//   startup_ms=<z>
//   peak_rss_mb=<m>
// Arguments, when given, name the ledger sizes to run (say "20"); start-up is
// then not measured.
// Times are thread CPU time, medians of 21 runs taken in interleaved blocks;
// each run alternates between two periods so that no run repeats the one
// before it. The whole-ledger range, start-up and the peak memory are measured
// in a program started afresh for them, so that nothing measured before counts.
// The export of the whole ledger is timed by the clock on the wall, from the
// start of lumibran-export to its end, writing into a file.
#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "grid/DataGrid.h"
#include "newledger/LedgerSchema.h"
#include "platform/DatePicker.h"
#include "core/Error.h"
#include "platform/ErrorReport.h"
#include "platform/SelectorBox.h"
#include "store/SqlText.h"
#include "store/Statement.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
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
#include <memory>
#include <vector>

namespace {

constexpr int runs = 21;
constexpr int block = 7; // runs of one kind in a row, so that each finds its pages cached
// Mid-year, so that the two years (and months) a run alternates between both
// hold records, on the 1-year ledger too.
const QDate firstDay(2006, 7, 1);

QDate endOf(int years)
{
    return firstDay.addYears(years);
}

// The day the period cases are taken around: the middle of the ledger.
QDate middleOf(int years)
{
    return firstDay.addDays(firstDay.daysTo(endOf(years)) / 2);
}

Database openDb(const QString &path)
{
    Database db = openDatabase(path, Database::ReadWrite);
    db.setBusyTimeout(10000);
    return db;
}

// About five payouts a day over 40 categories, an income every ten days over 10.
void buildLedger(const QString &path, int years)
{
    createLedgerFile(path, false);
    Database db = openDb(path);
    Statement(db, QStringLiteral("BEGIN")).run();
    for (int c = 0; c < 40; ++c) {
        Statement insert(db, QStringLiteral("INSERT INTO PayoutClass(PC_Name) VALUES(?)"));
        insert.bind(1, QStringLiteral("支出类别%1").arg(c));
        insert.run();
    }
    for (int c = 0; c < 10; ++c) {
        Statement insert(db, QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES(?)"));
        insert.bind(1, QStringLiteral("收入类别%1").arg(c));
        insert.run();
    }
    Statement payout(db, QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES(?,?,?,?)"));
    Statement income(db, QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES(?,?,?,?)"));
    const QDate end = endOf(years);
    quint32 seed = 12345;
    auto random = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    int n = 0;
    for (QDate day = firstDay; day < end; day = day.addDays(1), ++n) {
        const QString iso = isoDay(day);
        for (int i = 0; i < 5; ++i) {
            payout.bind(1, iso);
            payout.bind(2, QStringLiteral("支出类别%1").arg(random() % 40));
            payout.bind(3, double(random() % 50000) / 100);
            payout.bind(4, QStringLiteral("记录%1").arg(n * 5 + i));
            payout.run();
            payout.reset();
        }
        if (n % 10 == 0) {
            income.bind(1, iso);
            income.bind(2, QStringLiteral("收入类别%1").arg(random() % 10));
            income.bind(3, double(random() % 1000000) / 100);
            income.bind(4, QStringLiteral("收入%1").arg(n));
            income.run();
            income.reset();
        }
    }
    Statement(db, QStringLiteral("COMMIT")).run();
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

// The bare work of one statement: prepare, step through every row reading
// every value as SQLite holds it, finalize. rows() also hands the values back,
// for the few statements whose results the next ones are made of.
class BareRunner
{
public:
    explicit BareRunner(Database &db) : m_db(db) {}

    void run(const QString &sql) { step(sql, nullptr); }

    std::vector<std::vector<QVariant>> rows(const QString &sql)
    {
        std::vector<std::vector<QVariant>> rows;
        step(sql, &rows);
        return rows;
    }

private:
    void step(const QString &sql, std::vector<std::vector<QVariant>> *rows)
    {
        try {
            Statement statement(m_db, sql);
            const int columns = statement.columnCount();
            while (statement.step()) {
                std::vector<QVariant> row;
                for (int c = 0; c < columns; ++c) {
                    if (rows)
                        row.push_back(statement.value(c));
                    else
                        statement.columnValue(c); // where a text's bytes are
                }
                if (rows)
                    rows->push_back(std::move(row));
            }
        } catch (const Error &e) {
            std::fprintf(stderr, "bench: %s: %s\n", qPrintable(sql), e.what());
            std::exit(1);
        }
    }

    Database &m_db;
};

// A number as the statistics run writes it into its statements.
QString generalNumber(const QVariant &value)
{
    return value.isNull() ? QStringLiteral("NULL") : QString::number(value.toDouble(), 'g', 15);
}

// Exactly the statements that a refresh chain sends for the period, as the
// engine hands them to SQLite: both list selects, the statistics run (scratch
// deletes, the distinct categories, one sum and one insert per category, both
// totals, the totals row) in one transaction without a sync, and the three
// reopening selects.
void mandatedStatements(Database &db, Mode mode, const Period &period)
{
    BareRunner bare(db);
    const QString s = sqlQuoted(isoDay(period.start)), e = sqlQuoted(isoDay(period.end));
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
    db.execute(QStringLiteral("PRAGMA synchronous=NORMAL"));
    db.execute(QStringLiteral("BEGIN"));
    for (const char *table : {"IncomeStatistic", "PayoutStatistic", "AllCount"})
        bare.run(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
    for (const Kind &k : kinds) {
        const QString p = QLatin1String(k.prefix), t = QLatin1String(k.table);
        const auto categories = bare.rows(QStringLiteral("SELECT DISTINCT %1Class FROM %2 WHERE %1Date%3").arg(p, t, range));
        for (const auto &category : categories) {
            const QString name = category[0].toString();
            const auto sum = bare.rows(QStringLiteral("SELECT Sum(%1Num) AS %1Num_Count FROM %2 WHERE %1Date%3 AND %1Class=%4")
                                           .arg(p, t, dayTest, sqlQuoted(name)));
            bare.run(QStringLiteral("INSERT INTO %1(%2Class,%2Count) VALUES(%3, %4 )")
                         .arg(QLatin1String(k.statTable), QLatin1String(k.statPrefix), sqlQuoted(name), generalNumber(sum[0][0])));
        }
    }
    double totals[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const QString p = QLatin1String(kinds[i].prefix), t = QLatin1String(kinds[i].table);
        const auto sum = bare.rows(QStringLiteral("SELECT Sum(%1Num) AS %1Num_Count FROM %2 WHERE %1Date%3").arg(p, t, range));
        totals[i] = sum[0][0].toDouble();
    }
    bare.run(QStringLiteral("INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count) VALUES(%1, %2, %3 )")
                 .arg(totals[0], 0, 'g', 15)
                 .arg(totals[1], 0, 'g', 15)
                 .arg(totals[0] - totals[1], 0, 'g', 15));
    db.execute(QStringLiteral("COMMIT"));
    db.execute(QStringLiteral("PRAGMA synchronous=FULL"));
    for (const char *table : {"IncomeStatistic", "PayoutStatistic", "AllCount"})
        bare.run(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)));
}

// The floor measured before the chain had to write anything: the two list
// selects and one grouped sum per table.
void groupByStatements(Database &db, const Period &period)
{
    BareRunner bare(db);
    const QString range = QStringLiteral(" BETWEEN %1 AND %2")
                              .arg(sqlQuoted(isoDay(period.start)), sqlQuoted(isoDay(period.end)));
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

// A chain that failed would time fast: stop when the chain did not show the
// period's records, or reported an error.
void checkShown(TMainFm *main, Database &db, Mode mode, const Period &period)
{
    const QString start = sqlQuoted(isoDay(period.start));
    const QString test = mode == Mode::Day
        ? QStringLiteral(" = ") + start
        : QStringLiteral(" BETWEEN %1 AND %2").arg(start, sqlQuoted(isoDay(period.end)));
    const qint64 expected = BareRunner(db).rows(QStringLiteral("SELECT count(*) FROM Payout WHERE P_Date") + test)[0][0].toLongLong();
    const int shown = main->DBGridZC->model()->rowCount();
    const QString error = reportedError(main->StatusBar1);
    if (shown != expected || !error.isEmpty()) {
        std::fprintf(stderr, "bench: the chain showed %d payouts of %lld: %s\n", shown, expected, error.toUtf8().constData());
        std::exit(1);
    }
}

void benchPeriods(int years, TMainFm *main, const QString &path)
{
    Database db = openDb(path);
    const QDate middle = middleOf(years);
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
            // Blocks of each kind in turn: the bare statements and the chain
            // write to the same file, and each write makes the other
            // connection read its pages afresh, which the chain alone never does.
            std::vector<double> chainTimes, mandatedTimes, groupByTimes;
            for (int r = 0; r < runs; ++r) {
                const Period &period = periods[r % 2];
                showPeriod(main, period);
                chainTimes.push_back(threadCpuMs([&] { chain(main); }));
                if (r % block == block - 1)
                    for (int b = r + 1 - block; b <= r; ++b) {
                        const Period &bare = periods[b % 2];
                        mandatedTimes.push_back(threadCpuMs([&] { mandatedStatements(db, mode, bare); }));
                    }
            }
            checkShown(main, db, mode, periods[(runs - 1) % 2]);
            for (int r = 0; r < runs; ++r)
                groupByTimes.push_back(threadCpuMs([&] { groupByStatements(db, periods[r % 2]); }));
            const double chainMs = median(chainTimes), mandatedMs = median(mandatedTimes);
            std::printf("%dy %s %s chain_ms=%.2f mandated_ms=%.2f groupby_ms=%.2f ratio=%.2f\n", years, modeName(mode),
                        tab == main->TabSheet1 ? "income" : "stats", chainMs, mandatedMs, median(groupByTimes),
                        chainMs / mandatedMs);
            std::fflush(stdout);
        }
    }
}

// The program as the user starts it on the ledger in the current folder,
// with its first refresh painted.
std::unique_ptr<WindowSet> startProgram()
{
    setUpApplication();
    auto windows = std::make_unique<WindowSet>();
    windows->MainFm->show();
    drainEvents();
    return windows;
}

QApplication *applicationFor(const char *name)
{
    static int argc = 1;
    static char text[32];
    std::snprintf(text, sizeof text, "%s", name);
    static char *argv[] = {text, nullptr};
    return new QApplication(argc, argv);
}

// Child mode: a custom range over the whole ledger in the current folder, on
// the income tab. Prints the chain's median time, how much the program grew
// by it, and the program's peak.
int wholeLedgerChild(const QDate &last)
{
    std::unique_ptr<QApplication> app(applicationFor("lumibran-bench"));
    const std::unique_ptr<WindowSet> windows = startProgram();
    TMainFm *main = windows->MainFm.get();
    main->PageControl1->setCurrentWidget(main->TabSheet1);
    drainEvents();
    const double before = residentMb();
    main->DateTimePicker1->setDateQuietly(firstDay);
    main->DateTimePicker2->setDateQuietly(last);
    main->RadioButton4->setChecked(true); // its own action runs the chain
    drainEvents();
    double grown = residentMb() - before;
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        main->DateTimePicker2->setDateQuietly(last.addDays(-(r % 2)));
        times.push_back(threadCpuMs([&] { chain(main); }));
        grown = std::max(grown, residentMb() - before);
    }
    Database db = openDb(QStringLiteral("Tavokel.257"));
    checkShown(main, db, Mode::Month, Period{QString(), QString(), QString(), firstDay, last.addDays(-((runs - 1) % 2))});
    std::printf("%.2f %.1f %.1f\n", median(times), grown, statusMb("VmHWM"));
    std::fflush(stdout);
    return 0;
}

// Child mode: start the program on the ledger in the current folder and
// report once the main window is shown with its first refresh painted.
int startupChild()
{
    std::unique_ptr<QApplication> app(applicationFor("lumibran-bench"));
    const std::unique_ptr<WindowSet> windows = startProgram();
    std::printf("ready\n");
    std::fflush(stdout);
    // The peak of this process image: getrusage() would also count the
    // benchmark that forked it, which Linux carries across exec.
    std::printf("%.1f\n", statusMb("VmHWM"));
    std::fflush(stdout);
    return 0;
}

// Runs this program in a child mode in a folder and returns the lines it
// printed; also how long its first line took, when asked.
QList<QByteArray> runChild(const QString &dir, const QStringList &args, double *msToFirstLine = nullptr)
{
    QProcess child;
    child.setWorkingDirectory(dir);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), args);
    while (!child.canReadLine() && child.waitForReadyRead(600000)) {
    }
    if (msToFirstLine)
        *msToFirstLine = double(timer.nsecsElapsed()) / 1e6;
    child.waitForFinished(600000);
    QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
    if (child.exitCode() != 0 || lines.size() < 2) {
        std::fprintf(stderr, "bench: %s failed\n", args.join(QLatin1Char(' ')).toUtf8().constData());
        std::exit(1);
    }
    return lines;
}

// lumibran-export on the whole ledger: the median time of a few runs; stops
// unless the file it wrote holds every record.
void benchExport(int years, const QString &path)
{
    const QString exporter = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("lumibran-export"));
    const QString csv = QFileInfo(path).dir().filePath(QStringLiteral("records.csv"));
    std::vector<double> times;
    for (int r = 0; r < 5; ++r) {
        QProcess child;
        child.setStandardOutputFile(csv);
        QElapsedTimer timer;
        timer.start();
        child.start(exporter, {path});
        if (!child.waitForFinished(600000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
            std::fprintf(stderr, "bench: lumibran-export failed\n");
            std::exit(1);
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    QFile written(csv);
    const qint64 records = written.open(QIODevice::ReadOnly) ? written.readAll().count("\r\n") - 1 : -1;
    Database db = openDb(path);
    Statement count(db, QStringLiteral("SELECT (SELECT count(*) FROM Income) + (SELECT count(*) FROM Payout)"));
    if (!count.step() || count.value(0).toLongLong() != records) {
        std::fprintf(stderr, "bench: the export wrote %lld records, not all of them\n", records);
        std::exit(1);
    }
    std::printf("%dy export_ms=%.1f records=%lld\n", years, median(times), records);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && QByteArray(argv[1]) == "--startup-child")
        return startupChild();
    if (argc > 2 && QByteArray(argv[1]) == "--whole-ledger-child")
        return wholeLedgerChild(QDate::fromString(QString::fromLatin1(argv[2]), Qt::ISODate));

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
    double peakMb = 0;
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
        }
        benchExport(years, path);
        QDir::setCurrent(home);
        if (years > 1) {
            const QString last = isoDay(endOf(years).addDays(-1));
            const QList<QByteArray> figures = runChild(dir, {QStringLiteral("--whole-ledger-child"), last}).front().split(' ');
            std::printf("%dy custom-all chain_ms=%s rss_delta_mb=%s\n", years, figures.value(0).constData(),
                        figures.value(1).constData());
            std::fflush(stdout);
            if (years == 20)
                peakMb = std::max(peakMb, figures.value(2).toDouble());
        }
    }
    if (!allSizes)
        return 0;

    std::vector<double> startups;
    for (int r = 0; r < 15; ++r) {
        double ms = 0;
        const QList<QByteArray> lines = runChild(twentyYearDir, {QStringLiteral("--startup-child")}, &ms);
        startups.push_back(ms);
        peakMb = std::max(peakMb, lines.value(1).trimmed().toDouble());
    }
    std::printf("startup_ms=%.1f\n", median(startups));
    std::printf("peak_rss_mb=%.1f\n", peakMb);
    return 0;
}
