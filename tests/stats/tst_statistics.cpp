#include "app/MainUt.h"
#include "platform/DataGrid.h"
#include "platform/SelectorBox.h"
#include "stats/DBChart.h"
#include "stats/StatisticsRun.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestStatistics : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    TMainFm *m = nullptr;

    void payout(const char *date, const QString &category, const QString &amount)
    {
        app->ledger().exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES('%1',%2,%3,'')")
                               .arg(QLatin1String(date), category, amount));
    }
    void income(const char *date, const QString &category, const QString &amount)
    {
        app->ledger().exec(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES('%1',%2,%3,'')")
                               .arg(QLatin1String(date), category, amount));
    }
    void runFor(QRadioButton *mode, const QString &y, const QString &mo, const QString &d)
    {
        m->ComboBox1->setText(y);
        m->ComboBox2->setText(mo);
        m->ComboBox3->setText(d);
        mode->setChecked(true);
        m->BitBtnTJ->click();
    }
    QList<QVariantList> rows(const char *sql) { return app->ledger().rows(QString::fromLatin1(sql)); }

private slots:
    void init()
    {
        app = std::make_unique<AppFixture>();
    }
    void cleanup() { app.reset(); }

    void hashDotZeroZero_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("fraction") << 1234.5 << "1234.50";
        QTest::newRow("half") << 0.5 << ".50";
        QTest::newRow("zero") << 0.0 << ".00";
        QTest::newRow("negative") << -250.0 << "-250.00";
        QTest::newRow("rounds") << 2.999 << "3.00";
        QTest::newRow("negative fraction") << -0.25 << "-.25";
        // Rounded half away from zero from the 15-digit decimal form, not from
        // the binary value just below it.
        QTest::newRow("1.005") << 1.005 << "1.01";
        QTest::newRow("0.285") << 0.285 << ".29";
        QTest::newRow("2.675") << 2.675 << "2.68";
        QTest::newRow("1.115") << 1.115 << "1.12";
        QTest::newRow("-0.005") << -0.005 << "-.01";
        QTest::newRow("-1.115") << -1.115 << "-1.12";
        QTest::newRow("0.004") << 0.004 << ".00";
        QTest::newRow("-0.004") << -0.004 << ".00";
        QTest::newRow("0.995") << 0.995 << "1.00";
        QTest::newRow("99.995") << 99.995 << "100.00";
        QTest::newRow("tiny") << 1e-20 << ".00";
        QTest::newRow("large") << 1.5e20 << "150000000000000000000.00";
        QTest::newRow("15 digits") << 1234567890123.45 << "1234567890123.45";
        QTest::newRow("sum of tenths") << 0.1 + 0.2 << ".30";
    }
    void hashDotZeroZero()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(StatisticsRun::hashDotZeroZero(value), text);
    }

    void aPeriodWithoutRecords()
    {
        app->show();
        m = app->main();
        runFor(m->RadioButton2, QStringLiteral("2009"), QStringLiteral("06"), QStringLiteral("01"));
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(m->DBGridSRTJ->model()->rowCount(), 0);
        QCOMPARE(m->DBGridZCTJ->model()->rowCount(), 0);
        for (QLineEdit *box : {m->Edit1, m->Edit2, m->Edit3})
            QCOMPARE(box->text(), QStringLiteral(".00"));
        QCOMPARE(rows("SELECT AC_I_Count, AC_P_Count, AC_Net_Count FROM AllCount"), (QList<QVariantList>{{0.0, 0.0, 0.0}}));
        const QString titles[] = {QStringLiteral("总收入"), QStringLiteral("总支出"), QStringLiteral("净收入")};
        for (int series = 0; series < 3; ++series) {
            QCOMPARE(m->DBChartJSR->barCount(series), 1);
            QCOMPARE(m->DBChartJSR->barValue(series, 0), 0.0);
            QCOMPARE(m->DBChartJSR->seriesTitle(series), titles[series]);
        }
        QCOMPARE(m->DBChartJSR->title(), QStringLiteral("净收入统计"));
        QCOMPARE(m->DBChartJSR->seriesColour(0), QColor(Qt::red));
        QCOMPARE(m->DBChartJSR->seriesColour(1), QColor(Qt::green));
        QCOMPARE(m->DBChartJSR->seriesColour(2), QColor(Qt::blue));
        // The legend at the bottom lists the titles; every bar shows its value.
        const DBChart::Layout layout = m->DBChartJSR->chartLayout();
        QCOMPARE(layout.legendTexts, (std::vector<QString>(std::begin(titles), std::end(titles))));
        for (const QRectF &entry : layout.legend)
            QVERIFY(entry.top() > layout.plot.bottom());
        QCOMPARE(layout.valueTexts, (std::vector<QString>{"0", "0", "0"}));
    }

    void februaryEndsOnItsLastDay()
    {
        payout("2012-02-29", QStringLiteral("'餐饮'"), QStringLiteral("5"));
        payout("2011-02-28", QStringLiteral("'餐饮'"), QStringLiteral("7"));
        payout("2011-03-01", QStringLiteral("'餐饮'"), QStringLiteral("100"));
        app->show();
        m = app->main();
        runFor(m->RadioButton2, QStringLiteral("2012"), QStringLiteral("02"), QStringLiteral("01"));
        QCOMPARE(m->Edit2->text(), QStringLiteral("5.00"));
        runFor(m->RadioButton2, QStringLiteral("2011"), QStringLiteral("02"), QStringLiteral("01"));
        QCOMPARE(m->Edit2->text(), QStringLiteral("7.00"));
        runFor(m->RadioButton1, QStringLiteral("2011"), QStringLiteral("02"), QStringLiteral("01"));
        QCOMPARE(m->Edit2->text(), QStringLiteral("107.00"));
    }

    void dayModeSumsMatchTheTotals()
    {
        payout("2010-03-09", QStringLiteral("'餐饮'"), QStringLiteral("10.25"));
        payout("2010-03-09", QStringLiteral("'餐饮'"), QStringLiteral("4.5"));
        payout("2010-03-09", QStringLiteral("'交通'"), QStringLiteral("3"));
        payout("2010-03-10", QStringLiteral("'交通'"), QStringLiteral("99"));
        income("2010-03-09", QStringLiteral("'工资'"), QStringLiteral("1000"));
        app->show();
        m = app->main();
        runFor(m->RadioButton3, QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        QCOMPARE(rows("SELECT PS_P_Class, PS_P_Count FROM PayoutStatistic ORDER BY PS_P_Class"),
                 (QList<QVariantList>{{QStringLiteral("交通"), 3.0}, {QStringLiteral("餐饮"), 14.75}}));
        QCOMPARE(rows("SELECT sum(PS_P_Count) FROM PayoutStatistic").value(0).value(0).toDouble(),
                 rows("SELECT AC_P_Count FROM AllCount").value(0).value(0).toDouble());
        QCOMPARE(m->Edit1->text(), QStringLiteral("1000.00"));
        QCOMPARE(m->Edit2->text(), QStringLiteral("17.75"));
        QCOMPARE(m->Edit3->text(), QStringLiteral("982.25"));
        QCOMPARE(m->DBGridZCTJ->model()->rowCount(), 2);
        QCOMPARE(m->DBGridSRTJ->model()->rowCount(), 1);
    }

    void aNegativeNetIncome()
    {
        payout("2010-05-01", QStringLiteral("'住房'"), QStringLiteral("350"));
        income("2010-05-02", QStringLiteral("'奖金'"), QStringLiteral("100"));
        app->show();
        m = app->main();
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("05"), QStringLiteral("01"));
        QCOMPARE(rows("SELECT AC_Net_Count FROM AllCount").value(0).value(0).toDouble(), -250.0);
        QCOMPARE(m->Edit3->text(), QStringLiteral("-250.00"));
        QCOMPARE(m->DBChartJSR->barValue(2, 0), -250.0);
        QCOMPARE(m->DBChartJSR->barValue(1, 0), 350.0);
        // The net income's bar hangs below the zero line, its value below it.
        m->T1->trigger();
        const DBChart::Layout layout = m->DBChartJSR->chartLayout();
        QCOMPARE(layout.bars.size(), size_t(3));
        QCOMPARE(layout.bars[2].top(), layout.zeroY);
        QVERIFY(layout.bars[2].height() > 0);
        QVERIFY(layout.values[2].top() > layout.bars[2].bottom());
        QCOMPARE(layout.valueTexts[2], QStringLiteral("-250"));
        QVERIFY(layout.bars[1].bottom() == layout.zeroY);
    }

    void everyRunReplacesTheRows()
    {
        payout("2010-05-01", QStringLiteral("'住房'"), QStringLiteral("350"));
        payout("2010-05-03", QStringLiteral("'餐饮'"), QStringLiteral("20"));
        app->show();
        m = app->main();
        for (int run = 0; run < 3; ++run)
            runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("05"), QStringLiteral("01"));
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM AllCount")).toInt(), 1);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutStatistic")).toInt(), 2);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(DISTINCT PS_P_Class) FROM PayoutStatistic")).toInt(), 2);
        for (int series = 0; series < 3; ++series)
            QCOMPARE(m->DBChartJSR->barCount(series), 1);
    }

    void anAddedRecordWaitsForTheNextRun()
    {
        app->show();
        m = app->main();
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("05"), QStringLiteral("01"));
        payout("2010-05-04", QStringLiteral("'餐饮'"), QStringLiteral("8"));
        m->BitBtn4->click();
        QCOMPARE(m->Edit2->text(), QStringLiteral(".00"));
        QCOMPARE(m->DBGridZCTJ->model()->rowCount(), 0);
        m->BitBtnTJ->click();
        QCOMPARE(m->Edit2->text(), QStringLiteral("8.00"));
    }

    void failuresEndTheRunWithEmptyViews()
    {
        payout("2010-05-01", QStringLiteral("'住房'"), QStringLiteral("350"));
        app->show();
        m = app->main();
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("05"), QStringLiteral("01"));
        QCOMPARE(m->DBGridZCTJ->model()->rowCount(), 1);
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("13"), QStringLiteral("01"));
        QCOMPARE(m->statusText(), QStringLiteral("'2010-13-1' is not a valid date"));
        QCOMPARE(m->Edit2->text(), QStringLiteral("350.00")); // the run ended before emptying the boxes
        QCOMPARE(m->DBGridZCTJ->model()->rowCount(), 1);

        runFor(m->RadioButton3, QStringLiteral("2010"), QStringLiteral("04"), QStringLiteral("31"));
        QVERIFY2(m->statusText().contains(QLatin1String("#2010-04-31#")), qPrintable(m->statusText()));
        QCOMPARE(m->Edit1->text(), QString());
        QCOMPARE(m->DBGridZCTJ->model()->rowCount(), 0);
        QVERIFY(!app->module()->ADOQueryJSR.isOpen());
        QCOMPARE(m->DBChartJSR->barCount(0), 0);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM AllCount")).toInt(), 0);
    }

    void fractionsNullsAndQuotesAreStored()
    {
        payout("2010-06-01", QStringLiteral("'Tom''s'"), QStringLiteral("0.1"));
        payout("2010-06-02", QStringLiteral("'Tom''s'"), QStringLiteral("0.2"));
        payout("2010-06-02", QStringLiteral("'未填'"), QStringLiteral("NULL"));
        income("2010-06-03", QStringLiteral("'工资'"), QStringLiteral("1234.56"));
        app->show();
        m = app->main();
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("06"), QStringLiteral("01"));
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(rows("SELECT PS_P_Class, PS_P_Count FROM PayoutStatistic ORDER BY PS_No"),
                 (QList<QVariantList>{{QStringLiteral("Tom's"), 0.3}, {QStringLiteral("未填"), QVariant()}}));
        QCOMPARE(rows("SELECT AC_I_Count, AC_P_Count FROM AllCount"), (QList<QVariantList>{{1234.56, 0.3}}));
        QCOMPARE(m->Edit3->text(), QStringLiteral("1234.26"));
    }

    void theBoxesRoundWhatTheGridsShow()
    {
        payout("2010-06-01", QStringLiteral("'餐饮'"), QStringLiteral("1.005"));
        income("2010-06-02", QStringLiteral("'工资'"), QStringLiteral("0.285"));
        app->show();
        m = app->main();
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("06"), QStringLiteral("01"));
        QCOMPARE(m->DBGridZCTJ->model()->index(0, 1).data().toString(), QStringLiteral("1.005"));
        QCOMPARE(m->Edit2->text(), QStringLiteral("1.01"));
        QCOMPARE(m->Edit1->text(), QStringLiteral(".29"));
        QCOMPARE(m->Edit3->text(), QStringLiteral("-.72"));
    }
};

QTEST_MAIN(TestStatistics)
#include "tst_statistics.moc"
