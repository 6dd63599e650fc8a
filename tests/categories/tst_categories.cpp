#include "app/MainUt.h"
#include "grid/DataGrid.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"
#include "support/UserInput.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

class TestCategories : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    TMainFm *m = nullptr;

    int classes() { return app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutClass")).toInt(); }
    // Clicks a cell and types over its text in the cell editor.
    void typeIntoCell(DataGrid *grid, int row, int column, const QString &text)
    {
        user::clickCell(grid, row, column);
        QWidget *editor = QApplication::focusWidget();
        QVERIFY2(editor && editor != grid && grid->isAncestorOf(editor), "no cell editor open");
        user::press(Qt::Key_A, Qt::ControlModifier);
        user::type(text);
    }

private slots:
    void init()
    {
        app = std::make_unique<AppFixture>();
        app->testGridModels();
        app->show();
        m = app->main();
        m->PageControl1->setCurrentWidget(m->TabSheetSZ);
    }
    void cleanup() { app.reset(); }

    void addTypeAndSaveStoresAtTheTop()
    {
        const int before = classes();
        user::click(m->BitBtn15);
        Query &list = app->module()->ADOQueryZCLB;
        QCOMPARE(list.state(), Query::State::Insert);
        QCOMPARE(m->DBGridZCLB->model()->rowCount(), before + 1);
        typeIntoCell(m->DBGridZCLB, 0, 1, QStringLiteral("Tom's 书"));
        user::click(m->BitBtn16);
        QCOMPARE(classes(), before + 1);
        QCOMPARE(list.currentRow(), 0);
        QCOMPARE(list.fieldText(QStringLiteral("PC_Name")), QStringLiteral("Tom's 书"));
        QCOMPARE(m->statusText(), QString());
    }

    void addThenDeleteStoresNothing()
    {
        const int before = classes();
        user::click(m->BitBtn15);
        QCOMPARE(m->focusWidget(), m->BitBtn15);
        user::click(m->BitBtn14);
        QCOMPARE(classes(), before);
        user::click(m->BitBtn14); // deletes the top category, without asking
        QCOMPARE(classes(), before - 1);
        QVERIFY(app->boxes().shown.isEmpty());
    }

    void deleteOnAnEmptyListReports()
    {
        app->ledger().exec(QStringLiteral("DELETE FROM IncomeClass"));
        user::click(m->BitBtn13);
        user::click(m->BitBtn11);
        QCOMPARE(m->statusText(), QStringLiteral("Cannot perform this operation on an empty dataset"));
    }

    // Both category grids ask before their own delete key removes a row.
    void ctrlDeleteAsksAndKeepsATypedNameWhenCancelled_data()
    {
        QTest::addColumn<bool>("income");
        QTest::newRow("income") << true;
        QTest::newRow("payout") << false;
    }
    void ctrlDeleteAsksAndKeepsATypedNameWhenCancelled()
    {
        QFETCH(bool, income);
        DataGrid *grid = income ? m->DBGridSRLB : m->DBGridZCLB;
        const QString table = income ? QStringLiteral("IncomeClass") : QStringLiteral("PayoutClass");
        const QString name = income ? QStringLiteral("IC_Name") : QStringLiteral("PC_Name");
        auto count = [&](const QString &where) {
            return app->ledger().scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(table, where)).toInt();
        };
        const int before = count(QStringLiteral("1"));
        typeIntoCell(grid, 1, 1, QStringLiteral("renamed"));
        app->boxes().answers = {MessageBoxes::Cancel};
        user::press(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(app->boxes().shown.size(), 1);
        QCOMPARE(app->boxes().shown[0].text, QStringLiteral("Delete record?"));
        user::click(income ? m->BitBtn12 : m->BitBtn16);
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(count(QStringLiteral("1")), before);
        QCOMPARE(count(name + QStringLiteral("='renamed'")), 1);
    }

    // A category that another program renamed since the list showed it is
    // neither overwritten by 保存 nor removed by 删除: the status bar says so.
    void aCategoryChangedElsewhereIsNeitherSavedNorDeleted_data()
    {
        QTest::addColumn<bool>("income");
        QTest::addColumn<bool>("save");
        for (bool income : {true, false})
            for (bool save : {true, false})
                QTest::addRow("%s, %s", income ? "income" : "payout", save ? "save" : "delete") << income << save;
    }
    void aCategoryChangedElsewhereIsNeitherSavedNorDeleted()
    {
        QFETCH(bool, income);
        QFETCH(bool, save);
        DataGrid *grid = income ? m->DBGridSRLB : m->DBGridZCLB;
        Query &list = income ? app->module()->ADOQuerySRLB : app->module()->ADOQueryZCLB;
        const QString table = income ? QStringLiteral("IncomeClass") : QStringLiteral("PayoutClass");
        const QString p = income ? QStringLiteral("IC_") : QStringLiteral("PC_");
        if (save)
            typeIntoCell(grid, 1, 1, QStringLiteral("renamed"));
        else
            user::clickCell(grid, 1, 1);
        app->ledger().exec(QStringLiteral("UPDATE %1 SET %2Name='elsewhere' WHERE %2No=%3")
                               .arg(table, p, list.fieldText(p + QStringLiteral("No"))));
        const QList<QVariantList> left = app->ledger().rows(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
        if (save)
            user::click(income ? m->BitBtn12 : m->BitBtn16);
        else
            user::click(income ? m->BitBtn11 : m->BitBtn14);
        QCOMPARE(m->statusText(), save ? QStringLiteral("这条记录在显示之后已被修改或删除，修改没有保存，请按 Esc 放弃修改后再刷新")
                                       : QStringLiteral("这条记录在显示之后已被修改或删除，没有删除，请刷新后再试"));
        QCOMPARE(app->ledger().rows(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table)), left);
    }

    void anUnpostedEditIsLostWhenTheOtherListSaves()
    {
        Query &income = app->module()->ADOQuerySRLB;
        const QString first = income.fieldText(QStringLiteral("IC_Name"));
        typeIntoCell(m->DBGridSRLB, 0, 1, QStringLiteral("changed"));
        user::click(m->BitBtn16); // the payout list's save reloads both
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(income.fieldText(QStringLiteral("IC_Name")), first);
        QCOMPARE(app->ledger().scalar(QStringLiteral("SELECT count(*) FROM IncomeClass WHERE IC_Name='changed'")).toInt(), 0);
    }
};

QTEST_MAIN(TestCategories)
#include "tst_categories.moc"
