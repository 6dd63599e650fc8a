#include "core/Error.h"
#include "store/Connection.h"
#include "store/Query.h"
#include "store/RowStore.h"
#include "support/ErrorMessage.h"
#include "support/TestLedger.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Same type and same value: a row set must give back what SQLite gave.
bool identical(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    if (a.typeId() != b.typeId())
        return false;
    if (a.typeId() == QMetaType::Double)
        return std::memcmp(a.constData(), b.constData(), sizeof(double)) == 0;
    return a == b;
}

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

    void deletingEveryRowFromTheTopLeavesNone()
    {
        openPayouts();
        for (int left = 2; left >= 0; --left) {
            query->first();
            query->deleteRecord();
            QCOMPARE(query->recordCount(), left);
        }
        QVERIFY(query->isEmpty());
        QCOMPARE(query->currentRow(), -1);
        QVERIFY(query->eof());
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 1);
        query->append(); // a new row in the empty set is the only one
        QCOMPARE(query->recordCount(), 1);
        QCOMPARE(query->valueAt(0, 0), QVariant());
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
        RowStore rows(1);
        for (int r = 0; r < values.size(); ++r) {
            rows.insertBlankRow(r);
            rows.setValue(r, 0, values[r]);
        }
        auto less = [&](int a, int b) { return rows.compare(a, b, 0) < 0; };
        auto equivalent = [&](int a, int b) { return !less(a, b) && !less(b, a); };
        auto named = [&](int a, int b, int c) {
            return qPrintable(values[a].toString() + QLatin1Char(' ') + values[b].toString() + QLatin1Char(' ')
                              + values[c].toString());
        };
        const int count = int(values.size());
        for (int a = 0; a < count; ++a) {
            QVERIFY(!less(a, a));
            for (int b = 0; b < count; ++b) {
                QCOMPARE(rows.compare(a, b, 0), -rows.compare(b, a, 0));
                for (int c = 0; c < count; ++c) {
                    if (less(a, b) && less(b, c))
                        QVERIFY2(less(a, c), named(a, b, c));
                    if (equivalent(a, b) && equivalent(b, c))
                        QVERIFY2(equivalent(a, c), named(a, b, c));
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

    void everyKindOfValueReadsBackAsSQLiteGaveIt()
    {
        ledger->exec(QStringLiteral("CREATE TABLE Kinds(K_No INTEGER PRIMARY KEY, K_Int INTEGER, K_Real REAL, K_Text TEXT, K_Date DATE)"));
        ledger->exec(QStringLiteral(
            "INSERT INTO Kinds(K_Int,K_Real,K_Text,K_Date) VALUES"
            "(NULL,NULL,NULL,NULL),(0,0.0,'','2010-01-01'),(9007199254740993,12.34,'汉字 text','2099-12-31'),"
            "(-9223372036854775808,-0.0,'😀 U+1F600','2010-01-01'),(9223372036854775807,0.1,'\uE000',NULL),"
            "(2147483647,1e300,'  spaced  ',NULL),(-2147483648,-21474836.48,CAST(x'EFBBBF41' AS TEXT),NULL),"
            "(2147483648,21474836.47,CAST(x'FF41C0AF' AS TEXT),NULL),(-1,123456789.125,'汉字 text','2010-01-01'),"
            "('mixed',7,3.5,20100101)"));
        const QString sql = QStringLiteral("SELECT K_No,K_Int,K_Real,K_Text,K_Date FROM Kinds ORDER BY K_No");
        openPayouts(sql);
        const QList<QVariantList> expected = ledger->rows(sql);
        QCOMPARE(query->recordCount(), int(expected.size()));
        for (int r = 0; r < query->recordCount(); ++r)
            for (int f = 0; f < query->fieldCount(); ++f)
                QVERIFY2(identical(query->valueAt(r, f), expected[r][f]),
                         qPrintable(QStringLiteral("row %1 field %2: %3").arg(r).arg(f).arg(expected[r][f].toString())));
        QCOMPARE(query->valueAt(6, 3).toString(), QStringLiteral("A")); // the mark QString::fromUtf8 drops
        QCOMPARE(query->valueAt(7, 3).toString(), QString::fromUtf8(QByteArray("\xFF\x41\xC0\xAF")));
        QCOMPARE(query->textAt(0, 2), QString());
        QCOMPARE(query->textAt(1, 3), QString());
        QCOMPARE(query->textAt(2, 1), QStringLiteral("9007199254740993"));
    }

    void aLargeRowSetReadsBackIdentically()
    {
        // Enough rows that repeating and unique texts, amounts with and
        // without cents and whole numbers of every width all occur.
        ledger->exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 6000) "
            "INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) SELECT "
            "date('2001-01-01', '+' || (i / 5) || ' days'), 'class' || (i % 7), "
            "CASE i % 4 WHEN 0 THEN i / 100.0 WHEN 1 THEN i / 3.0 WHEN 2 THEN NULL ELSE i * 1000000 END, "
            "CASE WHEN i % 11 = 0 THEN NULL WHEN i % 13 = 0 THEN '' ELSE '记录' || i END FROM n"));
        // Record numbers that count up by one, then a gap; numbers that count
        // up, then jump past two bytes; texts whose offsets outgrow two bytes.
        ledger->exec(QStringLiteral("DELETE FROM Payout WHERE P_No IN (4000, 4001)"));
        const QString sql = QStringLiteral("SELECT P_No,P_Date,P_Class,P_Num,P_Desc,P_No * 4294967296 + P_No AS Wide,"
                                           "P_No + CASE WHEN P_No < 3000 THEN 0 ELSE 70000 END AS Jump,"
                                           "printf('%040d', P_No) AS Padded FROM Payout ORDER BY P_No");
        openPayouts(sql);
        const QList<QVariantList> expected = ledger->rows(sql);
        QCOMPARE(query->recordCount(), int(expected.size()));
        int differences = 0;
        for (int r = 0; r < query->recordCount(); ++r)
            for (int f = 0; f < query->fieldCount(); ++f)
                differences += identical(query->valueAt(r, f), expected[r][f]) ? 0 : 1;
        QCOMPARE(differences, 0);
        query->refresh(); // read again over the rows it holds
        QCOMPARE(query->recordCount(), int(expected.size()));
        QVERIFY(identical(query->valueAt(5997, 4), expected[5997][4]));
    }

    // Null, then numbers by value, then texts as QString orders them; equal
    // values keep their order.
    void theSortOfStoredCellsFollowsTheOrderOfValues()
    {
        openPayouts(QStringLiteral(
            "Select 'b' As V Union All Select '\uE000' Union All Select '😀' Union All Select '' Union All Select Null "
            "Union All Select 9007199254740993 Union All Select 9007199254740992.0 Union All Select 9007199254740992 "
            "Union All Select -0.5 Union All Select 'B' Union All Select CAST(x'EFBBBF62' AS TEXT) Union All Select '汉' "
            "Union All Select CAST(x'FF' AS TEXT) Union All Select '\uFFFD' Union All Select 'ab' Union All Select 2.25 "
            "Union All Select -3"));
        QList<QVariant> values;
        for (int r = 0; r < query->recordCount(); ++r)
            values.append(query->valueAt(r, 0));
        const int ascending[] = {4, 16, 8, 15, 6, 7, 5, 3, 9, 14, 0, 10, 11, 2, 1, 12, 13};
        const int descending[] = {12, 13, 1, 2, 11, 0, 10, 14, 9, 3, 5, 6, 7, 15, 8, 16, 4};
        for (const bool down : {false, true}) {
            query->setSort(down ? QStringLiteral("V DESC") : QStringLiteral("V"));
            for (int r = 0; r < query->recordCount(); ++r)
                QVERIFY2(identical(query->valueAt(r, 0), values[(down ? descending : ascending)[r]]),
                         qPrintable(QString::number(r)));
        }
    }

    // A text that is no valid UTF-8 reads back as QString::fromUtf8 makes
    // it, and sorts so; the row set keeps a text's bytes as they came where
    // Qt's check calls them valid, which must agree with Qt's decoder.
    void textsThatAreNoUtf8ReadBackAndSortAsDecoded_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
        QTest::newRow("overlong in three bytes") << QByteArray("\xE0\x80\xAF") << false;
        QTest::newRow("overlong in four bytes") << QByteArray("\xF0\x80\x80\xAF") << false;
        QTest::newRow("high surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("low surrogate") << QByteArray("\xED\xBF\xBF") << false;
        QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
        QTest::newRow("last before the surrogates") << QByteArray("\xED\x9F\xBF") << true;
        QTest::newRow("U+E000") << QByteArray("\xEE\x80\x80") << true;
        QTest::newRow("noncharacter U+FFFE") << QByteArray("\xEF\xBF\xBE") << true;
        QTest::newRow("U+10FFFF") << QByteArray("\xF4\x8F\xBF\xBF") << true;
    }
    void textsThatAreNoUtf8ReadBackAndSortAsDecoded()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(QByteArrayView(bytes).isValidUtf8(), valid);
        QCOMPARE(QString::fromUtf8(bytes).toUtf8() == bytes, valid);
        openPayouts(QStringLiteral("Select CAST(x'%1' AS TEXT) As V Union All Select 'z' Union All Select 'é' "
                                   "Union All Select '\uE000' Union All Select '😀'")
                        .arg(QString::fromLatin1(bytes.toHex())));
        QCOMPARE(query->valueAt(0, 0).toString(), QString::fromUtf8(bytes));
        query->setSort(QStringLiteral("V"));
        QStringList sorted, expected;
        for (int r = 0; r < query->recordCount(); ++r)
            sorted << query->valueAt(r, 0).toString();
        expected = {QString::fromUtf8(bytes), QStringLiteral("z"), QStringLiteral("é"), QStringLiteral("\uE000"),
                    QStringLiteral("😀")};
        std::sort(expected.begin(), expected.end());
        QCOMPARE(sorted, expected);
    }

    void aSortedRowSetEditsPostsDeletesAndRefreshes()
    {
        openPayouts();
        const int num = query->fieldIndex(QStringLiteral("P_Num")), desc = query->fieldIndex(QStringLiteral("P_Desc"));
        query->setSort(QStringLiteral("P_Num DESC"));
        QCOMPARE(query->textAt(0, num), QStringLiteral("800"));
        query->moveTo(1); // 12.5, lunch
        query->setFieldText(desc, QStringLiteral("午饭"));
        query->setFieldText(num, QStringLiteral("900.5"));
        query->post();
        QCOMPARE(query->currentRow(), 1); // a post does not re-sort
        QCOMPARE(query->textAt(1, desc), QStringLiteral("午饭"));
        QCOMPARE(query->valueAt(1, num), QVariant(900.5));
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT P_Desc FROM Payout WHERE P_No=1")).toString(), QStringLiteral("午饭"));

        query->first();
        query->deleteRecord(); // Rent
        QCOMPARE(query->recordCount(), 2);
        QCOMPARE(query->fieldText(QStringLiteral("P_No")), QStringLiteral("1"));
        query->append();
        query->setFieldText(query->fieldIndex(QStringLiteral("P_Date")), QStringLiteral("2010-7-7"));
        query->setFieldText(num, QStringLiteral("5000"));
        query->post();
        QCOMPARE(query->currentRow(), 2);
        QCOMPARE(query->fieldText(QStringLiteral("P_No")), QStringLiteral("5"));

        query->moveTo(1); // P_No 3, 3.25
        query->refresh(); // sorted again, the same record current
        QStringList nums;
        for (int r = 0; r < query->recordCount(); ++r)
            nums << query->textAt(r, num);
        QCOMPARE(nums, (QStringList{QStringLiteral("5000"), QStringLiteral("900.5"), QStringLiteral("3.25")}));
        QCOMPARE(query->currentRow(), 2);
        QCOMPARE(query->fieldText(QStringLiteral("P_No")), QStringLiteral("3"));
        QCOMPARE(query->valueAt(2, desc), QVariant());
    }

    void aCancelledNewRowInTheMiddleLeavesTheOthersInPlace()
    {
        openPayouts();
        query->setSort(QStringLiteral("P_Date"));
        query->moveTo(1);
        query->insert();
        QCOMPARE(query->recordCount(), 4);
        QCOMPARE(query->valueAt(1, 0), QVariant());
        query->cancel();
        QStringList dates;
        for (int r = 0; r < query->recordCount(); ++r)
            dates << query->textAt(r, query->fieldIndex(QStringLiteral("P_Date")));
        QCOMPARE(dates, (QStringList{QStringLiteral("2010-1-2"), QStringLiteral("2010-2-10"), QStringLiteral("2010-3-5")}));
        query->append();
        query->cancel();
        QCOMPARE(query->recordCount(), 3);
        QCOMPARE(query->textAt(2, query->fieldIndex(QStringLiteral("P_Class"))), QStringLiteral("Food"));
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
