// Tables read from another database file through IN 'file'.
#include "newledger/LedgerSchema.h"
#include "core/Error.h"
#include "store/Connection.h"
#include "store/DataModuleUt.h"
#include "store/DialectTranslator.h"
#include "store/Query.h"
#include "store/SqlText.h"
#include "store/Statement.h"
#include "support/ErrorMessage.h"
#include "support/LedgerFiles.h"
#include "support/TestLedger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUrl>
#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QStringList sourceIncome = {
    QStringLiteral("Insert Into Income(I_Date,I_Class,I_Num,I_Desc) Values('2009-01-05','工资',3000,'一月')"),
    QStringLiteral("Insert Into Income(I_Date,I_Class,I_Num,I_Desc) Values('2009-02-05','奖金',250.5,'it''s')"),
};

// How many files a connection has attached for IN.
int attachedSources(Database &db)
{
    Statement list(db, QStringLiteral("PRAGMA database_list"));
    int count = 0;
    while (list.step())
        count += list.value(1).toString().startsWith(sourceSchema(0).chopped(1));
    return count;
}

// What a reader sees that takes the main file alone, ignoring any -wal.
int incomeRowsInMainFile(const QString &path)
{
    const QString uri = QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()) + QStringLiteral("?immutable=1");
    Database db = openDatabase(uri, Database::ReadOnly | Database::Uri);
    Statement count(db, QStringLiteral("SELECT count(*) FROM Income"));
    return count.step() ? count.value(0).toInt() : -1;
}

// A source whose last rows live only in its -wal: the program that wrote
// them ended without moving them into the main file (nor closing it).
void addRowsLeftInWal(const QString &path, const QStringList &statements)
{
    const pid_t writer = fork();
    if (writer == 0) {
        try {
            Database db = openDatabase(path, Database::ReadWrite);
            for (const QString &sql : statements)
                Statement(db, sql).run();
            _exit(0);
        } catch (const Error &e) {
            std::fprintf(stderr, "%s\n", e.what());
            _exit(1);
        }
    }
    int status = 0;
    QVERIFY(writer > 0 && waitpid(writer, &status, 0) == writer);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

QString failureOf(Connection &c, const QString &sql)
{
    return errorMessageOf([&] { c.execute(sql); });
}

QString importIncome(const QString &file)
{
    return QStringLiteral("INSERT INTO Income SELECT * FROM  Income IN ") + sqlQuoted(file);
}

} // namespace

class TestSourceFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString newSource(const QString &name, const QStringList &statements = sourceIncome)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        createLedgerFile(path, true);
        fillLedger(path, statements);
        return path;
    }

    // Runs the imports from source into a new ledger and checks what arrived;
    // the source's folder must be left exactly as it was.
    void importInto(const QString &source, const QStringList &imports, const std::function<void(TestLedger &)> &check)
    {
        const QStringList before = folderState(QFileInfo(source).path());
        TestLedger target;
        Connection c;
        c.setConnectionString(target.connectionString());
        c.open();
        for (const QString &sql : imports)
            c.execute(sql);
        check(target);
        c.close();
        QCOMPARE(folderState(QFileInfo(source).path()), before);
    }

    void importIncomeFrom(const QString &source, const QString &expectedNotes)
    {
        importInto(source, {importIncome(source)}, [&](TestLedger &target) {
            QCOMPARE(target.scalar(QStringLiteral("SELECT group_concat(I_Desc, '|') FROM Income")).toString(), expectedNotes);
        });
    }

private slots:
    void aWalSourceIsOnlyRead()
    {
        const QString source = newSource(QStringLiteral("wal/旧 账本.257"));
        QCOMPARE(fileRows(source, QStringLiteral("PRAGMA journal_mode")).value(0).value(0).toString(), QStringLiteral("wal"));
        importInto(source,
                   {importIncome(source), QStringLiteral("INSERT INTO IncomeClass SELECT * FROM  IncomeClass IN ") + sqlQuoted(source)},
                   [&](TestLedger &target) {
                       QCOMPARE(target.rows(QStringLiteral("SELECT * FROM Income ORDER BY I_No")),
                                fileRows(source, QStringLiteral("SELECT * FROM Income ORDER BY I_No")));
                   });
    }

    void rowsLeftInTheSourcesWalAreRead()
    {
        const QString source = newSource(QStringLiteral("walrows/old.257"), {});
        addRowsLeftInWal(source, sourceIncome);
        QVERIFY(QFileInfo(source + QStringLiteral("-wal")).size() > 0);
        // The main file alone lacks them: a read that ignored the -wal would lose them.
        QCOMPARE(incomeRowsInMainFile(source), 0);
        importIncomeFrom(source, QStringLiteral("一月|it's"));
    }

    void anUnfinishedTransactionOfTheSourceIsLeftOut()
    {
        const QString writing = newSource(QStringLiteral("journal/writing.257"));
        {
            Database db = openDatabase(writing, Database::ReadWrite);
            Statement(db, QStringLiteral("PRAGMA journal_mode=DELETE")).run();
        }
        // A writer in the middle of a large transaction, its pages spilled into
        // the main file: a copy of both files is a source with a hot journal.
        const QString crashed = m_dir.filePath(QStringLiteral("journal/crashed.257"));
        const qint64 committedSize = QFileInfo(writing).size();
        {
            Database db = openDatabase(writing, Database::ReadWrite);
            Statement(db, QStringLiteral("PRAGMA cache_size=2")).run();
            Statement(db, QStringLiteral("BEGIN")).run();
            for (int i = 0; i < 300; ++i)
                Statement(db, QStringLiteral("INSERT INTO Income(I_Desc) VALUES('%1')").arg(QString(500, QLatin1Char('x')))).run();
            QVERIFY(QFile::copy(writing, crashed));
            QVERIFY(QFile::copy(writing + QStringLiteral("-journal"), crashed + QStringLiteral("-journal")));
        }
        QVERIFY(QFileInfo(crashed).size() > committedSize);
        QDir(QFileInfo(writing).path()).remove(QFileInfo(writing).fileName());
        importIncomeFrom(crashed, QStringLiteral("一月|it's"));
    }

    // Reading needs no right to write the source or beside it, as on a
    // read-only medium: run as a user who may not write its folder (root may
    // write anywhere, so as "nobody").
    void aSourceInAFolderNoOneMayWriteIsRead()
    {
        QTemporaryDir base;
        QVERIFY(QFile::setPermissions(base.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                                        | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        const QString sourceDir = base.filePath(QStringLiteral("只读 文件夹"));
        QVERIFY(QDir().mkpath(sourceDir));
        const QString source = sourceDir + QStringLiteral("/old.257");
        createLedgerFile(source, true);
        fillLedger(source, sourceIncome.mid(0, 1));
        addRowsLeftInWal(source, sourceIncome.mid(1));
        const QString targetDir = base.filePath(QStringLiteral("target"));
        QVERIFY(QDir().mkpath(targetDir));
        const QString target = targetDir + QStringLiteral("/Tavokel.257");
        createLedgerFile(target, false);
        const bool root = geteuid() == 0;
        const uid_t nobody = 65534;
        if (root)
            for (const QString &path : {targetDir, target})
                QVERIFY(chown(QFile::encodeName(path).constData(), nobody, nobody) == 0);
        const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
            | QFile::ExeOther;
        for (const QString &file : {source, source + QStringLiteral("-wal")})
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(sourceDir, readOnly));
        const QStringList before = folderState(sourceDir);

        const pid_t child = fork();
        if (child == 0) {
            if (root && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0))
                _exit(77);
            QFile probe(sourceDir + QStringLiteral("/probe"));
            if (probe.open(QIODevice::WriteOnly))
                _exit(78);
            try {
                Connection c;
                c.setConnectionString(TDataModule1::connectionStringFor(target));
                c.open();
                c.execute(importIncome(source));
            } catch (const Error &e) {
                std::fprintf(stderr, "%s\n", e.what());
                _exit(1);
            }
            _exit(0);
        }
        int status = 0;
        QVERIFY(child > 0 && waitpid(child, &status, 0) == child);
        QFile::remove(sourceDir + QStringLiteral("/probe"));
        QVERIFY(QFile::setPermissions(sourceDir, readOnly | QFile::WriteOwner));
        QVERIFY(WIFEXITED(status));
        if (WEXITSTATUS(status) == 77 || WEXITSTATUS(status) == 78)
            QSKIP("no user here is denied writing to the folder");
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(fileRows(target, QStringLiteral("SELECT group_concat(I_Desc, '|') FROM Income")).value(0).value(0).toString(),
                 QStringLiteral("一月|it's"));
        QCOMPARE(folderState(sourceDir), before);
    }

    void twoReadsInOneTransactionAndEveryReadAfterIt()
    {
        const QString first = newSource(QStringLiteral("tx/first.257"));
        const QString second = newSource(QStringLiteral("tx/second.257"),
                                         {QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2009-3-1','餐饮',12,'面')")});
        TestLedger target;
        Connection c;
        c.setConnectionString(target.connectionString());
        c.open();
        Database &db = c.database();
        {
            Connection::Transaction transaction(c);
            c.execute(importIncome(first));
            c.execute(QStringLiteral("INSERT INTO Payout SELECT * FROM  Payout IN ") + sqlQuoted(second));
            c.execute(QStringLiteral("INSERT INTO PayoutClass SELECT * FROM  PayoutClass IN ") + sqlQuoted(first));
            QCOMPARE(attachedSources(db), 2);
            transaction.commit();
        }
        QCOMPARE(attachedSources(db), 0);
        QCOMPARE(target.scalar(QStringLiteral("SELECT count(*) FROM Income")).toInt(), 2);
        QCOMPARE(target.scalar(QStringLiteral("SELECT P_Desc FROM Payout")).toString(), QStringLiteral("面"));

        for (int i = 0; i < 12; ++i)
            c.execute(importIncome(i % 2 ? first : second));
        QCOMPARE(target.scalar(QStringLiteral("SELECT count(*) FROM Income")).toInt(), 2 + 6 * 2);

        // A transaction ended by hand, rolled back after its reads, leaves the
        // file as it was and the reads after it work.
        const auto before = ledgerContent(target.path());
        db.execute(QStringLiteral("BEGIN"));
        c.execute(importIncome(first));
        QVERIFY(!failureOf(c, importIncome(m_dir.filePath(QStringLiteral("missing.257")))).isEmpty());
        db.execute(QStringLiteral("ROLLBACK"));
        QCOMPARE(ledgerContent(target.path()), before);
        c.execute(importIncome(first));
        Query read(QStringLiteral("Read"));
        read.setConnection(&c);
        read.setSql(QStringLiteral("Select * From Income IN ") + sqlQuoted(second));
        read.open();
        QCOMPARE(read.recordCount(), 0);
        QCOMPARE(target.scalar(QStringLiteral("SELECT count(*) FROM Income")).toInt(), 2 + 6 * 2 + 2);
    }

    void unreadableSourcesSayWhy()
    {
        const QString folder = m_dir.filePath(QStringLiteral("bad 文件夹"));
        QVERIFY(QDir().mkpath(folder));
        const QString text = folder + QStringLiteral("/notes.txt");
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(5000, 'n'));
        file.close();
        const QString empty = folder + QStringLiteral("/empty.257");
        QVERIFY(QFile(empty).open(QIODevice::WriteOnly));
        const QString noPayout = folder + QStringLiteral("/nopayout.257");
        createLedgerFile(noPayout, true);
        fillLedger(noPayout, {QStringLiteral("DROP TABLE Payout")});
        const QString missing = folder + QStringLiteral("/missing.257");

        TestLedger target(true);
        fillLedger(target.path(), sourceIncome);
        const auto before = ledgerContent(target.path());
        const QStringList folderBefore = folderState(folder);
        Connection c;
        c.setConnectionString(target.connectionString());
        c.open();
        const struct
        {
            QString sql;
            QString message;
        } cases[] = {
            {importIncome(folder), QStringLiteral("这是文件夹，不是数据库文件：") + folder},
            {importIncome(text), QStringLiteral("不是数据库文件：") + text},
            {importIncome(empty), QStringLiteral("不是数据库文件：") + empty},
            {QStringLiteral("INSERT INTO Payout SELECT * FROM  Payout IN ") + sqlQuoted(noPayout),
             QStringLiteral("数据库文件中没有表 Payout：") + noPayout},
            {importIncome(missing), QStringLiteral("找不到数据库文件：") + missing},
        };
        for (const auto &failing : cases) {
            QCOMPARE(failureOf(c, failing.sql), failing.message);
            QCOMPARE(ledgerContent(target.path()), before);
        }
        QCOMPARE(folderState(folder), folderBefore);
        c.execute(QStringLiteral("INSERT INTO IncomeClass SELECT * FROM  IncomeClass IN ") + sqlQuoted(noPayout));
    }

    void inAfterAColumnIsNoFile()
    {
        TestLedger target(true);
        // A file of that name beside the program changes nothing.
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(target.dir());
        createLedgerFile(target.dir() + QStringLiteral("/x"), true);
        Connection c;
        c.setConnectionString(target.connectionString());
        c.open();
        const QString message = failureOf(c, QStringLiteral("Delete From IncomeClass Where IC_Name IN 'x'"));
        QDir::setCurrent(cwd);
        QVERIFY2(!message.isEmpty() && !message.contains(QLatin1String("数据库文件")), qPrintable(message));
        QCOMPARE(target.scalar(QStringLiteral("SELECT count(*) FROM IncomeClass")).toInt(), 4);
    }

    void aRowWhoseKeyIsTakenGetsTheNextFreeKey()
    {
        const QString source = newSource(QStringLiteral("keys/old.257"),
                                         {QStringLiteral("DELETE FROM IncomeClass WHERE IC_No IN (1, 2)"),
                                          QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES('旧五')"),
                                          QStringLiteral("INSERT INTO IncomeClass(IC_No, IC_Name) VALUES(9, '旧九')")});
        TestLedger target(true);
        fillLedger(target.path(), {QStringLiteral("DELETE FROM IncomeClass WHERE IC_No = 4")});
        // target 1..3; source 3, 4, 5, 9
        Connection c;
        c.setConnectionString(target.connectionString());
        c.open();
        c.execute(QStringLiteral("INSERT INTO IncomeClass SELECT * FROM  IncomeClass IN ") + sqlQuoted(source));
        QCOMPARE(target.rows(QStringLiteral("SELECT IC_No, IC_Name FROM IncomeClass ORDER BY IC_No")),
                 (QList<QVariantList>{{qint64(1), QStringLiteral("工资")},
                                      {qint64(2), QStringLiteral("奖金")},
                                      {qint64(3), QStringLiteral("投资收益")},
                                      {qint64(4), QStringLiteral("其他收入")},
                                      {qint64(5), QStringLiteral("旧五")},
                                      {qint64(9), QStringLiteral("旧九")},
                                      {qint64(10), QStringLiteral("投资收益")}}));
        c.execute(QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES('新')"));
        QCOMPARE(target.scalar(QStringLiteral("SELECT max(IC_No) FROM IncomeClass")).toInt(), 11);
    }
};

QTEST_GUILESS_MAIN(TestSourceFiles)
#include "tst_sourcefiles.moc"
