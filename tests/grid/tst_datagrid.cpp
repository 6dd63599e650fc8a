#include "app/MainUt.h"
#include "grid/DataGrid.h"
#include "grid/QueryTableModel.h"
#include "platform/SelectorBox.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"
#include "support/ModalWindow.h"
#include "support/UserInput.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTest>
#include <QTextBoundaryFinder>

namespace {

// Types over the text of the cell editor that the grid keeps open on its
// current cell.
void typeIntoCell(DataGrid *grid, const QString &text)
{
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY2(editor && grid->isAncestorOf(editor), "no cell editor open");
    user::press(Qt::Key_A, Qt::ControlModifier);
    user::type(text);
}

bool editorOpen(DataGrid *grid)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && focus != grid && grid->isAncestorOf(focus);
}

} // namespace

class TestDataGrid : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    TMainFm *m = nullptr;

    // The program on three payouts of today, the payout tab in front.
    void start(int extraCategories = 0)
    {
        app.reset();
        app = std::make_unique<AppFixture>();
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        app->ledger().exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES "
                                          "('%1','餐饮',10,'a'),('%1','交通',20,'b'),('%1','购物',30,'c')").arg(today));
        for (int i = 1; i <= extraCategories; ++i)
            app->ledger().exec(QStringLiteral("INSERT INTO PayoutClass(PC_Name) VALUES('类别%1')").arg(i));
        app->testGridModels();
        app->show();
        m = app->main();
        m->PageControl1->setCurrentWidget(m->TabSheet2);
    }

private slots:
    void init() { start(); }
    void cleanup() { app.reset(); }

    // The grid keeps its cells' laid-out texts between paints; what it paints
    // must be what the toolkit's own painting of the same cells shows: long
    // texts cut off with an ellipsis, the current cell in its selected colours,
    // empty cells empty.
    void cellsLookAsTheToolkitPaintsThem()
    {
        app->ledger().exec(QStringLiteral("INSERT INTO Payout(P_Date,P_Class,P_Num,P_Desc) VALUES ('%1','餐饮',NULL,'%2')")
                               .arg(QDate::currentDate().toString(Qt::ISODate), QStringLiteral("一段很长的说明，").repeated(12)));
        user::click(m->BitBtn4);
        DataGrid *grid = m->DBGridZC;
        QCOMPARE(grid->rowModel()->rowCount(), 4);
        user::clickCell(grid, 1, 1);
        user::click(m->BitBtn4); // the focus leaves the grid, its current cell stays selected
        QAbstractItemDelegate *ours = grid->itemDelegate();
        auto *toolkits = new QStyledItemDelegate(grid);
        const auto paintedBy = [grid](QAbstractItemDelegate *delegate) {
            grid->setItemDelegate(delegate);
            return grid->viewport()->grab().toImage();
        };
        const QImage wide = paintedBy(toolkits);
        QCOMPARE(paintedBy(ours), wide);
        // Again once the column is narrower, and the texts are laid out anew.
        grid->setColumnWidth(3, grid->columnWidth(3) / 2);
        QCOMPARE(paintedBy(ours), paintedBy(toolkits));
        QVERIFY(paintedBy(ours) != wide);
    }

    void followsItsRowSet()
    {
        QueryTableModel *rows = m->DBGridZC->rowModel();
        QCOMPARE(rows->rowCount(), 3);
        QCOMPARE(rows->data(rows->index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("10"));
        QCOMPARE(rows->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("▶"));
        app->module()->ADOQueryZC.close();
        QCOMPARE(m->DBGridZC->model()->rowCount(), 0);
        QCOMPARE(m->DBGridZC->model()->columnCount(), 4); // the titles stay
        app->module()->ADOQueryZC.open();
        QCOMPARE(m->DBGridZC->model()->rowCount(), 3);
        QCOMPARE(m->DBGridZC->currentIndex().row(), 0);
    }

    void movingToAnotherRowPostsTheChange()
    {
        user::clickCell(m->DBGridZC, 0, 3);
        typeIntoCell(m->DBGridZC, QStringLiteral("Tom's lunch"));
        user::clickCell(m->DBGridZC, 1, 3);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT P_Desc FROM Payout WHERE P_No=1")).toString(),
                 QStringLiteral("Tom's lunch"));
        QCOMPARE(m->DBGridZC->rowModel()->currentRow(), 1);
        QVERIFY(app->boxes().shown.isEmpty());
    }

    // The row header repaints a section only when told; each change of the
    // indicator's row or mark must be told, for the old row and the new.
    void theRowHeaderIsToldWhenTheIndicatorChanges()
    {
        QueryTableModel *rows = m->DBGridZC->rowModel();
        QSignalSpy told(rows, &QAbstractItemModel::headerDataChanged);
        const auto toldRows = [&] {
            QSet<int> sections;
            for (const QList<QVariant> &signal : told)
                if (signal[0].value<Qt::Orientation>() == Qt::Vertical)
                    for (int row = signal[1].toInt(); row <= signal[2].toInt(); ++row)
                        sections.insert(row);
            told.clear();
            return sections;
        };
        const auto mark = [&](int row) { return rows->headerData(row, Qt::Vertical, Qt::DisplayRole).toString(); };

        user::clickCell(m->DBGridZC, 1, 3);
        QCOMPARE(toldRows(), (QSet<int>{0, 1}));
        QCOMPARE(mark(1), QStringLiteral("▶"));
        typeIntoCell(m->DBGridZC, QStringLiteral("taxi"));
        user::clickCell(m->DBGridZC, 1, 2); // the typed note is handed to the row
        QCOMPARE(mark(1), QStringLiteral("✎"));
        QCOMPARE(toldRows(), (QSet<int>{1}));
        user::clickCell(m->DBGridZC, 2, 2); // posts row 1
        QCOMPARE(mark(1), QString());
        QCOMPARE(mark(2), QStringLiteral("▶"));
        QVERIFY(toldRows().contains(QSet<int>{1, 2}));
        user::clickCell(m->DBGridZC, 2, 3); // same row, same mark: nothing to tell
        QCOMPARE(toldRows(), QSet<int>());
    }

    void aValueTheTableRefusesEndsInTheErrorBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("insert"); // Insert, which posts the row first, in place of a move
        QTest::newRow("a letter") << "12x" << "不是有效的数字：'12x'" << false;
        QTest::newRow("400 nines, quoted cut") << QString(400, QLatin1Char('9'))
                                               << QStringLiteral("不是有效的数字：'") + QString(30, QLatin1Char('9'))
                                                      + QStringLiteral("…'")
                                               << false;
        QTest::newRow("a letter, then Insert") << "12x" << "不是有效的数字：'12x'" << true;
    }
    // The toolkit's box shows the message whole, its button included, and
    // breaks no word.
    void aValueTheTableRefusesEndsInTheErrorBox()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(bool, insert);
        user::clickCell(m->DBGridZC, 0, 2);
        typeIntoCell(m->DBGridZC, typed);
        if (insert)
            user::clickCell(m->DBGridZC, 0, 3); // the typed amount is handed to the row
        app->showToolkitBoxes();
        QString caption, text, button;
        QRect box, screen;
        bool buttonShown = false, wordsWhole = false;
        inNextModal<QMessageBox>([&](QMessageBox *shown) {
            caption = shown->windowTitle();
            text = shown->text();
            box = shown->frameGeometry();
            screen = shown->screen()->availableGeometry();
            QAbstractButton *ok = shown->button(QMessageBox::Ok);
            button = ok->text();
            buttonShown = ok->isVisible() && shown->rect().contains(ok->geometry());
            const auto *label = shown->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            wordsWhole = true; // each piece between two places where a line may break fits a line
            QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
            for (qsizetype from = 0, to = breaks.toNextBoundary(); to > 0; from = to, to = breaks.toNextBoundary()) {
                const QString word = text.mid(from, to - from).trimmed();
                wordsWhole = wordsWhole && label->fontMetrics().horizontalAdvance(word) <= label->contentsRect().width();
            }
            user::click(ok);
        });
        if (insert)
            user::press(Qt::Key_Insert);
        else
            user::clickCell(m->DBGridZC, 2, 2);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(text, message);
        QCOMPARE(caption, QStringLiteral("Lumibran管理专家V2.5.9"));
        QCOMPARE(button, QStringLiteral("确定"));
        QVERIFY(screen.contains(box));
        QVERIFY(buttonShown);
        QVERIFY(wordsWhole);
        QCOMPARE(app->module()->ADOQueryZC.currentRow(), 0); // the row stays, still edited
        QCOMPARE(app->module()->ADOQueryZC.state(), Query::State::Edit);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 3);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT P_Num FROM Payout WHERE P_No=1")).toDouble(), 10.0);
    }

    void anUnchangedNewRowIsDroppedWhenTheFocusLeaves()
    {
        user::clickCell(m->DBGridZC, 1, 0);
        user::press(Qt::Key_Insert);
        QCOMPARE(app->module()->ADOQueryZC.state(), Query::State::Insert);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 4);
        QCOMPARE(m->DBGridZC->rowModel()->currentRow(), 1);
        user::click(m->ComboBox1);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 3);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 3);
    }

    void downPastTheLastRowAppends()
    {
        user::clickCell(m->DBGridZC, 2, 3);
        user::press(Qt::Key_Down);
        QCOMPARE(app->module()->ADOQueryZC.state(), Query::State::Insert);
        QCOMPARE(m->DBGridZC->rowModel()->currentRow(), 3);
        typeIntoCell(m->DBGridZC, QStringLiteral("new"));
        // A record without a day could never be listed again: it waits for one.
        user::clickCell(m->DBGridZC, 0, 3);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(app->boxes().shown[0].text, QStringLiteral("记录的日期不能为空."));
        QCOMPARE(app->module()->ADOQueryZC.state(), Query::State::Insert);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout")).toInt(), 3);

        user::clickCell(m->DBGridZC, 3, 0);
        typeIntoCell(m->DBGridZC, QDate::currentDate().toString(Qt::ISODate));
        user::clickCell(m->DBGridZC, 0, 3);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout WHERE P_Desc='new'")).toInt(), 1);
    }

    void ctrlDeleteInAListAsksNothing()
    {
        // In an editable cell: the editor holds the focus and must not take the keys as its own.
        user::clickCell(m->DBGridZC, 1, 3);
        typeIntoCell(m->DBGridZC, QStringLiteral("typed"));
        user::press(Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM Payout WHERE P_No=2")).toInt(), 0);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 2);
        // What was typed went with its row: the row now current is not being edited.
        QCOMPARE(m->DBGridZC->model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("▶"));
        QVERIFY(editorOpen(m->DBGridZC)); // the focus stays in the grid
        // In the read-only class column the grid itself holds the focus.
        user::clickCell(m->DBGridZC, 1, 1);
        QVERIFY(!editorOpen(m->DBGridZC));
        user::press(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 1);
        user::click(m->ComboBox1); // the focus leaves: nothing left over is written
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT group_concat(P_No || P_Desc) FROM Payout")).toString(),
                 QStringLiteral("1a"));
        QVERIFY(app->boxes().shown.isEmpty());
    }

    // The question is the toolkit's message box, with the program's caption
    // and the toolkit's buttons in Chinese.
    void ctrlDeleteInACategoryListAsks()
    {
        m->PageControl1->setCurrentWidget(m->TabSheetSZ);
        const int before = app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutClass")).toInt();
        const QString top = app->ledger().scalar(QStringLiteral("SELECT PC_Name FROM PayoutClass WHERE PC_No=%1").arg(before)).toString();
        user::clickCell(m->DBGridZCLB, 0, 1);
        QVERIFY(editorOpen(m->DBGridZCLB));
        app->showToolkitBoxes();
        QString caption, text;
        QStringList buttons;
        const auto answer = [&](QMessageBox::StandardButton button) {
            inNextModal<QMessageBox>([&, button](QMessageBox *box) {
                caption = box->windowTitle();
                text = box->text();
                buttons.clear();
                for (QAbstractButton *shown : box->buttons())
                    buttons << shown->text();
                user::click(box->button(button));
            });
        };
        answer(QMessageBox::Cancel);
        user::press(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(caption, QStringLiteral("Lumibran管理专家V2.5.9"));
        QCOMPARE(text, QStringLiteral("Delete record?"));
        QCOMPARE(buttons, (QStringList{QStringLiteral("确定"), QStringLiteral("取消")}));
        user::clickCell(m->DBGridZCLB, 1, 1); // a move posts the row if anything changed in it
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutClass")).toInt(), before);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT PC_Name FROM PayoutClass WHERE PC_No=%1").arg(before)).toString(), top);
        user::clickCell(m->DBGridZCLB, 0, 1);
        answer(QMessageBox::Ok);
        user::press(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(app->boxes().shown.size(), 2);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutClass")).toInt(), before - 1);
        // The highest number stood first and is the one removed.
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutClass WHERE PC_No=%1").arg(before)).toInt(), 0);
    }

    void ctrlDeleteOnAnEmptyGridDoesNothing()
    {
        app->ledger().exec(QStringLiteral("DELETE FROM PayoutClass"));
        m->PageControl1->setCurrentWidget(m->TabSheetSZ);
        QCOMPARE(m->DBGridZCLB->model()->rowCount(), 0);
        user::click(m->DBGridZCLB->viewport());
        QCOMPARE(QApplication::focusWidget(), m->DBGridZCLB);
        user::press(Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(m->statusText(), QString());

        m->PageControl1->setCurrentWidget(m->TabSheet2);
        app->ledger().exec(QStringLiteral("DELETE FROM Payout"));
        user::click(m->BitBtn4);
        QCOMPARE(m->DBGridZC->model()->rowCount(), 0);
        user::click(m->DBGridZC->viewport());
        QCOMPARE(QApplication::focusWidget(), m->DBGridZC);
        user::press(Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(m->DBGridZC->model()->rowCount(), 0);
    }

    // The list's read-only category column drops down the names that start-up
    // loaded, in their order, 20 rows at a time; a choice changes nothing.
    void theCategoryColumnDropsDownItsPickList_data()
    {
        QTest::addColumn<Qt::Key>("key"); // none: a click on the cell's button
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("F4") << Qt::Key_F4 << Qt::KeyboardModifiers();
        QTest::newRow("Alt+Down") << Qt::Key_Down << Qt::KeyboardModifiers(Qt::AltModifier);
        QTest::newRow("its button") << Qt::Key_unknown << Qt::KeyboardModifiers();
    }
    void theCategoryColumnDropsDownItsPickList()
    {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        start(25);
        QStringList names;
        for (const QVariantList &row : app->ledger().rows(QStringLiteral("SELECT PC_Name FROM PayoutClass ORDER BY PC_No")))
            names << row.value(0).toString();
        DataGrid *grid = m->DBGridZC;
        user::clickCell(grid, 1, 1);
        QCOMPARE(QApplication::focusWidget(), grid);
        if (key == Qt::Key_unknown) {
            const QRect cell = grid->visualRect(grid->model()->index(1, 1));
            user::click(grid->viewport(), QPoint(cell.right() - 3, cell.center().y()));
        } else {
            user::press(key, modifiers);
        }
        auto *list = qobject_cast<QAbstractItemView *>(QApplication::activePopupWidget());
        QVERIFY(list);
        QStringList shown;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            shown << list->model()->index(row, 0).data().toString();
        QCOMPARE(shown, names);
        QCOMPARE(list->currentIndex().data().toString(), QStringLiteral("交通"));
        const int rowHeight = list->visualRect(list->model()->index(0, 0)).height();
        QCOMPARE(list->viewport()->height() / rowHeight, 20);
        user::press(Qt::Key_Down);
        user::press(Qt::Key_Return);
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(QApplication::focusWidget(), grid);
        QCOMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("交通"));
        QCOMPARE(app->module()->ADOQueryZC.state(), Query::State::Browse);
        // Chosen with a click, a name changes nothing either.
        user::press(Qt::Key_F4);
        list = qobject_cast<QAbstractItemView *>(QApplication::activePopupWidget());
        QVERIFY(list);
        user::clickCell(list, 0, 0);
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("交通"));
        user::click(m->BitBtn4);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT group_concat(P_Class) FROM (SELECT P_Class FROM Payout ORDER BY P_No)"))
                     .toString(),
                 QStringLiteral("餐饮,交通,购物"));
        QVERIFY(app->boxes().shown.isEmpty());
    }

    void statisticsGridsAreReadOnlyButDeletable()
    {
        m->PageControl1->setCurrentWidget(m->TabSheetTJ);
        QueryTableModel *rows = m->DBGridZCTJ->rowModel();
        QCOMPARE(rows->rowCount(), 3);
        QVERIFY(!(rows->flags(rows->index(0, 1)) & Qt::ItemIsEditable));
        user::clickCell(m->DBGridZCTJ, 0, 1);
        QCOMPARE(QApplication::focusWidget(), m->DBGridZCTJ);
        user::press(Qt::Key_Insert);
        QCOMPARE(rows->rowCount(), 3);
        user::press(Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(app->boxes().shown.isEmpty());
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutStatistic")).toInt(), 2);
    }
};

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
