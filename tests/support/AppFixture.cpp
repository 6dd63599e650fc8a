#include "AppFixture.h"

#include "app/MainUt.h"
#include "app/WindowSet.h"
#include "grid/DataGrid.h"
#include "store/DataModuleUt.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QTest>

AppFixture::AppFixture(Ledger ledger) : m_previousDir(QDir::currentPath())
{
    if (ledger == Ledger::Missing)
        m_emptyDir = std::make_unique<QTemporaryDir>();
    else
        m_ledger = std::make_unique<TestLedger>(ledger == Ledger::WithCategories);
    QDir::setCurrent(dir());
    auto boxes = std::make_unique<ScriptedMessageBoxes>();
    m_boxes = boxes.get();
    m_previousBoxes = setMessageBoxes(std::move(boxes));
    setUpApplication();
}

AppFixture::~AppFixture()
{
    m_windows.reset();
    setMessageBoxes(std::move(m_previousBoxes));
    QDir::setCurrent(m_previousDir);
}

QString AppFixture::dir() const
{
    return m_ledger ? m_ledger->dir() : m_emptyDir->path();
}

void AppFixture::create()
{
    m_windows = std::make_unique<WindowSet>();
}

void AppFixture::testGridModels()
{
    if (!m_windows)
        create();
    for (QObject *object : m_windows->creationOrder())
        for (DataGrid *grid : object->findChildren<DataGrid *>())
            new QAbstractItemModelTester(grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                         grid->model());
}

void AppFixture::show()
{
    if (!m_windows)
        create();
    main()->show();
    QApplication::setActiveWindow(main());
    (void)QTest::qWaitForWindowActive(main());
}

void AppFixture::quit()
{
    m_windows.reset();
}

TMainFm *AppFixture::main() const
{
    return m_windows->MainFm.get();
}

TDataModule1 *AppFixture::module() const
{
    return m_windows->DataModule1.get();
}
