#include "platform/Error.h"
#include "store/Connection.h"
#include "store/Query.h"
#include "support/ErrorMessage.h"
#include "support/TestLedger.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {


} // namespace

class TestQuery : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLedger> ledger;
    std::unique_ptr<Connection> connection;
    std::unique_ptr<Query> query;

    void openPayouts(const QString &sql = QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where [P_Date] between #2010-1-1# And #2010-12-31# Order By P_No  Asc"))
    {
        query->close();
        query->setSql(sql);
        query->open();
    }

private slots:
    void init()
    {
        ledger = std::make_unique<TestLedger>();
        ledger->exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES"
                                    "('2010-03-05','Food',12.5,'lunch'),('2010-01-02','Rent',800,'jan'),"
                                    "('2010-02-10','Food',3.25,NULL),('2011-01-01','Food',1,'next year')"));
        connection = std::make_unique<Connection>();
        connection->setConnectionString(ledger->connectionString());
        connection->open();
        query = std::make_unique<Query>(QStringLiteral("ADOQueryZC"));
        query->setConnection(connection.get());
    }
    void cleanup()
    {
        query.reset();
        connection.reset();
        ledger.reset();
    }

    void navigationAndTextForms()
    {
        openPayouts();
        QCOMPARE(query->recordCount(), 3);
        QCOMPARE(query->fieldCount(), 5);
        QVERIFY(query->bof());
        QVERIFY(!query->eof());
        QStringList seen;
        for (query->first(); !query->eof(); query->next())
            seen << query->fieldText(QStringLiteral("P_Date")) + QLatin1Char('|') + query->fieldText(QStringLiteral("P_Num"));
        QCOMPARE(seen, (QStringList{QStringLiteral("2010-3-5|12.5"), QStringLiteral("2010-1-2|800"), QStringLiteral("2010-2-10|3.25")}));
        QCOMPARE(query->currentRow(), 2);
        query->prior();
        QCOMPARE(query->currentRow(), 1);
        query->first();
        query->prior();
        QVERIFY(query->bof());
        QCOMPARE(query->currentRow(), 0);
        QCOMPARE(query->fieldText(QStringLiteral("p_no")), QStringLiteral("1")); // names are case-blind
        query->moveTo(2);
        QCOMPARE(query->fieldText(QStringLiteral("P_Desc")), QString());
        QCOMPARE(query->fieldFloat(QStringLiteral("P_Num")), 3.25);
    }

    void emptyAndClosedRowSets()
    {
        openPayouts(QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where P_Date = #1999-1-1# Order By P_No  Asc"));
        QVERIFY(query->isEmpty());
        QVERIFY(query->eof() && query->bof());
        QCOMPARE(query->fieldText(QStringLiteral("P_No")), QString());
        QCOMPARE(query->fieldFloat(QStringLiteral("P_Num")), 0.0);
        QCOMPARE(errorMessageOf([&] { query->deleteRecord(); }), QStringLiteral("Cannot perform this operation on an empty dataset"));
        QCOMPARE(errorMessageOf([&] { query->post(); }), QStringLiteral("ADOQueryZC: Dataset not in edit or insert mode"));
        query->close();
        QVERIFY(!errorMessageOf([&] { query->fieldText(QStringLiteral("P_No")); }).isEmpty());
        QVERIFY(errorMessageOf([&] { query->setSort(QStringLiteral("P_No ASC")); }).contains(QStringLiteral("已关闭")));
        QCOMPARE(query->sort(), QString());
    }

    void editAndPostWritesConvertedValues()
    {
        openPayouts();
        query->moveTo(1);
        query->setFieldText(query->fieldIndex(QStringLiteral("P_Num")), QStringLiteral("850.75"));
        query->setFieldText(query->fieldIndex(QStringLiteral("P_Date")), QStringLiteral("2010-1-3"));
        QCOMPARE(query->state(), Query::State::Edit);
        QCOMPARE(query->fieldText(QStringLiteral("P_Num")), QStringLiteral("850.75"));
        query->post();
        QCOMPARE(query->state(), Query::State::Browse);
        QCOMPARE(ledger->rows(QStringLiteral("SELECT P_Date, P_Num FROM Payout WHERE P_No=2")).value(0),
                 (QVariantList{QStringLiteral("2010-01-03"), 850.75}));
        QCOMPARE(query->fieldText(QStringLiteral("P_Date")), QStringLiteral("2010-1-3"));
    }

    void badValuesKeepTheRowPending()
    {
        openPayouts();
        query->setFieldText(query->fieldIndex(QStringLiteral("P_Num")), QStringLiteral("12,5"));
        QCOMPARE(errorMessageOf([&] { query->post(); }), QStringLiteral("不是有效的数字：'12,5'"));
        QCOMPARE(query->state(), Query::State::Edit);
        QCOMPARE(query->fieldText(QStringLiteral("P_Num")), QStringLiteral("12,5"));
        query->setFieldText(query->fieldIndex(QStringLiteral("P_Num")), QStringLiteral("13"));
        query->setFieldText(query->fieldIndex(QStringLiteral("P_Date")), QStringLiteral("2010-2-30"));
        QCOMPARE(errorMessageOf([&] { query->post(); }), QStringLiteral("'2010-2-30' is not a valid date"));
        query->cancel();
        QCOMPARE(query->fieldText(QStringLiteral("P_Num")), QStringLiteral("12.5"));
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT P_Num FROM Payout WHERE P_No=1")).toDouble(), 12.5);
    }

    void insertPostFillsTheKey()
    {
        openPayouts();
        query->moveTo(1);
        QSignalSpy inserted(query.get(), &Query::rowInserted);
        query->insert();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(query->currentRow(), 1);
        QCOMPARE(query->state(), Query::State::Insert);
        QCOMPARE(query->fieldText(QStringLiteral("P_No")), QString());
        query->setFieldText(query->fieldIndex(QStringLiteral("P_Desc")), QStringLiteral("Tom's gift"));
        query->setFieldText(query->fieldIndex(QStringLiteral("P_Date")), QStringLiteral("2010-6-1"));
        query->post();
        QCOMPARE(query->fieldText(QStringLiteral("P_No")), QStringLiteral("5"));
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT P_Desc FROM Payout WHERE P_No=5")).toString(), QStringLiteral("Tom's gift"));
        QCOMPARE(query->recordCount(), 4);

        query->append();
        QCOMPARE(query->currentRow(), 4);
        query->cancel(); // an unchanged new row leaves nothing behind
        QCOMPARE(query->recordCount(), 4);
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 5);
    }

    void movingAwayPostsAChangedRowAndDropsAnUnchangedNewOne()
    {
        openPayouts();
        query->setFieldText(query->fieldIndex(QStringLiteral("P_Desc")), QStringLiteral("moved"));
        query->next();
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT P_Desc FROM Payout WHERE P_No=1")).toString(), QStringLiteral("moved"));
        query->insert();
        QCOMPARE(query->recordCount(), 4);
        query->moveTo(3); // the row below the new one, now at 2 again
        QCOMPARE(query->recordCount(), 3);
        QCOMPARE(query->fieldText(QStringLiteral("P_No")), QStringLiteral("3"));
    }

    void deleteRemovesByKey()
    {
        openPayouts();
        query->moveTo(1);
        query->deleteRecord();
        QCOMPARE(query->recordCount(), 2);
        QCOMPARE(query->fieldText(QStringLiteral("P_No")), QStringLiteral("3"));
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT count(*) FROM Payout WHERE P_No=2")).toInt(), 0);
        query->insert();
        query->deleteRecord(); // a new row is cancelled, nothing removed
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 3);
    }

    void editOnAnEmptyRowSetStartsANewRow()
    {
        query->setSql(QStringLiteral("SELECT IC_No,IC_Name FROM IncomeClass ORDER BY IC_No DESC"));
        query->open();
        query->edit();
        QCOMPARE(query->state(), Query::State::Insert);
        query->post();
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT count(*) FROM IncomeClass")).toInt(), 1);
    }

    void rowSetsWithoutTheKeyAreReadOnly()
    {
        openPayouts(QStringLiteral("Select P_Date,P_Num From Payout"));
        QVERIFY(!query->canModify());
        QVERIFY(!errorMessageOf([&] { query->edit(); }).isEmpty());
        openPayouts(QStringLiteral("Select Sum(P_Num) As P_Num_Count From Payout"));
        QVERIFY(!query->canModify());
        QCOMPARE(query->fieldText(QStringLiteral("P_Num_Count")), QStringLiteral("816.75"));
    }

    void sortInPlace()
    {
        openPayouts();
        QSignalSpy reset(query.get(), &Query::reset);
        query->moveTo(1); // Rent, 800
        query->setSort(QStringLiteral("P_Num ASC"));
        QCOMPARE(query->sort(), QStringLiteral("P_Num ASC"));
        QCOMPARE(reset.count(), 1);
        QStringList nums;
        for (int r = 0; r < query->recordCount(); ++r)
            nums << query->textAt(r, query->fieldIndex(QStringLiteral("P_Num")));
        QCOMPARE(nums, (QStringList{QStringLiteral("3.25"), QStringLiteral("12.5"), QStringLiteral("800")}));
        QCOMPARE(query->fieldText(QStringLiteral("P_Class")), QStringLiteral("Rent")); // same record stays current
        query->setSort(QStringLiteral("P_Date DESC"));
        QCOMPARE(query->textAt(0, query->fieldIndex(QStringLiteral("P_Date"))), QStringLiteral("2010-3-5"));
        QVERIFY(!errorMessageOf([&] { query->setSort(QStringLiteral("Nope ASC")); }).isEmpty());
        QCOMPARE(query->sort(), QStringLiteral("P_Date DESC"));
        query->close();
        query->open();
        QCOMPARE(query->sort(), QString());
        QCOMPARE(query->textAt(0, 0), QStringLiteral("1"));
    }

    void theSortOrderIsStrictAndWeakWhateverAColumnHolds()
    {
        const qint64 big = Q_INT64_C(9007199254740993); // 2^53 + 1: no double holds it
        const QList<QVariant> values = {QVariant(), QVariant(qint64(10)), QVariant(qint64(9)), QVariant(9.0),
                                        QVariant(9.5), QVariant(-0.0), QVariant(qint64(0)), QVariant(big),
                                        QVariant(qint64(big - 1)), QVariant(9007199254740992.0), QVariant(1e300),
                                        QVariant(-1e300), QStringLiteral("9"), QStringLiteral("10"),
                                        QStringLiteral("abc"), QString(QLatin1String("")), QStringLiteral("Abc")};
        auto less = [](const QVariant &a, const QVariant &b) { return Query::compareValues(a, b) < 0; };
        auto equivalent = [&](const QVariant &a, const QVariant &b) { return !less(a, b) && !less(b, a); };
        for (const QVariant &a : values) {
            QVERIFY(!less(a, a));
            for (const QVariant &b : values) {
                QCOMPARE(Query::compareValues(a, b), -Query::compareValues(b, a));
                for (const QVariant &c : values) {
                    if (less(a, b) && less(b, c))
                        QVERIFY2(less(a, c), qPrintable(a.toString() + QLatin1Char(' ') + b.toString() + QLatin1Char(' ') + c.toString()));
                    if (equivalent(a, b) && equivalent(b, c))
                        QVERIFY2(equivalent(a, c), qPrintable(a.toString() + QLatin1Char(' ') + b.toString() + QLatin1Char(' ') + c.toString()));
                }
            }
        }
    }

    void aMixedColumnSortsNullsThenNumbersThenTexts()
    {
        // An expression column keeps each value's own type.
        openPayouts(QStringLiteral("Select 10 As V Union All Select '9' Union All Select 9 Union All Select Null "
                                   "Union All Select 'abc' Union All Select 2.5 Union All Select '10'"));
        const int desc = query->fieldIndex(QStringLiteral("V"));
        auto column = [&] {
            QStringList texts;
            for (int r = 0; r < query->recordCount(); ++r)
                texts << (query->valueAt(r, desc).isNull() ? QStringLiteral("null") : query->textAt(r, desc));
            return texts;
        };
        query->setSort(QStringLiteral("V ASC"));
        QCOMPARE(column(), (QStringList{QStringLiteral("null"), QStringLiteral("2.5"), QStringLiteral("9"), QStringLiteral("10"),
                                        QStringLiteral("10"), QStringLiteral("9"), QStringLiteral("abc")}));
        query->setSort(QStringLiteral("V DESC"));
        QCOMPARE(column(), (QStringList{QStringLiteral("abc"), QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("10"),
                                        QStringLiteral("9"), QStringLiteral("2.5"), QStringLiteral("null")}));
    }

    void refreshReReadsAndSettles()
    {
        openPayouts();
        query->moveTo(2);
        ledger->exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES('2010-05-05','Car',99,'')"));
        query->setFieldText(query->fieldIndex(QStringLiteral("P_Desc")), QStringLiteral("kept"));
        query->refresh();
        QCOMPARE(query->recordCount(), 4);
        QCOMPARE(query->fieldText(QStringLiteral("P_No")), QStringLiteral("3"));
        QCOMPARE(query->fieldText(QStringLiteral("P_Desc")), QStringLiteral("kept"));
    }

    void scratchTableWritesStayCorrect()
    {
        connection->setScratchTables({QStringLiteral("AllCount")});
        query->setSql(QStringLiteral("INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count) VALUES(1, 2, -1 )"));
        query->execSQL();
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT AC_Net_Count FROM AllCount")).toDouble(), -1.0);
        QCOMPARE(ledger->scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    }

    void aClosedConnectionIsOpenedOnUse()
    {
        connection->close();
        openPayouts();
        QVERIFY(connection->connected());
        QCOMPARE(query->recordCount(), 3);
    }
};

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_query.moc"
