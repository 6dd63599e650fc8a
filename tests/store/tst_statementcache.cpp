// The engine keeps prepared statements and binds the literals of WHERE
// clauses and VALUES lists to them. What a statement does and how it fails
// must not change by that: these cases compare with what SQLite reads from
// the text itself.
#include "core/Error.h"
#include "store/Connection.h"
#include "store/Query.h"
#include "support/ErrorMessage.h"
#include "support/LedgerFiles.h"
#include "support/TestLedger.h"

#include <QTest>
#include <cmath>
#include <cstring>

namespace {

QList<QVariantList> queryRows(Connection &connection, const QString &sql)
{
    QList<QVariantList> rows;
    connection.query(sql, [&](Statement &statement) { rows = rowsOf(statement); });
    return rows;
}


bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// SQLite's own message for preparing the text as it stands.
QString sqliteMessage(const QString &path, const QString &sql)
{
    Database db = openDatabase(path, Database::ReadOnly);
    try {
        Statement prepared(db, sql);
    } catch (const Error &) {
    }
    return db.errorMessage();
}

// The statements prepared on the connection, counting the one that counts.
// The sqlite_stmt table is there when SQLite is built with
// SQLITE_ENABLE_STMTVTAB, as Debian's library is.
int preparedStatements(Database &db)
{
    Statement count(db, QStringLiteral("SELECT count(*) FROM sqlite_stmt"));
    return count.step() ? count.value(0).toInt() : -1;
}

} // namespace

class TestStatementCache : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLedger> ledger;
    std::unique_ptr<Connection> connection;

private slots:
    void init()
    {
        ledger = std::make_unique<TestLedger>();
        connection = std::make_unique<Connection>();
        connection->setConnectionString(ledger->connectionString());
        connection->open();
    }

    void cleanup()
    {
        connection.reset();
        ledger.reset();
    }

    // Stored and compared numbers carry every bit that SQLite reads from the
    // literal: a select-list literal (always read from the text) is the oracle.
    void numbersKeepTheValueOfTheirText_data()
    {
        QTest::addColumn<QString>("literal");
        for (const char *literal : {"0.285", "123456789.123456789", "1e5", ".5", "7", "2.675", "0.1", "9007199254740993.0",
                                    "1.7976931348623157e308", "4.9e-324", "12345678901234567890.5"})
            QTest::newRow(literal) << QString::fromLatin1(literal);
    }
    void numbersKeepTheValueOfTheirText()
    {
        QFETCH(QString, literal);
        for (int round = 0; round < 2; ++round) { // prepared, then taken from the cache
            connection->execute(QStringLiteral("DELETE FROM Payout"));
            connection->execute(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES(#2026-1-2#, 'a', %1, 'n')")
                                    .arg(literal));
            const auto rows = queryRows(*connection, QStringLiteral("SELECT P_Num, %1, typeof(P_Num) FROM Payout WHERE P_Num = %1 "
                                                                 "AND P_Num BETWEEN %1 AND %1")
                                                      .arg(literal));
            QCOMPARE(rows.size(), 1);
            QVERIFY2(sameBits(rows[0][0].toDouble(), rows[0][1].toDouble()), qPrintable(rows[0][0].toString()));
            QCOMPARE(rows[0][2].toString(), QStringLiteral("real"));
        }
    }

    void eachRunSeesItsOwnLiterals()
    {
        connection->execute(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num) VALUES('2026-01-02', 'a', 1.5)"));
        connection->execute(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num) VALUES('2026-01-03', 'b''c', 2)"));
        connection->execute(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num) VALUES('2026-01-03', 'a', 4)"));
        const int before = preparedStatements(connection->database());
        for (int round = 0; round < 50; ++round) {
            for (const auto &[category, sum] : {std::pair{"a", 5.5}, std::pair{"b''c", 2.0}, std::pair{"none", 0.0}}) {
                const auto rows = queryRows(*connection, QStringLiteral("SELECT Sum(P_Num) AS n FROM Payout WHERE P_Date BETWEEN "
                                                                     "#2026-1-1# AND #2026-1-31# AND P_Class='%1'")
                                                          .arg(QLatin1String(category)));
                QCOMPARE(rows[0][0].toDouble(), sum);
            }
            const auto day = queryRows(*connection, QStringLiteral("SELECT count(*) FROM Payout WHERE P_Date = '2026-01-0%1'")
                                                     .arg(2 + round % 2));
            QCOMPARE(day[0][0].toInt(), round % 2 ? 2 : 1);
        }
        // The runs reused their prepared statements instead of piling up new ones.
        QVERIFY(preparedStatements(connection->database()) <= before + 4);
    }

    // Numbers that name a result column or bound the rows keep that meaning.
    void columnNumbersAndLimitsStayInTheText()
    {
        for (int i = 1; i <= 3; ++i)
            connection->execute(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num) VALUES('2026-01-0%1', 'k%2', %3)")
                                    .arg(i)
                                    .arg(i % 2)
                                    .arg(i * 10));
        auto rows = queryRows(*connection, QStringLiteral("SELECT P_Class, Sum(P_Num) FROM Payout WHERE P_Num > 0 GROUP BY 1 "
                                                       "ORDER BY 2 DESC LIMIT 1"));
        QCOMPARE(rows, (QList<QVariantList>{{QStringLiteral("k1"), 40.0}}));
        rows = queryRows(*connection, QStringLiteral("SELECT P_Num FROM Payout WHERE P_No IN (SELECT P_No FROM Payout "
                                                  "WHERE P_Num < 25 ORDER BY 1 DESC LIMIT 1)"));
        QCOMPARE(rows, (QList<QVariantList>{{20.0}}));
        rows = queryRows(*connection, QStringLiteral("SELECT 'x' FROM Payout WHERE P_Num = 30"));
        QCOMPARE(rows, (QList<QVariantList>{{QStringLiteral("x")}}));
    }

    // A result column without a name of its own is named by its text, the
    // literals of a subquery or a filter in it included.
    void resultColumnsKeepTheirWrittenNames()
    {
        connection->execute(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num) VALUES('2026-01-02', 'a', 1.5)"));
        const QString sql = QStringLiteral("SELECT (SELECT count(*) FROM Payout WHERE P_Class='a'), count(*) FILTER (WHERE P_Num > 1), "
                                           "P_Class FROM Payout WHERE P_Num > 0");
        for (int round = 0; round < 2; ++round) { // prepared, then taken from the cache
            Query query(QStringLiteral("q"));
            query.setConnection(connection.get());
            query.setSql(sql);
            query.open();
            QCOMPARE(query.fieldNames(), (QStringList{QStringLiteral("(SELECT count(*) FROM Payout WHERE P_Class='a')"),
                                                      QStringLiteral("count(*) FILTER (WHERE P_Num > 1)"), QStringLiteral("P_Class")}));
            QCOMPARE(query.fieldValue(QStringLiteral("P_Class")).toString(), QStringLiteral("a"));
        }
    }

    // A reader that runs the same statement again (other literals) while it
    // steps through the first gets a statement of its own.
    void aStatementRunWithinItsOwnReaderGetsItsOwnCopy()
    {
        for (int i = 1; i <= 3; ++i)
            connection->execute(QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES('c%1')").arg(i));
        QStringList seen;
        connection->query(QStringLiteral("SELECT IC_Name FROM IncomeClass WHERE IC_No > 0 ORDER BY IC_No"), [&](Statement &outer) {
            while (outer.step()) {
                const QString name = outer.value(0).toString();
                const auto inner = queryRows(*connection, QStringLiteral("SELECT IC_Name FROM IncomeClass WHERE IC_No > 2 ORDER BY IC_No"));
                seen.append(name + QLatin1Char('/') + inner.value(0).value(0).toString());
            }
        });
        QCOMPARE(seen, (QStringList{QStringLiteral("c1/c3"), QStringLiteral("c2/c3"), QStringLiteral("c3/c3")}));
    }

    // Another program may change the ledger's tables while a statement is
    // kept; the next run shows the columns as they are now.
    void aTableChangedByAnotherProgramShowsItsColumnsAsTheyAre()
    {
        connection->execute(QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES('工资')"));
        Query query(QStringLiteral("Classes"));
        query.setConnection(connection.get());
        query.setSql(QStringLiteral("SELECT * FROM IncomeClass WHERE IC_No > 0"));
        query.open();
        QCOMPARE(query.fieldNames(), (QStringList{QStringLiteral("IC_No"), QStringLiteral("IC_Name")}));
        ledger->exec(QStringLiteral("ALTER TABLE IncomeClass ADD COLUMN IC_Note TEXT"));
        query.close();
        query.open();
        QCOMPARE(query.fieldNames(),
                 (QStringList{QStringLiteral("IC_No"), QStringLiteral("IC_Name"), QStringLiteral("IC_Note")}));
        QCOMPARE(query.fieldText(QStringLiteral("IC_Name")), QStringLiteral("工资"));
    }

    // SQLite negates a number written after a minus sign itself, but
    // subtracts a bound one from zero: the two differ for a zero, whose sign
    // an untyped column keeps.
    void aNegatedZeroKeepsItsSign()
    {
        ledger->exec(QStringLiteral("CREATE TABLE Loose(v)"));
        for (const char *zero : {"0.0", "0e5", "1e-400"}) {
            for (int round = 0; round < 2; ++round) { // prepared, then taken from the cache
                connection->execute(QStringLiteral("DELETE FROM Loose"));
                connection->execute(QStringLiteral("INSERT INTO Loose(v) VALUES(-%1)").arg(QLatin1String(zero)));
                const QVariant stored = ledger->scalar(QStringLiteral("SELECT v FROM Loose"));
                QCOMPARE(stored.typeId(), int(QMetaType::Double));
                QVERIFY2(std::signbit(stored.toDouble()), zero);
            }
        }
    }

    // A kept statement whose table another program dropped or changed is
    // refused as the text itself is, not reported as a failed run.
    void aStatementWhoseTableWentIsRefusedAsTheText()
    {
        ledger->exec(QStringLiteral("CREATE TABLE Extra(a INTEGER)"));
        ledger->exec(QStringLiteral("INSERT INTO Extra(a) VALUES(1)"));
        QCOMPARE(queryRows(*connection, QStringLiteral("SELECT a FROM Extra WHERE a > 0")).size(), 1);
        connection->execute(QStringLiteral("UPDATE Extra SET a = 2 WHERE a = 1"));
        ledger->exec(QStringLiteral("ALTER TABLE Extra RENAME COLUMN a TO b"));
        for (const QString &sql : {QStringLiteral("SELECT a FROM Extra WHERE a > 1"), QStringLiteral("UPDATE Extra SET a = 3 WHERE a = 2")}) {
            const QString message = errorMessageOf([&] {
                if (sql.startsWith(QLatin1String("SELECT")))
                    queryRows(*connection, sql);
                else
                    connection->execute(sql);
            });
            Connection fresh;
            fresh.setConnectionString(ledger->connectionString());
            fresh.open();
            const QString expected = errorMessageOf([&] { fresh.execute(sql); });
            QVERIFY2(expected.contains(QLatin1String("no such column")), qPrintable(expected));
            QCOMPARE(message, expected);
        }
    }

    // Failures read as they did when the text was prepared as written.
    void failuresAreThoseOfTheText()
    {
        for (const QString &sql : {QStringLiteral("SELECT * FROM Payout WHERE P_Num = 1.2.3"),
                                  QStringLiteral("SELECT * FROM Payout WHERE P_Num = 12abc"),
                                  QStringLiteral("SELECT * FROM Payout WHERE P_Num = 0x1g")}) {
            const QString message = errorMessageOf([&] { queryRows(*connection, sql); });
            const QString expected = sqliteMessage(ledger->path(), sql);
            QVERIFY2(!expected.isEmpty() && expected != QLatin1String("not an error"), qPrintable(expected));
            QVERIFY2(message.endsWith(QStringLiteral("：") + expected), qPrintable(message));
        }
        QString message;
        message = errorMessageOf([&] {
            connection->execute(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num) VALUES('2026-01-02', 'a', 1e999)"));
        });
        QVERIFY2(message.contains(QLatin1String("P_Num")) && message.contains(QLatin1String("Inf")), qPrintable(message));
        message = errorMessageOf([&] { queryRows(*connection, QStringLiteral("SELECT * FROM Payout WHERE P_Num = 1; DELETE FROM Payout")); });
        QVERIFY2(message.contains(QLatin1String("DELETE FROM Payout")), qPrintable(message));
        QCOMPARE(ledger->scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStatementCache)
#include "tst_statementcache.moc"
