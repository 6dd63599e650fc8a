#include "core/Error.h"
#include "store/Connection.h"
#include "store/ConnectionString.h"
#include "store/DataModuleUt.h"
#include "store/Query.h"
#include "store/SqlText.h"
#include "support/ErrorMessage.h"
#include "support/LedgerFiles.h"
#include "support/TestLedger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <sqlite3.h>

namespace {

QString openFailure(const QString &path)
{
    Connection connection;
    connection.setConnectionString(TDataModule1::connectionStringFor(path));
    return errorMessageOf([&] { connection.open(); });
}

QString firstValue(Connection &connection, const QString &sql)
{
    Query query(QStringLiteral("Scratch"));
    query.setConnection(&connection);
    query.setSql(sql);
    query.open();
    return query.fieldText(query.fieldNames().value(0));
}

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT
private slots:
    void connectionStringNamesTheFullPath()
    {
        const QString cs = TDataModule1::connectionStringFor(QStringLiteral("/home/a b/Tavokel.257"));
        QCOMPARE(cs, QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/home/a b/Tavokel.257;"
                                    "Mode=Share Deny None;Extended Properties=\"\";"));
        QCOMPARE(dataSourceOf(cs), QStringLiteral("/home/a b/Tavokel.257"));
        QCOMPARE(dataSourceOf(TDataModule1::connectionStringFor(QStringLiteral("/x;y/T.257"))),
                 QStringLiteral("/x;y/T.257"));
        QCOMPARE(TDataModule1::ledgerFullPath(), QDir::current().absoluteFilePath(QStringLiteral("Tavokel.257")));
    }

    void openFailuresNameThePathAndCreateNothing()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("Tavokel.257"));
        // The reason first, the path last.
        QString message = openFailure(missing);
        QCOMPARE(message, QStringLiteral("找不到账本数据文件：") + missing);
        QVERIFY(!QFileInfo::exists(missing));

        const QString text = dir.filePath(QStringLiteral("notes.txt"));
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray content(4096, 'x');
        file.write(content);
        file.close();
        message = openFailure(text);
        QCOMPARE(message, QStringLiteral("无法打开账本数据文件（file is not a database）：") + text);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("notes.txt")});

        message = openFailure(dir.path());
        QCOMPARE(message, QStringLiteral("账本数据文件不是一个文件：") + dir.path());
    }

    void aLedgerMissingATableOpensAndOnlyThatTableFails_data()
    {
        QTest::addColumn<QString>("table");
        for (const QString &table : Connection::ledgerTables())
            QTest::newRow(qPrintable(table)) << table;
    }
    void aLedgerMissingATableOpensAndOnlyThatTableFails()
    {
        QFETCH(QString, table);
        TestLedger ledger(true);
        ledger.exec(QStringLiteral("DROP TABLE ") + table);
        Connection c;
        c.setConnectionString(ledger.connectionString());
        c.open();
        QVERIFY(c.connected());
        for (const QString &other : Connection::ledgerTables()) {
            const QString sql = QStringLiteral("SELECT count(*) FROM ") + other.toUpper();
            if (other != table) {
                bool counted = false;
                firstValue(c, sql).toInt(&counted);
                QVERIFY2(counted, qPrintable(other));
                continue;
            }
            try {
                firstValue(c, sql);
                QFAIL("the missing table was read");
            } catch (const Error &e) {
                QCOMPARE(e.message(), QStringLiteral("数据库引擎拒绝了这条语句：no such table: ") + other.toUpper());
            }
        }
        QVERIFY_THROWS_EXCEPTION(Error, c.execute(QStringLiteral("DELETE FROM ") + table));
        // Writes to the others go on as before, checks included.
        const QString write = table == QLatin1String("Payout")
            ? QStringLiteral("INSERT INTO Income(I_Date,I_Num) VALUES('2010-3-5',1)")
            : QStringLiteral("INSERT INTO Payout(P_Date,P_Num) VALUES('2010-3-5',1)");
        c.execute(write);
        QVERIFY_THROWS_EXCEPTION(Error, c.execute(QString(write).replace(QLatin1String("'2010-3-5'"), QLatin1String("'x'"))));
    }

    void openIsIdempotentAndCloseWorks()
    {
        TestLedger ledger;
        Connection connection;
        connection.setConnectionString(ledger.connectionString());
        connection.open();
        connection.open();
        QVERIFY(connection.connected());
        connection.close();
        QVERIFY(!connection.connected());
        QVERIFY_THROWS_EXCEPTION(Error, connection.execute(QStringLiteral("DELETE FROM AllCount")));
    }

    void twoConnectionsWorkOnOneFile()
    {
        TestLedger ledger;
        Connection first, second;
        first.setConnectionString(ledger.connectionString());
        second.setConnectionString(ledger.connectionString());
        first.open();
        second.open();
        Query reader(QStringLiteral("Reader"));
        reader.setConnection(&first);
        reader.setSql(QStringLiteral("Select * From Payout"));
        reader.open();
        for (int i = 0; i < 50; ++i) {
            first.execute(QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','a',1,'x')"));
            second.execute(QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','b',2,'y')"));
        }
        QCOMPARE(firstValue(second, QStringLiteral("Select Sum(P_Num) As S From Payout")), QStringLiteral("150"));
        reader.refresh();
        QCOMPARE(reader.recordCount(), 100);
    }

    void datesAreStoredAsIsoTexts()
    {
        TestLedger ledger;
        Connection c;
        c.setConnectionString(ledger.connectionString());
        c.open();
        c.execute(QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','Food',12.5,'lunch')"));
        QCOMPARE(ledger.scalar(QStringLiteral("SELECT P_Date FROM Payout")).toString(), QStringLiteral("2010-03-05"));
        QVERIFY_THROWS_EXCEPTION(Error, c.execute(QStringLiteral("Insert Into Payout(P_Date) Values('2010-3-32')")));
        QCOMPARE(ledger.scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 1);
    }

    void rangeTestsSumsAndCaseBlindNames()
    {
        TestLedger ledger;
        Connection c;
        c.setConnectionString(ledger.connectionString());
        c.open();
        for (const char *day : {"2010-2-28", "2010-3-1", "2010-3-31", "2010-4-1"})
            c.execute(QStringLiteral("Insert Into PayOut(P_Date,P_Class,P_Num,P_Desc) Values('%1','A',10,'')").arg(QLatin1String(day)));
        QCOMPARE(firstValue(c, QStringLiteral("Select Sum(P_Num) As P_Num_Count From payout Where [P_Date] between #2010-03-1# And #2010-03-31#")),
                 QStringLiteral("20"));
        QCOMPARE(firstValue(c, QStringLiteral("Select Sum(P_Num) As P_Num_Count From Payout Where [P_Date] between #2011-1-1# And #2011-12-31#")),
                 QString()); // a sum over no rows is null
        QCOMPARE(firstValue(c, QStringLiteral("Select Count(*) From PAYOUT Where P_Date = #2010-3-1#")), QStringLiteral("1"));
        Query distinct(QStringLiteral("Distinct"));
        distinct.setConnection(&c);
        distinct.setSql(QStringLiteral("Select Distinct(P_Class) From Payout Where [P_Date] between #2010-1-1# And #2010-12-31#"));
        distinct.open();
        QCOMPARE(distinct.recordCount(), 1);
        QCOMPARE(distinct.fieldText(QStringLiteral("P_Class")), QStringLiteral("A"));
    }

    void counterRestartsNumbering()
    {
        TestLedger ledger(true);
        Connection c;
        c.setConnectionString(ledger.connectionString());
        c.open();
        c.execute(QStringLiteral("DELETE FROM PayOutClass"));
        c.execute(QStringLiteral("INSERT INTO PayoutClass(PC_Name) VALUES('x')"));
        QVERIFY(ledger.scalar(QStringLiteral("SELECT PC_No FROM PayoutClass")).toInt() > 1);
        c.execute(QStringLiteral("DELETE FROM PayOutClass"));
        c.execute(QStringLiteral(" ALTER TABLE PayOutClass ALTER COLUMN PC_No COUNTER(1, 1)"));
        c.execute(QStringLiteral("INSERT INTO PayoutClass(PC_Name) VALUES('y')"));
        QCOMPARE(ledger.scalar(QStringLiteral("SELECT PC_No FROM PayoutClass")).toInt(), 1);
        QVERIFY_THROWS_EXCEPTION(Error, c.execute(QStringLiteral("ALTER TABLE PayoutClass ALTER COLUMN Nope COUNTER(1, 1)")));
        c.execute(QStringLiteral("INSERT INTO PayoutClass(PC_Name) VALUES('z')"));
        const QVariant sequence = ledger.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name='PayoutClass'"));
        QVERIFY_THROWS_EXCEPTION(Error, c.execute(QStringLiteral("ALTER TABLE PayOutClass ALTER COLUMN PC_No COUNTER garbage")));
        QCOMPARE(ledger.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name='PayoutClass'")), sequence);
    }

    void aStatementHoldingNulIsRefusedNotCut()
    {
        TestLedger ledger;
        ledger.exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Num) VALUES('2010-03-01',1),('2010-03-02',2)"));
        Connection c;
        c.setConnectionString(ledger.connectionString());
        c.open();
        const QString nul(QChar(0));
        QVERIFY_THROWS_EXCEPTION(Error, c.execute(QStringLiteral("DELETE FROM Payout") + nul + QStringLiteral(" WHERE P_No=1")));
        QVERIFY_THROWS_EXCEPTION(Error, firstValue(c, QStringLiteral("Select count(*) From Payout") + nul + QStringLiteral(" Where 0")));
        QCOMPARE(ledger.scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 2);
        c.execute(QStringLiteral("DELETE FROM Payout /* all of it: it's a test */ WHERE P_No=1"));
        QCOMPARE(ledger.scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 1);
    }

    // Only the statement moved to reaches SQLite's: the one left behind is
    // empty and cannot step it on.
    void aMovedStatementLeavesAnEmptyOneBehind()
    {
        TestLedger ledger;
        ledger.exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Num) VALUES('2010-03-01',1),('2010-03-02',2)"));
        Database db = openFileRaw(ledger.path());
        Statement first(db, QStringLiteral("SELECT P_Num FROM Payout ORDER BY P_No"));
        Statement second(std::move(first));
        QCOMPARE(first.columnCount(), 0);
        QVERIFY_THROWS_EXCEPTION(Error, first.step());
        QVERIFY(second.step());
        QCOMPARE(second.value(0).toInt(), 1);
        first = std::move(second);
        QCOMPARE(second.columnCount(), 0);
        QVERIFY_THROWS_EXCEPTION(Error, second.step());
        QVERIFY(first.step());
        QCOMPARE(first.value(0).toInt(), 2);
    }

    void engineMessagesQuoteAtMostAboutTwoHundredCharacters()
    {
        TestLedger ledger;
        Connection c;
        c.setConnectionString(ledger.connectionString());
        c.open();
        try {
            c.execute(QStringLiteral("Select 12") + QString(5000, QLatin1Char('a')));
            QFAIL("no error");
        } catch (const Error &e) {
            QVERIFY2(e.message().size() < 280, qPrintable(QString::number(e.message().size())));
        }
    }

    void aScratchBatchKeepsWhatItWroteBeforeAFailure()
    {
        TestLedger ledger;
        Connection c;
        c.setConnectionString(ledger.connectionString());
        c.open();
        c.setScratchTables({QStringLiteral("AllCount")});
        QVERIFY_THROWS_EXCEPTION(Error, c.scratchBatch([&] {
            c.execute(QStringLiteral("INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count) VALUES(1, 2, -1 )"));
            c.execute(QStringLiteral("INSERT INTO AllCount(AC_I_Count) VALUES(#2010-2-30#)"));
        }));
        QCOMPARE(ledger.scalar(QStringLiteral("SELECT count(*) FROM AllCount")).toInt(), 1);
        // Records are never written inside such a batch.
        QVERIFY_THROWS_EXCEPTION(Error, c.scratchBatch([&] {
            c.execute(QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','a',1,'x')"));
        }));
        QCOMPARE(ledger.scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 0);
        c.execute(QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','a',1,'x')"));
        QCOMPARE(ledger.scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 1);
    }

    // A list over most of a table is read by one pass through the table, a
    // narrow one through the day's index; rows, values and their order are
    // SQLite's own for the text either way. Statements whose order the plan
    // decides (no key order, or a key that repeats) keep SQLite's plan. The
    // records are not entered in the order of their days, and some are gone.
    void aRangeListReadsTheSameRowsWhicheverPlanServesIt_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("scanned");
        const QString payouts = QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where [P_Date] between #%1# And #%2# Order By P_No  Asc");
        QTest::newRow("a month") << payouts.arg(QLatin1String("2012-03-01"), QLatin1String("2012-03-31")) << false;
        QTest::newRow("two years of ten") << payouts.arg(QLatin1String("2014-01-01"), QLatin1String("2015-12-31")) << false;
        QTest::newRow("half") << payouts.arg(QLatin1String("2012-01-01"), QLatin1String("2016-12-31")) << true;
        QTest::newRow("all") << payouts.arg(QLatin1String("2010-01-01"), QLatin1String("2019-12-31")) << true;
        QTest::newRow("beyond both ends") << payouts.arg(QLatin1String("1990-01-01"), QLatin1String("2040-12-31")) << true;
        QTest::newRow("last first") << payouts.arg(QLatin1String("2019-12-31"), QLatin1String("2010-01-01")) << false;
        QTest::newRow("descending, star") << QStringLiteral("Select * From Payout Where P_Date between #2009-1-1# And #2020-1-1# Order By P_No Desc") << true;
        QTest::newRow("income") << QStringLiteral("Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where [I_Date] between #2010-01-01# And #2019-12-31# Order By I_No Asc") << true;
        QTest::newRow("distinct") << QStringLiteral("Select Distinct(P_Class) From Payout Where [P_Date] between #2010-01-01# And #2019-12-31#") << false;
        QTest::newRow("sum") << QStringLiteral("Select Sum(P_Num) As P_Num_Count From Payout Where [P_Date] between #2010-01-01# And #2019-12-31#") << false;
        QTest::newRow("ordered by day") << QStringLiteral("Select P_No,P_Desc From Payout Where [P_Date] between #2010-01-01# And #2019-12-31# Order By P_Date") << false;
        QTest::newRow("a key that repeats") << QStringLiteral("Select P_No,P_Date,P_Desc From Older Where [P_Date] between #2010-01-01# And #2019-12-31# Order By P_No") << false;
    }
    void aRangeListReadsTheSameRowsWhicheverPlanServesIt()
    {
        QFETCH(QString, sql);
        QFETCH(bool, scanned);
        TestLedger ledger;
        ledger.exec(QStringLiteral("CREATE TABLE Older(P_No INTEGER, P_Date DATE, P_Desc TEXT)"));
        ledger.exec(QStringLiteral("CREATE INDEX Older_Date ON Older(P_Date)"));
        QStringList payouts, older, incomes;
        quint32 seed = 7;
        for (int i = 0; i < 600; ++i) {
            seed = seed * 1103515245u + 12345u;
            const QString day = sqlQuoted(isoDay(QDate(2010, 1, 1).addDays((seed >> 8) % 3652)));
            const QString amount = QString::number(double((seed >> 12) % 100000) / 100 + 1e-9 * i, 'g', 17);
            payouts.append(QStringLiteral("(%1,'c%2',%3,'n%4')").arg(day).arg((seed >> 4) % 9).arg(amount).arg(i));
            older.append(QStringLiteral("(%1,%2,'n%3')").arg(i % 7).arg(day).arg(i));
            if (i % 10 == 0)
                incomes.append(QStringLiteral("(%1,'k',%2,'m%3')").arg(day, amount).arg(i));
        }
        ledger.exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES") + payouts.join(QLatin1Char(',')));
        ledger.exec(QStringLiteral("INSERT INTO Older(P_No,P_Date,P_Desc) VALUES") + older.join(QLatin1Char(',')));
        ledger.exec(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES") + incomes.join(QLatin1Char(',')));
        ledger.exec(QStringLiteral("DELETE FROM Payout WHERE P_No % 17 = 3"));

        Connection c;
        c.setConnectionString(ledger.connectionString());
        c.open();
        Query list(QStringLiteral("List"));
        list.setConnection(&c);
        list.setSql(sql);
        list.open();
        const QList<QVariantList> expected = ledger.rows(QString(sql).replace(QLatin1Char('#'), QLatin1Char('\'')));
        QCOMPARE(list.recordCount(), int(expected.size()));
        for (int r = 0; r < list.recordCount(); ++r)
            for (int f = 0; f < list.fieldCount(); ++f)
                QCOMPARE(list.valueAt(r, f), expected[r][f]);
        // How SQLite read it: a pass through the table, or through the index.
        Statement plan(c.database(), QStringLiteral("SELECT sum(nscan) FROM sqlite_stmt WHERE instr(sql, ' Where ') > 0"));
        QVERIFY(plan.step());
        QCOMPARE(plan.value(0).toLongLong() > 0, scanned);
    }

    // A list that reads more of the file than the cache holds leaves the
    // cache nothing worth keeping: it is given back. A narrow read keeps its pages.
    void aPassOverMoreThanTheCacheHoldsGivesTheCacheBack()
    {
        TestLedger ledger;
        ledger.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30000) "
                                   "INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) SELECT date('2001-01-01', "
                                   "'+' || (i / 5) || ' days'), 'c', 1, printf('%0100d', i) FROM n"));
        Connection c;
        c.setConnectionString(ledger.connectionString());
        c.open();
        Query list(QStringLiteral("List"));
        list.setConnection(&c);
        const auto cacheGrowth = [&](const QString &sql) {
            const qint64 before = sqlite3_memory_used();
            list.close();
            list.setSql(sql);
            list.open();
            return sqlite3_memory_used() - before;
        };
        QVERIFY(cacheGrowth(QStringLiteral("Select P_No,P_Desc From Payout Where P_No between 7 And 9")) > 0);
        QCOMPARE(list.recordCount(), 3);
        const qint64 cacheHolds = 2000 * 1024; // SQLite's default, in bytes
        QVERIFY(cacheGrowth(QStringLiteral("Select P_No,P_Desc From Payout Order By P_No")) < cacheHolds / 4);
        QCOMPARE(list.recordCount(), 30000);
    }

    void inReadsAnotherFile()
    {
        TestLedger target;
        QTemporaryDir other;
        const QString sourcePath = other.filePath(QStringLiteral("旧 账本.257"));
        {
            TestLedger seed(true);
            QVERIFY(QFile::copy(seed.path(), sourcePath));
        }
        Connection c;
        c.setConnectionString(target.connectionString());
        c.open();
        c.execute(QStringLiteral("INSERT INTO IncomeClass SELECT * FROM  IncomeClass IN '") + sourcePath + QStringLiteral("'"));
        QVERIFY(target.scalar(QStringLiteral("SELECT count(*) FROM IncomeClass")).toInt() > 0);

        const QString missing = other.filePath(QStringLiteral("missing.257"));
        try {
            c.execute(QStringLiteral("INSERT INTO Payout SELECT * FROM  Payout IN '") + missing + QStringLiteral("'"));
            QFAIL("no error");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(missing), qPrintable(e.message()));
        }
        QVERIFY(!QFileInfo::exists(missing));

        const QString junk = other.filePath(QStringLiteral("junk.bin"));
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2048, 'j'));
        file.close();
        const int before = target.scalar(QStringLiteral("SELECT count(*) FROM IncomeClass")).toInt();
        QVERIFY_THROWS_EXCEPTION(Error, c.execute(QStringLiteral("INSERT INTO IncomeClass SELECT * FROM  IncomeClass IN '") + junk + QStringLiteral("'")));
        QCOMPARE(target.scalar(QStringLiteral("SELECT count(*) FROM IncomeClass")).toInt(), before);
        // The connection goes on working after a failed attachment.
        c.execute(QStringLiteral("DELETE FROM IncomeClass"));
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
