#include "app/MainUt.h"
#include "grid/DataGrid.h"
#include "core/DateConventions.h"
#include "platform/DatePicker.h"
#include "core/Error.h"
#include "platform/ErrorReport.h"
#include "platform/MonthCalendar.h"
#include "platform/SelectorBox.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"
#include "support/UserInput.h"
#include "views/PeriodControls.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
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
    void clickAsUser(QPushButton *button) { user::click(button); }
    // Clicks into a box and types over its whole text.
    void typeOver(SelectorBox *box, const QString &text)
    {
        user::click(box);
        user::press(Qt::Key_A, Qt::ControlModifier);
        user::type(text);
    }
    // A pick from a box's list: Alt+Down opens the list, a click on the item
    // chooses it.
    void pick(SelectorBox *box, const QString &item)
    {
        user::click(box);
        user::press(Qt::Key_Down, Qt::AltModifier);
        QVERIFY(box->view()->isVisible());
        user::clickCell(box->view(), box->findText(item), 0);
        QVERIFY(!box->view()->isVisible());
    }
    QString selectedText(SelectorBox *box) const { return box->lineEdit()->selectedText(); }

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
        user::click(m->RadioButton2);
        QCOMPARE(payoutSql(), QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where [P_Date] between "
                                             "#2008-02-1# And #2008-02-29# Order By P_No  Asc"));
        QCOMPARE(incomeSql(), QStringLiteral("Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where [I_Date] between "
                                             "#2008-02-1# And #2008-02-29# Order By I_No Asc"));
        m->ComboBox1->setText(QStringLiteral("2007"));
        m->BitBtn4->click();
        QVERIFY(payoutSql().contains(QLatin1String("#2007-02-1# And #2007-02-28#")));
        // A century year is a leap year only when 400 divides it; the year box takes any year.
        m->Calendar1->setSelectedDate(QDate(2008, 2, 1));
        for (const auto &[year, end] : {std::pair{"1900", "28"}, {"2000", "29"}, {"2100", "28"}}) {
            typeOver(m->ComboBox1, QLatin1String(year));
            const QString period = QStringLiteral("#%1-02-1# And #%1-02-%2#").arg(QLatin1String(year), QLatin1String(end));
            QVERIFY2(payoutSql().contains(period), qPrintable(payoutSql()));
        }
        setBoxes(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("09"));
        user::click(m->RadioButton1);
        QVERIFY(payoutSql().contains(QLatin1String("#2010-1-1# And #2010-12-31#")));
        user::click(m->RadioButton3);
        QCOMPARE(payoutSql(), QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where P_Date = "
                                             "#2010-03-09# Order By P_No  Asc"));
        QCOMPARE(incomeSql(), QStringLiteral("Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where I_Date = "
                                             "#2010-03-09# Order By I_No Asc"));
        m->DateTimePicker1->setDateQuietly(QDate(2010, 3, 10));
        m->DateTimePicker2->setDateQuietly(QDate(2009, 1, 2)); // a start after the end is used as it is
        user::click(m->RadioButton4);
        QVERIFY(payoutSql().contains(QLatin1String("#2010-3-10# And #2009-1-2#")));
        QCOMPARE(m->focusWidget(), m->DateTimePicker1);
        QCOMPARE(m->statusText(), QString());
    }

    void aCalendarPickWritesPlainNumbers()
    {
        m->Calendar1->setSelectedDate(QDate(2007, 5, 1)); // the page, set while the calendar lacks the focus
        QCOMPARE(m->ComboBox1->text(), QDate::currentDate().toString(QStringLiteral("yyyy")));
        auto *view = m->Calendar1->findChild<QTableView *>();
        QVERIFY(view);
        // The first 9 after the day names is the month's own ninth day.
        QModelIndex ninth;
        for (int row = 1; row < view->model()->rowCount() && !ninth.isValid(); ++row)
            for (int column = 0; column < view->model()->columnCount() && !ninth.isValid(); ++column)
                if (view->model()->index(row, column).data().toInt() == 9)
                    ninth = view->model()->index(row, column);
        QVERIFY(ninth.isValid());
        user::clickCell(view, ninth.row(), ninth.column());
        QCOMPARE(m->Calendar1->selectedDate(), QDate(2007, 5, 9));
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

    // The calendar holds the years 1 to 9999: a step past either end fails
    // as a date it cannot hold does, and leaves the year and month boxes and
    // the calendar as they were.
    void theMonthButtonsStopAtTheCalendarsEnds_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QDate>("date");
        QTest::newRow("before January of year 1") << -1 << QDate(1, 1, 15);
        QTest::newRow("after December 9999") << +1 << QDate(9999, 12, 15);
    }
    void theMonthButtonsStopAtTheCalendarsEnds()
    {
        QFETCH(int, step);
        QFETCH(QDate, date);
        const QString year = QString::number(date.year()), month = date.toString(QStringLiteral("MM"));
        setBoxes(year, month, QStringLiteral("15"));
        m->Calendar1->setSelectedDate(date);
        const QString before = payoutSql();
        clickAsUser(step < 0 ? m->Button1 : m->Button2);
        QCOMPARE(m->statusText(), QStringLiteral("Invalid argument to date encode"));
        QCOMPARE(m->ComboBox1->text(), year);
        QCOMPARE(m->ComboBox2->text(), month);
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("01")); // as at every failure after the step's first write
        QCOMPARE(m->Calendar1->selectedDate(), date);
        QCOMPARE(payoutSql(), before);
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
        typeOver(m->ComboBox1, QStringLiteral("2a0x1-1 "));
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2011"));
        QVERIFY(payoutSql().contains(QLatin1String("#2011-")));
        QCOMPARE(m->Calendar1->year(), 2011);
        QCOMPARE(QApplication::focusWidget(), m->ComboBox1); // the refreshed grids leave the focus where it was
        user::press(Qt::Key_Backspace);
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("201"));
        QCOMPARE(m->Calendar1->year(), 201);
        // Other digits than "0" to "9" are refused too: the full-width ones of
        // a Chinese input method, Arabic-Indic, superscript.
        for (SelectorBox *box : {m->ComboBox1, m->ComboBox2, m->ComboBox3}) {
            user::click(box);
            user::press(Qt::Key_End);
            const QString before = box->text();
            user::type(QStringLiteral("a.Z-/ ２٣²"));
            QCOMPARE(box->text(), before);
        }
        QCOMPARE(m->statusText(), QString());
    }

    void pastedLettersAreRefusedToo()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("20a6"));
        typeOver(m->ComboBox1, QString());
        const QString before = m->ComboBox1->text();
        user::press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m->ComboBox1->text(), before);
        QGuiApplication::clipboard()->setText(QStringLiteral("2009"));
        user::press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2009"));
        QCOMPARE(m->Calendar1->year(), 2009);
    }

    void keysThatTypeNoCharacterStillWork()
    {
        user::click(m->ComboBox2);
        QCOMPARE(QApplication::focusWidget(), m->ComboBox2);
        user::press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m->ComboBox3);
        user::press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), m->ComboBox2);
        // F4 opens the list and Esc closes it again, choosing nothing.
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        const QString before = m->ComboBox2->text();
        user::press(Qt::Key_F4);
        QVERIFY(m->ComboBox2->view()->isVisible());
        user::press(Qt::Key_Escape);
        QVERIFY(!m->ComboBox2->view()->isVisible());
        user::press(Qt::Key_Return);
        QCOMPARE(m->ComboBox2->text(), before);
        QCOMPARE(refreshes.count(), 0);
        QCOMPARE(QApplication::focusWidget(), m->ComboBox2);
    }

    // A wheel turned over a box or picker on the way to somewhere else
    // changes nothing; over the one that holds the focus it steps it.
    void theWheelStepsOnlyTheFocusedDateControl()
    {
        user::click(m->DBGridSR->viewport());
        QCOMPARE(QApplication::focusWidget(), m->DBGridSR);
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        const QStringList boxes = {m->ComboBox1->text(), m->ComboBox2->text(), m->ComboBox3->text()};
        const QDate start = m->DateTimePicker1->date(), end = m->DateTimePicker2->date();
        for (QWidget *control : std::initializer_list<QWidget *>{m->ComboBox1, m->ComboBox2, m->ComboBox3,
                                                                 m->DateTimePicker1, m->DateTimePicker2}) {
            user::wheel(control, -120);
            user::wheel(control, 120);
            user::wheel(control, 120);
        }
        QCOMPARE((QStringList{m->ComboBox1->text(), m->ComboBox2->text(), m->ComboBox3->text()}), boxes);
        QCOMPARE(m->DateTimePicker1->date(), start);
        QCOMPARE(m->DateTimePicker2->date(), end);
        QVERIFY(m->RadioButton3->isChecked());
        QCOMPARE(refreshes.count(), 0);
        QCOMPARE(QApplication::focusWidget(), m->DBGridSR);

        setBoxes(QStringLiteral("2010"), QStringLiteral("05"), QStringLiteral("09"));
        user::click(m->ComboBox2);
        user::wheel(m->ComboBox2, -120); // toward the user: the next item
        QCOMPARE(m->ComboBox2->text(), QStringLiteral("06"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("01"));
        QCOMPARE(refreshes.count(), 1);
        user::click(m->DateTimePicker2);
        user::press(Qt::Key_Home);
        user::wheel(m->DateTimePicker2, 120);
        QCOMPARE(m->DateTimePicker2->date(), end.addYears(1));
        QVERIFY(m->RadioButton4->isChecked());
    }

    void typingCompletesFromTheList()
    {
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        typeOver(m->ComboBox1, QStringLiteral("200"));
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2005"));
        QCOMPARE(selectedText(m->ComboBox1), QStringLiteral("5"));
        QCOMPARE(m->Calendar1->year(), 2005);
        QVERIFY(payoutSql().contains(QLatin1String("#2005-")));
        QCOMPARE(refreshes.count(), 1); // "2" chose 2005; "0" and "0" kept it
    }

    void backspaceIsTypingAndEmptiesTheBox()
    {
        typeOver(m->ComboBox1, QStringLiteral("2011"));
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        user::press(Qt::Key_End);
        const QStringList texts = {QStringLiteral("201"), QStringLiteral("20"), QStringLiteral("2"), QString(),
                                   QString(), QString()};
        for (const QString &text : texts) {
            user::press(Qt::Key_Backspace);
            QCOMPARE(m->ComboBox1->text(), text);
            QCOMPARE(selectedText(m->ComboBox1), QString());
        }
        QCOMPARE(refreshes.count(), 3); // once per shorter number; the empty box reports instead
        QCOMPARE(m->Calendar1->year(), 2);
        QCOMPARE(m->statusText(), QStringLiteral("'' is not a valid integer value"));
    }

    void emptyingTheDayBoxPutsTheFirstBack()
    {
        typeOver(m->ComboBox3, QStringLiteral("15"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("15"));
        QCOMPARE(m->Calendar1->day(), 15);
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        user::press(Qt::Key_End);
        user::press(Qt::Key_Backspace);
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("1"));
        QCOMPARE(m->Calendar1->day(), 1);
        QCOMPARE(refreshes.count(), 1);
        const QString before = payoutSql();
        user::press(Qt::Key_Backspace);
        QCOMPARE(m->statusText(), QStringLiteral("'' is not a valid integer value"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("01"));
        QCOMPARE(refreshes.count(), 1);
        QCOMPARE(payoutSql(), before);

        // Emptied at one stroke: the calendar goes back to day 1 as well.
        typeOver(m->ComboBox3, QStringLiteral("15"));
        QCOMPARE(m->Calendar1->day(), 15);
        const QString fifteenth = payoutSql();
        reportError(m->StatusBar1, QString());
        user::press(Qt::Key_A, Qt::ControlModifier);
        user::press(Qt::Key_Backspace);
        QCOMPARE(m->statusText(), QStringLiteral("'' is not a valid integer value"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("01"));
        QCOMPARE(m->Calendar1->day(), 1);
        QCOMPARE(payoutSql(), fifteenth); // the lists keep the previous day's rows
    }

    void aCompletionThatKeepsTheItemIsNoChange()
    {
        typeOver(m->ComboBox2, QStringLiteral("0"));
        QCOMPARE(m->ComboBox2->text(), QStringLiteral("01"));
        typeOver(m->ComboBox3, QStringLiteral("15"));
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        typeOver(m->ComboBox2, QStringLiteral("0"));
        QCOMPARE(m->ComboBox2->text(), QStringLiteral("01"));
        QCOMPARE(selectedText(m->ComboBox2), QStringLiteral("1"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("15"));
        QCOMPARE(m->Calendar1->day(), 15);
        QCOMPARE(refreshes.count(), 0);
        user::type(QStringLiteral("4")); // a completion to another item is a pick
        QCOMPARE(m->ComboBox2->text(), QStringLiteral("04"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("01"));
        QCOMPARE(refreshes.count(), 1);
    }

    void choosingAprilOnTheThirtyFirstOfMarch()
    {
        setBoxes(QStringLiteral("2010"), QStringLiteral("03"), QStringLiteral("31"));
        m->Calendar1->setSelectedDate(QDate(2010, 3, 31));
        user::click(m->RadioButton2);
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
        // With the keyboard: Alt+Down opens the list on 2008, Up and Enter choose 2007.
        user::click(m->ComboBox1);
        user::press(Qt::Key_Down, Qt::AltModifier);
        QVERIFY(m->ComboBox1->view()->isVisible());
        user::press(Qt::Key_Up);
        user::press(Qt::Key_Return);
        QVERIFY(!m->ComboBox1->view()->isVisible());
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
        user::click(m->RadioButton2);
        QVERIFY(m->RadioButton2->isChecked());
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        QSignalSpy statistics(m->BitBtnTJ, &QPushButton::clicked);
        user::click(m->DateTimePicker2);
        user::press(Qt::Key_Home); // the year, which can always go up
        user::press(Qt::Key_Up);
        QVERIFY(m->RadioButton4->isChecked());
        QCOMPARE(m->focusWidget(), m->DateTimePicker1);
        QCOMPARE(refreshes.count(), 2);
        QCOMPARE(statistics.count(), 2);
        user::press(Qt::Key_Up);
        QCOMPARE(refreshes.count(), 3);
        QVERIFY(payoutSql().contains(DateConventions::system().format(m->DateTimePicker2->date())));
    }

    void enterInThePickers()
    {
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        user::click(m->DateTimePicker1);
        user::press(Qt::Key_Return);
        QVERIFY(m->RadioButton4->isChecked());
        QCOMPARE(m->focusWidget(), m->DateTimePicker2);
        user::press(Qt::Key_Return);
        QCOMPARE(m->focusWidget(), m->RadioButton4);
        QCOMPARE(refreshes.count(), 3); // the custom range's own action, then one per Enter
        user::press(Qt::Key_A);
        QCOMPARE(refreshes.count(), 3);
    }

    void guardedHandlersActOnlyWithTheFocus()
    {
        setBoxes(QStringLiteral("2009"), QStringLiteral("06"), QStringLiteral("15"));
        QSignalSpy refreshes(m->BitBtn4, &QPushButton::clicked);
        user::click(m->ComboBox1);
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
        user::click(m->RadioButton2);
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
