// The ledger file alone holds every acknowledged write: a copy of Tavokel.257
// without its -wal and -shm, taken while the program still has it open, has
// every record and category that a call returned from.
#include "app/MainUt.h"
#include "core/Error.h"
#include "store/Connection.h"
#include "store/DataModuleUt.h"
#include "store/Query.h"
#include "store/Statement.h"
#include "support/AppFixture.h"
#include "support/LedgerFiles.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

// Copies the main file alone, as a user copies it to a stick, and reads the copy.
class MainFileCopy
{
public:
    explicit MainFileCopy(const QString &ledgerPath) : m_path(m_dir.filePath(QStringLiteral("Tavokel.257")))
    {
        QVERIFY(copyFromAnotherProcess(ledgerPath, m_path));
        m_db = openDatabase(m_path, Database::ReadWrite);
    }

    QVariant scalar(const QString &sql)
    {
        Statement statement(m_db, sql);
        return statement.step() ? statement.value(0) : QVariant();
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    Database m_db;
};

QVariant inCopy(const QString &ledgerPath, const QString &sql)
{
    return MainFileCopy(ledgerPath).scalar(sql);
}

qint64 sizeOf(const QString &path)
{
    return QFileInfo(path).exists() ? QFileInfo(path).size() : 0;
}

struct OpenLedger
{
    TestLedger ledger{true};
    Connection connection;
    OpenLedger()
    {
        connection.setConnectionString(ledger.connectionString());
        connection.open();
    }
    QString path() const { return ledger.path(); }

    // A row set on this ledger, open, as a grid's query is.
    std::unique_ptr<Query> openQuery(const QString &name, const QString &sql)
    {
        auto query = std::make_unique<Query>(name);
        query->setConnection(&connection);
        query->setSql(sql);
        query->open();
        return query;
    }
};

} // namespace

class TestLedgerFile : public QObject
{
    Q_OBJECT
private slots:
    void anExecutedInsertIsInTheMainFileAlone()
    {
        OpenLedger l;
        l.connection.execute(QStringLiteral(
            "INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES('2010-3-5','餐饮',12.5,'lunch')"));
        QVERIFY(sizeOf(l.path() + QStringLiteral("-wal")) == 0);
        QCOMPARE(inCopy(l.path(), QStringLiteral("SELECT P_Desc FROM Payout WHERE P_Num=12.5")).toString(),
                 QStringLiteral("lunch"));
        QCOMPARE(inCopy(l.path(), QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }

    void aGridPostIsInTheMainFileAlone()
    {
        OpenLedger l;
        const auto list = l.openQuery(QStringLiteral("ADOQueryZC"), QStringLiteral("Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout"));
        list->append();
        list->setFieldText(list->fieldIndex(QStringLiteral("P_Date")), QStringLiteral("2010-03-05"));
        list->setFieldText(list->fieldIndex(QStringLiteral("P_Num")), QStringLiteral("7.25"));
        list->post();
        QCOMPARE(inCopy(l.path(), QStringLiteral("SELECT P_Num FROM Payout WHERE P_Date='2010-03-05'")).toDouble(), 7.25);

        list->setFieldText(list->fieldIndex(QStringLiteral("P_Desc")), QStringLiteral("taxi"));
        list->post();
        QCOMPARE(inCopy(l.path(), QStringLiteral("SELECT P_Desc FROM Payout")).toString(), QStringLiteral("taxi"));
    }

    void deletesAreGoneFromTheMainFileAlone()
    {
        OpenLedger l;
        for (int i = 0; i < 3; ++i)
            l.connection.execute(QStringLiteral(
                "INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES('2010-3-5','工资',%1,'')").arg(i + 1));
        l.connection.execute(QStringLiteral("Delete From Income Where I_No=1"));
        QCOMPARE(inCopy(l.path(), QStringLiteral("SELECT count(*) FROM Income")).toInt(), 2);

        const auto list = l.openQuery(QStringLiteral("ADOQuerySR"), QStringLiteral("Select I_No,I_Date,I_Class,I_Num,I_Desc From Income"));
        list->deleteRecord();
        QCOMPARE(inCopy(l.path(), QStringLiteral("SELECT group_concat(I_Num) FROM Income")).toString(), QStringLiteral("3.0"));
    }

    void aCategorySaveIsInTheMainFileAlone()
    {
        OpenLedger l;
        const auto list = l.openQuery(QStringLiteral("ADOQuerySRLB"), QStringLiteral("SELECT IC_No,IC_Name FROM IncomeClass ORDER BY IC_No DESC"));
        list->setFieldText(list->fieldIndex(QStringLiteral("IC_Name")), QStringLiteral("稿费"));
        list->post();
        list->append();
        list->setFieldText(list->fieldIndex(QStringLiteral("IC_Name")), QStringLiteral("利息"));
        list->post();
        MainFileCopy copy(l.path());
        QCOMPARE(copy.scalar(QStringLiteral("SELECT count(*) FROM IncomeClass WHERE IC_Name IN ('稿费','利息')")).toInt(), 2);
    }

    void aCommittedTransactionIsInTheMainFileAloneAndAFailedOneNowhere()
    {
        OpenLedger l;
        l.connection.transaction([&] {
            l.connection.execute(QStringLiteral("DELETE FROM IncomeClass"));
            l.connection.execute(QStringLiteral(" ALTER TABLE IncomeClass ALTER COLUMN IC_No COUNTER(1, 1)"));
            l.connection.execute(QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES('x')"));
        });
        QCOMPARE(inCopy(l.path(), QStringLiteral("SELECT IC_No || IC_Name FROM IncomeClass")).toString(), QStringLiteral("1x"));

        QVERIFY_THROWS_EXCEPTION(Error, l.connection.transaction([&] {
            l.connection.execute(QStringLiteral("DELETE FROM IncomeClass"));
            l.connection.execute(QStringLiteral("INSERT INTO NoSuchTable(a) VALUES(1)"));
        }));
        QCOMPARE(l.ledger.scalar(QStringLiteral("SELECT count(*) FROM IncomeClass")).toInt(), 1);
        {
            Connection::Transaction unfinished(l.connection);
            l.connection.execute(QStringLiteral("DELETE FROM IncomeClass"));
        }
        QCOMPARE(l.ledger.scalar(QStringLiteral("SELECT count(*) FROM IncomeClass")).toInt(), 1);
        // The connection writes on its own again after either.
        l.connection.execute(QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES('y')"));
        QCOMPARE(inCopy(l.path(), QStringLiteral("SELECT count(*) FROM IncomeClass")).toInt(), 2);
    }

    // A reader elsewhere holds the copy up, never the write: the record is
    // durable in the log at once and reaches the main file as soon as the
    // reader lets go, without another write.
    void aReaderElsewhereDelaysTheCopyUntilItLetsGo()
    {
        OpenLedger l;
        Database reader = openDatabase(l.path(), Database::ReadOnly);
        Statement(reader, QStringLiteral("BEGIN")).run();
        QCOMPARE(Statement(reader, QStringLiteral("SELECT count(*) FROM Payout")).step(), true);

        QElapsedTimer writing;
        writing.start();
        l.connection.execute(QStringLiteral("INSERT INTO Payout(P_Date,P_Num) VALUES('2010-3-5',1)"));
        QVERIFY(writing.elapsed() < 1000); // not waiting for the reader
        // Durable all the same: a connection opened afterwards sees it.
        QCOMPARE(l.ledger.scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 1);
        QTest::qWait(100); // several tries of the copy, all held up by the reader
        QCOMPARE(inCopy(l.path(), QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 0);

        Statement(reader, QStringLiteral("COMMIT")).run();
        QTRY_COMPARE_WITH_TIMEOUT(inCopy(l.path(), QStringLiteral("SELECT sum(P_Num) FROM Payout")).toDouble(), 1.0, 1000);

        // No try follows the close: it waits a little for a reader elsewhere,
        // here one that lets go a third of a second later.
        std::atomic<bool> reading = false;
        std::thread elsewhere([&] {
            Statement(reader, QStringLiteral("BEGIN")).run();
            Statement(reader, QStringLiteral("SELECT count(*) FROM Payout")).run();
            reading = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            Statement(reader, QStringLiteral("COMMIT")).run();
        });
        QTRY_VERIFY(reading);
        l.connection.execute(QStringLiteral("INSERT INTO Payout(P_Date,P_Num) VALUES('2010-3-7',4)"));
        l.connection.close();
        elsewhere.join();
        QCOMPARE(inCopy(l.path(), QStringLiteral("SELECT sum(P_Num) FROM Payout")).toDouble(), 5.0);
    }

    void scratchWritesLeaveTheMainFileAlone()
    {
        // A refresh runs on every keystroke in the date boxes: its rows may wait
        // in the log, and no sync of the main file is spent on them.
        OpenLedger l;
        l.connection.setScratchTables({QStringLiteral("AllCount")});
        l.connection.scratchBatch(
            [&] { l.connection.execute(QStringLiteral("INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count) VALUES(1, 2, -1 )")); });
        QVERIFY(sizeOf(l.path() + QStringLiteral("-wal")) > 0);
        QCOMPARE(l.ledger.scalar(QStringLiteral("SELECT count(*) FROM AllCount")).toInt(), 1);
        QCOMPARE(inCopy(l.path(), QStringLiteral("SELECT count(*) FROM AllCount")).toInt(), 0);
    }

    void theProgramLeavesNoLogBehind()
    {
        AppFixture app(AppFixture::Ledger::WithCategories);
        app.show();
        const QString ledger = app.ledger().path();
        app.module()->ADOConnection1.execute(QStringLiteral(
            "INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES('2010-3-5','餐饮',3,'')"));
        app.quit();
        QCOMPARE(QDir(app.dir()).entryList(QDir::Files), QStringList{QStringLiteral("Tavokel.257")});
        QCOMPARE(inCopy(ledger, QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 1);
    }

    void aLedgerMissingACategoryTableStillShowsItsRecords()
    {
        AppFixture app(AppFixture::Ledger::WithCategories);
        app.ledger().exec(QStringLiteral("DROP TABLE IncomeClass"));
        app.ledger().exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES('%1','餐饮',3,'')")
                              .arg(QDate::currentDate().toString(Qt::ISODate)));
        app.show();
        QVERIFY2(app.main()->statusText().contains(QLatin1String("no such table: IncomeClass")), qPrintable(app.main()->statusText()));
        QCOMPARE(app.module()->ADOQueryZC.recordCount(), 1);
        QCOMPARE(app.main()->Edit2->text(), QStringLiteral("3.00"));
    }
};

QTEST_MAIN(TestLedgerFile)
#include "tst_ledgerfile.moc"
