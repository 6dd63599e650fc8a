#include "app/MainUt.h"
#include "platform/DatePicker.h"
#include "platform/DateConventions.h"
#include "platform/Error.h"
#include "platform/MonthCalendar.h"
#include "platform/SelectorBox.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"
#include "views/StatisticsPeriod.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

class TestDateSelector : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    TMainFm *m = nullptr;

    void setBoxes(const QString &y, const QString &mo, const QString &d)
    {
        m->ComboBox1->setText(y);
        m->ComboBox2->setText(mo);
        m->ComboBox3->setText(d);
    }
    QString payoutSql() const { return app->module()->ADOQueryZC.sql(); }
    QString incomeSql() const { return app->module()->ADOQuerySR.sql(); }
    void clickAsUser(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    // A pick from a box's list, as the user makes it.
    void pick(SelectorBox *box, const QString &item)
    {
        box->lineEdit()->setFocus();
        box->setText(item);
        emit box->activated(box->findText(item));
    }

private slots:
    void init()
    {
        app = std::make_unique<AppFixture>();
        app->show();
        m = app->main();
    }
    void cleanup()
    {
        app.reset();
        DateConventions::setSystem(DateConventions::standard());
    }

    void periodTextsOfEveryRangeMode()
    {
        setBoxes(QStringLiteral("2008"), QStringLiteral("02"), QStringLiteral("09"));
        m->RadioButton2->setChecked(true);
        QCOMPARE(payoutSql(), QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where [P_Date] between "
                                             "#2008-02-1# And #2008-02-29# Order By P_No  Asc"));
        QCOMPARE(incomeSql(), QStringLiteral("Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where [I_Date] between "
                                             "#2008-02-1# And #2008-02-29# Order By I_No Asc"));
        m->ComboBox1->setText(QStringLiteral("2007"));
        m->BitBtn4->click();
        QVERIFY(payoutSql().contains(QLatin1String("#2007-02-1# And #2007-02-28#")));
        setBoxes(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        m->RadioButton1->setChecked(true);
        QVERIFY(payoutSql().contains(QLatin1String("#2010-1-1# And #2010-12-31#")));
        m->RadioButton3->setChecked(true);
        QCOMPARE(payoutSql(), QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where P_Date = "
                                             "#2010-03-09# Order By P_No  Asc"));
        QCOMPARE(incomeSql(), QStringLiteral("Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where I_Date = "
                                             "#2010-03-09# Order By I_No Asc"));
        m->DateTimePicker1->setDateQuietly(QDate(2010, 3, 10));
        m->DateTimePicker2->setDateQuietly(QDate(2009, 1, 2)); // a start after the end is used as it is
        m->RadioButton4->setChecked(true);
        QVERIFY(payoutSql().contains(QLatin1String("#2010-3-10# And #2009-1-2#")));
        QCOMPARE(m->focusWidget(), m->DateTimePicker1);
        QCOMPARE(m->statusText(), QString());
    }

    void aCalendarPickWritesPlainNumbers()
    {
        auto *view = m->Calendar1->findChild<QTableView *>();
        QVERIFY(view);
        view->setFocus();
        m->Calendar1->setSelectedDate(QDate(2007, 5, 9)); // as a pick with the calendar holding the focus
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2007"));
        QCOMPARE(m->ComboBox2->text(), QStringLiteral("5"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("9"));
        QVERIFY(payoutSql().contains(QLatin1String("P_Date = #2007-5-9#")));
        QVERIFY(m->RadioButton3->isChecked());
    }

    void previousAndNextMonthCrossTheYear()
    {
        setBoxes(QStringLiteral("2007"), QStringLiteral("01"), QStringLiteral("15"));
        clickAsUser(m->Button1);
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2006"));
        QCOMPARE(m->ComboBox2->text(), QStringLiteral("12"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("01"));
        QCOMPARE(m->Calendar1->selectedDate(), QDate(2006, 12, 1));
        QVERIFY(payoutSql().contains(QLatin1String("#2006-12-01#")));
        setBoxes(QStringLiteral("2010"), QStringLiteral("12"), QStringLiteral("01"));
        clickAsUser(m->Button2);
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2011"));
        QCOMPARE(m->ComboBox2->text(), QStringLiteral("01"));
        QCOMPARE(m->Calendar1->selectedDate(), QDate(2011, 1, 1));
    }

    void aMonthThatCannotBeReadStopsTheButton()
    {
        setBoxes(QStringLiteral("2010"), QStringLiteral("13"), QStringLiteral("15"));
        const QString before = payoutSql();
        const QDate calendar = m->Calendar1->selectedDate();
        clickAsUser(m->Button1);
        QCOMPARE(m->statusText(), QStringLiteral("'2010-13-01' is not a valid date"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("01"));
        QCOMPARE(m->ComboBox2->text(), QStringLiteral("13"));
        QCOMPARE(m->Calendar1->selectedDate(), calendar);
        QCOMPARE(payoutSql(), before);
    }

    void boxesTakeDigitsAndBackspaceOnly()
    {
        QLineEdit *year = m->ComboBox1->lineEdit();
        year->setFocus();
        year->selectAll();
        QTest::keyClicks(year, QStringLiteral("2a0x1-1"));
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2011"));
        QVERIFY(payoutSql().contains(QLatin1String("#2011-")));
        QCOMPARE(m->Calendar1->year(), 2011);
        QCOMPARE(m->focusWidget(), m->ComboBox1); // the refreshed grids leave the focus where it was
        QTest::keyClick(year, Qt::Key_Backspace);
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("201"));
        QCOMPARE(m->Calendar1->year(), 201);
    }

    void typingCompletesFromTheList()
    {
        QLineEdit *year = m->ComboBox1->lineEdit();
        year->setFocus();
        year->selectAll();
        QTest::keyClicks(year, QStringLiteral("200"));
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2005"));
        QCOMPARE(year->selectedText(), QStringLiteral("5"));
        QCOMPARE(m->Calendar1->year(), 2005);
        QVERIFY(payoutSql().contains(QLatin1String("#2005-")));
    }

    void emptyingTheDayBoxPutsTheFirstBack()
    {
        const QString before = payoutSql();
        QLineEdit *day = m->ComboBox3->lineEdit();
        day->setFocus();
        day->selectAll();
        QTest::keyClick(day, Qt::Key_Backspace);
        QCOMPARE(m->statusText(), QStringLiteral("'' is not a valid integer value"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("01"));
        QCOMPARE(m->Calendar1->day(), 1);
        QCOMPARE(payoutSql(), before);
    }

    void choosingAprilOnTheThirtyFirstOfMarch()
    {
        setBoxes(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("31"));
        m->Calendar1->setSelectedDate(QDate(2010, 3, 31));
        m->RadioButton2->setChecked(true);
        pick(m->ComboBox2, QStringLiteral("04"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("01"));
        QCOMPARE(m->Calendar1->selectedDate(), QDate(2010, 4, 1));
        QVERIFY(payoutSql().contains(QLatin1String("#2010-04-1# And #2010-04-30#")));
    }

    void aYearWithoutTheLeapDayIsRefusedByTheCalendar()
    {
        m->Calendar1->setSelectedDate(QDate(2008, 2, 29));
        setBoxes(QStringLiteral("2008"), QStringLiteral("02"), QStringLiteral("29"));
        const QString before = payoutSql();
        pick(m->ComboBox1, QStringLiteral("2007"));
        QCOMPARE(m->statusText(), QStringLiteral("Invalid argument to date encode"));
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2007"));
        QCOMPARE(m->Calendar1->selectedDate(), QDate(2008, 2, 29));
        QCOMPARE(payoutSql(), before);
    }

    void theCalendarIgnoresImpossibleParts()
    {
        m->Calendar1->setSelectedDate(QDate(2010, 4, 30));
        QSignalSpy changed(m->Calendar1, &MonthCalendar::changed);
        m->Calendar1->setDay(31);
        m->Calendar1->setDay(0);
        m->Calendar1->setMonth(13);
        m->Calendar1->setYear(0);
        m->Calendar1->setMonth(4);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m->Calendar1->selectedDate(), QDate(2010, 4, 30));
        QVERIFY_THROWS_EXCEPTION(Error, m->Calendar1->setYear(10000));
        m->Calendar1->setDay(3);
        QCOMPARE(changed.count(), 1);
    }

    void anEndPickerChangeInMonthMode()
    {
        m->RadioButton2->setChecked(true);
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        QSignalSpy statistics(m->BitBtnTJ, &QPushButton::clicked);
        m->DateTimePicker2->setFocus();
        QTest::keyClick(m->DateTimePicker2, Qt::Key_Up);
        QVERIFY(m->RadioButton4->isChecked());
        QCOMPARE(m->focusWidget(), m->DateTimePicker1);
        QCOMPARE(refreshes.count(), 2);
        QCOMPARE(statistics.count(), 2);
        QTest::keyClick(m->DateTimePicker1, Qt::Key_Up);
        QCOMPARE(refreshes.count(), 3);
        QVERIFY(payoutSql().contains(DateConventions::system().format(m->DateTimePicker2->date())));
    }

    void enterInThePickers()
    {
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        m->DateTimePicker1->setFocus();
        QTest::keyClick(m->DateTimePicker1, Qt::Key_Return);
        QVERIFY(m->RadioButton4->isChecked());
        QCOMPARE(m->focusWidget(), m->DateTimePicker2);
        QTest::keyClick(m->DateTimePicker2, Qt::Key_Return);
        QCOMPARE(m->focusWidget(), m->RadioButton4);
        QCOMPARE(refreshes.count(), 3); // the custom range's own action, then one per Enter
        QTest::keyClick(m->DateTimePicker2, Qt::Key_A);
        QCOMPARE(refreshes.count(), 3);
    }

    void guardedHandlersActOnlyWithTheFocus()
    {
        setBoxes(QStringLiteral("2009"), QStringLiteral("06"), QStringLiteral("15"));
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        m->ComboBox1->lineEdit()->setFocus();
        m->Button3->click();
        m->Button1->click();
        m->Button2->click();
        QCOMPARE(refreshes.count(), 0);
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2009"));
        m->Button3->setFocus();
        m->Button3->click();
        QCOMPARE(refreshes.count(), 1);
        QCOMPARE(m->ComboBox1->text(), QDate::currentDate().toString(QStringLiteral("yyyy")));
        QVERIFY(m->RadioButton3->isChecked()); // the today button leaves the range mode
    }

    void otherDateConventionsFailTheMonthReadingWithTheirOwnWords()
    {
        m->RadioButton2->setChecked(true);
        const QString payoutBefore = payoutSql(), incomeBefore = incomeSql();
        DateConventions::setSystem(DateConventions(QStringLiteral("d/M/yyyy"), QLatin1Char('/'),
                                                   DateConventions::Order::DayMonthYear));
        const QString start = m->ComboBox1->text() + QLatin1Char('-') + m->ComboBox2->text() + QStringLiteral("-1");
        m->BitBtn4->click();
        QCOMPARE(m->statusText(), QStringLiteral("'%1' is not a valid date and time").arg(start));
        m->BitBtn8->click();
        QCOMPARE(m->statusText(), QStringLiteral("'%1' is not a valid date").arg(start));
        QCOMPARE(payoutSql(), payoutBefore);
        QCOMPARE(incomeSql(), incomeBefore);
        QVERIFY(app->module()->ADOQueryZC.isOpen());
    }
};

QTEST_MAIN(TestDateSelector)
#include "tst_dateselector.moc"
