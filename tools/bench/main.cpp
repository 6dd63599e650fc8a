// lumibran-bench: times the refresh chain of the real main window on synthetic
// ledgers of 1 and 20 years, against the bare SQL that the same period needs.
// With BENCH_PARTS=1 it also prints each step of the chain with its drawing.
#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "newledger/LedgerSchema.h"
#include "platform/SelectorBox.h"
#include "store/Statement.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <sqlite3.h>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int runs = 15;
const QDate firstDay(2006, 1, 1);

using Db = SqliteHandle;

Db openDb(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    return Db(db);
}

// About five payouts a day over 40 categories, an income every ten days over 10.
void buildLedger(const QString &path, int years)
{
    createLedgerFile(path, false);
    Db db = openDb(path);
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

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

struct Mode
{
    const char *name;
    QString start; // ISO texts of the period
    QString end;
    QString year, month, day;
};

// The least the period costs: the two list selects and one grouped sum per table.
double bareSqlMs(const QString &path, const Mode &mode)
{
    Db db = openDb(path);
    const QString statements[] = {
        QStringLiteral("SELECT P_No,P_Date,P_Class,P_Num,P_Desc FROM Payout WHERE P_Date BETWEEN ?1 AND ?2 ORDER BY P_No"),
        QStringLiteral("SELECT I_No,I_Date,I_Class,I_Num,I_Desc FROM Income WHERE I_Date BETWEEN ?1 AND ?2 ORDER BY I_No"),
        QStringLiteral("SELECT P_Class, Sum(P_Num) FROM Payout WHERE P_Date BETWEEN ?1 AND ?2 GROUP BY P_Class"),
        QStringLiteral("SELECT I_Class, Sum(I_Num) FROM Income WHERE I_Date BETWEEN ?1 AND ?2 GROUP BY I_Class"),
    };
    std::vector<double> times;
    for (int r = 0; r < runs; ++r)
        times.push_back(timeMs([&] {
            for (const QString &sql : statements) {
                Statement s(db.get(), sql);
                s.bind(1, mode.start);
                s.bind(2, mode.end);
                while (s.step())
                    for (int c = 0; c < s.columnCount(); ++c)
                        (void)s.value(c);
            }
        }));
    return median(times);
}

double chainMs(TMainFm *main, const Mode &mode)
{
    main->ComboBox1->setText(mode.year);
    main->ComboBox2->setText(mode.month);
    main->ComboBox3->setText(mode.day);
    QRadioButton *button = QLatin1String(mode.name) == QLatin1String("day") ? main->RadioButton3
        : QLatin1String(mode.name) == QLatin1String("month")                ? main->RadioButton2
                                                                             : main->RadioButton1;
    button->setChecked(true);
    if (qEnvironmentVariableIsSet("BENCH_PARTS")) {
        std::vector<double> a, b, c, d;
        for (int r = 0; r < runs; ++r) {
            a.push_back(timeMs([&] { main->BitBtn4->click(); QApplication::processEvents(); }));
            b.push_back(timeMs([&] { main->BitBtn8->click(); QApplication::processEvents(); }));
            c.push_back(timeMs([&] { main->BitBtnTJ->click(); QApplication::processEvents(); }));
            d.push_back(timeMs([&] { QApplication::processEvents(); }));
        }
        std::printf("  parts %s: zc=%.2f sr=%.2f tj=%.2f paint=%.2f\n", mode.name, median(a), median(b), median(c), median(d));
    }
    std::vector<double> times;
    for (int r = 0; r < runs; ++r)
        times.push_back(timeMs([&] {
            main->BitBtn4->click();
            main->BitBtn8->click();
            main->BitBtnTJ->click();
            QApplication::processEvents();
        }));
    return median(times);
}

// Child mode: start the program on the ledger in the current folder, report
// when the main window is shown with its first refresh done.
int startupChild()
{
    int argc = 1;
    char name[] = "lumibran-bench";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    setUpApplication();
    WindowSet windows;
    windows.MainFm->show();
    QApplication::processEvents();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("ready %ld\n", usage.ru_maxrss);
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
    for (int years : {1, 20}) {
        const QString dir = work.filePath(QStringLiteral("y%1").arg(years));
        QDir().mkpath(dir);
        const QString path = QDir(dir).filePath(QStringLiteral("Tavokel.257"));
        buildLedger(path, years);
        if (years == 20)
            twentyYearDir = dir;
        const QString y = QString::number(firstDay.year() + years / 2);
        const Mode modes[] = {
            {"day", y + QStringLiteral("-06-15"), y + QStringLiteral("-06-15"), y, QStringLiteral("06"), QStringLiteral("15")},
            {"month", y + QStringLiteral("-06-01"), y + QStringLiteral("-06-30"), y, QStringLiteral("06"), QStringLiteral("15")},
            {"year", y + QStringLiteral("-01-01"), y + QStringLiteral("-12-31"), y, QStringLiteral("06"), QStringLiteral("15")},
        };
        QDir::setCurrent(dir);
        {
            WindowSet windows;
            windows.MainFm->show();
            QApplication::processEvents();
            for (const Mode &mode : modes) {
                const double chain = chainMs(windows.MainFm.get(), mode);
                const double limit = bareSqlMs(path, mode);
                std::printf("%dy %s median_ms=%.2f limit_ms=%.2f ratio=%.2f\n", years, mode.name, chain, limit,
                            chain / limit);
                std::fflush(stdout);
            }
        }
        QDir::setCurrent(home);
    }

    QProcess child;
    child.setWorkingDirectory(twentyYearDir);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup-child")});
    child.waitForReadyRead(60000);
    const double startup = double(timer.nsecsElapsed()) / 1e6;
    const QByteArray line = child.readLine().trimmed();
    child.waitForFinished(60000);
    const long rssKb = line.startsWith("ready ") ? line.mid(6).toLong() : 0;
    std::printf("startup_ms=%.1f\n", startup);
    std::printf("peak_rss_mb=%.1f\n", double(rssKb) / 1024);
    return 0;
}
