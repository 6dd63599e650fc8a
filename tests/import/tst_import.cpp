// The import window on a real ledger, with earlier data files made by the
// new-ledger code and filled through the engine.
#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "import/UpgradeUt.h"
#include "newledger/LedgerSchema.h"
#include "platform/ErrorReport.h"
#include "platform/Fonts.h"
#include "store/DataModuleUt.h"
#include "store/Query.h"
#include "support/AppFixture.h"
#include "support/LedgerFiles.h"
#include "support/UserInput.h"
#include "views/PayoutAddUt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QRegularExpression>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <unistd.h>

namespace {

// Answers the file-open dialog: a file name, or nothing for Cancel.
class ScriptedOpenDialogs : public OpenDialogs
{
public:
    std::optional<QString> chooseFile(QWidget *) override
    {
        ++shown;
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }

    QList<std::optional<QString>> answers;
    int shown = 0;
};

const QString failureText = QStringLiteral("数据导入失败，请重试！若还是导入失败，请发邮件联系。");

// The ledger's own records before the import.
const QStringList ledgerRecords = {
    QStringLiteral("Insert Into Income(I_Date,I_Class,I_Num,I_Desc) Values('2020-5-1','工资',8000,'五月')"),
    QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2020-5-2','餐饮',35.5,'午饭')"),
    QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2020-5-3','交通',4,'地铁')"),
};

// An earlier file: categories of its own beside two of the defaults, and records.
const QStringList earlierRecords = {
    QStringLiteral("DELETE FROM IncomeClass WHERE IC_No > 2"),
    QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES('稿费')"),
    QStringLiteral("DELETE FROM PayoutClass WHERE PC_No <> 7"),
    QStringLiteral("INSERT INTO PayoutClass(PC_No, PC_Name) VALUES(12, '书籍')"),
    QStringLiteral("Insert Into Income(I_Date,I_Class,I_Num,I_Desc) Values('2008-1-5','稿费',1200,'旧的')"),
    QStringLiteral("Insert Into Income(I_Date,I_Class,I_Num,I_Desc) Values('2008-2-5','工资',5000,'it''s')"),
    QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2008-3-1','书籍',99.9,'字典')"),
    QStringLiteral("Insert Into Payout(P_No,P_Date,P_Class,P_Num,P_Desc) Values(40,'2008-3-2','其他支出',1,'')"),
    QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2008-3-3','其他支出',2,'x')"),
};

const QStringList importedTables = {QStringLiteral("IncomeClass"), QStringLiteral("Income"),
                                    QStringLiteral("PayoutClass"), QStringLiteral("Payout")};
const QStringList statisticTables = {QStringLiteral("IncomeStatistic"), QStringLiteral("PayoutStatistic"),
                                     QStringLiteral("AllCount")};

QList<QVariantList> tableRows(const QString &path, const QString &table)
{
    return fileRows(path, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    std::unique_ptr<QTemporaryDir> elsewhere;
    ScriptedOpenDialogs *dialogs = nullptr;
    std::unique_ptr<OpenDialogs> systemDialogs;
    TUpdateFm *w = nullptr;

    QString ledger() const { return app->ledger().path(); }

    // An earlier data file in a folder of its own, away from the ledger.
    QString earlierFile(const QString &relativePath, const QStringList &statements = earlierRecords)
    {
        const QString path = elsewhere->filePath(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        createLedgerFile(path, true);
        fillLedger(path, statements);
        return path;
    }

    // Opens the window as the user does: the help menu, then its item.
    void openWindow()
    {
        TMainFm *m = app->main();
        QMenu *help = nullptr;
        for (QAction *action : m->menuBar()->actions())
            if (action->menu() && action->menu()->actions().contains(m->U1))
                help = action->menu();
        QVERIFY(help);
        user::click(m->menuBar(), m->menuBar()->actionGeometry(help->menuAction()).center());
        QTRY_VERIFY(help->isVisible());
        user::click(help, help->actionGeometry(m->U1).center());
        QTRY_VERIFY(w->isVisible());
    }

    void tick(bool ticked)
    {
        if (w->CheckBox1->isChecked() != ticked)
            user::click(w->CheckBox1, QPoint(8, w->CheckBox1->height() / 2));
        QCOMPARE(w->CheckBox1->isChecked(), ticked);
    }

    void run(const std::optional<QString> &answer)
    {
        dialogs->answers.append(answer);
        user::click(w->BitBtn1);
        QVERIFY(dialogs->answers.isEmpty());
    }

    QStringList backups() const
    {
        return QDir(app->dir()).entryList({QStringLiteral("Tavokel.257.before-import-*")}, QDir::Files);
    }

    void checkFailure(const LedgerContent &before, bool ticked, const QString &reported)
    {
        QCOMPARE(ledgerContent(ledger()), before);
        QCOMPARE(reportedError(app->main()->StatusBar1), reported);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(app->boxes().shown[0].text, failureText);
        QCOMPARE(app->boxes().shown[0].caption, QStringLiteral("注意"));
        QCOMPARE(app->boxes().shown[0].icon, MessageBoxes::Icon::None);
        QCOMPARE(app->boxes().shown[0].buttons, int(MessageBoxes::Ok));
        QVERIFY(w->isVisible());
        QCOMPARE(w->CheckBox1->isChecked(), ticked);
        QCOMPARE(backups(), QStringList());
    }

    void checkSuccess()
    {
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(app->boxes().shown[0].text, QStringLiteral("数据已成功导入！"));
        QCOMPARE(app->boxes().shown[0].caption, QStringLiteral("注意"));
        QCOMPARE(app->boxes().shown[0].icon, MessageBoxes::Icon::None);
        QCOMPARE(app->boxes().shown[0].buttons, int(MessageBoxes::Ok));
        QVERIFY(!w->isVisible());
        QCOMPARE(reportedError(app->main()->StatusBar1), QString());
    }

    void useSystemDialogs()
    {
        setOpenDialogs(std::move(systemDialogs)); // the scripted dialogs go
        dialogs = nullptr;
    }

    // Once the toolkit's dialog is up and has the focus: whileShown runs, then
    // Cancel, or the file's name typed and Open.
    void answer(const QString &text, const std::function<void(QFileDialog *)> &whileShown = {})
    {
        auto *timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, timer, [timer, text, whileShown] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            // What the window manager does with a new modal window.
            if (QApplication::activeWindow() != dialog)
                QApplication::setActiveWindow(dialog);
            if (!QApplication::focusWidget() || QApplication::focusWidget()->window() != dialog)
                return;
            timer->deleteLater();
            if (whileShown)
                whileShown(dialog);
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            if (!text.isEmpty())
                user::type(text);
            user::click(buttons->button(text.isEmpty() ? QDialogButtonBox::Cancel : QDialogButtonBox::Open));
        });
        timer->start(20);
    }

    // Which process holds a lock on a file, as another process sees it.
    static QString lockHolder(const QString &file)
    {
        QProcess probe;
        probe.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("lumibran-lockprobe")), {file});
        if (!probe.waitForFinished() || probe.exitCode() != 0)
            return QStringLiteral("probe failed: ") + QString::fromLocal8Bit(probe.readAllStandardError());
        return QString::fromLatin1(probe.readAllStandardOutput()).trimmed();
    }

    // lumibran-sql on the ledger, as a second program beside this one.
    static void startSqlTool(QProcess &tool, const QString &ledgerPath)
    {
        tool.start(QDir(qEnvironmentVariable("LUMIBRAN_BIN")).filePath(QStringLiteral("lumibran-sql")), {ledgerPath});
        QVERIFY(tool.waitForStarted());
    }

    // One statement of many rows, as a tool that writes in bulk sends it.
    static void writePayouts(QProcess &tool, int from, int to)
    {
        QStringList rows;
        for (int i = from; i < to; ++i)
            rows.append(QStringLiteral("('2020-6-1','交通',1,'beside %1')").arg(i));
        tool.write(QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values %1\n").arg(rows.join(QLatin1Char(','))).toUtf8());
    }

    // A payout added as a user adds it: the add button, then the dialog's
    // boxes walked with Enter.
    void addPayoutThroughItsDialog(const QString &amount)
    {
        TMainFm *m = app->main();
        QApplication::setActiveWindow(m); // what the window manager does when a window hides
        QVERIFY(QTest::qWaitForWindowActive(m));
        user::click(m->PageControl1->tabBar(), m->PageControl1->tabBar()->tabRect(1).center());
        QTRY_COMPARE(QApplication::focusWidget(), m->BitBtn1);
        user::press(Qt::Key_Space);
        AddRecordFm *dialog = app->windows().PayoutAddFm.get();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        user::press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog->ComboBox1);
        user::press(Qt::Key_Down);
        user::press(Qt::Key_Return);
        user::type(amount);
        user::press(Qt::Key_Return);
        user::press(Qt::Key_Return);
        QTRY_VERIFY(!dialog->isVisible());
    }

private slots:
    void init()
    {
        app = std::make_unique<AppFixture>();
        fillLedger(ledger(), ledgerRecords);
        app->show();
        elsewhere = std::make_unique<QTemporaryDir>();
        auto scripted = std::make_unique<ScriptedOpenDialogs>();
        dialogs = scripted.get();
        systemDialogs = setOpenDialogs(std::move(scripted));
        w = app->windows().UpdateFm.get();
        openWindow();
    }

    void cleanup()
    {
        if (systemDialogs)
            setOpenDialogs(std::move(systemDialogs));
        app.reset();
        elsewhere.reset();
    }

    void windowAsDesigned()
    {
        QCOMPARE(w->windowTitle(), QStringLiteral("升级"));
        QCOMPARE(w->GroupBox1->title(), QStringLiteral("   导入以前的数据到V2.5.7    "));
        QCOMPARE(w->CheckBox1->text(), QStringLiteral("  导入前先清空V2.5.7的数据"));
        QCOMPARE(w->Label1->text(), QStringLiteral("执行前请先备份以前的数据文件，  "));
        QCOMPARE(w->Label2->text(), QStringLiteral("以免数据丢失！  "));
        QCOMPARE(w->BitBtn1->text(), QStringLiteral("执行 "));
        QVERIFY(!w->CheckBox1->isChecked());
        // Top to bottom in the group box; the button right of its centre.
        QVERIFY(w->CheckBox1->geometry().bottom() < w->Label1->geometry().top());
        QVERIFY(w->Label1->geometry().bottom() < w->Label2->geometry().top());
        QVERIFY(w->Label2->geometry().bottom() < w->BitBtn1->geometry().top());
        QCOMPARE(w->BitBtn1->size(), QSize(107, 25));
        QVERIFY(w->BitBtn1->geometry().left() > w->GroupBox1->width() / 2);
        QVERIFY(w->GroupBox1->geometry().bottom() < w->height());

        QCOMPARE(w->font().family(), windowFont(16).family());
        QCOMPARE(w->font().pixelSize(), 16);
        QCOMPARE(w->CheckBox1->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QCOMPARE(w->frameGeometry().size(), QSize(344, 253));
        const QPoint offCentre = w->frameGeometry().center() - app->main()->frameGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        // Not modal: the main window stays usable.
        QCOMPARE(w->windowModality(), Qt::NonModal);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void closingHidesAndTheBoxKeepsItsState()
    {
        tick(true);
        user::closeBox(w);
        QVERIFY(!w->isVisible());
        QCOMPARE(app->windows().UpdateFm.get(), w);
        openWindow();
        QVERIFY(w->CheckBox1->isChecked());
        run(std::nullopt);
        openWindow();
        QVERIFY(w->CheckBox1->isChecked());
        tick(false);
        user::closeBox(w);
        openWindow();
        QVERIFY(!w->CheckBox1->isChecked());
    }

    void cancelOrNoSuchFileRunsNothing_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancel") << true;
        QTest::newRow("no such file") << false;
    }

    void cancelOrNoSuchFileRunsNothing()
    {
        QFETCH(bool, cancel);
        tick(true);
        const LedgerContent before = ledgerContent(ledger());
        const QStringList folder = folderState(app->dir());
        run(cancel ? std::nullopt : std::optional<QString>(elsewhere->filePath(QStringLiteral("nothing.257"))));
        QCOMPARE(dialogs->shown, 1);
        QVERIFY(!w->isVisible());
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(reportedError(app->main()->StatusBar1), QString());
        QCOMPARE(ledgerContent(ledger()), before);
        QCOMPARE(folderState(app->dir()), folder);
        QVERIFY(w->CheckBox1->isChecked());
    }

    // Unticked: the rows of the earlier file are added. A row whose key is
    // taken gets the next free key with all its values; every other row,
    // the ledger's own and the earlier file's, keeps its key.
    void importAddsTheEarlierRows()
    {
        const QString source = earlierFile(QStringLiteral("old/data.257"));
        const LedgerContent before = ledgerContent(ledger());
        const LedgerContent earlier = ledgerContent(source);
        run(source);
        checkSuccess();
        const LedgerContent after = ledgerContent(ledger());
        for (const QString &table : statisticTables)
            QCOMPARE(after[table], before[table]);
        QVERIFY(!before[QStringLiteral("AllCount")].isEmpty());
        for (const QString &table : importedTables) {
            QList<QVariantList> expected = before[table];
            QList<QVariantList> renumbered;
            QSet<qint64> keys;
            for (const QVariantList &row : before[table])
                keys.insert(row[0].toLongLong());
            for (const QVariantList &row : earlier[table])
                (keys.contains(row[0].toLongLong()) ? renumbered : expected).append(row);
            std::sort(expected.begin(), expected.end(), [](const QVariantList &a, const QVariantList &b) {
                return a[0].toLongLong() < b[0].toLongLong();
            });
            qint64 next = expected.isEmpty() ? 1 : expected.back()[0].toLongLong() + 1;
            for (QVariantList row : renumbered) {
                row[0] = next++;
                expected.append(row);
            }
            QCOMPARE(after[table].size(), before[table].size() + earlier[table].size());
            QCOMPARE(after[table], expected);
        }
        // Both kinds happened: kept keys and new ones.
        QCOMPARE(after[QStringLiteral("IncomeClass")].last(), (QVariantList{qint64(7), QStringLiteral("奖金")}));
        QVERIFY(after[QStringLiteral("PayoutClass")].contains(QVariantList{qint64(12), QStringLiteral("书籍")}));
        QVERIFY(after[QStringLiteral("Payout")].contains(
            QVariantList{qint64(40), QStringLiteral("2008-03-02"), QStringLiteral("其他支出"), 1.0, QString()}));

        // On its own connection: the shared one stayed open and sees the rows.
        QVERIFY(app->module()->ADOConnection1.connected());
        Query count(QStringLiteral("Count"));
        count.setConnection(&app->module()->ADOConnection1);
        count.setSql(QStringLiteral("Select Count(*) As N From Income"));
        count.open();
        QCOMPARE(count.fieldText(QStringLiteral("N")), QStringLiteral("3"));
        QCOMPARE(backups(), QStringList());
    }

    // Ticked: the ledger holds exactly the earlier file's rows and keys, the
    // statistics are empty and every counter starts again; a copy of the
    // ledger as it was lies beside it.
    void clearingFirstLeavesTheEarlierRowsAndACopy()
    {
        const QString source = earlierFile(QStringLiteral("old/data.257"));
        tick(true);
        const LedgerContent before = ledgerContent(ledger());
        const LedgerContent earlier = ledgerContent(source);
        run(source);
        checkSuccess();
        const LedgerContent after = ledgerContent(ledger());
        for (const QString &table : importedTables)
            QCOMPARE(after[table], earlier[table]);
        for (const QString &table : statisticTables)
            QCOMPARE(after[table], QList<QVariantList>());
        fillLedger(ledger(), {QStringLiteral("INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count) VALUES(1, 2, -1 )"),
                              QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2020-6-1','餐饮',1,'')")});
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT AC_No FROM AllCount")).toInt(), 1);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT max(P_No) FROM Payout")).toInt(), 42);

        const QStringList copies = backups();
        QCOMPARE(copies.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^Tavokel\\.257\\.before-import-\\d{8}-\\d{6}$")).match(copies[0]).hasMatch(),
                 qPrintable(copies[0]));
        const QString copy = QDir(app->dir()).filePath(copies[0]);
        QCOMPARE(ledgerContent(copy), before);
        QCOMPARE(fileRows(copy, QStringLiteral("PRAGMA journal_mode")).value(0).value(0).toString(), QStringLiteral("delete"));
        QVERIFY(!QFileInfo::exists(copy + QStringLiteral("-wal")));
    }

    void importsFromAnyFolderAndName_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("another folder") << QStringLiteral("other/old.257");
        QTest::newRow("Chinese name and blank") << QStringLiteral("旧 账本/我的 数据.257");
        QTest::newRow("quote") << QStringLiteral("it's/o'clock.mdb");
    }

    void importsFromAnyFolderAndName()
    {
        QFETCH(QString, relativePath);
        const QString source = earlierFile(relativePath);
        const QString sourceFolder = QFileInfo(source).path();
        const QStringList sourceFiles = folderState(sourceFolder);
        tick(true);
        run(source);
        checkSuccess();
        QCOMPARE(tableRows(ledger(), QStringLiteral("Payout")), tableRows(source, QStringLiteral("Payout")));
        QCOMPARE(folderState(sourceFolder), sourceFiles);
        QVERIFY(!QFileInfo::exists(QDir(sourceFolder).filePath(QStringLiteral("Tavokel.257"))));
    }

    // Every statement of the run counts, or none does.
    void aFailureLeavesTheLedgerAsItWas_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("kind");
        for (const bool ticked : {false, true}) {
            const char *box = ticked ? "ticked" : "unticked";
            QTest::addRow("no Payout, %s", box) << ticked << QStringLiteral("no payout");
            QTest::addRow("Payout a view, %s", box) << ticked << QStringLiteral("view");
            QTest::addRow("key that no number replaces, %s", box) << ticked << QStringLiteral("text key");
            QTest::addRow("folder, %s", box) << ticked << QStringLiteral("folder");
            QTest::addRow("not a database, %s", box) << ticked << QStringLiteral("not a database");
        }
    }

    void aFailureLeavesTheLedgerAsItWas()
    {
        QFETCH(bool, ticked);
        QFETCH(QString, kind);
        QString source;
        QString reported;
        if (kind == QLatin1String("no payout")) {
            source = earlierFile(QStringLiteral("old/nopayout.257"), earlierRecords + QStringList{QStringLiteral("DROP TABLE Payout")});
            reported = QStringLiteral("数据库文件中没有表 Payout：") + source;
        } else if (kind == QLatin1String("view")) {
            // A view could read without end (a recursive one fills the disk).
            source = earlierFile(QStringLiteral("old/view.257"),
                                 earlierRecords + QStringList{QStringLiteral("ALTER TABLE Payout RENAME TO Records"),
                                                              QStringLiteral("CREATE VIEW Payout AS SELECT * FROM Records")});
            reported = QStringLiteral("数据库文件中的 Payout 不是普通的表：") + source;
        } else if (kind == QLatin1String("text key")) {
            source = earlierFile(QStringLiteral("old/textkey.257"),
                                 earlierRecords
                                     + QStringList{QStringLiteral("DROP TABLE Payout"),
                                                   QStringLiteral("CREATE TABLE Payout (P_No TEXT, P_Date DATE, P_Class TEXT, P_Num REAL, P_Desc TEXT)"),
                                                   QStringLiteral("Insert Into Payout Values('A7','2008-3-1','书籍',1,'')")});
        } else if (kind == QLatin1String("folder")) {
            source = elsewhere->filePath(QStringLiteral("a folder.257"));
            QVERIFY(QDir().mkpath(source));
            reported = QStringLiteral("这是文件夹，不是数据库文件：") + source;
        } else {
            source = elsewhere->filePath(QStringLiteral("notes.txt"));
            QFile file(source);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(3000, 'n'));
            file.close();
            reported = QStringLiteral("不是数据库文件：") + source;
        }
        tick(ticked);
        const LedgerContent before = ledgerContent(ledger());
        run(source);
        if (reported.isEmpty())
            reported = reportedError(app->main()->StatusBar1);
        QVERIFY(!reported.isEmpty());
        checkFailure(before, ticked, reported);
    }

    // Cleared first, the ledger would be read back empty: whatever name
    // reaches it, it is refused before any statement runs.
    void theLedgerItselfIsRefused_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("its path") << QStringLiteral("path");
        QTest::newRow("a relative path") << QStringLiteral("relative");
        QTest::newRow("a link to its folder") << QStringLiteral("folder link");
        QTest::newRow("a hard link") << QStringLiteral("hard link");
        // Its copy would open and close them with plain file calls.
        QTest::newRow("its log") << QStringLiteral("-wal");
        QTest::newRow("its shared memory") << QStringLiteral("-shm");
    }

    void theLedgerItselfIsRefused()
    {
        QFETCH(QString, how);
        QString chosen = ledger();
        if (how == QLatin1String("relative")) {
            chosen = QStringLiteral("./Tavokel.257");
        } else if (how == QLatin1String("folder link")) {
            chosen = elsewhere->filePath(QStringLiteral("link/Tavokel.257"));
            QVERIFY(QFile::link(app->dir(), elsewhere->filePath(QStringLiteral("link"))));
        } else if (how.startsWith(QLatin1Char('-'))) {
            chosen = ledger() + how;
            QVERIFY(QFileInfo::exists(chosen));
        } else if (how == QLatin1String("hard link")) {
            chosen = elsewhere->filePath(QStringLiteral("same.257"));
            QCOMPARE(::link(QFile::encodeName(ledger()).constData(), QFile::encodeName(chosen).constData()), 0);
        }
        tick(true);
        const LedgerContent before = ledgerContent(ledger());
        run(chosen);
        checkFailure(before, true,
                     QStringLiteral("不能从正在使用的账本文件本身导入：")
                         + QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath()));
    }

    // The toolkit's own dialog, with no title of its own: any file, whatever
    // its name, can be chosen, and a name of no file is taken as typed, after
    // which the run ends quietly.
    void theSystemDialogChoosesAnyFile()
    {
        useSystemDialogs();
        const QString source = earlierFile(QStringLiteral("old/earlier data.old"));
        const LedgerContent before = ledgerContent(ledger());
        QString title;
        answer(QString(), [&](QFileDialog *dialog) { title = dialog->windowTitle(); });
        user::click(w->BitBtn1);
        QCOMPARE(title, QCoreApplication::translate("QFileDialog", "Open"));
        QVERIFY(!w->isVisible());
        QVERIFY(app->boxes().shown.isEmpty());

        openWindow();
        answer(elsewhere->filePath(QStringLiteral("no such file.257")));
        user::click(w->BitBtn1);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QVERIFY(!w->isVisible());
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(ledgerContent(ledger()), before);

        openWindow();
        answer(source);
        user::click(w->BitBtn1);
        checkSuccess();
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 5);
    }

    // While the toolkit's dialog lists the ledger's folder it opens none of
    // the ledger's files: the program keeps the locks that SQLite holds, and
    // a second program that opens and closes the ledger, then writes beside
    // the program while it adds a record, loses nothing and breaks nothing.
    void theSystemDialogLeavesTheLedgerLocked()
    {
        useSystemDialogs();
        const QString self = QString::number(QCoreApplication::applicationPid());
        const QStringList lockedFiles = {ledger(), ledger() + QStringLiteral("-shm")};
        for (const QString &file : lockedFiles)
            QCOMPARE(lockHolder(file), self);

        bool typesShown = false;
        answer(QString(), [&](QFileDialog *dialog) {
            auto *model = dialog->findChild<QFileSystemModel *>();
            typesShown = model && QTest::qWaitFor([&] {
                for (const char *suffix : {"", "-wal", "-shm"})
                    if (model->type(model->index(ledger() + QLatin1String(suffix))).isEmpty())
                        return false;
                return true;
            });
        });
        user::click(w->BitBtn1);
        QVERIFY(typesShown);
        QVERIFY(!w->isVisible());
        for (const QString &file : lockedFiles)
            QCOMPARE(lockHolder(file), self);

        QProcess passer;
        startSqlTool(passer, ledger());
        passer.write("SELECT count(*) FROM Payout\n");
        passer.closeWriteChannel();
        QVERIFY(passer.waitForFinished());
        QCOMPARE(passer.exitCode(), 0);

        QProcess writer;
        startSqlTool(writer, ledger());
        writePayouts(writer, 0, 1500);
        writer.write("SELECT count(*) AS n FROM Payout\n");
        QByteArray written;
        QTRY_VERIFY_WITH_TIMEOUT((written += writer.readAllStandardOutput()).contains("1502"), 30000);
        addPayoutThroughItsDialog(QStringLiteral("77.5"));
        if (QTest::currentTestFailed())
            return;
        writePayouts(writer, 1500, 3000);
        writer.closeWriteChannel();
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.readAllStandardError(), QByteArray());
        app->quit();

        QCOMPARE(app->ledger().scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 2 + 3000 + 1);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout WHERE P_Num = 77.5")).toInt(), 1);
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
