// What a refresh chain shows for a period, every figure of it, against the
// values worked out independently from the records: the three scratch tables
// (types and values), every cell of the four grids it fills, the three total boxes and
// the chart's bars. Whatever is done to make the chain faster, this must hold.
#include "app/MainUt.h"
#include "grid/DataGrid.h"
#include "core/DateConventions.h"
#include "platform/DatePicker.h"
#include "platform/SelectorBox.h"
#include "stats/DBChart.h"
#include "store/DataModuleUt.h"
#include "store/SqlText.h"
#include "support/AppFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <cmath>

namespace {

const char *const payoutClasses[] = {"餐饮", "交通", "购物", "住房", "Tom's", "医疗", "娱乐", "其他支出"};
const char *const incomeClasses[] = {"工资", "奖金", "投资收益"};

// Two years of records: a few payouts most days, an income now and then, some
// notes with quotes, a handful of amounts left empty and a few refunds.
void fillLedger(TestLedger &ledger)
{
    QStringList payouts, incomes;
    quint32 seed = 2024;
    auto random = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    int n = 0;
    for (QDate day(2009, 1, 1); day <= QDate(2010, 12, 31); day = day.addDays(1), ++n) {
        const QString iso = sqlQuoted(day.toString(Qt::ISODate));
        for (quint32 i = 0, count = random() % 4; i < count; ++i) {
            // Now and then an amount left empty, or a refund written as a negative payout.
            const QString amount = n % 97 == 0 && i == 0 ? QStringLiteral("NULL")
                                                          : QString::number(double(random() % 100000) / (n % 41 == 0 ? -100 : 100), 'f', 2);
            payouts.append(QStringLiteral("(%1,%2,%3,%4)")
                               .arg(iso, sqlQuoted(QString::fromUtf8(payoutClasses[random() % 8])), amount,
                                    sqlQuoted(QStringLiteral("it's %1").arg(n))));
        }
        if (random() % 6 == 0)
            incomes.append(QStringLiteral("(%1,%2,%3,'')")
                               .arg(iso, sqlQuoted(QString::fromUtf8(incomeClasses[random() % 3])),
                                    QString::number(double(random() % 1000000) / 100, 'f', 2)));
    }
    // SQLite takes at most 500 rows in one VALUES list.
    auto insert = [&ledger](const QString &head, const QStringList &rows) {
        for (qsizetype at = 0; at < rows.size(); at += 400)
            ledger.exec(head + rows.mid(at, 400).join(QLatin1Char(',')));
    };
    insert(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES "), payouts);
    insert(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES "), incomes);
}

// A value in the general number format. The amounts and sums here lie where
// that format is plain fixed-point, as 15 significant digits print them.
QString general(double value)
{
    return QString::number(value, 'g', 15);
}

// A value as the run stores it: written into its statement in the general
// number format, then read back by the table.
QVariant asStored(const QVariant &sum)
{
    return sum.isNull() ? QVariant() : QVariant(general(sum.toDouble()).toDouble());
}

QString twoDecimals(double value)
{
    QString text = QString::number(std::fabs(value), 'f', 2);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    return value < 0 && text != QLatin1String(".00") ? QLatin1Char('-') + text : text;
}

} // namespace

class TestRefreshResults : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    TMainFm *m = nullptr;
    QString shortDate = QStringLiteral("yyyy-M-d"); // the system's short date format, as the test set it

    TestLedger &ledger() { return app->ledger(); }

    QString cell(DataGrid *grid, int row, int column)
    {
        return grid->model()->data(grid->model()->index(row, column), Qt::DisplayRole).toString();
    }

    // The records of the period, as the list grid must show them.
    void compareList(DataGrid *grid, const QString &table, const QString &p, const QString &test)
    {
        const auto records = ledger().rows(QStringLiteral("SELECT %1Date,%1Class,%1Num,%1Desc FROM %2 WHERE %1Date%3 ORDER BY %1No")
                                               .arg(p, table, test));
        QCOMPARE(grid->model()->rowCount(), records.size());
        for (int r = 0; r < records.size(); ++r) {
            const QVariantList &record = records[r];
            QCOMPARE(cell(grid, r, 0), QDate::fromString(record[0].toString(), Qt::ISODate).toString(shortDate));
            QCOMPARE(cell(grid, r, 1), record[1].toString());
            QCOMPARE(cell(grid, r, 2), record[2].isNull() ? QString() : general(record[2].toDouble()));
            QCOMPARE(cell(grid, r, 3), record[3].toString());
        }
    }

    // One row per category of the period, its sum as stored, in the grid in
    // the table's own order: that of each category's first record.
    void compareSums(DataGrid *grid, const QString &table, const QString &p, const QString &statTable,
                     const QString &sp, const QString &range, const QString &sumTest)
    {
        const auto expected = ledger().rows(QStringLiteral("SELECT %1Class, (SELECT Sum(%1Num) FROM %2 s WHERE s.%1Date%3 "
                                                           "AND s.%1Class=t.%1Class) FROM %2 t WHERE %1Date%4 "
                                                           "GROUP BY %1Class ORDER BY %1Class")
                                                .arg(p, table, sumTest, range));
        const auto stored = ledger().rows(QStringLiteral("SELECT typeof(%1Class), %1Class, typeof(%1Count), %1Count FROM %2 "
                                                         "ORDER BY %1Class")
                                              .arg(sp, statTable));
        QCOMPARE(stored.size(), expected.size());
        for (int r = 0; r < expected.size(); ++r) {
            QCOMPARE(stored[r][0].toString(), QStringLiteral("text"));
            QCOMPARE(stored[r][1].toString(), expected[r][0].toString());
            QCOMPARE(stored[r][2].toString(), expected[r][1].isNull() ? QStringLiteral("null") : QStringLiteral("real"));
            QCOMPARE(stored[r][3], asStored(expected[r][1]));
        }
        const auto inOrder = ledger().rows(QStringLiteral("SELECT %1Class, %1Count FROM %2 ORDER BY %3No")
                                               .arg(sp, statTable, sp.left(3)));
        QStringList firstSeen;
        for (const QVariantList &record : ledger().rows(QStringLiteral("SELECT %1Class FROM %2 WHERE %1Date%3 ORDER BY %1Date, %1No")
                                                            .arg(p, table, range)))
            if (!firstSeen.contains(record[0].toString()))
                firstSeen.append(record[0].toString());
        QCOMPARE(grid->model()->rowCount(), inOrder.size());
        QCOMPARE(inOrder.size(), firstSeen.size());
        for (int r = 0; r < inOrder.size(); ++r) {
            QCOMPARE(inOrder[r][0].toString(), firstSeen[r]);
            QCOMPARE(cell(grid, r, 0), inOrder[r][0].toString());
            QCOMPARE(cell(grid, r, 1), inOrder[r][1].isNull() ? QString() : general(inOrder[r][1].toDouble()));
        }
    }

    double total(const QString &table, const QString &p, const QString &range)
    {
        return ledger().scalar(QStringLiteral("SELECT Sum(%1Num) FROM %2 WHERE %1Date%3").arg(p, table, range)).toDouble();
    }

    void compareAll(const QDate &start, const QDate &end, bool dayMode)
    {
        const QString range = QStringLiteral(" BETWEEN %1 AND %2")
                                  .arg(sqlQuoted(start.toString(Qt::ISODate)), sqlQuoted(end.toString(Qt::ISODate)));
        const QString listTest = dayMode ? QStringLiteral(" = ") + sqlQuoted(start.toString(Qt::ISODate)) : range;
        QCOMPARE(m->statusText(), QString());
        compareList(m->DBGridZC, QStringLiteral("Payout"), QStringLiteral("P_"), listTest);
        compareList(m->DBGridSR, QStringLiteral("Income"), QStringLiteral("I_"), listTest);
        compareSums(m->DBGridSRTJ, QStringLiteral("Income"), QStringLiteral("I_"), QStringLiteral("IncomeStatistic"),
                    QStringLiteral("IS_I_"), range, listTest);
        compareSums(m->DBGridZCTJ, QStringLiteral("Payout"), QStringLiteral("P_"), QStringLiteral("PayoutStatistic"),
                    QStringLiteral("PS_P_"), range, listTest);

        const double income = total(QStringLiteral("Income"), QStringLiteral("I_"), range);
        const double payout = total(QStringLiteral("Payout"), QStringLiteral("P_"), range);
        const auto totals = ledger().rows(QStringLiteral("SELECT typeof(AC_I_Count), AC_I_Count, typeof(AC_P_Count), AC_P_Count, "
                                                         "typeof(AC_Net_Count), AC_Net_Count FROM AllCount"));
        QCOMPARE(totals.size(), 1);
        const double expected[] = {income, payout, income - payout};
        QLineEdit *boxes[] = {m->Edit1, m->Edit2, m->Edit3};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(totals[0][2 * i].toString(), QStringLiteral("real"));
            QCOMPARE(totals[0][2 * i + 1], asStored(expected[i]));
            QCOMPARE(boxes[i]->text(), twoDecimals(asStored(expected[i]).toDouble()));
            QCOMPARE(m->DBChartJSR->barCount(i), 1);
            QCOMPARE(m->DBChartJSR->barValue(i, 0), asStored(expected[i]).toDouble());
        }
        QCOMPARE(m->DBChartJSR->seriesTitle(0), QStringLiteral("总收入"));
        QCOMPARE(m->DBChartJSR->seriesTitle(1), QStringLiteral("总支出"));
        QCOMPARE(m->DBChartJSR->seriesTitle(2), QStringLiteral("净收入"));
    }

    void refreshFor(QRadioButton *mode, const QString &y, const QString &mo, const QString &d)
    {
        m->ComboBox1->setText(y);
        m->ComboBox2->setText(mo);
        m->ComboBox3->setText(d);
        mode->setChecked(true);
        m->BitBtn4->click();
        m->BitBtn8->click();
        m->BitBtnTJ->click();
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        DateConventions::setSystem(DateConventions::standard());
    }
    void init()
    {
        app = std::make_unique<AppFixture>();
        fillLedger(ledger());
        app->show();
        m = app->main();
        m->PageControl1->setCurrentWidget(m->TabSheetTJ);
    }
    void cleanup()
    {
        app.reset();
        DateConventions::setSystem(DateConventions::standard());
        shortDate = QStringLiteral("yyyy-M-d");
    }

    void dayPeriod()
    {
        refreshFor(m->RadioButton3, QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        compareAll(QDate(2010, 3, 9), QDate(2010, 3, 9), true);
    }

    void monthPeriod()
    {
        refreshFor(m->RadioButton2, QStringLiteral("2010"), QStringLiteral("02"), QStringLiteral("01"));
        compareAll(QDate(2010, 2, 1), QDate(2010, 2, 28), false);
    }

    void yearPeriod()
    {
        refreshFor(m->RadioButton1, QStringLiteral("2009"), QStringLiteral("06"), QStringLiteral("15"));
        compareAll(QDate(2009, 1, 1), QDate(2009, 12, 31), false);
    }

    void customPeriod()
    {
        m->DateTimePicker1->setDateQuietly(QDate(2009, 11, 15));
        m->DateTimePicker2->setDateQuietly(QDate(2010, 2, 10));
        refreshFor(m->RadioButton4, QStringLiteral("2010"), QStringLiteral("06"), QStringLiteral("15"));
        compareAll(QDate(2009, 11, 15), QDate(2010, 2, 10), false);
    }

    // A category whose refunds outweigh its payouts sums below zero: a row of
    // the payout statistics like any other, and counted in the total. The
    // figures are given as the user reads them, in month mode and in a custom
    // range on a system that writes month/day/year.
    void refundsAreRowsLikeAnyOther_data()
    {
        QTest::addColumn<bool>("monthDayYear");
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("month") << false << QStringList{"2011-3-5", "2011-3-20", "2011-3-31"};
        QTest::newRow("custom range, M/d/yyyy") << true << QStringList{"3/5/2011", "3/20/2011", "3/31/2011"};
    }
    void refundsAreRowsLikeAnyOther()
    {
        QFETCH(bool, monthDayYear);
        QFETCH(QStringList, dates);
        ledger().exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES "
                                     "('2011-02-28','餐饮',7,''), ('2011-03-05','餐饮',30.5,''), ('2011-03-20','餐饮',-50,'refund'), "
                                     "('2011-03-31','交通',12.25,''), ('2011-04-01','交通',-100,'refund')"));
        ledger().exec(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES ('2011-03-10','工资',100,'')"));
        if (monthDayYear) {
            shortDate = QStringLiteral("M/d/yyyy");
            DateConventions::setSystem(DateConventions(shortDate, QLatin1Char('/'), DateConventions::Order::MonthDayYear));
            m->DateTimePicker1->setDateQuietly(QDate(2011, 3, 1));
            m->DateTimePicker2->setDateQuietly(QDate(2011, 3, 31));
            refreshFor(m->RadioButton4, QStringLiteral("2010"), QStringLiteral("06"), QStringLiteral("15"));
        } else {
            refreshFor(m->RadioButton2, QStringLiteral("2011"), QStringLiteral("03"), QStringLiteral("15"));
        }
        compareAll(QDate(2011, 3, 1), QDate(2011, 3, 31), false);

        const QStringList payouts[] = {{dates[0], "餐饮", "30.5", ""}, {dates[1], "餐饮", "-50", "refund"},
                                       {dates[2], "交通", "12.25", ""}};
        QCOMPARE(m->DBGridZC->model()->rowCount(), 3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                QCOMPARE(cell(m->DBGridZC, r, c), payouts[r][c]);
        QCOMPARE(m->DBGridZCTJ->model()->rowCount(), 2);
        QCOMPARE(cell(m->DBGridZCTJ, 0, 0), QStringLiteral("餐饮"));
        QCOMPARE(cell(m->DBGridZCTJ, 0, 1), QStringLiteral("-19.5"));
        QCOMPARE(cell(m->DBGridZCTJ, 1, 0), QStringLiteral("交通"));
        QCOMPARE(cell(m->DBGridZCTJ, 1, 1), QStringLiteral("12.25"));
        QCOMPARE(m->Edit1->text(), QStringLiteral("100.00"));
        QCOMPARE(m->Edit2->text(), QStringLiteral("-7.25"));
        QCOMPARE(m->Edit3->text(), QStringLiteral("107.25"));
        QCOMPARE(m->DBChartJSR->barValue(1, 0), -7.25);
    }

    // The figures follow each period in turn, whatever was shown before.
    void periodsOneAfterAnother()
    {
        refreshFor(m->RadioButton1, QStringLiteral("2010"), QStringLiteral("01"), QStringLiteral("01"));
        refreshFor(m->RadioButton2, QStringLiteral("2009"), QStringLiteral("12"), QStringLiteral("01"));
        compareAll(QDate(2009, 12, 1), QDate(2009, 12, 31), false);
        refreshFor(m->RadioButton3, QStringLiteral("2009"), QStringLiteral("12"), QStringLiteral("24"));
        compareAll(QDate(2009, 12, 24), QDate(2009, 12, 24), true);
    }

    // A period without records: empty grids, zero totals, one zero bar each.
    void emptyPeriod()
    {
        refreshFor(m->RadioButton1, QStringLiteral("2030"), QStringLiteral("01"), QStringLiteral("01"));
        compareAll(QDate(2030, 1, 1), QDate(2030, 12, 31), false);
        QCOMPARE(m->DBGridSRTJ->model()->rowCount(), 0);
        QCOMPARE(m->Edit3->text(), QStringLiteral(".00"));
    }
};

QTEST_MAIN(TestRefreshResults)
#include "tst_refreshresults.moc"
