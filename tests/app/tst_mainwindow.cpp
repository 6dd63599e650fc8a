#include "app/AboutUt.h"
#include "app/HelpUt.h"
#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "grid/DataGrid.h"
#include "grid/QueryTableModel.h"
#include "import/UpgradeUt.h"
#include "newledger/LedgerSchema.h"
#include "platform/DatePicker.h"
#include "platform/ErrorReport.h"
#include "platform/LinkLabel.h"
#include "platform/SelectorBox.h"
#include "platform/Shell.h"
#include "stats/IncomeSearchUt.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"
#include "support/LedgerFiles.h"
#include "support/UserInput.h"
#include "views/IncomeUt.h"
#include "views/PayoutAddUt.h"

#include "platform/MonthCalendar.h"

#include <QDir>
#include <QGroupBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace {

// A menu item chosen by its accelerators: Alt and the menu's letter, then the item's.
void chooseFromMenu(TMainFm *main, Qt::Key menu, Qt::Key item)
{
    QApplication::setActiveWindow(main);
    QVERIFY(QTest::qWaitForWindowActive(main));
    user::press(menu, Qt::AltModifier);
    QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    user::press(item);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

QString todayInserts(int count)
{
    QStringList values;
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    for (int i = 1; i <= count; ++i)
        values << QStringLiteral("('%1','餐饮',%2,'n%2')").arg(today).arg(i);
    return QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES ") + values.join(QLatin1Char(','));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void windowSetIsCreatedInOrder()
    {
        AppFixture app;
        app.create();
        QStringList classes, captions;
        for (QObject *object : app.windows().creationOrder()) {
            classes << QString::fromLatin1(object->metaObject()->className());
            if (auto *window = qobject_cast<QWidget *>(object))
                captions << window->windowTitle();
        }
        QCOMPARE(classes, (QStringList{"TMainFm", "TPayoutAddFm", "TIncomeAddFm", "TAboutFm", "THelpFm", "TDataModule1",
                                       "TUpdateFm", "TPayoutSearchFm", "TIncomeSearchFm"}));
        QCOMPARE(captions, (QStringList{"Lumibran理财专家", "增加支出", "增加收入", "关于", "帮助", "升级", "支出明细", "收入明细"}));
        QCOMPARE(app.windows().AboutFm->size(), QSize(572, 398));
        QCOMPARE(app.windows().IncomeSearchFm->size(), QSize(663, 428));
        // Nothing touched the database before the main window is shown.
        QVERIFY(!app.module()->ADOConnection1.connected());
    }

    void layoutNamesAndCaptions()
    {
        AppFixture app;
        app.create();
        TMainFm *m = app.main();
        QCOMPARE(m->PageControl1->count(), 4);
        QCOMPARE(m->PageControl1->tabText(0), QStringLiteral("         收入         "));
        QCOMPARE(m->PageControl1->tabText(3), QStringLiteral("         设置         "));
        QCOMPARE(m->PageControl1->currentWidget(), m->TabSheet1);
        QCOMPARE(m->BitBtn5->toolTip(), QStringLiteral("总于找到钱了，好辛苦，记录一下"));
        QCOMPARE(m->BitBtn1->toolTip(), QStringLiteral("钱就是用得快，记一下，看是怎么用出去的"));
        QCOMPARE(m->BitBtn4->toolTip(), QStringLiteral("刷新一下，看看有没有变化"));
        QCOMPARE(m->BitBtn5->size(), QSize(70, 70));
        QCOMPARE(m->BitBtn8->geometry(), QRect(20, 234, 70, 70));
        QVERIFY(m->BitBtnTJ->isHidden());
        QVERIFY(m->BitBtn9->isHidden());
        QCOMPARE(m->Edit2->text(), QStringLiteral("Edit1"));
        QCOMPARE(m->ComboBox1->count(), 6);
        QCOMPARE(m->ComboBox2->itemText(11), QStringLiteral("12"));
        QVERIFY(m->RadioButton3->isChecked());
        QCOMPARE(m->RadioButton4->text(), QStringLiteral("指定范围    "));
        QCOMPARE(m->Calendar1->firstDayOfWeek(), Qt::Sunday);
        QCOMPARE(m->DBGridSR->rowModel()->column(1).title, QStringLiteral("收入类型"));
        QVERIFY(m->DBGridSR->rowModel()->column(1).readOnly);
        QCOMPARE(m->DBGridZC->columnWidth(3), 400);
        QCOMPARE(m->DBGridSRLB->rowModel()->column(0).title, QStringLiteral("显示顺序"));
        QCOMPARE(m->i1->text(), QStringLiteral("收入 [&I]"));
        QCOMPARE(m->U1->text(), QStringLiteral("升级 [&U]"));
    }

    void showSequenceOnAGoodLedger()
    {
        AppFixture app;
        app.ledger().exec(todayInserts(2));
        app.show();
        TMainFm *m = app.main();
        const QDate today = QDate::currentDate();
        QCOMPARE(m->windowTitle(), QStringLiteral("Lumibran管理专家V2.5.9"));
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(m->DateTimePicker1->date(), today);
        QCOMPARE(m->DateTimePicker2->date(), today);
        QCOMPARE(m->ComboBox1->text(), today.toString(QStringLiteral("yyyy")));
        QCOMPARE(m->ComboBox2->text(), today.toString(QStringLiteral("MM")));
        QCOMPARE(m->ComboBox3->text(), today.toString(QStringLiteral("dd")));
        QCOMPARE(m->DBGridZC->model()->rowCount(), 2);
        QCOMPARE(m->Edit2->text(), QStringLiteral("3.00"));
        const QStringList income = m->DBGridSR->rowModel()->column(1).pickList;
        const QStringList payout = m->DBGridZC->rowModel()->column(1).pickList;
        QCOMPARE(income.value(0), QStringLiteral("工资")); // lowest number first
        QCOMPARE(payout.value(0), QStringLiteral("餐饮"));
        QCOMPARE(payout.size(), app.ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutClass")).toInt());
        QCOMPARE(app.module()->ADOConnection1.dataSource(), QDir(app.dir()).absoluteFilePath(QStringLiteral("Tavokel.257")));
    }

    void showSequenceWithoutALedger()
    {
        AppFixture app(AppFixture::Ledger::Missing);
        app.show();
        TMainFm *m = app.main();
        QCOMPARE(m->windowTitle(), QStringLiteral("Lumibran理财专家"));
        QCOMPARE(m->ComboBox1->text(), QStringLiteral("2006"));
        QCOMPARE(m->ComboBox2->text(), QStringLiteral("01"));
        QCOMPARE(m->ComboBox3->text(), QStringLiteral("01"));
        for (DataGrid *grid : {m->DBGridSR, m->DBGridZC, m->DBGridSRTJ, m->DBGridZCTJ})
            QCOMPARE(grid->model()->rowCount(), 0);
        for (QLineEdit *box : {m->Edit1, m->Edit2, m->Edit3})
            QCOMPARE(box->text(), QStringLiteral("Edit1"));
        QVERIFY2(m->statusText().contains(QStringLiteral("Tavokel.257")), qPrintable(m->statusText()));
        QVERIFY(m->DBGridSR->rowModel()->column(1).pickList.isEmpty());
        QVERIFY(!QFileInfo::exists(QDir(app.dir()).filePath(QStringLiteral("Tavokel.257"))));
        QVERIFY(m->isVisible());
        // A later action reports its own failure.
        m->BitBtn4->click();
        QVERIFY(m->statusText().contains(QStringLiteral("Tavokel.257")));
        QVERIFY(!QFileInfo::exists(QDir(app.dir()).filePath(QStringLiteral("Tavokel.257"))));
    }

    // A file the program did not make is refused at start, named in the
    // status bar, and left exactly as it was: an empty file (which SQLite
    // would take for a new database), a ledger whose tables carry triggers of
    // their own, or one with a view in a table's place.
    void aFileNotMadeForTheProgramIsRefusedAtStart_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty file") << QStringList() << QStringLiteral("这是一个空文件，不是数据库文件");
        QTest::newRow("trigger") << QStringList{todayInserts(2), QStringLiteral(
                                        "CREATE TRIGGER wipe AFTER DELETE ON AllCount BEGIN DELETE FROM Payout; DELETE FROM Income; END")}
                                 << QStringLiteral("表 AllCount 带有触发器 wipe，账本的表只能是普通的表");
        QTest::newRow("view") << QStringList{todayInserts(2), QStringLiteral("ALTER TABLE Payout RENAME TO Records"),
                                             QStringLiteral("CREATE VIEW Payout AS SELECT * FROM Records")}
                              << QStringLiteral("Payout 不是普通的表，账本的表只能是普通的表");
    }
    void aFileNotMadeForTheProgramIsRefusedAtStart()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, reason);
        AppFixture app(statements.isEmpty() ? AppFixture::Ledger::Missing : AppFixture::Ledger::WithCategories);
        const QString path = QDir(app.dir()).absoluteFilePath(QStringLiteral("Tavokel.257"));
        if (statements.isEmpty()) {
            QFile empty(path);
            QVERIFY(empty.open(QIODevice::WriteOnly));
        }
        for (const QString &sql : statements)
            app.ledger().exec(sql);
        const QStringList folder = folderState(app.dir());
        app.show();
        TMainFm *m = app.main();
        QCOMPARE(m->statusText(), QStringLiteral("无法打开账本数据文件（%1）：%2").arg(reason, path));
        QCOMPARE(m->windowTitle(), QStringLiteral("Lumibran理财专家"));
        user::click(m->Button2); // the next month, and the refresh chain: each step is refused again
        QCOMPARE(m->statusText(), QStringLiteral("无法打开账本数据文件（%1）：%2").arg(reason, path));
        app.quit();
        QCOMPARE(folderState(app.dir()), folder);
    }

    // The connection string holds the path as it stands; the file opened is
    // the one named, whatever ";" and "=" its folder's name holds.
    void aFolderNamedLikeAConnectionStringIsAFolder()
    {
        AppFixture app(AppFixture::Ledger::Missing);
        QVERIFY(QDir(app.dir()).mkdir(QStringLiteral("semi;Mode=x")));
        const QString folder = QDir(app.dir()).filePath(QStringLiteral("semi;Mode=x"));
        createLedgerFile(QDir(folder).filePath(QStringLiteral("Tavokel.257")), true);
        fillLedger(QDir(folder).filePath(QStringLiteral("Tavokel.257")), {todayInserts(3)});
        createLedgerFile(QDir(app.dir()).filePath(QStringLiteral("semi")), true);
        const QStringList outside = folderState(app.dir());
        QVERIFY(QDir::setCurrent(folder));
        app.show();
        TMainFm *m = app.main();
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(m->DBGridZC->model()->rowCount(), 3);
        app.quit();
        QVERIFY(QDir::setCurrent(app.dir()));
        const QRegularExpression decoy(QStringLiteral("^semi "));
        QCOMPARE(outside.filter(decoy).size(), 1);
        QCOMPARE(folderState(app.dir()).filter(decoy), outside.filter(decoy));
    }

    void resizeKeepsTheHalves_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("groups");
        QTest::addColumn<int>("panels");
        QTest::newRow("984") << 984 << 482 << 382;
        QTest::newRow("985 truncates") << 985 << 482 << 382;
        QTest::newRow("1200") << 1200 << 590 << 490;
        QTest::newRow("700, the calendar narrowed") << 700 << 340 << 240;
        QTest::newRow("600, narrower than at start") << 600 << 290 << 190;
        QTest::newRow("543, the strip's groups alone") << 543 << 261 << 161;
        QTest::newRow("220") << 220 << 100 << 0;
        QTest::newRow("150, panels held at zero") << 150 << 65 << 0;
    }

    void resizeKeepsTheHalves()
    {
        QFETCH(int, width);
        QFETCH(int, groups);
        QFETCH(int, panels);
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        const int frame = m->frameGeometry().width() - m->width();
        QCOMPARE(m->frameGeometry().size(), QSize(984, 745)); // the outer size
        m->resize(width - frame, 745);
        QCoreApplication::processEvents();
        QCOMPARE(m->frameGeometry().width(), width);
        QCOMPARE(m->GroupBox8->width(), groups);
        QCOMPARE(m->GroupBox9->width(), groups);
        QCOMPARE(m->Panel8->width(), panels);
        QCOMPARE(m->Panel10->width(), panels);
        // What is shown follows the window's width.
        QCOMPARE(m->PageControl1->width(), m->width());
        QCOMPARE(m->StatusBar1->width(), m->width());
        // The top strip's groups keep their widths, side by side in their
        // order, none drawn over another; the calendar takes the rest and gives
        // way first; narrower still, the window's edge cuts the strip.
        const QWidget *const strip[] = {m->GroupBox2, m->GroupBox1, m->Calendar1, m->Panel4};
        QCOMPARE(m->GroupBox2->width(), 240);
        QCOMPARE(m->GroupBox1->width(), 216);
        QCOMPARE(m->Panel4->width(), 87);
        QCOMPARE(m->Calendar1->width(), std::max(0, m->width() - 240 - 216 - 87));
        QCOMPARE(m->GroupBox2->x(), 0);
        for (size_t i = 1; i < std::size(strip); ++i)
            QCOMPARE(strip[i]->x(), strip[i - 1]->x() + strip[i - 1]->width());
        // The calendar shows its days whole, or nothing.
        const auto *days = m->Calendar1->findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview"));
        const int widestDay = days->fontMetrics().horizontalAdvance(QStringLiteral("30"));
        if (days->isVisible()) {
            QVERIFY(m->Calendar1->geometry().contains(days->geometry().translated(m->Calendar1->pos())));
            for (int column = 0; column < days->model()->columnCount(); ++column)
                QVERIFY2(days->isColumnHidden(column) || days->columnWidth(column) >= widestDay,
                         qPrintable(QString::number(days->columnWidth(column))));
        }
        QVERIFY(days->isVisible() || width < 984); // at the design width and wider, they show
        m->resize(984 - frame, 745); // and it grows back
        QCoreApplication::processEvents();
        QCOMPARE(m->frameGeometry().width(), 984);
        QCOMPARE(m->GroupBox8->width(), 482);
        QCOMPARE(m->Panel8->width(), 382);
    }

    void wheelMovesOneRowPerEvent()
    {
        AppFixture app;
        app.ledger().exec(todayInserts(3));
        app.show();
        TMainFm *m = app.main();
        QueryTableModel *rows = m->DBGridZC->rowModel();
        QCOMPARE(rows->currentRow(), 0);
        user::wheel(m->DBGridZC, -360);
        QCOMPARE(rows->currentRow(), 1);
        user::wheel(m->DBGridZC, -30);
        QCOMPARE(rows->currentRow(), 2);
        user::wheel(m->DBGridZC, -120);
        QCOMPARE(rows->currentRow(), 2); // the last row stays
        user::wheel(m->DBGridZC, 0);
        QCOMPARE(rows->currentRow(), 2);
        user::wheel(m->DBGridZC, 120);
        user::wheel(m->DBGridZC, 120);
        user::wheel(m->DBGridZC, 120);
        QCOMPARE(rows->currentRow(), 0); // the first row stays
        // A closed row set: the wheel does nothing and reports nothing.
        user::wheel(m->DBGridSRLB, -120);
        QCOMPARE(m->statusText(), QString());
        QVERIFY(app.boxes().shown.isEmpty());
    }

    void menuItemsShowTabsAndWindows()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        chooseFromMenu(m, Qt::Key_O, Qt::Key_T);
        QCOMPARE(m->PageControl1->currentWidget(), m->TabSheetTJ);
        QVERIFY(!app.module()->ADOQuerySRLB.isOpen());
        chooseFromMenu(m, Qt::Key_O, Qt::Key_S);
        QCOMPARE(m->PageControl1->currentWidget(), m->TabSheetSZ);
        QVERIFY(app.module()->ADOQuerySRLB.isOpen()); // the settings tab reloads both lists
        QVERIFY(app.module()->ADOQueryZCLB.isOpen());
        QCOMPARE(m->DBGridZCLB->model()->rowCount(), app.ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutClass")).toInt());
        chooseFromMenu(m, Qt::Key_O, Qt::Key_P);
        QCOMPARE(m->PageControl1->currentWidget(), m->TabSheet2);
        QCOMPARE(m->focusWidget(), m->BitBtn1);
        chooseFromMenu(m, Qt::Key_O, Qt::Key_I);
        QCOMPARE(m->focusWidget(), m->BitBtn5);
        chooseFromMenu(m, Qt::Key_H, Qt::Key_L);
        QVERIFY(app.windows().HelpFm->isVisible());
        chooseFromMenu(m, Qt::Key_H, Qt::Key_A);
        QVERIFY(app.windows().AboutFm->isVisible());
        chooseFromMenu(m, Qt::Key_H, Qt::Key_U);
        QVERIFY(app.windows().UpdateFm->isVisible());
        user::closeBox(app.windows().AboutFm.get());
        QVERIFY(!app.windows().AboutFm->isVisible());
        QVERIFY(app.windows().AboutFm); // closing only hides
        chooseFromMenu(m, Qt::Key_H, Qt::Key_A);
        QVERIFY(app.windows().AboutFm->isVisible());
    }

    void linksGoToTheDesktopAndFailQuietly()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        QList<QUrl> opened;
        setShellHandler([&](const QUrl &url) {
            opened << url;
            return false; // no mail program
        });
        QTest::mouseClick(m->Label13, Qt::LeftButton);
        QTest::mouseClick(m->Label12, Qt::LeftButton);
        setShellHandler({});
        QCOMPARE(opened, (QList<QUrl>{QUrl(QStringLiteral("mailto:feedback@example.com")),
                                      QUrl(QStringLiteral("https://www.example.com/software"))}));
        QCOMPARE(m->statusText(), QString());
    }

    void errorBoxAppendsAFullStopAfterHigherCharacters_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Field 'I_No' not found" << "Field 'I_No' not found.";
        QTest::newRow("quote") << "bad 'x'" << "bad 'x'";
        QTest::newRow("full stop") << "Done." << "Done.";
        QTest::newRow("comma") << "a," << "a,";
        QTest::newRow("minus") << "a-" << "a-";
        QTest::newRow("bracket") << "(a)" << "(a)";
        QTest::newRow("bang") << "a!" << "a!";
        QTest::newRow("blank") << "a " << "a ";
        QTest::newRow("slash") << "a/" << "a/.";
        QTest::newRow("chinese") << "数据" << "数据.";
        QTest::newRow("empty") << "" << "";
    }
    void errorBoxAppendsAFullStopAfterHigherCharacters()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        AppFixture app(AppFixture::Ledger::Missing);
        showApplicationError(message);
        QCOMPARE(app.boxes().shown.size(), 1);
        QCOMPARE(app.boxes().shown[0].text, shown);
        QCOMPARE(app.boxes().shown[0].caption, QStringLiteral("Lumibran管理专家V2.5.9"));
        QCOMPARE(app.boxes().shown[0].icon, MessageBoxes::Icon::Error);
        QCOMPARE(app.boxes().shown[0].buttons, int(MessageBoxes::Ok));
    }

    void unguardedFailuresEndInTheErrorBox()
    {
        AppFixture app;
        app.show();
        TMainFm *m = app.main();
        // A day that does not exist: the engine refuses the refresh and the list is left closed.
        m->RadioButton3->setChecked(true);
        m->ComboBox2->setText(QStringLiteral("04"));
        m->ComboBox3->setText(QStringLiteral("31"));
        m->BitBtn4->click();
        QVERIFY2(m->statusText().contains(QStringLiteral("2006-04-31")) || m->statusText().contains(QStringLiteral("-04-31")),
                 qPrintable(m->statusText()));
        QVERIFY(!app.module()->ADOQueryZC.isOpen());
        QTest::mouseClick(m->BitBtn2, Qt::LeftButton);
        QCOMPARE(app.boxes().shown.size(), 1);
        QCOMPARE(app.boxes().shown[0].text, QStringLiteral("找不到字段 P_No：ADOQueryZC."));
        // Save has a trap of its own: the same message goes to the status bar.
        QTest::mouseClick(m->BitBtn3, Qt::LeftButton);
        QCOMPARE(app.boxes().shown.size(), 1);
        QCOMPARE(m->statusText(), QStringLiteral("找不到字段 P_No：ADOQueryZC"));
        QVERIFY(m->isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
