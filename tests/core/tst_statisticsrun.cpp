#include "core/NumberPatterns.h"
#include "core/RecordQueries.h"
#include "core/StatisticsRun.h"
#include "store/DataModuleUt.h"
#include "support/ErrorMessage.h"
#include "support/TestLedger.h"

#include <QTest>

#include <optional>

// The statistics run on a real ledger file, without a window: the figures it
// returns, the row sets it leaves behind, and the patterns the figures are
// shown in.
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

    // As the statistics tab runs it: all its scratch rows in one commit.
    StatisticsFigures runInBatch(const StatisticsPeriod &period)
    {
        std::optional<StatisticsFigures> figures;
        module->ADOConnection1.scratchBatch([&] { figures.emplace(StatisticsRun(*module).run(period)); });
        return *figures;
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
        const StatisticsFigures figures = runInBatch({RangeMode(mode), start, end});
        QCOMPARE(rowsOf(module->ADOQuerySRTJ, QStringLiteral("IS_I_")), income);
        QCOMPARE(rowsOf(module->ADOQueryZCTJ, QStringLiteral("PS_P_")), payout);
        QCOMPARE(figures.totalIncome, totalIncome);
        QCOMPARE(figures.totalPayout, totalPayout);
        QCOMPARE(figures.netIncome, net);
        QCOMPARE(figures.totals.recordCount(), 1);
    }

    // A failure part-way leaves the scratch tables as far as they were
    // written and the three row sets closed, so that nothing stale is shown.
    void aFailurePartWayLeavesTheRowSetsClosed()
    {
        const StatisticsPeriod year{RangeMode::Year, QStringLiteral("2010-1-1"), QStringLiteral("2010-12-31")};
        runInBatch(year);
        ledger->exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES "
                                    "('2010-05-01','税',1e308,''),('2010-05-02','税',1e308,'')"));
        QCOMPARE(errorMessageOf([&] { runInBatch(year); }),
                 QStringLiteral("金额的合计超出了能够计算的范围，无法统计"));
        for (Query *query : {&module->ADOQuerySRTJ, &module->ADOQueryZCTJ, &module->ADOQueryJSR})
            QVERIFY(!query->isOpen());
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT COUNT(*) FROM IncomeStatistic")).toInt(), 2);
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT COUNT(*) FROM AllCount")).toInt(), 0);
    }

    // The period formed from the date selector's texts and days, and the two
    // lists' SQL for it.
    void periodAndListSql_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("payoutWhere");
        QTest::newRow("day") << int(RangeMode::Day) << "2010" << "03" << "09" << "2010-03-09" << "2010-03-09"
                             << "P_Date = #2010-03-09#";
        QTest::newRow("month") << int(RangeMode::Month) << "2010" << "04" << "09" << "2010-04-1" << "2010-04-30"
                               << "[P_Date] between #2010-04-1# And #2010-04-30#";
        QTest::newRow("leap February") << int(RangeMode::Month) << "2000" << "2" << "09" << "2000-2-1" << "2000-2-29"
                                       << "[P_Date] between #2000-2-1# And #2000-2-29#";
        QTest::newRow("year") << int(RangeMode::Year) << "2010" << "04" << "09" << "2010-1-1" << "2010-12-31"
                              << "[P_Date] between #2010-1-1# And #2010-12-31#";
        QTest::newRow("custom") << int(RangeMode::Custom) << "2010" << "04" << "09" << "2009-12-30" << "2010-1-2"
                                << "[P_Date] between #2009-12-30# And #2010-1-2#";
    }
    void periodAndListSql()
    {
        QFETCH(int, mode);
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, payoutWhere);
        const StatisticsPeriod period =
            statisticsPeriod({RangeMode(mode), year, month, day, QDate(2009, 12, 30), QDate(2010, 1, 2)});
        QCOMPARE(period.start, start);
        QCOMPARE(period.end, end);
        QCOMPARE(recordListSql(RecordListKind::payout(), period),
                 "Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where " + payoutWhere + " Order By P_No  Asc");
        QString incomeWhere = payoutWhere;
        incomeWhere.replace(QStringLiteral("P_"), QStringLiteral("I_"));
        QCOMPARE(recordListSql(RecordListKind::income(), period),
                 "Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where " + incomeWhere + " Order By I_No Asc");
    }

    // A month text the calendar has no month for, read as each list reads it.
    void aMonthOfNoDayIsRefused()
    {
        const PeriodInput thirteenth{RangeMode::Month, QStringLiteral("2010"), QStringLiteral("13"), QStringLiteral("1"), {}, {}};
        QCOMPARE(errorMessageOf([&] { statisticsPeriod(thirteenth, RecordListKind::income().monthReading); }),
                 QStringLiteral("'2010-13-1' is not a valid date"));
        QCOMPARE(errorMessageOf([&] { statisticsPeriod(thirteenth, RecordListKind::payout().monthReading); }),
                 QStringLiteral("'2010-13-1' is not a valid date and time"));
    }

    // The total boxes' "#.00" and the chart marks' "#,##0.###" of the value in cents.
    void numberPatterns_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("mark");
        QTest::newRow("fraction") << 1234.5 << "1234.50" << "1,234.5";
        QTest::newRow("half") << 0.5 << ".50" << "0.5";
        QTest::newRow("zero") << 0.0 << ".00" << "0";
        QTest::newRow("negative") << -250.0 << "-250.00" << "-250";
        QTest::newRow("rounds") << 2.999 << "3.00" << "3";
        QTest::newRow("negative fraction") << -0.25 << "-.25" << "-0.25";
        // Rounded half away from zero from the 15-digit decimal form, not from
        // the binary value just below it.
        QTest::newRow("1.005") << 1.005 << "1.01" << "1.01";
        QTest::newRow("0.285") << 0.285 << ".29" << "0.29";
        QTest::newRow("2.675") << 2.675 << "2.68" << "2.68";
        QTest::newRow("1.115") << 1.115 << "1.12" << "1.12";
        QTest::newRow("-0.005") << -0.005 << "-.01" << "-0.01";
        QTest::newRow("-1.115") << -1.115 << "-1.12" << "-1.12";
        QTest::newRow("0.004") << 0.004 << ".00" << "0";
        QTest::newRow("-0.004") << -0.004 << ".00" << "0";
        QTest::newRow("0.995") << 0.995 << "1.00" << "1";
        QTest::newRow("99.995") << 99.995 << "100.00" << "100";
        QTest::newRow("tiny") << 1e-20 << ".00" << "0";
        QTest::newRow("large") << 1.5e20 << "150000000000000000000.00" << "150,000,000,000,000,000,000";
        QTest::newRow("15 digits") << 1234567890123.45 << "1234567890123.45" << "1,234,567,890,123.45";
        QTest::newRow("sum of tenths") << 0.1 + 0.2 << ".30" << "0.3";
        // Sums of a long ledger, with their binary noise.
        QTest::newRow("a year's income") << 426055.299999999 << "426055.30" << "426,055.3";
        QTest::newRow("a year's loss") << -238427.019999999 << "-238427.02" << "-238,427.02";
        QTest::newRow("16 digits") << 1000000000001130.0 << "1000000000001130.00" << "1,000,000,000,001,130";
        QTest::newRow("three digits") << 999.0 << "999.00" << "999";
        QTest::newRow("four digits") << -1000.0 << "-1000.00" << "-1,000";
    }
    void numberPatterns()
    {
        QFETCH(double, value);
        QFETCH(QString, box);
        QFETCH(QString, mark);
        QCOMPARE(hashDotZeroZero(value), box);
        QCOMPARE(chartMark(value), mark);
    }
};

QTEST_GUILESS_MAIN(TestStatisticsRun)
#include "tst_statisticsrun.moc"
