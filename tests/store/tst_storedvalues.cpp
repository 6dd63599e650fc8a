// Only finite amounts and real days, as ISO texts, are stored, whatever the
// statement, on ledgers made by today's tool and on those made before their
// schema carried the checks.
#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "grid/DataGrid.h"
#include "core/Error.h"
#include "store/Connection.h"
#include "store/Query.h"
#include "support/AppFixture.h"
#include "support/UserInput.h"
#include "views/PayoutAddUt.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

// The tables as the first ledgers were made: no checks in the schema.
const char *const uncheckedSchema[] = {
    "DROP TABLE Income",
    "CREATE TABLE Income (I_No INTEGER PRIMARY KEY AUTOINCREMENT, I_Date DATE, I_Class TEXT, I_Num REAL, I_Desc TEXT)",
    "DROP TABLE Payout",
    "CREATE TABLE Payout (P_No INTEGER PRIMARY KEY AUTOINCREMENT, P_Date DATE, P_Class TEXT, P_Num REAL, P_Desc TEXT)",
    "DROP TABLE AllCount",
    "CREATE TABLE AllCount (AC_No INTEGER PRIMARY KEY AUTOINCREMENT, AC_I_Count REAL, AC_P_Count REAL, AC_Net_Count REAL)",
};

struct Ledger
{
    TestLedger file;
    Connection connection;
    explicit Ledger(bool unchecked)
    {
        if (unchecked)
            for (const char *sql : uncheckedSchema)
                file.exec(QString::fromLatin1(sql));
        connection.setConnectionString(file.connectionString());
        connection.open();
        connection.execute(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES('2010-3-1','a',5,'first')"));
    }
    QString contents() const
    {
        QStringList rows;
        for (const QVariantList &row : file.rows(QStringLiteral("SELECT P_No, typeof(P_Date), P_Date, typeof(P_Num), P_Num FROM Payout ORDER BY P_No")))
            for (const QVariant &value : row)
                rows.append(value.toString());
        return rows.join(QLatin1Char('|'));
    }
};

} // namespace

class TestStoredValues : public QObject
{
    Q_OBJECT
private slots:
    void badValuesAreRefusedByEveryStatement_data()
    {
        QTest::addColumn<bool>("unchecked");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("named");
        const QString nines(400, QLatin1Char('9'));
        const QList<std::tuple<const char *, QString, const char *>> cases = {
            {"400 digits", QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','a',%1,'')").arg(nines), "P_Num"},
            {"negative 400 digits", QStringLiteral("Insert Into Payout(P_Date,P_Num) Values('2010-3-5',-%1)").arg(nines), "P_Num"},
            {"quoted text amount", QStringLiteral("Insert Into Payout(P_Date,P_Num) Values('2010-3-5','abc')"), "P_Num"},
            {"empty text amount", QStringLiteral("Insert Into Payout(P_Date,P_Num) Values('2010-3-5','')"), "P_Num"},
            {"inf text", QStringLiteral("Insert Into Payout(P_Date,P_Num) Values('2010-3-5','inf')"), "P_Num"},
            {"overflowing text", QStringLiteral("Insert Into Payout(P_Date,P_Num) Values('2010-3-5','1e999')"), "P_Num"},
            {"no column list, no day", QStringLiteral("Insert Into Payout Values(Null,'2010-2-30','a',1,'')"), "2010-2-30"},
            {"no column list, text amount", QStringLiteral("Insert Into Payout Values(Null,'2010-3-5','a','x','')"), "P_Num"},
            {"insert select", QStringLiteral("Insert Into Payout(P_Date,P_Num) Select '2010-4-3', 1"), "P_Date"},
            {"concatenated", QStringLiteral("Insert Into Payout(P_Date,P_Num) Values('2010-4-' || '3', 1)"), "P_Date"},
            {"number as day", QStringLiteral("Insert Into Payout(P_Date,P_Num) Values(20100403, 1)"), "P_Date"},
            {"day and time", QStringLiteral("Insert Into Payout(P_Date,P_Num) Values('2010-04-03 10:00', 1)"), "2010-04-03 10:00"},
            {"day with more after a NUL", QStringLiteral("Insert Into Payout(P_Date,P_Num) Values('2010-04-03' || char(0) || 'x', 1)"), "P_Date"},
            {"update amount", QStringLiteral("UPDATE Payout SET P_Num='abc' WHERE P_No=1"), "P_Num"},
            {"update amount overflow", QStringLiteral("UPDATE Payout SET P_Num=P_Num*1e308*1e308"), "P_Num"},
            {"update day suffix", QStringLiteral("UPDATE Payout SET P_Date=P_Date || 'x'"), "P_Date"},
            {"update parenthesised no day", QStringLiteral("UPDATE Payout SET P_Date=('2010-4-31')"), "2010-4-31"},
            {"totals", QStringLiteral("INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count) VALUES(1e999, 0, 0 )"), "AC_I_Count"},
        };
        for (bool unchecked : {false, true})
            for (const auto &[name, sql, named] : cases)
                QTest::addRow("%s, %s", unchecked ? "unchecked schema" : "checked schema", name)
                    << unchecked << sql << QString::fromUtf8(named);
    }
    void badValuesAreRefusedByEveryStatement()
    {
        QFETCH(bool, unchecked);
        QFETCH(QString, sql);
        QFETCH(QString, named);
        Ledger l(unchecked);
        const QString before = l.contents();
        const int totals = l.file.scalar(QStringLiteral("SELECT count(*) FROM AllCount")).toInt();
        try {
            l.connection.execute(sql);
            QFAIL("the statement was accepted");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(named), qPrintable(e.message()));
        }
        QCOMPARE(l.contents(), before);
        QCOMPARE(l.file.scalar(QStringLiteral("SELECT count(*) FROM AllCount")).toInt(), totals);
    }

    void daysAreStoredAsIsoTextsFromEveryStatement_data()
    {
        QTest::addColumn<bool>("unchecked");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("stored");
        const QList<std::tuple<const char *, const char *, const char *>> cases = {
            {"no column list", "Insert Into Payout Values(Null,'2010-4-3','a','12.5','')", "2|text|2010-04-03|real|12.5"},
            {"parenthesised", "Insert Into Payout(P_Date,P_Num) Values(('2010-4-3'), (2))", "2|text|2010-04-03|real|2"},
            {"several rows", "Insert Into Payout(P_Date,P_Num) Values('2010-4-3',1),('2010-4-4',Null)",
             "2|text|2010-04-03|real|1|3|text|2010-04-04|null|"},
            {"date literal", "Insert Into Payout(P_Date,P_Num) Values(#2010-4-3#, 1)", "2|text|2010-04-03|real|1"},
            {"null day", "Insert Into Payout(P_Date,P_Num) Values(Null, 1)", "2|null||real|1"},
            {"copy of stored rows", "Insert Into Payout(P_Date,P_Num) Select P_Date, P_Num*2 From Payout", "2|text|2010-03-01|real|10"},
        };
        for (bool unchecked : {false, true})
            for (const auto &[name, sql, stored] : cases)
                QTest::addRow("%s, %s", unchecked ? "unchecked schema" : "checked schema", name)
                    << unchecked << QString::fromUtf8(sql) << QStringLiteral("1|text|2010-03-01|real|5|") + QString::fromUtf8(stored);
    }
    void daysAreStoredAsIsoTextsFromEveryStatement()
    {
        QFETCH(bool, unchecked);
        QFETCH(QString, sql);
        QFETCH(QString, stored);
        Ledger l(unchecked);
        l.connection.execute(sql);
        QCOMPARE(l.contents(), stored);
    }

    void anUpdateWithAParenthesisedDayStoresItAsIsoText_data()
    {
        QTest::addColumn<bool>("unchecked");
        QTest::newRow("checked schema") << false;
        QTest::newRow("unchecked schema") << true;
    }
    void anUpdateWithAParenthesisedDayStoresItAsIsoText()
    {
        QFETCH(bool, unchecked);
        Ledger l(unchecked);
        l.connection.execute(QStringLiteral("UPDATE Payout SET P_Date=('2010-4-3'), P_Num = ' 7 ' WHERE P_No=1"));
        QCOMPARE(l.contents(), QStringLiteral("1|text|2010-04-03|real|7"));
    }

    void aGridPostTakesOnlyFiniteAmountsAndRealDays_data()
    {
        QTest::addColumn<bool>("unchecked");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        for (bool unchecked : {false, true})
            for (const char *typed : {"inf", "-inf", "nan", "1e999", "abc"})
                QTest::addRow("%s %s", unchecked ? "unchecked" : "checked", typed)
                    << unchecked << QStringLiteral("P_Num") << QString::fromLatin1(typed);
        QTest::newRow("no such day") << false << QStringLiteral("P_Date") << QStringLiteral("2010-2-30");
    }
    void aGridPostTakesOnlyFiniteAmountsAndRealDays()
    {
        QFETCH(bool, unchecked);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        Ledger l(unchecked);
        const QString before = l.contents();
        Query list(QStringLiteral("ADOQueryZC"));
        list.setConnection(&l.connection);
        list.setSql(QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout"));
        list.open();
        list.append();
        list.setFieldText(list.fieldIndex(QStringLiteral("P_Date")), QStringLiteral("2010-3-9"));
        list.setFieldText(list.fieldIndex(field), typed);
        try {
            list.post();
            QFAIL("the row was posted");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(typed), qPrintable(e.message()));
        }
        QCOMPARE(list.state(), Query::State::Insert); // the typed row waits for a correction
        QCOMPARE(l.contents(), before);
    }

    void theCheckedSchemaHoldsForOtherWritersToo()
    {
        TestLedger file;
        for (const char *sql : {"INSERT INTO Payout(P_Date,P_Num) VALUES('2010-4-3',1)",
                                "INSERT INTO Payout(P_Date,P_Num) VALUES('2010-02-30',1)",
                                "INSERT INTO Payout(P_Date,P_Num) VALUES('2010-04-03',1e999)",
                                "INSERT INTO Payout(P_Date,P_Num) VALUES('2010-04-03','abc')",
                                "INSERT INTO AllCount(AC_Net_Count) VALUES(-1e999)"})
            QVERIFY_THROWS_EXCEPTION(Error, file.exec(QString::fromLatin1(sql)));
        file.exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Num) VALUES('2012-02-29',-1.5)"));
        file.exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Num) VALUES(Null,Null)"));
        QCOMPARE(file.scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 2);
    }

    void aRefusedAmountInTheAddDialogKeepsTheDialogAndWritesNothing()
    {
        AppFixture app;
        app.show();
        TPayoutAddFm *dialog = app.windows().PayoutAddFm.get();
        user::click(app.main()->BitBtn1);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        const QString nines(400, QLatin1Char('9'));
        user::click(dialog->Edit3);
        user::type(nines);
        user::click(dialog->Edit4);
        user::type(QStringLiteral("kept"));
        user::click(dialog->Button1);
        QCOMPARE(app.boxes().shown.size(), 1);
        QCOMPARE(app.boxes().shown[0].text, QStringLiteral("无效的数值：P_Num 列只存有限的数字，不能存入 Inf."));
        QCOMPARE(app.boxes().shown[0].icon, MessageBoxes::Icon::Error);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->Edit3->text(), nines);
        QCOMPARE(dialog->Edit4->text(), QStringLiteral("kept"));
        QCOMPARE(app.ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 0);
    }

    // A ledger made by another tool may declare its days DATETIME, TIMESTAMP
    // or TEXT and its amounts MONEY: they are known by their names, so a
    // record added through the dialog gets an ISO day and shows in that day's
    // list, and an amount typed into the grid must be a number.
    void daysAndAmountsAreKnownByNameWhateverTheirDeclaredType_data()
    {
        QTest::addColumn<QString>("dayType");
        for (const char *type : {"DATETIME", "TIMESTAMP", "TEXT"})
            QTest::newRow(type) << QString::fromLatin1(type);
    }
    void daysAndAmountsAreKnownByNameWhateverTheirDeclaredType()
    {
        QFETCH(QString, dayType);
        AppFixture app;
        app.ledger().exec(QStringLiteral("DROP TABLE Payout"));
        app.ledger().exec(QStringLiteral("CREATE TABLE Payout (P_No INTEGER PRIMARY KEY AUTOINCREMENT, P_Date %1, "
                                         "P_Class TEXT, P_Num MONEY, P_Desc TEXT)").arg(dayType));
        app.show();
        TMainFm *m = app.main();
        user::click(m->PageControl1->tabBar(), m->PageControl1->tabBar()->tabRect(1).center());
        TPayoutAddFm *dialog = app.windows().PayoutAddFm.get();
        user::click(m->BitBtn1);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        user::click(dialog->Edit3);
        user::type(QStringLiteral("12.5"));
        user::click(dialog->Button1);
        QTRY_VERIFY(!dialog->isVisible());
        QCOMPARE(app.ledger().scalar(QStringLiteral("SELECT P_Date FROM Payout")).toString(),
                 QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(m->DBGridZC->model()->rowCount(), 1);

        QApplication::setActiveWindow(m);
        QVERIFY(QTest::qWaitForWindowActive(m));
        user::clickCell(m->DBGridZC, 0, 2);
        user::press(Qt::Key_A, Qt::ControlModifier);
        user::type(QStringLiteral("abc"));
        user::click(m->BitBtn3);
        QCOMPARE(m->statusText(), QStringLiteral("不是有效的数字：'abc'"));
        QCOMPARE(app.ledger().scalar(QStringLiteral("SELECT P_Num FROM Payout")).toDouble(), 12.5);
    }

    // A note is stored whole, however long, from the add dialog and from a
    // grid cell alike: nothing cuts it on the way.
    void aLongNoteIsStoredWhole()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        const QString note = QString(40000, QLatin1Char('x')) + QStringLiteral("尾");
        QGuiApplication::clipboard()->setText(note);
        user::click(m->PageControl1->tabBar(), m->PageControl1->tabBar()->tabRect(1).center());
        TPayoutAddFm *dialog = app.windows().PayoutAddFm.get();
        user::click(m->BitBtn1);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        user::click(dialog->Edit3);
        user::type(QStringLiteral("1"));
        user::click(dialog->Edit4);
        user::press(Qt::Key_V, Qt::ControlModifier);
        user::click(dialog->Button1);
        QTRY_VERIFY(!dialog->isVisible());
        QCOMPARE(app.ledger().scalar(QStringLiteral("SELECT P_Desc FROM Payout")).toString(), note);

        QApplication::setActiveWindow(m);
        QVERIFY(QTest::qWaitForWindowActive(m));
        QGuiApplication::clipboard()->setText(note + note);
        user::clickCell(m->DBGridZC, 0, 3);
        user::press(Qt::Key_A, Qt::ControlModifier);
        user::press(Qt::Key_V, Qt::ControlModifier);
        user::click(m->BitBtn3);
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(app.ledger().scalar(QStringLiteral("SELECT P_Desc FROM Payout")).toString(), note + note);
    }
};

QTEST_MAIN(TestStoredValues)
#include "tst_storedvalues.moc"
