#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "grid/DataGrid.h"
#include "core/Error.h"
#include "platform/ErrorReport.h"
#include "platform/SelectorBox.h"
#include "stats/IncomeSearchUt.h"
#include "stats/PayoutSearchUt.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"
#include "support/ErrorMessage.h"
#include "support/UserInput.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

QStringList titles(const QAbstractItemView *grid)
{
    QStringList texts;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        texts << grid->model()->headerData(c, Qt::Horizontal).toString();
    return texts;
}

QStringList column(const QAbstractItemView *grid, int c)
{
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, c).data().toString();
    return texts;
}


} // namespace

class TestTitleSort : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    TMainFm *m = nullptr;

    TDataModule1 *module() const { return app->module(); }

    void showOn(const char *year, const char *month, const char *day)
    {
        app->testGridModels();
        app->show();
        m = app->main();
        setBoxes(year, month, day);
        m->RadioButton2->setChecked(true); // month mode: runs the refresh chain
    }
    void setBoxes(const char *year, const char *month, const char *day)
    {
        m->ComboBox1->setText(QLatin1String(year));
        m->ComboBox2->setText(QLatin1String(month));
        m->ComboBox3->setText(QLatin1String(day));
    }
    void showTab(QWidget *tab) { m->PageControl1->setCurrentWidget(tab); }

    // Double-clicks a payout statistics row and runs look while the detail window is open.
    void inPayoutDetail(const QString &category, const std::function<void(TPayoutSearchFm *)> &look)
    {
        TPayoutSearchFm *detail = app->windows().PayoutSearchFm.get();
        bool opened = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal != detail)
                return;
            opened = true;
            look(detail);
            modal->close();
        });
        showTab(m->TabSheetTJ);
        user::doubleClickCell(m->DBGridZCTJ, int(column(m->DBGridZCTJ, 0).indexOf(category)), 0);
        QCoreApplication::processEvents();
        QVERIFY2(opened, "the payout detail window did not open");
    }

private slots:
    void init()
    {
        app = std::make_unique<AppFixture>();
        app->ledger().exec(QStringLiteral(
            "INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES ('2010-03-10','工资',100,'b'),('2010-03-09','奖金',9,'c'),"
            "('2010-03-21','工资',10,'a'),('2010-04-01','工资',1,'next month')"));
        app->ledger().exec(QStringLiteral(
            "INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES ('2010-03-09','餐饮',10,'p1'),('2010-03-09','交通',2,'p2'),"
            "('2010-03-10','餐饮',5,'p3'),('2010-03-12','住房',300,'p4')"));
    }
    void cleanup() { app.reset(); }

    void ascendingDescendingThenAnotherColumn()
    {
        showOn("2010", "03", "01");
        Query &query = module()->ADOQuerySR;
        QCOMPARE(column(m->DBGridSR, 3), (QStringList{"b", "c", "a"}));
        user::clickTitle(m->DBGridSR, 0);
        QCOMPARE(query.sort(), QStringLiteral("I_Date ASC"));
        QCOMPARE(titles(m->DBGridSR), (QStringList{"日期↑", "收入类型", "收入金额", "说明"}));
        // Dates as dates: the 9th before the 10th before the 21st.
        QCOMPARE(column(m->DBGridSR, 3), (QStringList{"c", "b", "a"}));
        user::clickTitle(m->DBGridSR, 0);
        QCOMPARE(query.sort(), QStringLiteral("I_Date DESC"));
        QCOMPARE(titles(m->DBGridSR), (QStringList{"日期↓", "收入类型", "收入金额", "说明"}));
        QCOMPARE(column(m->DBGridSR, 3), (QStringList{"a", "b", "c"}));
        user::clickTitle(m->DBGridSR, 0);
        QCOMPARE(titles(m->DBGridSR).value(0), QStringLiteral("日期↑"));
        user::clickTitle(m->DBGridSR, 2);
        QCOMPARE(query.sort(), QStringLiteral("I_Num ASC"));
        QCOMPARE(titles(m->DBGridSR), (QStringList{"日期", "收入类型", "收入金额↑", "说明"}));
        // Numbers as numbers: 9 < 10 < 100.
        QCOMPARE(column(m->DBGridSR, 3), (QStringList{"c", "a", "b"}));
        user::clickTitle(m->DBGridSR, 3);
        QCOMPARE(column(m->DBGridSR, 3), (QStringList{"a", "b", "c"}));
        QCOMPARE(titles(m->DBGridSR), (QStringList{"日期", "收入类型", "收入金额", "说明↑"}));
        QCOMPARE(m->statusText(), QString());
    }

    // The sort is done on the rows already read: a record added behind the
    // query's back stays out until the next refresh.
    void sortingDoesNotRunTheQueryAgain()
    {
        showOn("2010", "03", "01");
        app->ledger().exec(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES ('2010-03-05','工资',1,'d')"));
        user::clickTitle(m->DBGridSR, 0);
        QCOMPARE(column(m->DBGridSR, 3), (QStringList{"c", "b", "a"}));
    }

    void aRefreshKeepsTheMarkAndTheNextClickAscends()
    {
        showOn("2010", "03", "01");
        Query &query = module()->ADOQuerySR;
        user::clickTitle(m->DBGridSR, 0);
        user::clickTitle(m->DBGridSR, 0);
        QCOMPARE(titles(m->DBGridSR).value(0), QStringLiteral("日期↓"));
        user::click(m->BitBtn8);
        QCOMPARE(query.sort(), QString());
        QCOMPARE(column(m->DBGridSR, 3), (QStringList{"b", "c", "a"}));
        QCOMPARE(titles(m->DBGridSR).value(0), QStringLiteral("日期↓"));
        user::clickTitle(m->DBGridSR, 0);
        QCOMPARE(query.sort(), QStringLiteral("I_Date ASC"));
        QCOMPARE(titles(m->DBGridSR).value(0), QStringLiteral("日期↑"));
        QCOMPARE(column(m->DBGridSR, 3), (QStringList{"c", "b", "a"}));
    }

    void aClosedQueryLosesEveryMarkAndReports()
    {
        showOn("2010", "03", "01");
        Query &query = module()->ADOQuerySR;
        user::clickTitle(m->DBGridSR, 0);
        QCOMPARE(titles(m->DBGridSR).value(0), QStringLiteral("日期↑"));
        // A refresh for a day that does not exist leaves the list's query closed.
        setBoxes("2010", "04", "31");
        m->RadioButton3->setChecked(true);
        QVERIFY(!query.isOpen());
        const QString expected = errorMessageOf([&] { query.setSort(QStringLiteral("I_Num ASC")); });
        QVERIFY(!expected.isEmpty());
        QVERIFY(m->statusText() != expected);
        user::clickTitle(m->DBGridSR, 2);
        QCOMPARE(titles(m->DBGridSR), (QStringList{"日期", "收入类型", "收入金额", "说明"}));
        QCOMPARE(m->statusText(), expected);
        QCOMPARE(query.sort(), QString());
    }

    void noLedgerNoMarks()
    {
        app.reset();
        app = std::make_unique<AppFixture>(AppFixture::Ledger::Missing);
        app->testGridModels();
        app->show();
        m = app->main();
        const QString expected = errorMessageOf([&] { module()->ADOQueryZCLB.setSort(QStringLiteral("PC_No ASC")); });
        showTab(m->TabSheetSZ);
        user::clickTitle(m->DBGridZCLB, 0);
        QCOMPARE(titles(m->DBGridZCLB), (QStringList{"显示顺序", "支出类别"}));
        QCOMPARE(m->statusText(), expected);
    }

    // Every grid of the main window sorts its own query.
    void eachMainGridSortsItsOwnQuery()
    {
        showOn("2010", "03", "01");
        showTab(m->TabSheetSZ);
        struct
        {
            DataGrid *grid;
            Query &query;
            QWidget *tab;
            QString field;
        } grids[] = {{m->DBGridSR, module()->ADOQuerySR, m->TabSheet1, QStringLiteral("I_Class")},
                     {m->DBGridZC, module()->ADOQueryZC, m->TabSheet2, QStringLiteral("P_Class")},
                     {m->DBGridSRTJ, module()->ADOQuerySRTJ, m->TabSheetTJ, QStringLiteral("IS_I_Count")},
                     {m->DBGridZCTJ, module()->ADOQueryZCTJ, m->TabSheetTJ, QStringLiteral("PS_P_Count")},
                     {m->DBGridSRLB, module()->ADOQuerySRLB, m->TabSheetSZ, QStringLiteral("IC_Name")},
                     {m->DBGridZCLB, module()->ADOQueryZCLB, m->TabSheetSZ, QStringLiteral("PC_Name")}};
        for (const auto &g : grids) {
            showTab(g.tab);
            user::clickTitle(g.grid, 1);
            QCOMPARE(g.query.sort(), g.field + QStringLiteral(" ASC"));
            QVERIFY(titles(g.grid).value(1).endsWith(QStringLiteral("↑")));
        }
        // Each click touched its own grid only.
        for (const auto &g : grids) {
            QCOMPARE(g.query.sort(), g.field + QStringLiteral(" ASC"));
            QCOMPARE(titles(g.grid).join(QString()).count(QStringLiteral("↑")), 1);
        }
        // Text by its characters.
        QCOMPARE(column(m->DBGridSRLB, 1), (QStringList{"其他收入", "奖金", "工资", "投资收益"}));
        QCOMPARE(m->statusText(), QString());
    }

    void thePayoutStatisticsByAmount()
    {
        showOn("2010", "03", "01");
        showTab(m->TabSheetTJ);
        const QStringList ownOrder = column(m->DBGridZCTJ, 0);
        const QStringList ascending{"交通", "餐饮", "住房"}; // 2, 15, 300
        const QStringList descending{"住房", "餐饮", "交通"};
        QVERIFY(ownOrder != ascending && ownOrder != descending);
        user::clickTitle(m->DBGridZCTJ, 1);
        QCOMPARE(column(m->DBGridZCTJ, 0), ascending);
        user::clickTitle(m->DBGridZCTJ, 1);
        QCOMPARE(column(m->DBGridZCTJ, 0), descending);
        QCOMPARE(titles(m->DBGridZCTJ), (QStringList{"支出类型", "支出金额↓"}));
        // A new run brings back its own order and leaves the mark.
        m->BitBtnTJ->click();
        QCOMPARE(column(m->DBGridZCTJ, 0), ownOrder);
        QCOMPARE(titles(m->DBGridZCTJ), (QStringList{"支出类型", "支出金额↓"}));
        QCOMPARE(module()->ADOQueryZCTJ.sort(), QString());
        user::clickTitle(m->DBGridZCTJ, 1);
        QCOMPARE(titles(m->DBGridZCTJ), (QStringList{"支出类型", "支出金额↑"}));
        QCOMPARE(column(m->DBGridZCTJ, 0), ascending);
    }

    void aCategoryReloadKeepsTheMark()
    {
        showOn("2010", "03", "01");
        showTab(m->TabSheetSZ);
        user::clickTitle(m->DBGridSRLB, 1);
        QCOMPARE(titles(m->DBGridSRLB), (QStringList{"显示顺序", "收入类别↑"}));
        showTab(m->TabSheet1);
        showTab(m->TabSheetSZ); // showing the tab reloads both lists
        QCOMPARE(module()->ADOQuerySRLB.sort(), QString());
        QCOMPARE(column(m->DBGridSRLB, 1), (QStringList{"其他收入", "投资收益", "奖金", "工资"}));
        QCOMPARE(titles(m->DBGridSRLB), (QStringList{"显示顺序", "收入类别↑"}));
    }

    // The detail grid and the main payout grid look alike and sort apart.
    void theDetailGridSortsApart()
    {
        showOn("2010", "03", "01");
        showTab(m->TabSheet2);
        user::clickTitle(m->DBGridZC, 2);
        QCOMPARE(titles(m->DBGridZC).value(2), QStringLiteral("支出金额↑"));
        QStringList detailTitles, detailNotes, mainTitles;
        QString detailSort, mainSort;
        inPayoutDetail(QStringLiteral("餐饮"), [&](TPayoutSearchFm *detail) {
            // Ascending: its own query had no sort, whatever the main grid's has.
            user::clickTitle(detail->DBGridZC, 2);
            detailTitles = titles(detail->DBGridZC);
            detailNotes = column(detail->DBGridZC, 3);
            detailSort = detail->ADOQuery1.sort();
            mainTitles = titles(m->DBGridZC);
            mainSort = module()->ADOQueryZC.sort();
        });
        QCOMPARE(detailTitles, (QStringList{"日期", "支出类型", "支出金额↑", "说明"}));
        QCOMPARE(detailNotes, (QStringList{"p3", "p1"}));
        QCOMPARE(detailSort, QStringLiteral("P_Num ASC"));
        QCOMPARE(mainTitles, (QStringList{"日期", "支出类型", "支出金额↑", "说明"}));
        QCOMPARE(mainSort, QStringLiteral("P_Num ASC"));
        // The main grid's next click goes on from its own state.
        user::clickTitle(m->DBGridZC, 2);
        QCOMPARE(titles(m->DBGridZC).value(2), QStringLiteral("支出金额↓"));
        QCOMPARE(titles(app->windows().PayoutSearchFm->DBGridZC).value(2), QStringLiteral("支出金额↑"));
        QCOMPARE(titles(m->DBGridSR), (QStringList{"日期", "收入类型", "收入金额", "说明"}));
    }

    // What was typed into the open cell is posted before the rows move.
    void aSortPostsTheRowBeingTyped()
    {
        showOn("2010", "03", "01");
        showTab(m->TabSheet2);
        QVERIFY(QTest::qWaitForWindowActive(m));
        user::clickCell(m->DBGridZC, 0, 2);
        user::type(QStringLiteral("77"));
        user::clickTitle(m->DBGridZC, 2);
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT P_Num FROM Payout WHERE P_Desc='p1'")).toDouble(), 77.0);
        QCOMPARE(column(m->DBGridZC, 3), (QStringList{"p2", "p3", "p1", "p4"}));
    }

    // A sort first posts the row being edited; when the row is refused the
    // message goes to the detail window's own status bar.
    void aFailedSortInTheDetailWindowReportsThere()
    {
        showOn("2010", "03", "01");
        const QString mainReport = m->statusText();
        QString detailReport;
        QStringList detailTitles;
        inPayoutDetail(QStringLiteral("餐饮"), [&](TPayoutSearchFm *detail) {
            QVERIFY(QTest::qWaitForWindowActive(detail));
            user::clickTitle(detail->DBGridZC, 3);
            QCOMPARE(titles(detail->DBGridZC).value(3), QStringLiteral("说明↑"));
            user::clickCell(detail->DBGridZC, 0, 0); // into the editor open there
            user::press(Qt::Key_A, Qt::ControlModifier);
            user::type(QStringLiteral("2010-2-30"));
            user::clickCell(detail->DBGridZC, 0, 1); // the same row: nothing posted yet
            user::clickTitle(detail->DBGridZC, 2);
            detailReport = reportedError(detail->StatusBar1);
            detailTitles = titles(detail->DBGridZC);
            // Esc leaves the cell editor, a second Esc drops the refused edit,
            // so that the window can close.
            user::clickCell(detail->DBGridZC, 0, 1);
            user::press(Qt::Key_Escape);
            user::press(Qt::Key_Escape);
        });
        QCOMPARE(detailReport, QStringLiteral("'2010-2-30' is not a valid date"));
        QCOMPARE(detailTitles, (QStringList{"日期", "支出类型", "支出金额", "说明"}));
        QCOMPARE(m->statusText(), mainReport);
    }
};

QTEST_MAIN(TestTitleSort)
#include "tst_titlesort.moc"
