#include "app/MainUt.h"
#include "grid/DataGrid.h"
#include "platform/SelectorBox.h"
#include "stats/DBChart.h"
#include "stats/DrawnChart.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
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
        // The legend at the bottom lists the titles; a bar of nought has no
        // height, and its 0 stands above the zero line, inside the plot.
        m->T1->trigger();
        const DrawnChart drawn(m->DBChartJSR);
        QCOMPARE(drawn.legendTexts(), (std::vector<QString>(std::begin(titles), std::end(titles))));
        for (const DrawnChart::Text &entry : drawn.legend)
            QVERIFY(entry.rect.top() >= drawn.plot.bottom());
        QCOMPARE(drawn.bars.size(), size_t(3));
        for (const DrawnChart::Bar &bar : drawn.bars) {
            QCOMPARE(bar.area.height(), 0.0);
            QVERIFY(qAbs(bar.area.top() - drawn.zeroY) < 0.5);
            QCOMPARE(bar.valueText, QStringLiteral("0"));
            QVERIFY(bar.value.bottom() <= drawn.zeroY);
            QVERIFY(drawn.plot.contains(bar.value));
        }
        QCOMPARE(m->DBChartJSR->valueAxis()->min(), 0.0);
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
        // The net income's bar hangs below the zero line; its value stands in
        // the bar's column above that line, clear of every bar.
        m->T1->trigger();
        const DrawnChart drawn(m->DBChartJSR);
        QCOMPARE(drawn.bars.size(), size_t(3));
        const DrawnChart::Bar &net = drawn.bars[2];
        QCOMPARE(net.series, 2);
        QVERIFY(qAbs(net.area.top() - drawn.zeroY) < 0.5);
        QVERIFY(net.area.height() > 0);
        QCOMPARE(net.valueText, QStringLiteral("-250"));
        QVERIFY(net.value.bottom() <= net.outline.top());
        QVERIFY(qAbs(net.value.center().x() - net.area.center().x()) < 1);
        for (const DrawnChart::Bar &bar : drawn.bars)
            QVERIFY(!net.value.intersects(bar.outline));
        QVERIFY(drawn.plot.contains(net.value));
        QVERIFY(drawn.plot.contains(net.area));
        QVERIFY(qAbs(drawn.bars[1].area.bottom() - drawn.zeroY) < 0.5);

        // Refreshed while the lists are in front, the chart shows each value
        // at its new bar once its tab is back, on the same scale as before.
        m->i1->trigger();
        payout("2010-05-03", QStringLiteral("'住房'"), QStringLiteral("10"));
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("05"), QStringLiteral("01"));
        m->T1->trigger();
        const DrawnChart again(m->DBChartJSR);
        QCOMPARE(again.bars.size(), size_t(3));
        QCOMPARE(again.bars[1].valueText, QStringLiteral("360"));
        QCOMPARE(again.bars[2].valueText, QStringLiteral("-260"));
        for (const DrawnChart::Bar &bar : again.bars) {
            QVERIFY(qAbs(bar.value.center().x() - bar.area.center().x()) < 1);
            QVERIFY(bar.value.bottom() <= std::min(bar.outline.top(), again.zeroY) + 0.5);
        }
    }

    // The chart follows the row set its series are bound to, and a refill
    // that brings what is already drawn touches nothing drawn.
    void theChartFollowsItsRowSetAndRedrawsOnlyWhatChanged()
    {
        payout("2010-05-01", QStringLiteral("'住房'"), QStringLiteral("350"));
        income("2010-05-02", QStringLiteral("'奖金'"), QStringLiteral("100"));
        app->show();
        m = app->main();
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("05"), QStringLiteral("01"));
        QCoreApplication::processEvents();
        DBChart *chart = m->DBChartJSR;
        Query &totals = app->module()->ADOQueryJSR;
        const auto drawnValue = [chart](int series) {
            const QBarSet *set = chart->barSeries(series)->barSets().value(0);
            return set->count() == 1 ? set->at(0) : qQNaN();
        };
        QCOMPARE(drawnValue(0), 100.0);
        QCOMPARE(drawnValue(2), -250.0);

        std::vector<std::unique_ptr<QSignalSpy>> changes[3];
        const auto watch = [&] {
            for (int s = 0; s < 3; ++s) {
                QBarSet *set = chart->barSeries(s)->barSets().value(0);
                changes[s].clear();
                changes[s].push_back(std::make_unique<QSignalSpy>(set, &QBarSet::valuesAdded));
                changes[s].push_back(std::make_unique<QSignalSpy>(set, &QBarSet::valuesRemoved));
                changes[s].push_back(std::make_unique<QSignalSpy>(set, &QBarSet::valueChanged));
                changes[s].push_back(std::make_unique<QSignalSpy>(set, &QBarSet::labelChanged));
            }
            changes[0].push_back(std::make_unique<QSignalSpy>(chart->valueAxis(), &QValueAxis::rangeChanged));
        };
        const auto touched = [&](int series) {
            qsizetype n = 0;
            for (const auto &spy : changes[series])
                n += spy->count();
            return n;
        };

        // The same totals again: the run closes and reopens the row set, and
        // nothing drawn changes.
        watch();
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("05"), QStringLiteral("01"));
        QCoreApplication::processEvents();
        for (int s = 0; s < 3; ++s)
            QCOMPARE(touched(s), 0);

        // A further payout changes the payout's and the net income's bars only.
        payout("2010-05-03", QStringLiteral("'餐饮'"), QStringLiteral("50"));
        watch();
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("05"), QStringLiteral("01"));
        QCoreApplication::processEvents();
        QCOMPARE(touched(0), 0);
        QVERIFY(touched(1) > 0);
        QCOMPARE(drawnValue(1), 400.0);
        QCOMPARE(drawnValue(2), -300.0);

        // Closed, the row set empties the series; opened again, it fills them.
        totals.close();
        QCoreApplication::processEvents();
        for (int s = 0; s < 3; ++s) {
            QCOMPARE(chart->barCount(s), 0);
            QCOMPARE(chart->barSeries(s)->barSets().value(0)->count(), 0);
        }
        totals.open();
        QCoreApplication::processEvents();
        for (int s = 0; s < 3; ++s)
            QCOMPARE(chart->barCount(s), 1);
        QCOMPARE(drawnValue(2), -300.0);

        // A changed row refills the series from it.
        totals.setFieldText(totals.fieldIndex(QStringLiteral("AC_I_Count")), QStringLiteral("1000"));
        totals.post();
        QCoreApplication::processEvents();
        QCOMPARE(chart->barValue(0, 0), 1000.0);
        QCOMPARE(drawnValue(0), 1000.0);

        // The same binding, column and title again change nothing; another
        // column refills the series.
        watch();
        chart->setDataSource(0, &totals);
        chart->setValueColumn(0, QStringLiteral("AC_I_Count"));
        chart->setSeriesTitle(0, QStringLiteral("总收入"));
        QCoreApplication::processEvents();
        QCOMPARE(touched(0), 0);
        chart->setValueColumn(0, QStringLiteral("AC_P_Count"));
        QCoreApplication::processEvents();
        QCOMPARE(drawnValue(0), 400.0);
    }

    // From run to run the value axis takes the scale of the totals, with a
    // handful of plain ticks, whether the totals grow or shrink a billionfold.
    void theValueAxisFollowsTheTotals()
    {
        income("2010-05-02", QStringLiteral("'奖金'"), QStringLiteral("0.3"));
        income("2010-06-02", QStringLiteral("'奖金'"), QStringLiteral("300000000"));
        app->show();
        m = app->main();
        m->T1->trigger();
        for (const char *month : {"05", "06", "05"}) {
            runFor(m->RadioButton2, QStringLiteral("2010"), QString::fromLatin1(month), QStringLiteral("01"));
            const DrawnChart drawn(m->DBChartJSR);
            QCOMPARE(drawn.bars.size(), size_t(3));
            const double income = m->DBChartJSR->barValue(0, 0);
            QVERIFY2(drawn.ticks.size() >= 3 && drawn.ticks.size() <= 12, qPrintable(QString::number(drawn.ticks.size())));
            QCOMPARE(drawn.ticks.back().text, QStringLiteral("0"));
            QVERIFY(drawn.ticks.front().text.toDouble() >= income);
            QVERIFY(drawn.ticks.front().text.toDouble() <= income * 3);
            for (const DrawnChart::Bar &bar : drawn.bars)
                QVERIFY(drawn.plot.contains(bar.value));
        }
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

        // A sum beyond the largest number says so, and nothing stands for it.
        payout("2010-06-01", QStringLiteral("'住房'"), QStringLiteral("1e308"));
        payout("2010-06-01", QStringLiteral("'住房'"), QStringLiteral("1e308"));
        runFor(m->RadioButton3, QStringLiteral("2010"), QStringLiteral("06"), QStringLiteral("01"));
        QCOMPARE(m->statusText(), QStringLiteral("金额的合计超出了能够计算的范围，无法统计"));
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutStatistic")).toInt(), 0);
        payout("2010-06-02", QStringLiteral("'住房'"), QStringLiteral("-1e308"));
        income("2010-06-02", QStringLiteral("'工资'"), QStringLiteral("1e308"));
        runFor(m->RadioButton3, QStringLiteral("2010"), QStringLiteral("06"), QStringLiteral("02"));
        QCOMPARE(m->statusText(), QStringLiteral("金额的合计超出了能够计算的范围，无法统计"));
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

    // A total wider than its box shows from its first digit, as a number is read.
    void aLongTotalShowsItsFirstDigits()
    {
        income("2010-05-02", QStringLiteral("'奖金'"), QStringLiteral("1000000000001130"));
        payout("2010-05-03", QStringLiteral("'住房'"), QStringLiteral("100"));
        app->show();
        m = app->main();
        runFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("05"), QStringLiteral("01"));
        m->T1->trigger();
        QCOMPARE(m->Edit1->text(), QStringLiteral("1000000000001130.00"));
        QCOMPARE(m->Edit3->text(), QStringLiteral("1000000000001030.00"));
        for (QLineEdit *box : {m->Edit1, m->Edit3}) {
            QVERIFY(box->fontMetrics().horizontalAdvance(box->text()) > box->contentsRect().width());
            (void)box->grab(); // painted, which scrolls the text where the box shows it
            QCOMPARE(box->cursorPositionAt(box->contentsRect().topLeft() + QPoint(0, box->height() / 2)), 0);
        }
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
