#include "support/LedgerFiles.h"

#include "store/Statement.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

QString tool(const char *name)
{
    return QDir(qEnvironmentVariable("LUMIBRAN_BIN")).filePath(QString::fromLatin1(name));
}

struct Run
{
    int status;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &args, const QString &input = QString(), const QString &dir = QString())
{
    QProcess process;
    if (!dir.isEmpty())
        process.setWorkingDirectory(dir);
    process.start(program, args);
    process.write(input.toUtf8());
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestTools : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString ledger;

    Run sql(const QString &statements) { return run(tool("lumibran-sql"), {ledger}, statements); }

private slots:
    void initTestCase()
    {
        const Run made = run(tool("lumibran-newledger"), {}, QString(), dir.path());
        QCOMPARE(made.status, 0);
        ledger = dir.filePath(QStringLiteral("Tavokel.257"));
        QVERIFY(QFileInfo::exists(ledger));
    }

    void newLedgerRefusesToOverwrite()
    {
        const Run again = run(tool("lumibran-newledger"), {ledger});
        QCOMPARE(again.status, 1);
        QVERIFY(again.err.contains(ledger));
        const QString bare = dir.filePath(QStringLiteral("bare.257"));
        QCOMPARE(run(tool("lumibran-newledger"), {QStringLiteral("--no-categories"), bare}).status, 0);
        const Run counts = run(tool("lumibran-sql"), {bare}, QStringLiteral("Select Count(*) As N From IncomeClass\n"));
        QCOMPARE(counts.out, QStringLiteral("N\n0\n"));
    }

    void defaultCategoriesComeInNumberOrder()
    {
        const Run classes = sql(QStringLiteral("Select * From PayoutClass Order By PC_No DESC\n"));
        QCOMPARE(classes.status, 0);
        const QStringList lines = classes.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("PC_No\tPC_Name"));
        QVERIFY(lines.size() > 3);
        QVERIFY(lines.value(1).startsWith(QString::number(lines.size() - 1) + QLatin1Char('\t')));
    }

    void recordStatementsOfTheProgram()
    {
        const Run added = sql(QStringLiteral(
            "Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','Food',12.5,'lunch')\n"
            "Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-31','Food',7.5,'Tom''s')\n"
            "Insert Into Income(I_Date,I_Class,I_Num,I_Desc) Values('2010-3-9','Pay',1000,'')\n"
            "Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','Food',1.2.3,'bad')\n"
            "Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where [P_Date] between #2010-03-1# And #2010-03-31# Order By P_No  Asc\n"
            "Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where I_Date = #2010-03-09# Order By I_No Asc\n"));
        QCOMPARE(added.status, 1); // the 1.2.3 amount failed, the rest went on
        QVERIFY(!added.err.isEmpty());
        QCOMPARE(added.out, QStringLiteral("P_No\tP_Date\tP_Class\tP_Num\tP_Desc\n"
                                           "1\t2010-3-5\tFood\t12.5\tlunch\n"
                                           "2\t2010-3-31\tFood\t7.5\tTom's\n"
                                           "I_No\tI_Date\tI_Class\tI_Num\tI_Desc\n"
                                           "1\t2010-3-9\tPay\t1000\t\n"));
    }

    void statisticsStatements()
    {
        const Run stats = sql(QStringLiteral(
            "DELETE FROM IncomeStatistic\n"
            "DELETE FROM PayoutStatistic\n"
            "DELETE FROM AllCount\n"
            "Select Distinct(P_Class) From Payout Where [P_Date] between #2010-03-1# And #2010-03-31#\n"
            "Select Sum(P_Num) As P_Num_Count From Payout Where [P_Date] between #2010-03-1# And #2010-03-31# And P_Class='Food'\n"
            "Select Sum(P_Num) As P_Num_Count From Payout Where [P_Date] = #2010-3-5# And P_Class='Food'\n"
            "INSERT INTO PayoutStatistic(PS_P_Class,PS_P_Count) VALUES('Food', 20 )\n"
            "Select Sum(I_Num) As I_Num_Count From Income Where [I_Date] between #2011-1-1# And #2011-12-31#\n"
            "INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count) VALUES(1000, 20, 980 )\n"
            "SELECT * FROM AllCount\n"
            "SELECT * FROM PayoutStatistic\n"
            "Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where P_Class = 'Food' AND [P_Date] between #2010-03-1# And #2010-03-31# Order By P_No  Asc\n"));
        QCOMPARE(stats.err, QString());
        QCOMPARE(stats.status, 0);
        QCOMPARE(stats.out, QStringLiteral("P_Class\nFood\n"
                                           "P_Num_Count\n20\n"
                                           "P_Num_Count\n12.5\n"
                                           "I_Num_Count\n\n"
                                           "AC_No\tAC_I_Count\tAC_P_Count\tAC_Net_Count\n1\t1000\t20\t980\n"
                                           "PS_No\tPS_P_Class\tPS_P_Count\n1\tFood\t20\n"
                                           "P_No\tP_Date\tP_Class\tP_Num\tP_Desc\n"
                                           "1\t2010-3-5\tFood\t12.5\tlunch\n"
                                           "2\t2010-3-31\tFood\t7.5\tTom's\n"));
    }

    void importStatements()
    {
        QTemporaryDir target;
        QCOMPARE(run(tool("lumibran-newledger"), {QStringLiteral("--no-categories")}, QString(), target.path()).status, 0);
        const QString clearing = QStringLiteral(
            "DELETE FROM Income\n ALTER TABLE Income ALTER COLUMN I_No COUNTER(1, 1)\n"
            "DELETE FROM PayOutClass\n ALTER TABLE PayOutClass ALTER COLUMN PC_No COUNTER(1, 1)\n"
            "DELETE FROM PayOut\n ALTER TABLE PayOut ALTER COLUMN P_No COUNTER(1, 1)\n");
        const QString import = QStringLiteral("INSERT INTO Payout SELECT * FROM  Payout IN '%1'\n"
                                              "INSERT INTO PayoutClass SELECT * FROM  PayoutClass IN '%1'\n"
                                              "Select Count(*) As N From Payout\n")
                                   .arg(ledger);
        const Run done = run(tool("lumibran-sql"), {target.filePath(QStringLiteral("Tavokel.257"))}, clearing + import);
        QCOMPARE(done.err, QString());
        QCOMPARE(done.out, QStringLiteral("N\n2\n"));
        const Run missing = run(tool("lumibran-sql"), {target.filePath(QStringLiteral("Tavokel.257"))},
                                QStringLiteral("INSERT INTO Income SELECT * FROM  Income IN '/nowhere/old.257'\n"));
        QCOMPARE(missing.status, 1);
        QVERIFY(missing.err.contains(QLatin1String("/nowhere/old.257")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/nowhere/old.257")));
    }

    // A period's statistics must not visit every record of a long ledger:
    // each category's sum comes from an index alone.
    void aCategorysSumIsReadFromAnIndexAlone()
    {
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open_v2(ledger.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        const SqliteHandle db(raw);
        for (const char *sql : {"SELECT Sum(P_Num) FROM Payout WHERE P_Date BETWEEN '2010-03-01' AND '2010-03-31' AND P_Class='Food'",
                                "SELECT Sum(I_Num) FROM Income WHERE I_Date = '2010-03-09' AND I_Class='Pay'"}) {
            Statement plan(db.get(), QStringLiteral("EXPLAIN QUERY PLAN ") + QLatin1String(sql));
            QString search;
            for (const QVariantList &step : rowsOf(plan))
                search += step.last().toString() + QLatin1Char('\n');
            QVERIFY2(search.startsWith(QLatin1String("SEARCH")) && search.contains(QLatin1String("USING COVERING INDEX")),
                     qPrintable(search));
        }
    }

    void aFileThatIsNoLedgerIsRefused()
    {
        const Run none = run(tool("lumibran-sql"), {dir.filePath(QStringLiteral("none.257"))}, QString());
        QCOMPARE(none.status, 1);
        QVERIFY(none.err.contains(QLatin1String("none.257")));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("none.257"))));
    }
};

QTEST_GUILESS_MAIN(TestTools)
#include "tst_tools.moc"
