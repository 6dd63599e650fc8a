#include "app/MainUt.h"
#include "platform/DataGrid.h"
#include "store/DataModuleUt.h"
#include "support/AppFixture.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTest>

class TestCategories : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> app;
    TMainFm *m = nullptr;

    int classes() { return app->ledger().scalar(QStringLiteral("SELECT count(*) FROM PayoutClass")).toInt(); }

private slots:
    void init()
    {
        app = std::make_unique<AppFixture>();
        app->show();
        m = app->main();
        m->PageControl1->setCurrentWidget(m->TabSheetSZ);
    }
    void cleanup() { app.reset(); }

    void addTypeAndSaveStoresAtTheTop()
    {
        const int before = classes();
        QTest::mouseClick(m->BitBtn15, Qt::LeftButton);
        Query &list = app->module()->ADOQueryZCLB;
        QCOMPARE(list.state(), Query::State::Insert);
        list.setFieldText(list.fieldIndex(QStringLiteral("PC_Name")), QStringLiteral("Tom's 书"));
        QTest::mouseClick(m->BitBtn16, Qt::LeftButton);
        QCOMPARE(classes(), before + 1);
        QCOMPARE(list.currentRow(), 0);
        QCOMPARE(list.fieldText(QStringLiteral("PC_Name")), QStringLiteral("Tom's 书"));
        QCOMPARE(m->statusText(), QString());
    }

    void addThenDeleteStoresNothing()
    {
        const int before = classes();
        QTest::mouseClick(m->BitBtn15, Qt::LeftButton);
        QCOMPARE(m->focusWidget(), m->BitBtn15);
        QTest::mouseClick(m->BitBtn14, Qt::LeftButton);
        QCOMPARE(classes(), before);
        QTest::mouseClick(m->BitBtn14, Qt::LeftButton); // deletes the top category, without asking
        QCOMPARE(classes(), before - 1);
        QVERIFY(app->boxes().shown.isEmpty());
    }

    void deleteOnAnEmptyListReports()
    {
        app->ledger().exec(QStringLiteral("DELETE FROM IncomeClass"));
        QTest::mouseClick(m->BitBtn13, Qt::LeftButton);
        QTest::mouseClick(m->BitBtn11, Qt::LeftButton);
        QCOMPARE(m->statusText(), QStringLiteral("Cannot perform this operation on an empty dataset"));
    }

    void anUnpostedEditIsLostWhenTheOtherListSaves()
    {
        Query &income = app->module()->ADOQuerySRLB;
        const QString first = income.fieldText(QStringLiteral("IC_Name"));
        income.setFieldText(income.fieldIndex(QStringLiteral("IC_Name")), QStringLiteral("changed"));
        QTest::mouseClick(m->BitBtn16, Qt::LeftButton); // the payout list's save reloads both
        QCOMPARE(m->statusText(), QString());
        QCOMPARE(income.fieldText(QStringLiteral("IC_Name")), first);
    }
};

QTEST_MAIN(TestCategories)
#include "tst_categories.moc"
