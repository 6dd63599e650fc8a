#include "app/MainUt.h"
#include "grid/DataGrid.h"
#include "grid/QueryTableModel.h"
#include "platform/SelectorBox.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"
#include "support/UserInput.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestRecordLists : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    TMainFm *m = nullptr;

    void showOn(const QString &year, const QString &month, const QString &day)
    {
        app->show();
        m = app->main();
        m->ComboBox1->setText(year);
        m->ComboBox2->setText(month);
        m->ComboBox3->setText(day);
        m->BitBtn4->click();
        m->BitBtn8->click();
        m->BitBtnTJ->click();
    }
    // Clicks the payout tab's title, then a cell of its list, and types over the cell's text.
    void typeIntoPayoutCell(int row, int column, const QString &text)
    {
        user::click(m->PageControl1->tabBar(), m->PageControl1->tabBar()->tabRect(1).center());
        QCOMPARE(m->PageControl1->currentWidget(), m->TabSheet2);
        user::clickCell(m->DBGridZC, row, column);
        QWidget *editor = QApplication::focusWidget();
        QVERIFY2(editor && m->DBGridZC->isAncestorOf(editor), "no cell editor open");
        user::press(Qt::Key_A, Qt::ControlModifier);
        user::type(text);
    }
    int count(const char *sql) { return app->ledger().scalar(QString::fromLatin1(sql)).toInt(); }

private slots:
    void init()
    {
        app = std::make_unique<AppFixture>();
        app->ledger().exec(QStringLiteral(
            "INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES ('2010-03-09','餐饮',10,'a'),('2010-03-09','交通',20,'b'),"
            "('2010-03-10','餐饮',5,'c')"));
        app->ledger().exec(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES ('2010-03-09','工资',100,'x')"));
    }
    void cleanup() { app.reset(); }

    void listsShowThePeriod()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        QCOMPARE(m->DBGridZC->model()->rowCount(), 2);
        QCOMPARE(m->DBGridSR->model()->rowCount(), 1);
        user::click(m->RadioButton2);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 3);
        QCOMPARE(m->DBGridZC->rowModel()->currentRow(), 0);
        QueryTableModel *rows = m->DBGridZC->rowModel();
        QCOMPARE(rows->data(rows->index(2, 0), Qt::DisplayRole).toString(), QStringLiteral("2010-3-10"));
    }

    void deleteRemovesTheCurrentRecordAtOnce()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        user::click(m->PageControl1->tabBar(), m->PageControl1->tabBar()->tabRect(1).center());
        user::clickCell(m->DBGridZC, 1, 1);
        user::click(m->BitBtn2);
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(count("SELECT count(*) FROM Payout WHERE P_No=2"), 0);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 1);
        // The statistics keep the deleted amount until the next run.
        QCOMPARE(m->Edit2->text(), QStringLiteral("30.00"));
        m->BitBtnTJ->click();
        QCOMPARE(m->Edit2->text(), QStringLiteral("10.00"));
    }

    void deleteOnAnEmptyListDoesNothing()
    {
        showOn(QStringLiteral("2009"), QStringLiteral("01"), QStringLiteral("01"));
        QCOMPARE(m->DBGridZC->model()->rowCount(), 0);
        user::click(m->BitBtn2);
        user::click(m->BitBtn6);
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(count("SELECT count(*) FROM Payout"), 3);
    }

    void saveWithoutAnEditSaysSo()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        user::click(m->BitBtn3);
        QCOMPARE(m->statusText(), QStringLiteral("ADOQueryZC: Dataset not in edit or insert mode"));
        user::click(m->BitBtn7);
        QCOMPARE(m->statusText(), QStringLiteral("ADOQuerySR: Dataset not in edit or insert mode"));
        QVERIFY(app->boxes().shown.isEmpty());
    }

    void saveWritesTheEditedRow()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        Query &payouts = app->module()->ADOQueryZC;
        typeIntoPayoutCell(0, 2, QStringLiteral("12.75"));
        user::click(m->BitBtn3);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT P_Num FROM Payout WHERE P_No=1")).toDouble(), 12.75);
        QCOMPARE(payouts.state(), Query::State::Browse);
        QCOMPARE(m->statusText(), QString());
    }

    void saveKeepsARefusedRowEdited()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        Query &payouts = app->module()->ADOQueryZC;
        typeIntoPayoutCell(0, 0, QStringLiteral("2010-2-30"));
        user::click(m->BitBtn3);
        QCOMPARE(m->statusText(), QStringLiteral("'2010-2-30' is not a valid date"));
        QCOMPARE(payouts.state(), Query::State::Edit);
    }

    void aRecordsDayCannotBeEmptied()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        typeIntoPayoutCell(0, 0, QString());
        user::press(Qt::Key_Backspace);
        user::click(m->BitBtn3);
        QCOMPARE(m->statusText(), QStringLiteral("记录的日期不能为空"));
        QCOMPARE(app->module()->ADOQueryZC.state(), Query::State::Edit);
        QCOMPARE(count("SELECT count(*) FROM Payout WHERE P_Date IS NULL"), 0);
    }

    void anEngineFailureLeavesTheListEmptyAndClosed()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("04"), QStringLiteral("31"));
        QVERIFY2(m->statusText().contains(QLatin1String("#2010-04-31#")), qPrintable(m->statusText()));
        QCOMPARE(m->DBGridZC->model()->rowCount(), 0);
        QVERIFY(!app->module()->ADOQueryZC.isOpen());
    }

    // A record that another program changed, deleted, or replaced under the
    // same key (as an import that restarts the numbering does) since the list
    // showed it is neither overwritten nor deleted: the action says so, and
    // the file keeps what the other program left.
    void aRecordChangedSinceShownIsNeitherSavedNorDeleted_data()
    {
        QTest::addColumn<QString>("elsewhere");
        QTest::addColumn<QString>("action");
        const QList<std::pair<const char *, QString>> changes = {
            {"changed", QStringLiteral("UPDATE Payout SET P_Num=99 WHERE P_No=1")},
            {"deleted", QStringLiteral("DELETE FROM Payout WHERE P_No=1")},
            {"replaced", QStringLiteral("DELETE FROM Payout WHERE P_No=1; "
                                        "INSERT INTO Payout VALUES(1,'2020-01-01','其他支出',7,'imported')")},
        };
        for (const auto &[name, sql] : changes) {
            for (const char *action : {"save", "row move", "delete", "Ctrl+Delete", "Ctrl+Delete while editing"})
                QTest::addRow("%s, %s", name, action) << sql << QString::fromLatin1(action);
        }
    }

    void aRecordChangedSinceShownIsNeitherSavedNorDeleted()
    {
        QFETCH(QString, elsewhere);
        QFETCH(QString, action);
        const bool editing = action == QLatin1String("save") || action == QLatin1String("row move")
            || action == QLatin1String("Ctrl+Delete while editing");
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        typeIntoPayoutCell(0, 3, QStringLiteral("new note"));
        if (!editing)
            user::press(Qt::Key_Escape);
        for (const QString &sql : elsewhere.split(QStringLiteral("; ")))
            app->ledger().exec(sql);
        const QList<QVariantList> left = app->ledger().rows(QStringLiteral("SELECT * FROM Payout ORDER BY P_No"));

        if (action.startsWith(QLatin1String("Ctrl+Delete")))
            user::press(Qt::Key_Delete, Qt::ControlModifier);
        else if (action == QLatin1String("row move"))
            user::clickCell(m->DBGridZC, 1, 3);
        else
            user::click(action == QLatin1String("save") ? m->BitBtn3 : m->BitBtn2);
        QCOMPARE(app->ledger().rows(QStringLiteral("SELECT * FROM Payout ORDER BY P_No")), left);
        const QString staleEdit = QStringLiteral("这条记录在显示之后已被修改或删除，修改没有保存，请按 Esc 放弃修改后再刷新");
        if (action == QLatin1String("save")) {
            QCOMPARE(m->statusText(), staleEdit);
        } else {
            QCOMPARE(app->boxes().shown.size(), 1);
            QCOMPARE(app->boxes().shown[0].text, action == QLatin1String("row move")
                         ? staleEdit + QLatin1Char('.')
                         : QStringLiteral("这条记录在显示之后已被修改或删除，没有删除，请刷新后再试."));
        }
        // What the user typed waits in its row, to be given up with Esc.
        if (editing)
            QCOMPARE(m->DBGridZC->model()->index(0, 3).data().toString(), QStringLiteral("new note"));
    }

    // The key stands bare in the delete statement: a key that a file made
    // elsewhere holds as text, and that is not a whole number, deletes nothing.
    void aKeyThatIsNoWholeNumberDeletesNothing()
    {
        app->ledger().exec(QStringLiteral("DROP TABLE Payout"));
        app->ledger().exec(QStringLiteral("CREATE TABLE Payout (P_No TEXT, P_Date DATE, P_Class TEXT, P_Num REAL, P_Desc TEXT)"));
        app->ledger().exec(QStringLiteral("INSERT INTO Payout VALUES ('1','2010-03-09','餐饮',1,''),('1 OR 1=1','2010-03-09','餐饮',2,''),"
                                          "('2','2010-03-09','餐饮',3,''),('3','2010-03-10','餐饮',4,'')"));
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        user::click(m->PageControl1->tabBar(), m->PageControl1->tabBar()->tabRect(1).center());
        user::clickCell(m->DBGridZC, 1, 1);
        QCOMPARE(app->module()->ADOQueryZC.fieldText(QStringLiteral("P_No")), QStringLiteral("1 OR 1=1"));
        user::click(m->BitBtn2);
        QCOMPARE(count("SELECT count(*) FROM Payout"), 4);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(app->boxes().shown[0].text, QStringLiteral("记录编号不是整数，不能删除：'1 OR 1=1'"));
        // A whole number deletes its record, though the table keys nothing itself.
        user::clickCell(m->DBGridZC, 2, 1);
        QCOMPARE(app->module()->ADOQueryZC.fieldText(QStringLiteral("P_No")), QStringLiteral("2"));
        user::click(m->BitBtn2);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(count("SELECT count(*) FROM Payout"), 3);
        QCOMPARE(count("SELECT count(*) FROM Payout WHERE P_No='2'"), 0);
    }
};

QTEST_MAIN(TestRecordLists)
#include "tst_recordlists.moc"
