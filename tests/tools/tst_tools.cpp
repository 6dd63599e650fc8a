#include "support/LedgerFiles.h"
#include "support/TestLedger.h"

#include "store/Connection.h"
#include "store/SqlText.h"
#include "store/Statement.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <tuple>
#include <utility>

namespace {

QString tool(const char *name)
{
    return QDir(qEnvironmentVariable("LUMIBRAN_BIN")).filePath(QString::fromLatin1(name));
}

struct Run
{
    int status;
    QString out;
    QString err;
    QByteArray bytes; // out as written
};

Run run(const QString &program, const QStringList &args, const QString &input = QString(), const QString &dir = QString())
{
    QProcess process;
    if (!dir.isEmpty())
        process.setWorkingDirectory(dir);
    process.start(program, args);
    process.write(input.toUtf8());
    process.closeWriteChannel();
    process.waitForFinished(60000);
    const QByteArray out = process.readAllStandardOutput();
    return {process.exitCode(), QString::fromUtf8(out), QString::fromUtf8(process.readAllStandardError()), out};
}

Run exportRun(const QStringList &args)
{
    return run(tool("lumibran-export"), args);
}

// The export's first line: the byte-order mark and the titles.
const QByteArray csvTitles = QByteArrayLiteral("\xEF\xBB\xBF") + QByteArray("收支,日期,类别,金额,说明\r\n");

// CSV read as RFC 4180 has it: records end in CRLF, fields are parted by
// commas, a quoted field holds anything, its quotes doubled.
QList<QStringList> csvRecords(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == QLatin1Char('"') && text.mid(i + 1, 1) == QLatin1String("\"")) {
            field += c;
            ++i;
        } else if (c == QLatin1Char('"') && (quoted || field.isEmpty())) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char(',')) {
            record.append(std::exchange(field, QString()));
        } else if (!quoted && text.mid(i, 2) == QLatin1String("\r\n")) {
            record.append(std::exchange(field, QString()));
            records.append(std::exchange(record, QStringList()));
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

// The notes of an export, in its order, after the line of titles.
QStringList notesOf(const Run &exported)
{
    QStringList notes;
    for (const QStringList &record : csvRecords(exported.out).mid(1))
        notes.append(record.value(4));
    return notes;
}

// A text as the export shows it: an apostrophe in front of what a
// spreadsheet would run as a formula.
QString asShown(const QString &text)
{
    return !text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text[0]) ? QLatin1Char('\'') + text : text;
}

} // namespace

class TestTools : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString ledger;

    Run sql(const QString &statements) { return run(tool("lumibran-sql"), {ledger}, statements); }

private slots:
    void initTestCase()
    {
        const Run made = run(tool("lumibran-newledger"), {}, QString(), dir.path());
        QCOMPARE(made.status, 0);
        ledger = dir.filePath(QStringLiteral("Tavokel.257"));
        QVERIFY(QFileInfo::exists(ledger));
    }

    void newLedgerRefusesToOverwrite()
    {
        const Run again = run(tool("lumibran-newledger"), {ledger});
        QCOMPARE(again.status, 1);
        QVERIFY(again.err.contains(ledger));
        const QString bare = dir.filePath(QStringLiteral("bare.257"));
        QCOMPARE(run(tool("lumibran-newledger"), {QStringLiteral("--no-categories"), bare}).status, 0);
        const Run counts = run(tool("lumibran-sql"), {bare}, QStringLiteral("Select Count(*) As N From IncomeClass\n"));
        QCOMPARE(counts.out, QStringLiteral("N\n0\n"));
    }

    void defaultCategoriesComeInNumberOrder()
    {
        const Run classes = sql(QStringLiteral("Select * From PayoutClass Order By PC_No DESC\n"));
        QCOMPARE(classes.status, 0);
        const QStringList lines = classes.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("PC_No\tPC_Name"));
        QVERIFY(lines.size() > 3);
        QVERIFY(lines.value(1).startsWith(QString::number(lines.size() - 1) + QLatin1Char('\t')));
    }

    void recordStatementsOfTheProgram()
    {
        const Run added = sql(QStringLiteral(
            "Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','Food',12.5,'lunch')\n"
            "Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-31','Food',7.5,'Tom''s')\n"
            "Insert Into Income(I_Date,I_Class,I_Num,I_Desc) Values('2010-3-9','Pay',1000,'')\n"
            "Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','Food',1.2.3,'bad')\n"
            "Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where [P_Date] between #2010-03-1# And #2010-03-31# Order By P_No  Asc\n"
            "Select I_No,I_Date,I_Class,I_Num,I_Desc From Income Where I_Date = #2010-03-09# Order By I_No Asc\n"));
        QCOMPARE(added.status, 1); // the 1.2.3 amount failed, the rest went on
        QVERIFY(!added.err.isEmpty());
        QCOMPARE(added.out, QStringLiteral("P_No\tP_Date\tP_Class\tP_Num\tP_Desc\n"
                                           "1\t2010-3-5\tFood\t12.5\tlunch\n"
                                           "2\t2010-3-31\tFood\t7.5\tTom's\n"
                                           "I_No\tI_Date\tI_Class\tI_Num\tI_Desc\n"
                                           "1\t2010-3-9\tPay\t1000\t\n"));
    }

    void statisticsStatements()
    {
        const Run stats = sql(QStringLiteral(
            "DELETE FROM IncomeStatistic\n"
            "DELETE FROM PayoutStatistic\n"
            "DELETE FROM AllCount\n"
            "Select Distinct(P_Class) From Payout Where [P_Date] between #2010-03-1# And #2010-03-31#\n"
            "Select Sum(P_Num) As P_Num_Count From Payout Where [P_Date] between #2010-03-1# And #2010-03-31# And P_Class='Food'\n"
            "Select Sum(P_Num) As P_Num_Count From Payout Where [P_Date] = #2010-3-5# And P_Class='Food'\n"
            "INSERT INTO PayoutStatistic(PS_P_Class,PS_P_Count) VALUES('Food', 20 )\n"
            "Select Sum(I_Num) As I_Num_Count From Income Where [I_Date] between #2011-1-1# And #2011-12-31#\n"
            "INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count) VALUES(1000, 20, 980 )\n"
            "SELECT * FROM AllCount\n"
            "SELECT * FROM PayoutStatistic\n"
            "Select P_No,P_Date,P_Class,P_Num,P_Desc From Payout Where P_Class = 'Food' AND [P_Date] between #2010-03-1# And #2010-03-31# Order By P_No  Asc\n"));
        QCOMPARE(stats.err, QString());
        QCOMPARE(stats.status, 0);
        QCOMPARE(stats.out, QStringLiteral("P_Class\nFood\n"
                                           "P_Num_Count\n20\n"
                                           "P_Num_Count\n12.5\n"
                                           "I_Num_Count\n\n"
                                           "AC_No\tAC_I_Count\tAC_P_Count\tAC_Net_Count\n1\t1000\t20\t980\n"
                                           "PS_No\tPS_P_Class\tPS_P_Count\n1\tFood\t20\n"
                                           "P_No\tP_Date\tP_Class\tP_Num\tP_Desc\n"
                                           "1\t2010-3-5\tFood\t12.5\tlunch\n"
                                           "2\t2010-3-31\tFood\t7.5\tTom's\n"));
    }

    void importStatements()
    {
        QTemporaryDir target;
        QCOMPARE(run(tool("lumibran-newledger"), {QStringLiteral("--no-categories")}, QString(), target.path()).status, 0);
        const QString clearing = QStringLiteral(
            "DELETE FROM Income\n ALTER TABLE Income ALTER COLUMN I_No COUNTER(1, 1)\n"
            "DELETE FROM PayOutClass\n ALTER TABLE PayOutClass ALTER COLUMN PC_No COUNTER(1, 1)\n"
            "DELETE FROM PayOut\n ALTER TABLE PayOut ALTER COLUMN P_No COUNTER(1, 1)\n");
        const QString import = QStringLiteral("INSERT INTO Payout SELECT * FROM  Payout IN '%1'\n"
                                              "INSERT INTO PayoutClass SELECT * FROM  PayoutClass IN '%1'\n"
                                              "Select Count(*) As N From Payout\n")
                                   .arg(ledger);
        const Run done = run(tool("lumibran-sql"), {target.filePath(QStringLiteral("Tavokel.257"))}, clearing + import);
        QCOMPARE(done.err, QString());
        QCOMPARE(done.out, QStringLiteral("N\n2\n"));
        const Run missing = run(tool("lumibran-sql"), {target.filePath(QStringLiteral("Tavokel.257"))},
                                QStringLiteral("INSERT INTO Income SELECT * FROM  Income IN '/nowhere/old.257'\n"));
        QCOMPARE(missing.status, 1);
        QVERIFY(missing.err.contains(QLatin1String("/nowhere/old.257")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/nowhere/old.257")));
        // The ledger in use, or its log, is read through SQLite alone: its copy
        // would open and close it beside the locks SQLite holds on it.
        const QString own = target.filePath(QStringLiteral("Tavokel.257"));
        for (const QString &file : {own, own + QStringLiteral("-wal")}) {
            const Run itself = run(tool("lumibran-sql"), {own},
                                   QStringLiteral("Select Count(*) As N From Payout IN '%1'\n").arg(file));
            QCOMPARE(itself.status, 1);
            QCOMPARE(itself.err, QStringLiteral("不能通过 IN 读取正在使用的账本文件本身：%1\n").arg(file));
        }
    }

    // A period's statistics must not visit every record of a long ledger:
    // each category's sum comes from an index alone.
    void aCategorysSumIsReadFromAnIndexAlone()
    {
        Database db = openDatabase(ledger, Database::ReadOnly);
        for (const char *sql : {"SELECT Sum(P_Num) FROM Payout WHERE P_Date BETWEEN '2010-03-01' AND '2010-03-31' AND P_Class='Food'",
                                "SELECT Sum(I_Num) FROM Income WHERE I_Date = '2010-03-09' AND I_Class='Pay'"}) {
            Statement plan(db, QStringLiteral("EXPLAIN QUERY PLAN ") + QLatin1String(sql));
            QString search;
            for (const QVariantList &step : rowsOf(plan))
                search += step.last().toString() + QLatin1Char('\n');
            QVERIFY2(search.startsWith(QLatin1String("SEARCH")) && search.contains(QLatin1String("USING COVERING INDEX")),
                     qPrintable(search));
        }
    }

    // One record in every way a field can need care.
    void exportWritesAFieldAsASpreadsheetReadsIt_data()
    {
        QTest::addColumn<QString>("amount"); // as written into the INSERT
        QTest::addColumn<QString>("note");   // likewise
        QTest::addColumn<QByteArray>("line");
        auto row = [](const char *name, const char *amount, const QString &note, const char *line) {
            QTest::newRow(name) << QString::fromUtf8(amount) << note << QByteArray(line);
        };
        row("plain", "12.5", sqlQuoted(QStringLiteral("午饭")), "支出,2010-03-05,餐饮,12.5,午饭");
        row("comma", "1", sqlQuoted(QStringLiteral("a,b")), "支出,2010-03-05,餐饮,1,\"a,b\"");
        row("quotes", "1", sqlQuoted(QStringLiteral("他说\"好\"")), "支出,2010-03-05,餐饮,1,\"他说\"\"好\"\"\"");
        row("line break", "1", sqlQuoted(QStringLiteral("two\nlines")), "支出,2010-03-05,餐饮,1,\"two\nlines\"");
        row("CRLF", "1", sqlQuoted(QStringLiteral("a\r\nb")), "支出,2010-03-05,餐饮,1,\"a\r\nb\"");
        row("formula", "1", sqlQuoted(QStringLiteral("=1+2")), "支出,2010-03-05,餐饮,1,'=1+2");
        row("plus", "1", sqlQuoted(QStringLiteral("+86 138")), "支出,2010-03-05,餐饮,1,'+86 138");
        row("minus", "1", sqlQuoted(QStringLiteral("-5 退款")), "支出,2010-03-05,餐饮,1,'-5 退款");
        row("at", "1", sqlQuoted(QStringLiteral("@SUM(A1)")), "支出,2010-03-05,餐饮,1,'@SUM(A1)");
        row("tab", "1", sqlQuoted(QStringLiteral("\tx")), "支出,2010-03-05,餐饮,1,'\tx");
        row("formula, comma and quotes", "1", sqlQuoted(QStringLiteral("=HYPERLINK(\"http://x\",\"y\")")),
            "支出,2010-03-05,餐饮,1,\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"");
        row("apostrophes", "1", sqlQuoted(QStringLiteral("'a' b")), "支出,2010-03-05,餐饮,1,'a' b");
        row("blanks", "1", sqlQuoted(QStringLiteral("  a ; b  ")), "支出,2010-03-05,餐饮,1,  a ; b  ");
        row("empty note", "1", QStringLiteral("''"), "支出,2010-03-05,餐饮,1,");
        row("no note", "1", QStringLiteral("NULL"), "支出,2010-03-05,餐饮,1,");
        row("beyond the BMP", "1", sqlQuoted(QStringLiteral("💰")), "支出,2010-03-05,餐饮,1,💰");
        row("refund", "-50", QStringLiteral("''"), "支出,2010-03-05,餐饮,-50,");
        row("tenth", "0.1", QStringLiteral("''"), "支出,2010-03-05,餐饮,0.1,");
        row("not rounded", "0.1 + 0.2", QStringLiteral("''"), "支出,2010-03-05,餐饮,0.30000000000000004,");
        row("two thirds", "2.0 / 3", QStringLiteral("''"), "支出,2010-03-05,餐饮,0.6666666666666666,");
        row("a million", "1000000", QStringLiteral("''"), "支出,2010-03-05,餐饮,1000000,");
        row("large", "1e20", QStringLiteral("''"), "支出,2010-03-05,餐饮,100000000000000000000,");
        row("small", "1e-7", QStringLiteral("''"), "支出,2010-03-05,餐饮,0.0000001,");
        row("no amount", "NULL", QStringLiteral("''"), "支出,2010-03-05,餐饮,,");
    }
    void exportWritesAFieldAsASpreadsheetReadsIt()
    {
        QFETCH(QString, amount);
        QFETCH(QString, note);
        QFETCH(QByteArray, line);
        TestLedger ledger;
        ledger.exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES('2010-03-05','餐饮',%1,%2)")
                        .arg(amount, note));
        const Run exported = exportRun({ledger.path()});
        QCOMPARE(exported.err, QString());
        QCOMPARE(exported.status, 0);
        QCOMPARE(exported.bytes, csvTitles + line + "\r\n");
    }

    void anEmptyLedgerExportsItsTitlesAlone()
    {
        TestLedger ledger;
        const Run exported = exportRun({ledger.path()});
        QCOMPARE(exported.status, 0);
        QCOMPARE(exported.bytes, csvTitles);
    }

    // By day, then by key, income first where both keys are the same; the
    // ledger's folder stays exactly as it was: no -wal, no -shm, no write.
    void exportKeepsDayAndKeyOrderWithinItsRange_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("notes");
        QTest::newRow("all") << QStringList() << QStringList{"p2", "i1", "p1", "i2", "p3", "i3", "p4"};
        QTest::newRow("from") << QStringList{"--from", "2010-03-05"} << QStringList{"p1", "i2", "p3", "i3", "p4"};
        QTest::newRow("to") << QStringList{"--to", "2010-03-01"} << QStringList{"p2", "i1"};
        QTest::newRow("a month") << QStringList{"--from", "2010-03-01", "--to", "2010-03-31"}
                                 << QStringList{"i1", "p1", "i2", "p3", "i3"};
        QTest::newRow("one day") << QStringList{"--to", "2010-03-05", "--from", "2010-03-05"} << QStringList{"p1", "i2", "p3"};
        QTest::newRow("no record") << QStringList{"--from", "2011-01-01"} << QStringList();
    }
    void exportKeepsDayAndKeyOrderWithinItsRange()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, notes);
        TestLedger ledger;
        const char *const records[][3] = {{"Payout", "2010-03-05", "p1"}, {"Income", "2010-03-01", "i1"},
                                          {"Payout", "2010-02-28", "p2"}, {"Income", "2010-03-05", "i2"},
                                          {"Payout", "2010-03-05", "p3"}, {"Income", "2010-03-31", "i3"},
                                          {"Payout", "2010-04-01", "p4"}};
        for (const auto &r : records) {
            const QString p = QLatin1String(r[0]).left(1) + QLatin1Char('_');
            ledger.exec(QStringLiteral("INSERT INTO %1(%2Date,%2Class,%2Num,%2Desc) VALUES('%3','x',1,'%4')")
                            .arg(QLatin1String(r[0]), p, QLatin1String(r[1]), QLatin1String(r[2])));
        }
        const QStringList before = folderState(ledger.dir());
        const Run exported = exportRun(args << ledger.path());
        QCOMPARE(exported.status, 0);
        QVERIFY(exported.bytes.startsWith(csvTitles));
        QCOMPARE(notesOf(exported), notes);
        QCOMPARE(folderState(ledger.dir()), before);
    }

    // The program's connection has the file open, with a write under way:
    // the export reads what is committed, waits for nothing and leaves the
    // program free to go on writing.
    void exportReadsBesideTheProgramsConnection()
    {
        TestLedger ledger;
        Connection program;
        program.setConnectionString(ledger.connectionString());
        program.open();
        program.execute(QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','餐饮',12.5,'committed')"));
        {
            Connection::Transaction pending(program);
            program.execute(QStringLiteral("Insert Into Income(I_Date,I_Class,I_Num,I_Desc) Values('2010-3-5','工资',1,'pending')"));
            QElapsedTimer timer;
            timer.start();
            const Run during = exportRun({ledger.path()});
            QCOMPARE(during.err, QString());
            QCOMPARE(notesOf(during), QStringList{"committed"});
            QVERIFY2(timer.elapsed() < 5000, "the export waited for the program's write");
            pending.commit();
        }
        program.execute(QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-6','餐饮',1,'after')"));
        QCOMPARE(notesOf(exportRun({ledger.path()})), (QStringList{"pending", "committed", "after"}));
    }

    // Every field of every record comes back from a CSV reader as stored:
    // texts full of what CSV and spreadsheets make much of, amounts with
    // every digit a double holds.
    void exportRoundTripsThroughACsvReader()
    {
        TestLedger ledger;
        const QString pieces[] = {"a", ",", "\"", "\n", "\r\n", "\r", "=", "+", "-", "@", "\t", "'", " ", "中", "💰", ";"};
        quint32 seed = 20;
        auto random = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
        auto text = [&] {
            QString t;
            for (quint32 i = 0, n = random() % 7; i < n; ++i)
                t += pieces[random() % std::size(pieces)];
            return t;
        };
        QStringList incomes, payouts;
        for (int i = 0; i < 600; ++i) {
            const QString values = QStringLiteral("('%1',%2,%3,%4)")
                                       .arg(QDate(2010, 1, 1).addDays(random() % 60).toString(Qt::ISODate), sqlQuoted(text()),
                                            QString::number((double(random()) - 4e6) / (random() % 997 + 1), 'g', 17),
                                            sqlQuoted(text()));
            (i % 3 ? payouts : incomes).append(values);
        }
        ledger.exec(QStringLiteral("INSERT INTO Income(I_Date,I_Class,I_Num,I_Desc) VALUES ") + incomes.join(QLatin1Char(',')));
        ledger.exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES ") + payouts.join(QLatin1Char(',')));
        auto stored = ledger.rows(QStringLiteral("SELECT I_Date, I_No, 0, I_Class, I_Num, I_Desc FROM Income"))
            + ledger.rows(QStringLiteral("SELECT P_Date, P_No, 1, P_Class, P_Num, P_Desc FROM Payout"));
        std::sort(stored.begin(), stored.end(), [](const QVariantList &a, const QVariantList &b) {
            return std::tuple(a[0].toString(), a[1].toInt(), a[2].toInt()) < std::tuple(b[0].toString(), b[1].toInt(), b[2].toInt());
        });

        const Run exported = exportRun({ledger.path()});
        QCOMPARE(exported.status, 0);
        const QList<QStringList> read = csvRecords(exported.out);
        QCOMPARE(read.size(), stored.size() + 1);
        QCOMPARE(read[0], (QStringList{"\uFEFF收支", "日期", "类别", "金额", "说明"}));
        for (qsizetype r = 0; r < stored.size(); ++r) {
            const QVariantList &s = stored[r];
            const QStringList &fields = read[r + 1];
            QCOMPARE(fields.size(), 5);
            QCOMPARE(fields[0], s[2].toInt() ? QStringLiteral("支出") : QStringLiteral("收入"));
            QCOMPARE(fields[1], s[0].toString());
            QCOMPARE(fields[2], asShown(s[3].toString()));
            bool number = false;
            QCOMPARE(fields[3].toDouble(&number), s[4].toDouble());
            QVERIFY(number);
            QCOMPARE(fields[4], asShown(s[5].toString()));
        }
    }

    // The time includes starting the process; the bound is generous, so that
    // only a way of reading or writing that grows out of hand fails it (the
    // benchmark gives the figure).
    void exportOfAHundredThousandRecords()
    {
        TestLedger ledger;
        ledger.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                                   "INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) "
                                   "SELECT date('2000-01-01', '+' || (i * 7919 % 7300) || ' days'), '餐饮', i / 100.0, 'note ' || i FROM n"));
        QElapsedTimer timer;
        timer.start();
        const Run exported = exportRun({ledger.path()});
        const qint64 ms = timer.elapsed();
        QCOMPARE(exported.status, 0);
        const QList<QStringList> read = csvRecords(exported.out);
        QCOMPARE(read.size(), 100001);
        for (qsizetype r = 2; r < read.size(); ++r)
            QVERIFY(read[r - 1][1] <= read[r][1]);
        QVERIFY2(ms < 10000, qPrintable(QStringLiteral("%1 ms").arg(ms)));
        qInfo("exported 100000 records in %lld ms", ms);
    }

    void exportRefusesWhatIsNoLedger_data()
    {
        QTest::addColumn<QStringList>("args"); // %1 is a folder with a text file and a database of another kind
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QStringList{"%1/none.257"} << 1 << "there is no ledger data file %1/none.257";
        QTest::newRow("folder") << QStringList{"%1"} << 1 << "%1 is not a file";
        QTest::newRow("text") << QStringList{"%1/text.257"} << 1
                              << "%1/text.257 is not a ledger data file: file is not a database";
        QTest::newRow("other database") << QStringList{"%1/other.257"} << 1
                                        << "%1/other.257 is not a ledger data file: it lacks the Income or the Payout table";
        QTest::newRow("no such day") << QStringList{"--from", "2010-02-30", "%1/other.257"} << 2
                                     << "--from needs a day written YYYY-MM-DD";
        QTest::newRow("a time") << QStringList{"--to", "2010-02-03T10:00"} << 2 << "--to needs a day written YYYY-MM-DD";
        QTest::newRow("full-width digits") << QStringList{"--to", "２０１０-02-03"} << 2 << "--to needs a day written YYYY-MM-DD";
        QTest::newRow("no day") << QStringList{"--to"} << 2 << "--to needs a day written YYYY-MM-DD";
        QTest::newRow("backwards") << QStringList{"--from", "2010-03-02", "--to", "2010-03-01"} << 2
                                   << "--from 2010-03-02 comes after --to 2010-03-01";
        QTest::newRow("two files") << QStringList{"a.257", "b.257"} << 2 << "unexpected argument 'b.257'";
    }
    void exportRefusesWhatIsNoLedger()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir folder;
        QFile text(folder.filePath(QStringLiteral("text.257")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("收支,日期\r\n");
        text.close();
        {
            Database other = openDatabase(folder.filePath(QStringLiteral("other.257")), Database::ReadWrite | Database::Create);
            Statement(other, QStringLiteral("CREATE TABLE Income (I_No INTEGER PRIMARY KEY)")).run();
        }
        const QStringList before = folderState(folder.path());
        for (QString &arg : args)
            arg.replace(QLatin1String("%1"), folder.path());
        const Run refused = exportRun(args);
        QCOMPARE(refused.status, status);
        message.replace(QLatin1String("%1"), folder.path());
        QCOMPARE(refused.err.section(QLatin1Char('\n'), 0, 0), QStringLiteral("lumibran-export: ") + message);
        QCOMPARE(refused.out, QString());
        QCOMPARE(folderState(folder.path()), before);
    }

    // What the menu entry runs: the program in the folder given, else in the
    // home folder, on a ledger made there the first time only.
    void theLauncherStartsTheProgramInTheLedgersFolder_data()
    {
        QTest::addColumn<bool>("home");
        QTest::addColumn<bool>("existing");
        QTest::newRow("a folder without a ledger") << false << false;
        QTest::newRow("the home folder") << true << false;
        QTest::newRow("a folder with its ledger") << false << true;
    }
    void theLauncherStartsTheProgramInTheLedgersFolder()
    {
        QFETCH(bool, home);
        QFETCH(bool, existing);
        QTemporaryDir folder;
        const QString ledger = folder.filePath(QStringLiteral("Tavokel.257"));
        if (existing) {
            QCOMPARE(run(tool("lumibran-newledger"), {ledger}).status, 0);
            fillLedger(ledger, {QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','餐饮',1,'kept')")});
        }
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (home)
            environment.insert(QStringLiteral("HOME"), folder.path());
        program.setProcessEnvironment(environment);
        program.start(tool("lumibran-start"), home ? QStringList() : QStringList{folder.path()});
        QVERIFY(program.waitForStarted());
        // The launcher gives way to the program itself, in the ledger's folder.
        const QString process = QStringLiteral("/proc/%1/").arg(program.processId());
        QTRY_COMPARE(QFileInfo(process + QStringLiteral("exe")).canonicalFilePath(), QFileInfo(tool("lumibran")).canonicalFilePath());
        QCOMPARE(QFileInfo(process + QStringLiteral("cwd")).canonicalFilePath(), QFileInfo(folder.path()).canonicalFilePath());
        program.terminate();
        QVERIFY(program.waitForFinished());
        QCOMPARE(fileRows(ledger, QStringLiteral("SELECT count(*) FROM Payout WHERE P_Desc = 'kept'")).value(0).value(0).toInt(),
                 existing ? 1 : 0);
        QCOMPARE(fileRows(ledger, QStringLiteral("SELECT count(*) FROM PayoutClass")).value(0).value(0).toInt(), 7);
    }

    void aFileThatIsNoLedgerIsRefused()
    {
        const Run none = run(tool("lumibran-sql"), {dir.filePath(QStringLiteral("none.257"))}, QString());
        QCOMPARE(none.status, 1);
        QVERIFY(none.err.contains(QLatin1String("none.257")));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("none.257"))));
    }
};

QTEST_GUILESS_MAIN(TestTools)
#include "tst_tools.moc"
