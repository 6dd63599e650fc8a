#include "app/MainUt.h"
#include "platform/DataGrid.h"
#include "platform/GridRowModel.h"
#include "platform/SelectorBox.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"

#include <QLineEdit>
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
        m->RadioButton2->setChecked(true);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 3);
        QCOMPARE(m->DBGridZC->rowModel()->currentRow(), 0);
        GridRowModel *rows = m->DBGridZC->rowModel();
        QCOMPARE(rows->data(rows->index(2, 0), Qt::DisplayRole).toString(), QStringLiteral("2010-3-10"));
    }

    void deleteRemovesTheCurrentRecordAtOnce()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        m->DBGridZC->setCurrentIndex(m->DBGridZC->model()->index(1, 0));
        QTest::mouseClick(m->BitBtn2, Qt::LeftButton);
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
        QTest::mouseClick(m->BitBtn2, Qt::LeftButton);
        QTest::mouseClick(m->BitBtn6, Qt::LeftButton);
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(count("SELECT count(*) FROM Payout"), 3);
    }

    void saveWithoutAnEditSaysSo()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        QTest::mouseClick(m->BitBtn3, Qt::LeftButton);
        QCOMPARE(m->statusText(), QStringLiteral("ADOQueryZC: Dataset not in edit or insert mode"));
        QTest::mouseClick(m->BitBtn7, Qt::LeftButton);
        QCOMPARE(m->statusText(), QStringLiteral("ADOQuerySR: Dataset not in edit or insert mode"));
        QVERIFY(app->boxes().shown.isEmpty());
    }

    void saveWritesTheEditedRow()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        Query &payouts = app->module()->ADOQueryZC;
        payouts.setFieldText(payouts.fieldIndex(QStringLiteral("P_Num")), QStringLiteral("12.75"));
        QTest::mouseClick(m->BitBtn3, Qt::LeftButton);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT P_Num FROM Payout WHERE P_No=1")).toDouble(), 12.75);
        QCOMPARE(payouts.state(), Query::State::Browse);
        QCOMPARE(m->statusText(), QString());
    }

    void saveKeepsARefusedRowEdited()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        Query &payouts = app->module()->ADOQueryZC;
        payouts.setFieldText(payouts.fieldIndex(QStringLiteral("P_Date")), QStringLiteral("2010-2-30"));
        QTest::mouseClick(m->BitBtn3, Qt::LeftButton);
        QCOMPARE(m->statusText(), QStringLiteral("'2010-2-30' is not a valid date"));
        QCOMPARE(payouts.state(), Query::State::Edit);
    }

    void anEngineFailureLeavesTheListEmptyAndClosed()
    {
        showOn(QStringLiteral("2010"), QStringLiteral("04"), QStringLiteral("31"));
        QVERIFY2(m->statusText().contains(QLatin1String("#2010-04-31#")), qPrintable(m->statusText()));
        QCOMPARE(m->DBGridZC->model()->rowCount(), 0);
        QVERIFY(!app->module()->ADOQueryZC.isOpen());
    }
};

QTEST_MAIN(TestRecordLists)
#include "tst_recordlists.moc"
