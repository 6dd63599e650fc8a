#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "platform/DataGrid.h"
#include "platform/DatePicker.h"
#include "platform/DateConventions.h"
#include "platform/SelectorBox.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"
#include "views/IncomeUt.h"
#include "views/PayoutAddUt.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestAddRecord : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    TMainFm *m = nullptr;
    AddRecordFm *payout = nullptr;
    AddRecordFm *income = nullptr;

    void selectDay(const QString &y, const QString &mo, const QString &d)
    {
        m->ComboBox1->setText(y);
        m->ComboBox2->setText(mo);
        m->ComboBox3->setText(d);
        m->BitBtn4->click();
        m->BitBtn8->click();
    }
    int payouts(const QString &where) { return app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout WHERE ") + where).toInt(); }

private slots:
    void init()
    {
        app = std::make_unique<AppFixture>();
        app->ledger().exec(QStringLiteral("INSERT INTO PayoutClass(PC_Name) VALUES('Tom''s')"));
        app->show();
        m = app->main();
        payout = app->windows().PayoutAddFm.get();
        income = app->windows().IncomeAddFm.get();
        selectDay(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("05"));
    }
    void cleanup()
    {
        app.reset();
        DateConventions::setSystem(DateConventions::standard());
    }

    void openingPreparesTheDialog()
    {
        QTest::mouseClick(m->BitBtn1, Qt::LeftButton);
        QVERIFY(payout->isVisible());
        QVERIFY(!payout->isModal());
        QCOMPARE(payout->windowTitle(), QStringLiteral("增加支出"));
        QCOMPARE(payout->ComboBox1->itemText(0), QStringLiteral("Tom's")); // the highest number first
        QCOMPARE(payout->ComboBox1->count(), app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutClass")).toInt());
        QCOMPARE(payout->ComboBox1->currentIndex(), -1);
        QCOMPARE(payout->DateTimePicker1->date(), QDate(2010, 3, 5));
        QCOMPARE(payout->focusWidget(), payout->DateTimePicker1);
        QCOMPARE(payout->Edit3->text(), QString());
        QTest::mouseClick(m->BitBtn5, Qt::LeftButton);
        QCOMPARE(income->ComboBox1->itemText(0), QStringLiteral("其他收入"));
        QCOMPARE(income->pos(), QPoint(358, 158));
    }

    void theAmountTakesDigitsAndPoints()
    {
        QTest::mouseClick(m->BitBtn1, Qt::LeftButton);
        payout->Edit3->setFocus();
        for (const char *key : {"1", "2", "a", ".", "5", "-", ",", " "})
            QTest::keyClicks(payout->Edit3, QString::fromLatin1(key));
        QCOMPARE(payout->Edit3->text(), QStringLiteral("12.5"));
        QTest::keyClick(payout->Edit3, Qt::Key_Backspace);
        QCOMPARE(payout->Edit3->text(), QStringLiteral("12."));
        payout->Edit3->clear();
        payout->Edit3->insert(QStringLiteral("1; DELETE FROM Payout")); // pasted text is held to the same characters
        QCOMPARE(payout->Edit3->text(), QString());
    }

    void enterWalksTheBoxesAndConfirms()
    {
        QTest::mouseClick(m->BitBtn1, Qt::LeftButton);
        QTest::keyClick(payout->DateTimePicker1, Qt::Key_Return);
        QCOMPARE(payout->focusWidget(), payout->ComboBox1);
        payout->ComboBox1->setCurrentIndex(0);
        QTest::keyClick(payout->ComboBox1, Qt::Key_Return);
        QCOMPARE(payout->focusWidget(), payout->Edit3);
        QTest::keyClicks(payout->Edit3, QStringLiteral("7.5"));
        QTest::keyClick(payout->Edit3, Qt::Key_Down);
        QCOMPARE(payout->focusWidget(), payout->Edit4);
        QTest::keyClicks(payout->Edit4, QStringLiteral("it's lunch"));
        QTest::keyClick(payout->Edit4, Qt::Key_Return);
        QVERIFY(!payout->isVisible());
        QCOMPARE(payouts(QStringLiteral("P_Date='2010-03-05' AND P_Class='Tom''s' AND P_Num=7.5 AND P_Desc='it''s lunch'")), 1);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 1); // the list was refreshed
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(m->Edit2->text(), QStringLiteral(".00")); // the statistics wait for their next run
    }

    void theIncomeDatePickerHasNoKeyRule()
    {
        QTest::mouseClick(m->BitBtn5, Qt::LeftButton);
        income->DateTimePicker1->setFocus();
        QTest::keyClick(income->DateTimePicker1, Qt::Key_Return);
        QCOMPARE(income->focusWidget(), income->DateTimePicker1);
        QTest::keyClick(income->DateTimePicker1, Qt::Key_Down);
        QCOMPARE(income->focusWidget(), income->DateTimePicker1);
        // The tab order starts at the amount.
        QCOMPARE(income->Edit3->nextInFocusChain(), income->Edit4);
    }

    void theStatementIsBuiltFromTheBoxes()
    {
        QTest::mouseClick(m->BitBtn1, Qt::LeftButton);
        payout->ComboBox1->addItem(QStringLiteral("Food"));
        payout->ComboBox1->setCurrentText(QStringLiteral("Food"));
        payout->Edit3->setText(QStringLiteral("12.5"));
        payout->Edit4->setText(QStringLiteral("lunch"));
        QCOMPARE(payout->insertStatement(),
                 QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','Food',12.5,'lunch')"));
    }

    void aMalformedAmountKeepsTheDialogOpen()
    {
        QTest::mouseClick(m->BitBtn1, Qt::LeftButton);
        payout->Edit3->setText(QStringLiteral("1.2.3"));
        payout->Edit4->setText(QStringLiteral("kept"));
        QTest::mouseClick(payout->Button1, Qt::LeftButton);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(app->boxes().shown[0].caption, QStringLiteral("Lumibran管理专家V2.5.9"));
        QVERIFY(payout->isVisible());
        QCOMPARE(payout->Edit3->text(), QStringLiteral("1.2.3"));
        QCOMPARE(payout->Edit4->text(), QStringLiteral("kept"));
        QCOMPARE(payouts(QStringLiteral("1")), 0);
        payout->Edit3->setText(QString()); // an empty amount is refused the same way
        QTest::mouseClick(payout->Button1, Qt::LeftButton);
        QCOMPARE(app->boxes().shown.size(), 2);
        QVERIFY(payout->isVisible());
    }

    void aRecordOutsideThePeriodIsStoredButNotListed()
    {
        QTest::mouseClick(m->BitBtn5, Qt::LeftButton);
        income->DateTimePicker1->setDate(QDate(2010, 3, 6));
        income->Edit3->setText(QStringLiteral("100"));
        QTest::mouseClick(income->Button1, Qt::LeftButton);
        QVERIFY(!income->isVisible());
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Income WHERE I_Date='2010-03-06'")).toInt(), 1);
        QCOMPARE(m->DBGridSR->model()->rowCount(), 0);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT I_Class FROM Income")).toString(), QString());
    }

    void reopeningResetsAShowingDialog()
    {
        QTest::mouseClick(m->BitBtn1, Qt::LeftButton);
        payout->ComboBox1->setCurrentIndex(1);
        payout->Edit3->setText(QStringLiteral("9"));
        m->ComboBox3->setText(QStringLiteral("07"));
        QTest::mouseClick(m->BitBtn1, Qt::LeftButton);
        QCOMPARE(payout->ComboBox1->currentIndex(), -1);
        QCOMPARE(payout->Edit3->text(), QString());
        QCOMPARE(payout->DateTimePicker1->date(), QDate(2010, 3, 7));
    }

    void cancelWritesNothing()
    {
        QTest::mouseClick(m->BitBtn1, Qt::LeftButton);
        payout->Edit3->setText(QStringLiteral("9"));
        QTest::mouseClick(payout->Button2, Qt::LeftButton);
        QVERIFY(!payout->isVisible());
        QCOMPARE(payouts(QStringLiteral("1")), 0);
    }

    void aDateThatDoesNotFitTheSystemFormatStopsTheOpening()
    {
        DateConventions::setSystem(DateConventions(QStringLiteral("d/M/yyyy"), QLatin1Char('/'),
                                                   DateConventions::Order::DayMonthYear));
        QTest::mouseClick(m->BitBtn1, Qt::LeftButton);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(app->boxes().shown[0].text, QStringLiteral("'2010-03-05' is not a valid date."));
        QVERIFY(!payout->isVisible());
    }
};

QTEST_MAIN(TestAddRecord)
#include "tst_addrecord.moc"
