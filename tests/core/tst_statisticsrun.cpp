#include "core/StatisticsRun.h"
#include "store/DataModuleUt.h"
#include "support/ErrorMessage.h"
#include "support/TestLedger.h"

#include <QTest>

// The statistics run on a real ledger file, without a window: the figures it
// returns and the row sets it leaves behind.
class TestStatisticsRun : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLedger> ledger;
    std::unique_ptr<TDataModule1> module;

    static QStringList rowsOf(Query &query, const QString &prefix)
    {
        QStringList rows;
        for (query.first(); !query.eof(); query.next())
            rows.append(query.fieldText(prefix + QStringLiteral("Class")) + QLatin1Char('=')
                        + query.fieldText(prefix + QStringLiteral("Count")));
        return rows;
    }

private slots:
    void init()
    {
        ledger = std::make_unique<TestLedger>();
        ledger->exec(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES "
                                    "('2010-03-09','工资',1000,''),('2010-03-20','奖金',250.5,''),"
                                    "('2010-11-02','工资',1000,''),('2011-01-01','工资',7,'')"));
        ledger->exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES "
                                    "('2010-03-09','餐饮',300,''),('2010-07-01','房租',2500,'')"));
        module = std::make_unique<TDataModule1>();
        module->ADOConnection1.setConnectionString(ledger->connectionString());
        module->ADOConnection1.open();
    }
    void cleanup()
    {
        module.reset();
        ledger.reset();
    }

    void figuresOfThePeriod_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("income");
        QTest::addColumn<QStringList>("payout");
        QTest::addColumn<double>("totalIncome");
        QTest::addColumn<double>("totalPayout");
        QTest::addColumn<double>("net");
        QTest::newRow("year, net below zero")
            << int(RangeMode::Year) << "2010-1-1" << "2010-12-31" << QStringList{"工资=2000", "奖金=250.5"}
            << QStringList{"餐饮=300", "房租=2500"} << 2250.5 << 2800.0 << -549.5;
        QTest::newRow("day") << int(RangeMode::Day) << "2010-03-09" << "2010-03-09" << QStringList{"工资=1000"}
                             << QStringList{"餐饮=300"} << 1000.0 << 300.0 << 700.0;
        QTest::newRow("no record") << int(RangeMode::Month) << "2010-02-1" << "2010-02-28" << QStringList{}
                                   << QStringList{} << 0.0 << 0.0 << 0.0;
    }
    void figuresOfThePeriod()
    {
        QFETCH(int, mode);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QStringList, income);
        QFETCH(QStringList, payout);
        QFETCH(double, totalIncome);
        QFETCH(double, totalPayout);
        QFETCH(double, net);
        StatisticsRun run(*module);
        const StatisticsFigures figures = run.run({RangeMode(mode), start, end});
        QCOMPARE(&figures.incomeByCategory, &module->ADOQuerySRTJ);
        QCOMPARE(&figures.payoutByCategory, &module->ADOQueryZCTJ);
        QCOMPARE(&figures.totals, &module->ADOQueryJSR);
        QCOMPARE(rowsOf(figures.incomeByCategory, QStringLiteral("IS_I_")), income);
        QCOMPARE(rowsOf(figures.payoutByCategory, QStringLiteral("PS_P_")), payout);
        QCOMPARE(figures.totalIncome, totalIncome);
        QCOMPARE(figures.totalPayout, totalPayout);
        QCOMPARE(figures.netIncome, net);
        QCOMPARE(figures.totals.recordCount(), 1);
        QCOMPARE(figures.totals.fieldFloat(QStringLiteral("AC_Net_Count")), net);
    }

    // A failure part-way leaves the scratch tables as far as they were
    // written and the three row sets closed, so that nothing stale is shown.
    void aFailurePartWayLeavesTheRowSetsClosed()
    {
        StatisticsRun run(*module);
        run.run({RangeMode::Year, QStringLiteral("2010-1-1"), QStringLiteral("2010-12-31")});
        ledger->exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES "
                                    "('2010-05-01','税',1e308,''),('2010-05-02','税',1e308,'')"));
        QCOMPARE(errorMessageOf([&] { run.run({RangeMode::Year, QStringLiteral("2010-1-1"), QStringLiteral("2010-12-31")}); }),
                 QStringLiteral("金额的合计超出了能够计算的范围，无法统计"));
        for (Query *query : {&module->ADOQuerySRTJ, &module->ADOQueryZCTJ, &module->ADOQueryJSR})
            QVERIFY(!query->isOpen());
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT COUNT(*) FROM IncomeStatistic")).toInt(), 2);
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT COUNT(*) FROM AllCount")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStatisticsRun)
#include "tst_statisticsrun.moc"
