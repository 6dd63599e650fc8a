#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "grid/DataGrid.h"
#include "grid/QueryTableModel.h"
#include "platform/DatePicker.h"
#include "platform/ErrorReport.h"
#include "platform/SelectorBox.h"
#include "stats/IncomeSearchUt.h"
#include "stats/PayoutSearchUt.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"
#include "support/UserInput.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

QStringList columnTexts(const QAbstractItemView *grid, int column)
{
    QStringList texts;
    const QAbstractItemModel *model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

double sumOf(const QStringList &amounts)
{
    double sum = 0;
    for (const QString &amount : amounts)
        sum += amount.toDouble();
    return sum;
}

} // namespace

class TestDrillDown : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    TMainFm *m = nullptr;
    int modalsSeen = 0;

    TIncomeSearchFm *incomeDetail() const { return app->windows().IncomeSearchFm.get(); }
    TPayoutSearchFm *payoutDetail() const { return app->windows().PayoutSearchFm.get(); }

    void payout(const char *date, const QString &category, const char *amount, const char *note)
    {
        app->ledger().exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES('%1','%2',%3,'%4')")
                               .arg(QLatin1String(date), QString(category).replace(QLatin1Char('\''), QStringLiteral("''")),
                                    QLatin1String(amount), QLatin1String(note)));
    }
    void income(const char *date, const QString &category, const char *amount, const char *note)
    {
        app->ledger().exec(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES('%1','%2',%3,'%4')")
                               .arg(QLatin1String(date), category, QLatin1String(amount), QLatin1String(note)));
    }

    // Shows the program, runs the statistics for a mode and the box texts, and
    // brings the statistics tab to the front.
    void statisticsFor(QRadioButton *(TMainFm::*mode), const char *year, const char *month, const char *day)
    {
        app->testGridModels();
        app->show();
        m = app->main();
        setBoxes(year, month, day);
        (m->*mode)->setChecked(true);
        m->BitBtnTJ->click();
        m->PageControl1->setCurrentWidget(m->TabSheetTJ);
    }
    // The date selector's boxes changed as the program does, without the refresh chain.
    void setBoxes(const char *year, const char *month, const char *day)
    {
        m->ComboBox1->setText(QLatin1String(year));
        m->ComboBox2->setText(QLatin1String(month));
        m->ComboBox3->setText(QLatin1String(day));
    }

    static int rowOf(const DataGrid *statistics, const QString &category)
    {
        return int(columnTexts(statistics, 0).indexOf(category));
    }

    // Runs look on the modal window that the next action opens, then closes it
    // as the user does. Nothing happens when no modal window opens.
    void whenModal(std::function<void(QWidget *)> look = {})
    {
        QTimer::singleShot(0, this, [this, look] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            ++modalsSeen;
            if (look)
                look(modal);
            modal->close();
        });
    }
    // Lets a pending answer run out when the action opened nothing.
    void settle() { QCoreApplication::processEvents(); }

    struct Listing
    {
        QStringList classes, amounts, notes;
    };
    // Double-clicks a statistics row and reads what the detail window listed while it was open.
    Listing drill(DataGrid *statistics, RecordSearchFm *detail, const QString &category)
    {
        Listing listing;
        const int seen = modalsSeen;
        whenModal([&](QWidget *modal) {
            QCOMPARE(modal, static_cast<QWidget *>(detail));
            const auto *grid = detail->findChild<DataGrid *>();
            listing = {columnTexts(grid, 1), columnTexts(grid, 2), columnTexts(grid, 3)};
        });
        const int row = rowOf(statistics, category);
        if (row < 0)
            QTest::qFail("no statistics row of that category", __FILE__, __LINE__);
        else
            user::doubleClickCell(statistics, row, 0);
        settle();
        if (modalsSeen != seen + 1)
            QTest::qFail("the detail window did not open", __FILE__, __LINE__);
        return listing;
    }

    // The ledger of most cases: records on both sides of every period's ends.
    void addRecords()
    {
        payout("2010-03-09", QStringLiteral("餐饮"), "10.25", "a");
        payout("2010-03-09", QStringLiteral("餐饮"), "4.5", "b");
        payout("2010-03-09", QStringLiteral("交通"), "3", "c");
        payout("2010-03-10", QStringLiteral("餐饮"), "7", "d");
        payout("2010-03-31", QStringLiteral("餐饮"), "1", "e");
        payout("2010-04-01", QStringLiteral("餐饮"), "100", "f");
        payout("2010-12-31", QStringLiteral("餐饮"), "20", "g");
        payout("2011-01-01", QStringLiteral("餐饮"), "50", "h");
        payout("2009-12-31", QStringLiteral("餐饮"), "30", "i");
        income("2010-03-09", QStringLiteral("工资"), "1000", "x");
        income("2010-03-31", QStringLiteral("工资"), "500", "y");
        income("2010-04-01", QStringLiteral("工资"), "70", "z");
        income("2010-01-01", QStringLiteral("工资"), "9", "w");
        income("2009-12-31", QStringLiteral("工资"), "1", "v");
    }

private slots:
    void init()
    {
        app = std::make_unique<AppFixture>();
        modalsSeen = 0;
    }
    void cleanup() { app.reset(); }

    void detailWindowsAsDesigned()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton2, "2010", "03", "01");
        struct
        {
            RecordSearchFm *window;
            DataGrid *statistics;
            const char *category;
            const char *grid;
            QString caption;
            QSize outer;
            QStringList titles;
        } twins[] = {{incomeDetail(), m->DBGridSRTJ, "工资", "DBGridSR", QStringLiteral("收入明细"), QSize(663, 428),
                      {"日期", "收入类型", "收入金额", "说明"}},
                     {payoutDetail(), m->DBGridZCTJ, "餐饮", "DBGridZC", QStringLiteral("支出明细"), QSize(664, 433),
                      {"日期", "支出类型", "支出金额", "说明"}}};
        QCOMPARE(incomeDetail()->DBGridSR->objectName(), QStringLiteral("DBGridSR"));
        QCOMPARE(payoutDetail()->DBGridZC->objectName(), QStringLiteral("DBGridZC"));
        for (const auto &twin : twins) {
            RecordSearchFm *w = twin.window;
            // Nothing is set before the first drill-down.
            QVERIFY(!w->ADOQuery1.connection());
            QVERIFY(w->ADOQuery1.sql().isEmpty());
            QVERIFY(!w->isVisible());
            for (int pass = 0; pass < 2; ++pass) {
                bool looked = false;
                whenModal([&](QWidget *modal) {
                    looked = true;
                    QCOMPARE(modal, static_cast<QWidget *>(w));
                    QVERIFY(w->isModal());
                    QCOMPARE(w->windowTitle(), twin.caption);
                    QCOMPARE(w->frameGeometry().size(), twin.outer);
                    const QPoint offset = w->frameGeometry().center() - m->frameGeometry().center();
                    QVERIFY2(offset.manhattanLength() <= 2, "not centred on the main window");
                    auto *grid = w->findChild<DataGrid *>(QLatin1String(twin.grid));
                    QVERIFY(grid);
                    QCOMPARE(grid->model(), w->DataSource1);
                    QCOMPARE(w->DataSource1->query(), &w->ADOQuery1);
                    const int widths[] = {100, 200, 80, 400};
                    for (int c = 0; c < 4; ++c) {
                        QCOMPARE(grid->model()->headerData(c, Qt::Horizontal).toString(), twin.titles[c]);
                        QCOMPARE(grid->columnWidth(c), widths[c]);
                    }
                    QVERIFY(!(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable));
                    QVERIFY(grid->model()->flags(grid->model()->index(0, 2)) & Qt::ItemIsEditable);
                    QCOMPARE(w->StatusBar1->height(), 19);
                    QCOMPARE(w->StatusBar1->objectName(), QStringLiteral("StatusBar1"));
                    QCOMPARE(w->font().pixelSize(), 16);
                    QCOMPARE(grid->horizontalHeader()->font().pixelSize(), 16);
                    QCOMPARE(w->palette().color(QPalette::WindowText), QColor(0, 0, 255));
                });
                user::doubleClickCell(twin.statistics, rowOf(twin.statistics, QString::fromUtf8(twin.category)), 0);
                settle();
                QVERIFY(looked);
                // Closing only hides the window; it is centred anew on its next showing.
                QVERIFY(!w->isVisible());
                m->move(m->pos() + QPoint(40, 25));
            }
            QCOMPARE(w->ADOQuery1.connection(), &app->module()->ADOConnection1);
        }
        QCOMPARE(m->statusText(), QString());
    }

    void detailRowsAddUpToTheirStatisticsRow_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("payoutNotes");
        QTest::addColumn<QStringList>("incomeNotes");
        QTest::newRow("day") << 3 << QStringList{"a", "b"} << QStringList{"x"};
        QTest::newRow("month") << 2 << QStringList{"a", "b", "d", "e"} << QStringList{"x", "y"};
        QTest::newRow("year") << 1 << QStringList{"a", "b", "d", "e", "f", "g"} << QStringList{"x", "y", "z", "w"};
        QTest::newRow("custom range") << 4 << QStringList{"d", "e", "f"} << QStringList{"y", "z"};
    }
    void detailRowsAddUpToTheirStatisticsRow()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, payoutNotes);
        QFETCH(QStringList, incomeNotes);
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        m->DateTimePicker1->setDateQuietly(QDate(2010, 3, 10));
        m->DateTimePicker2->setDateQuietly(QDate(2010, 4, 1));
        QRadioButton *const modes[] = {nullptr, m->RadioButton1, m->RadioButton2, m->RadioButton3, m->RadioButton4};
        modes[mode]->setChecked(true);
        m->BitBtnTJ->click();
        QCOMPARE(m->statusText(), QString());

        const Listing spent = drill(m->DBGridZCTJ, payoutDetail(), QStringLiteral("餐饮"));
        QCOMPARE(spent.notes, payoutNotes);
        QCOMPARE(spent.classes, QStringList(payoutNotes.size(), QStringLiteral("餐饮")));
        const QString payoutSum = m->DBGridZCTJ->model()->index(rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 1).data().toString();
        QCOMPARE(sumOf(spent.amounts), payoutSum.toDouble());

        const Listing earned = drill(m->DBGridSRTJ, incomeDetail(), QStringLiteral("工资"));
        QCOMPARE(earned.notes, incomeNotes);
        const QString incomeSum = m->DBGridSRTJ->model()->index(rowOf(m->DBGridSRTJ, QStringLiteral("工资")), 1).data().toString();
        QCOMPARE(sumOf(earned.amounts), incomeSum.toDouble());
        QCOMPARE(m->statusText(), QString());
    }

    void theTextsAsSent()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton2, "2010", "03", "01");
        drill(m->DBGridSRTJ, incomeDetail(), QStringLiteral("工资"));
        QCOMPARE(incomeDetail()->ADOQuery1.sql(),
                 QStringLiteral("Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where I_Class = '工资' AND  [I_Date] "
                                "between #2010-03-1# And #2010-03-31# Order By I_No Asc"));
        drill(m->DBGridZCTJ, payoutDetail(), QStringLiteral("餐饮"));
        QCOMPARE(payoutDetail()->ADOQuery1.sql(),
                 QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where P_Class = '餐饮' AND [P_Date] "
                                "between #2010-03-1# And #2010-03-31# Order By P_No  Asc"));
    }

    // Day mode tests the date for equality, the other modes a range with both ends.
    void dayModeSelectsTheDayByEquality()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        QCOMPARE(drill(m->DBGridZCTJ, payoutDetail(), QStringLiteral("交通")).notes, QStringList{"c"});
        QCOMPARE(payoutDetail()->ADOQuery1.sql(),
                 QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where P_Class = '交通' AND P_Date = "
                                "#2010-03-09# Order By P_No  Asc"));
        QCOMPARE(drill(m->DBGridSRTJ, incomeDetail(), QStringLiteral("工资")).notes, QStringList{"x"});
        QCOMPARE(incomeDetail()->ADOQuery1.sql(),
                 QStringLiteral("Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where I_Class = '工资' AND I_Date = "
                                "#2010-03-09# Order By I_No Asc"));
    }

    void thePeriodIsReadAtTheDoubleClick()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton2, "2010", "03", "01");
        // The boxes now name April; the statistics still show March.
        setBoxes("2010", "04", "01");
        QCOMPARE(drill(m->DBGridZCTJ, payoutDetail(), QStringLiteral("餐饮")).notes, QStringList{"f"});
        QCOMPARE(drill(m->DBGridSRTJ, incomeDetail(), QStringLiteral("工资")).notes, QStringList{"z"});
        m->RadioButton1->setChecked(true); // runs the chain: the whole of 2010
        setBoxes("2009", "04", "01");
        QCOMPARE(drill(m->DBGridZCTJ, payoutDetail(), QStringLiteral("餐饮")).notes, QStringList{"i"});
    }

    void aSecondDrillDownReplacesTheRows()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        DataGrid *grid = payoutDetail()->DBGridZC;
        whenModal([&](QWidget *) { user::clickTitle(grid, 2); });
        user::doubleClickCell(m->DBGridZCTJ, rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 0);
        settle();
        QCOMPARE(columnTexts(grid, 3), (QStringList{"b", "a"}));
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("支出金额↑"));

        const Listing second = drill(m->DBGridZCTJ, payoutDetail(), QStringLiteral("交通"));
        QCOMPARE(second.notes, QStringList{"c"});
        QCOMPARE(payoutDetail()->ADOQuery1.sort(), QString());
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("支出金额↑"));
        // Back on the first category: key order again, the old mark in place.
        QCOMPARE(drill(m->DBGridZCTJ, payoutDetail(), QStringLiteral("餐饮")).notes, (QStringList{"a", "b"}));
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("支出金额↑"));
    }

    void editsInTheDetailGridAreStored()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        DataGrid *grid = payoutDetail()->DBGridZC;
        whenModal([&](QWidget *modal) {
            QVERIFY(QTest::qWaitForWindowActive(modal));
            user::clickCell(grid, 0, 2);
            QVERIFY(grid->isAncestorOf(QApplication::focusWidget())); // the cell editor is open
            user::type(QStringLiteral("12.5"));
            user::clickCell(grid, 0, 3);
            user::type(QStringLiteral("午饭 lunch"));
            user::clickCell(grid, 0, 0);
            user::type(QStringLiteral("2010-3-8"));
            user::clickCell(grid, 1, 2); // another row posts the edit
        });
        user::doubleClickCell(m->DBGridZCTJ, rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 0);
        settle();
        QCOMPARE(modalsSeen, 1);
        QVERIFY(app->boxes().shown.isEmpty());
        const QList<QVariantList> rows =
            app->ledger().rows(QStringLiteral("SELECT P_Date, P_Class, P_Num, P_Desc FROM Payout WHERE P_No=1"));
        QCOMPARE(rows.value(0).value(0).toString().left(10), QStringLiteral("2010-03-08"));
        QCOMPARE(rows.value(0).value(1).toString(), QStringLiteral("餐饮"));
        QCOMPARE(rows.value(0).value(2).toDouble(), 12.5);
        QCOMPARE(rows.value(0).value(3).toString(), QStringLiteral("午饭 lunch"));
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 9);
    }

    // Closing the window writes what is being typed, as leaving the row would;
    // a value the table refuses keeps the window open with it.
    void closingTheWindowWritesTheRowBeingTyped()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        DataGrid *grid = payoutDetail()->DBGridZC;
        bool stayedOpen = false;
        whenModal([&](QWidget *modal) {
            QVERIFY(QTest::qWaitForWindowActive(modal));
            user::clickCell(grid, 0, 2);
            user::press(Qt::Key_A, Qt::ControlModifier);
            user::type(QStringLiteral("1.2.3"));
            modal->close();
            stayedOpen = modal->isVisible();
            user::press(Qt::Key_A, Qt::ControlModifier);
            user::type(QStringLiteral("7.5"));
        });
        user::doubleClickCell(m->DBGridZCTJ, rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 0);
        settle();
        QVERIFY(stayedOpen);
        QCOMPARE(app->boxes().shown.size(), 1);
        QVERIFY(app->boxes().shown[0].text.contains(QLatin1String("1.2.3")));
        QVERIFY(!payoutDetail()->isVisible());
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT P_Num FROM Payout WHERE P_No=1")).toDouble(), 7.5);
    }

    // Esc abandons an edit however far it got: the first Esc takes back what
    // was typed since the row last took the cell's text; the next one, with
    // nothing left to take back, returns a row that holds the edit (✎) to its
    // stored values. A refused edit so no longer holds the window open.
    void escAbandonsTheEdit_data()
    {
        QTest::addColumn<bool>("refusedAtClosing"); // else handed to the row by a click into the note
        QTest::addColumn<QString>("cellText");       // the text that the row holds for the cell then
        QTest::newRow("handed to the row") << false << QStringLiteral("a");
        QTest::newRow("refused at closing") << true << QStringLiteral("abc");
    }
    void escAbandonsTheEdit()
    {
        QFETCH(bool, refusedAtClosing);
        QFETCH(QString, cellText);
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        DataGrid *grid = payoutDetail()->DBGridZC;
        const auto editorText = [] {
            auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            return editor ? editor->text() : QStringLiteral("no editor");
        };
        const auto mark = [grid] { return grid->model()->headerData(0, Qt::Vertical).toString(); };
        QStringList seen; // after each step: the editor's text and the row's mark
        bool closed = false;
        whenModal([&](QWidget *modal) {
            QVERIFY(QTest::qWaitForWindowActive(modal));
            user::clickCell(grid, 0, 2);
            user::press(Qt::Key_A, Qt::ControlModifier);
            user::type(QStringLiteral("abc"));
            if (refusedAtClosing)
                user::closeBox(modal);
            else
                user::clickCell(grid, 0, 3);
            user::press(Qt::Key_End);
            user::type(QStringLiteral("9"));
            seen << editorText() + mark();
            user::press(Qt::Key_Escape);
            seen << editorText() + mark();
            user::press(Qt::Key_Escape);
            user::clickCell(grid, 0, 2);
            seen << editorText() + mark();
            user::closeBox(modal);
            closed = !modal->isVisible();
            if (!closed)
                modal->hide(); // ends the modal loop all the same
        });
        user::doubleClickCell(m->DBGridZCTJ, rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 0);
        settle();
        QCOMPARE(seen, (QStringList{cellText + QStringLiteral("9✎"), cellText + QStringLiteral("✎"),
                                    QStringLiteral("10.25▶")}));
        QVERIFY(closed);
        QCOMPARE(app->boxes().shown.size(), refusedAtClosing ? 1 : 0);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT P_Num FROM Payout WHERE P_No=1")).toDouble(), 10.25);
    }

    void ctrlDeleteInTheDetailGridDeletesWithoutAQuestion()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        DataGrid *grid = payoutDetail()->DBGridZC;
        whenModal([&](QWidget *modal) {
            QVERIFY(QTest::qWaitForWindowActive(modal));
            user::clickCell(grid, 1, 1); // the read-only category: no editor
            QCOMPARE(QApplication::focusWidget(), grid);
            user::press(Qt::Key_Delete, Qt::ControlModifier);
            QCOMPARE(columnTexts(grid, 3), QStringList{"a"});
            user::clickCell(grid, 0, 3); // the note, with its editor open
            QVERIFY(grid->isAncestorOf(QApplication::focusWidget()) && QApplication::focusWidget() != grid);
            user::press(Qt::Key_Delete, Qt::ControlModifier);
        });
        user::doubleClickCell(m->DBGridZCTJ, rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 0);
        settle();
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout WHERE P_Desc IN ('a','b')")).toInt(), 0);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 7);
        QCOMPARE(columnTexts(grid, 3), QStringList{});
    }

    // A record that another program changed while the detail window showed
    // it is neither deleted nor overwritten from the window's grid; Esc gives
    // up the refused edit, and the window closes.
    void aRecordChangedElsewhereIsKeptInTheDetailGrid()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        DataGrid *grid = payoutDetail()->DBGridZC;
        const QString all = QStringLiteral("SELECT * FROM Payout ORDER BY P_No");
        QList<QVariantList> left;
        whenModal([&](QWidget *modal) {
            QVERIFY(QTest::qWaitForWindowActive(modal));
            app->ledger().exec(QStringLiteral("UPDATE Payout SET P_Num = P_Num + 1 WHERE P_Desc IN ('a','b')"));
            left = app->ledger().rows(all);
            user::clickCell(grid, 1, 1);
            user::press(Qt::Key_Delete, Qt::ControlModifier);
            user::clickCell(grid, 0, 3);
            user::press(Qt::Key_A, Qt::ControlModifier);
            user::type(QStringLiteral("typed"));
            user::clickCell(grid, 1, 3);
            user::press(Qt::Key_Escape);
            user::press(Qt::Key_Escape);
        });
        user::doubleClickCell(m->DBGridZCTJ, rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 0);
        settle();
        QVERIFY(!payoutDetail()->isVisible());
        QCOMPARE(app->ledger().rows(all), left);
        QCOMPARE(app->boxes().shown.size(), 2);
        QCOMPARE(app->boxes().shown[0].text, QStringLiteral("这条记录在显示之后已被修改或删除，没有删除，请刷新后再试."));
        QCOMPARE(app->boxes().shown[1].text, QStringLiteral("这条记录在显示之后已被修改或删除，修改没有保存，请按 Esc 放弃修改后再刷新."));
    }

    void anUntouchedNewRowIsDroppedWhenTheWindowCloses()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        DataGrid *grid = payoutDetail()->DBGridZC;
        int rowsWhileOpen = 0;
        whenModal([&](QWidget *modal) {
            QVERIFY(QTest::qWaitForWindowActive(modal));
            user::clickCell(grid, 1, 1);
            user::press(Qt::Key_Down); // past the last row: a new row
            rowsWhileOpen = grid->model()->rowCount();
        });
        user::doubleClickCell(m->DBGridZCTJ, rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 0);
        settle();
        QCOMPARE(rowsWhileOpen, 3);
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 9);
        QVERIFY(app->boxes().shown.isEmpty());
    }

    // The detail grids keep the toolkit's wheel: it scrolls the rows, the current row stays.
    void theWheelScrollsTheDetailGrid()
    {
        for (int i = 0; i < 40; ++i)
            payout("2010-03-09", QStringLiteral("餐饮"), "1", "many");
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        DataGrid *grid = payoutDetail()->DBGridZC;
        int scrolledFrom = -1, scrolledTo = -1, current = -1;
        whenModal([&](QWidget *) {
            scrolledFrom = grid->verticalScrollBar()->value();
            user::wheel(grid, -120);
            scrolledTo = grid->verticalScrollBar()->value();
            current = grid->rowModel()->currentRow();
        });
        user::doubleClickCell(m->DBGridZCTJ, rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 0);
        settle();
        QCOMPARE(scrolledFrom, 0);
        QVERIFY(scrolledTo > 0);
        QCOMPARE(current, 0);
    }

    void month13GivesEachTwinItsMessage()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton2, "2010", "03", "01");
        setBoxes("2010", "13", "01");
        whenModal();
        user::doubleClickCell(m->DBGridSRTJ, rowOf(m->DBGridSRTJ, QStringLiteral("工资")), 0);
        settle();
        QCOMPARE(m->statusText(), QStringLiteral("'2010-13-1' is not a valid date"));
        whenModal();
        user::doubleClickCell(m->DBGridZCTJ, rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 0);
        settle();
        QCOMPARE(m->statusText(), QStringLiteral("'2010-13-1' is not a valid date and time"));
        QCOMPARE(modalsSeen, 0);
        QVERIFY(!incomeDetail()->isVisible());
        QVERIFY(!payoutDetail()->isVisible());
    }

    void aRejectedQueryIsReportedAndLeavesTheDetailClosed()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        drill(m->DBGridZCTJ, payoutDetail(), QStringLiteral("餐饮"));
        QVERIFY(payoutDetail()->ADOQuery1.isOpen());
        setBoxes("2010", "04", "31"); // names no day
        whenModal();
        user::doubleClickCell(m->DBGridZCTJ, rowOf(m->DBGridZCTJ, QStringLiteral("餐饮")), 0);
        settle();
        QCOMPARE(modalsSeen, 1);
        QVERIFY2(m->statusText().contains(QLatin1String("2010-04-31")), qPrintable(m->statusText()));
        QVERIFY(!payoutDetail()->ADOQuery1.isOpen());
        QCOMPARE(reportedError(payoutDetail()->StatusBar1), QString());
    }

    // A category holding a quote is still one text in the detail query.
    void aCategoryWithAQuoteDrillsDown()
    {
        payout("2010-03-09", QStringLiteral("Tom's"), "8", "q1");
        payout("2010-03-09", QStringLiteral("Tom's"), "2", "q2");
        payout("2010-03-09", QStringLiteral("Tom"), "5", "t");
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        const Listing listing = drill(m->DBGridZCTJ, payoutDetail(), QStringLiteral("Tom's"));
        QCOMPARE(listing.notes, (QStringList{"q1", "q2"}));
        QCOMPARE(sumOf(listing.amounts), 10.0);
        QVERIFY(payoutDetail()->ADOQuery1.sql().contains(QLatin1String("P_Class = 'Tom''s' AND P_Date")));
        QCOMPARE(m->statusText(), QString());
    }

    void anEmptyStatisticsGridListsTheEmptyCategory()
    {
        income("2010-03-09", QString(), "3", "nameless");
        statisticsFor(&TMainFm::RadioButton3, "2010", "03", "09");
        QCOMPARE(m->DBGridZCTJ->model()->rowCount(), 0);
        int rows = -1;
        whenModal([&](QWidget *) { rows = payoutDetail()->DBGridZC->model()->rowCount(); });
        user::doubleClick(m->DBGridZCTJ->viewport());
        settle();
        QCOMPARE(modalsSeen, 1);
        QCOMPARE(rows, 0);
        QVERIFY(payoutDetail()->ADOQuery1.sql().contains(QLatin1String("Where P_Class = '' AND P_Date = #2010-03-09#")));
        // The one income row has the empty category: its detail lists it.
        QCOMPARE(drill(m->DBGridSRTJ, incomeDetail(), QString()).notes, QStringList{"nameless"});
    }

    void aClosedStatisticsQueryGivesNothingToDrillInto()
    {
        addRecords();
        statisticsFor(&TMainFm::RadioButton3, "2010", "04", "31"); // the run fails part-way
        QVERIFY(!app->module()->ADOQueryZCTJ.isOpen());
        const QString report = m->statusText();
        QVERIFY(!report.isEmpty());
        setBoxes("2010", "03", "09");
        whenModal();
        user::doubleClick(m->DBGridZCTJ->viewport());
        user::doubleClick(m->DBGridSRTJ->viewport());
        settle();
        QCOMPARE(modalsSeen, 0);
        QCOMPARE(m->statusText(), report);
        QVERIFY(payoutDetail()->ADOQuery1.sql().isEmpty());
        QVERIFY(incomeDetail()->ADOQuery1.sql().isEmpty());
    }
};

QTEST_MAIN(TestDrillDown)
#include "tst_drilldown.moc"
