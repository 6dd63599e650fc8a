#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "grid/DataGrid.h"
#include "platform/DatePicker.h"
#include "core/DateConventions.h"
#include "platform/SelectorBox.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"
#include "support/UserInput.h"
#include "views/IncomeUt.h"
#include "views/PayoutAddUt.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QKeySequence>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
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
    // Opens a dialog with its add button; the dialog's window takes the keys.
    void open(QPushButton *add, AddRecordFm *dialog)
    {
        user::click(add);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(QApplication::focusWidget(), dialog->DateTimePicker1);
    }
    // Clicks into a box and types over its text (selected with End and
    // Shift+Home: the amount box drops Ctrl+A as a control character).
    void typeInto(QWidget *box, const QString &text)
    {
        user::click(box);
        user::press(Qt::Key_End);
        user::press(Qt::Key_Home, Qt::ShiftModifier);
        user::type(text);
    }
    // Chooses Paste in a text box's context menu.
    void pasteFromMenu(QWidget *box)
    {
        user::rightClick(box);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        const QString shortcut = QLatin1Char('\t') + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        const QList<QAction *> actions = menu->actions();
        const auto paste = std::find_if(actions.begin(), actions.end(),
                                        [&](QAction *action) { return action->text().endsWith(shortcut); });
        QVERIFY(paste != actions.end() && (*paste)->isEnabled());
        user::click(menu, menu->actionGeometry(*paste).center());
        QVERIFY(!menu->isVisible());
    }
    // Opens a category list with a click and picks a row with the arrow keys and Enter.
    void pickCategory(AddRecordFm *dialog, int row)
    {
        user::click(dialog->ComboBox1);
        QVERIFY(dialog->ComboBox1->view()->isVisible());
        QAbstractItemView *list = dialog->ComboBox1->view();
        for (int i = 0; i <= row && list->currentIndex().row() != row; ++i) // down to the row, as a user watches it
            user::press(Qt::Key_Down);
        user::press(Qt::Key_Return);
        QVERIFY(!dialog->ComboBox1->view()->isVisible());
        QCOMPARE(dialog->ComboBox1->currentIndex(), row);
    }
    // The widgets that hold the focus after each of steps presses of Tab or Shift+Tab.
    QList<QWidget *> walk(int steps, bool backwards)
    {
        QList<QWidget *> reached;
        for (int i = 0; i < steps; ++i) {
            if (backwards)
                user::press(Qt::Key_Backtab, Qt::ShiftModifier);
            else
                user::press(Qt::Key_Tab);
            reached.append(QApplication::focusWidget());
        }
        return reached;
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
        open(m->BitBtn1, payout);
        QVERIFY(payout->isVisible());
        QVERIFY(!payout->isModal());
        QCOMPARE(payout->windowTitle(), QStringLiteral("增加支出"));
        QCOMPARE(payout->ComboBox1->itemText(0), QStringLiteral("Tom's")); // the highest number first
        QCOMPARE(payout->ComboBox1->count(), app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutClass")).toInt());
        QCOMPARE(payout->ComboBox1->currentIndex(), -1);
        QCOMPARE(payout->DateTimePicker1->date(), QDate(2010, 3, 5));
        QCOMPARE(payout->focusWidget(), payout->DateTimePicker1);
        QCOMPARE(payout->Edit3->text(), QString());
        open(m->BitBtn5, income);
        QCOMPARE(income->ComboBox1->itemText(0), QStringLiteral("其他收入"));
        QCOMPARE(income->pos(), QPoint(358, 158));
    }

    void theAmountTakesDigitsAndPoints()
    {
        open(m->BitBtn1, payout);
        user::click(payout->Edit3);
        user::type(QStringLiteral("12a.5-, "));
        QCOMPARE(payout->Edit3->text(), QStringLiteral("12.5"));
        user::press(Qt::Key_Backspace);
        QCOMPARE(payout->Edit3->text(), QStringLiteral("12."));
        QGuiApplication::clipboard()->setText(QStringLiteral("1; DELETE FROM Payout"));
        user::press(Qt::Key_V, Qt::ControlModifier); // a control character: dropped
        QCOMPARE(payout->Edit3->text(), QStringLiteral("12."));
        // Pasted from the box's menu, the text is held to the same characters.
        pasteFromMenu(payout->Edit3);
        QCOMPARE(payout->Edit3->text(), QStringLiteral("12."));
        QGuiApplication::clipboard()->setText(QStringLiteral("7.25"));
        pasteFromMenu(payout->Edit3);
        QCOMPARE(payout->Edit3->text(), QStringLiteral("12.7.25"));
        // Nor does a minus come in that way, not even in front.
        user::press(Qt::Key_Home);
        QGuiApplication::clipboard()->setText(QStringLiteral("-5"));
        pasteFromMenu(payout->Edit3);
        QCOMPARE(payout->Edit3->text(), QStringLiteral("12.7.25"));
        // Delete types no character, though X11 gives it one: it deletes.
        user::press(Qt::Key_Home);
        user::press(Qt::Key_Delete, QStringLiteral("\x7f"));
        QCOMPARE(payout->Edit3->text(), QStringLiteral("2.7.25"));
        user::press(Qt::Key_End, Qt::ShiftModifier);
        user::press(Qt::Key_Delete, QStringLiteral("\x7f"));
        QCOMPARE(payout->Edit3->text(), QString());
    }

    void bothTabOrdersWalkCompletely()
    {
        open(m->BitBtn1, payout);
        const QList<QWidget *> payoutOrder = {payout->ComboBox1, payout->Edit3, payout->Edit4,
                                              payout->Button1,   payout->Button2, payout->DateTimePicker1};
        QCOMPARE(walk(6, false), payoutOrder);
        const QList<QWidget *> payoutBack = {payout->Button2, payout->Button1, payout->Edit4,
                                             payout->Edit3,   payout->ComboBox1, payout->DateTimePicker1};
        QCOMPARE(walk(6, true), payoutBack);

        open(m->BitBtn5, income);
        const QList<QWidget *> incomeOrder = {income->Edit3,     income->Edit4,          income->Button1,
                                              income->Button2, income->ComboBox1, income->DateTimePicker1};
        QCOMPARE(walk(6, false), incomeOrder);
        const QList<QWidget *> incomeBack = {income->ComboBox1, income->Button2, income->Button1,
                                             income->Edit4,     income->Edit3,   income->DateTimePicker1};
        QCOMPARE(walk(6, true), incomeBack);
        // Tab leaves the amount box with what was typed in it.
        user::press(Qt::Key_Backtab, Qt::ShiftModifier);
        user::press(Qt::Key_Backtab, Qt::ShiftModifier);
        user::press(Qt::Key_Backtab, Qt::ShiftModifier);
        user::press(Qt::Key_Backtab, Qt::ShiftModifier);
        user::press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), income->Edit3);
        user::type(QStringLiteral("8\t"));
        QCOMPARE(QApplication::focusWidget(), income->Edit4);
        QCOMPARE(income->Edit3->text(), QStringLiteral("8"));
    }

    void enterWalksTheBoxesAndConfirms_data()
    {
        QTest::addColumn<Qt::Key>("walk"); // the key that leaves the date picker and the amount box
        QTest::newRow("Enter") << Qt::Key_Return;
        QTest::newRow("Down arrow") << Qt::Key_Down;
    }
    void enterWalksTheBoxesAndConfirms()
    {
        QFETCH(Qt::Key, walk);
        open(m->BitBtn1, payout);
        user::press(walk);
        QCOMPARE(QApplication::focusWidget(), payout->ComboBox1);
        QCOMPARE(payout->DateTimePicker1->date(), QDate(2010, 3, 5)); // the picker only lets the focus go
        user::press(Qt::Key_Down); // the first category, highest number first
        QCOMPARE(payout->ComboBox1->currentText(), QStringLiteral("Tom's"));
        user::press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), payout->Edit3);
        user::type(QStringLiteral("7.5"));
        user::press(walk);
        QCOMPARE(QApplication::focusWidget(), payout->Edit4);
        user::type(QStringLiteral("it's lunch"));
        user::press(Qt::Key_Return);
        QVERIFY(!payout->isVisible());
        QCOMPARE(payouts(QStringLiteral("P_Date='2010-03-05' AND P_Class='Tom''s' AND P_Num=7.5 AND P_Desc='it''s lunch'")), 1);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 1); // the list was refreshed
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(m->Edit2->text(), QStringLiteral(".00")); // the statistics wait for their next run
    }

    // A focused button takes Enter as it takes Space: the add buttons of the
    // list tabs, which their tabs give the focus, and OK and Cancel. Esc and
    // Enter elsewhere press neither: no button is the dialog's default.
    void enterOnAFocusedButtonPressesIt_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Enter") << Qt::Key_Return << Qt::KeyboardModifiers();
        QTest::newRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
        QTest::newRow("Space") << Qt::Key_Space << Qt::KeyboardModifiers();
    }
    void enterOnAFocusedButtonPressesIt()
    {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QTabBar *tabs = m->PageControl1->tabBar();
        user::click(tabs, tabs->tabRect(1).center());
        QCOMPARE(QApplication::focusWidget(), m->BitBtn1);
        user::press(key, modifiers);
        QVERIFY(QTest::qWaitForWindowActive(payout));
        QCOMPARE(QApplication::focusWidget(), payout->DateTimePicker1); // the key's release walked nowhere
        typeInto(payout->Edit3, QStringLiteral("3"));
        user::press(Qt::Key_Escape);
        QVERIFY(payout->isVisible());
        QCOMPARE(walk(2, false), (QList<QWidget *>{payout->Edit4, payout->Button1}));
        user::press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), payout->Button2);
        user::press(key, modifiers); // Cancel
        QVERIFY(!payout->isVisible());
        QCOMPARE(payouts(QStringLiteral("1")), 0);

        QApplication::setActiveWindow(m); // as the window system does once the dialog is gone
        QVERIFY(QTest::qWaitForWindowActive(m));
        user::click(tabs, tabs->tabRect(0).center());
        QCOMPARE(QApplication::focusWidget(), m->BitBtn5);
        user::press(key, modifiers);
        QVERIFY(QTest::qWaitForWindowActive(income));
        QCOMPARE(QApplication::focusWidget(), income->DateTimePicker1);
        typeInto(income->Edit3, QStringLiteral("4"));
        QCOMPARE(walk(2, false), (QList<QWidget *>{income->Edit4, income->Button1}));
        user::press(key, modifiers); // OK
        QVERIFY(!income->isVisible());
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Income WHERE I_Num=4")).toInt(), 1);
    }

    void theIncomeDatePickerHasNoKeyRule()
    {
        open(m->BitBtn5, income);
        user::press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), income->DateTimePicker1);
        user::press(Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), income->DateTimePicker1);
        // Enter walks on from the category box.
        user::click(income->ComboBox1);
        user::press(Qt::Key_Escape); // closes the list the click opened
        QCOMPARE(QApplication::focusWidget(), income->ComboBox1);
        user::press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), income->Edit3);
    }

    void theStatementIsBuiltFromTheBoxes()
    {
        app->ledger().exec(QStringLiteral("INSERT INTO PayoutClass(PC_Name) VALUES('Food')"));
        open(m->BitBtn1, payout);
        // With the keyboard: Enter to the category box, Alt+Down opens its list, a click picks.
        user::press(Qt::Key_Return);
        user::press(Qt::Key_Down, Qt::AltModifier);
        QVERIFY(payout->ComboBox1->view()->isVisible());
        user::clickCell(payout->ComboBox1->view(), payout->ComboBox1->findText(QStringLiteral("Food")), 0);
        QVERIFY(!payout->ComboBox1->view()->isVisible());
        QCOMPARE(payout->ComboBox1->currentText(), QStringLiteral("Food"));
        typeInto(payout->Edit3, QStringLiteral("12.5"));
        typeInto(payout->Edit4, QStringLiteral("lunch"));
        QCOMPARE(payout->insertStatement(),
                 QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','Food',12.5,'lunch')"));
    }

    void aMalformedAmountKeepsTheDialogOpen()
    {
        open(m->BitBtn1, payout);
        typeInto(payout->Edit3, QStringLiteral("1.2.3"));
        typeInto(payout->Edit4, QStringLiteral("kept"));
        user::click(payout->Button1);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(app->boxes().shown[0].caption, QStringLiteral("Lumibran管理专家V2.5.9"));
        QVERIFY(payout->isVisible());
        QCOMPARE(payout->Edit3->text(), QStringLiteral("1.2.3"));
        QCOMPARE(payout->Edit4->text(), QStringLiteral("kept"));
        QCOMPARE(payouts(QStringLiteral("1")), 0);
        typeInto(payout->Edit3, QString()); // an empty amount is refused the same way
        user::press(Qt::Key_Backspace);
        QCOMPARE(payout->Edit3->text(), QString());
        user::click(payout->Button1);
        QCOMPARE(app->boxes().shown.size(), 2);
        QVERIFY(payout->isVisible());
    }

    void aRecordOutsideThePeriodIsStoredButNotListed()
    {
        open(m->BitBtn5, income);
        user::press(Qt::Key_End); // the day, one up
        user::press(Qt::Key_Up);
        QCOMPARE(income->DateTimePicker1->date(), QDate(2010, 3, 6));
        typeInto(income->Edit3, QStringLiteral("100"));
        user::click(income->Button1);
        QVERIFY(!income->isVisible());
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Income WHERE I_Date='2010-03-06'")).toInt(), 1);
        QCOMPARE(m->DBGridSR->model()->rowCount(), 0);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT I_Class FROM Income")).toString(), QString());
    }

    void reopeningResetsAShowingDialog()
    {
        open(m->BitBtn1, payout);
        pickCategory(payout, 1);
        typeInto(payout->Edit3, QStringLiteral("9"));
        m->ComboBox3->setText(QStringLiteral("07"));
        open(m->BitBtn1, payout);
        QCOMPARE(payout->ComboBox1->currentIndex(), -1);
        QCOMPARE(payout->Edit3->text(), QString());
        QCOMPARE(payout->DateTimePicker1->date(), QDate(2010, 3, 7));
    }

    void cancelWritesNothing()
    {
        open(m->BitBtn1, payout);
        typeInto(payout->Edit3, QStringLiteral("9"));
        user::click(payout->Button2);
        QVERIFY(!payout->isVisible());
        QCOMPARE(payouts(QStringLiteral("1")), 0);
    }

    void aDateThatDoesNotFitTheSystemFormatStopsTheOpening()
    {
        DateConventions::setSystem(DateConventions(QStringLiteral("d/M/yyyy"), QLatin1Char('/'),
                                                   DateConventions::Order::DayMonthYear));
        user::click(m->BitBtn1);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(app->boxes().shown[0].text, QStringLiteral("'2010-03-05' is not a valid date."));
        QVERIFY(!payout->isVisible());
    }
};

QTEST_MAIN(TestAddRecord)
#include "tst_addrecord.moc"
