#include "MainUt.h"

#include "categories/CategoryLists.h"
#include "categories/SettingsTab.h"
#include "grid/DataGrid.h"
#include "grid/QueryTableModel.h"
#include "platform/DatePicker.h"
#include "platform/ErrorReport.h"
#include "platform/Fonts.h"
#include "platform/LinkLabel.h"
#include "platform/ObjectName.h"
#include "platform/SelectorBox.h"
#include "platform/Shell.h"
#include "platform/WindowFrame.h"
#include "stats/DBChart.h"
#include "stats/RecordSearchFm.h"
#include "stats/StatisticsTab.h"
#include "stats/StatisticsView.h"
#include "store/DataModuleUt.h"
#include "views/AddRecordFm.h"
#include "views/DateSelector.h"
#include "views/DateSelectorPanel.h"
#include "views/ListTab.h"
#include "views/RecordList.h"
#include "views/TitleSort.h"

#include <QCloseEvent>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString tabCaption(const QString &word)
{
    const QString nine(9, QLatin1Char(' '));
    return nine + word + nine;
}

// Shows a window without making it modal; one that is showing comes to the front.
void showWindow(QWidget *window, QWidget *over)
{
    if (!window->isVisible() && !window->property("placed").toBool()) {
        centreIn(window, over->frameGeometry());
        window->setProperty("placed", true);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

TMainFm::TMainFm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainFm"));
    setWindowTitle(QStringLiteral("Lumibran理财专家"));
    applyFont(this, windowFont(16), QColor(0, 0, 255));

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildTopStrip();
    column->addWidget(Panel3);

    PageControl1 = named(new QTabWidget(central), "PageControl1");
    TabSheet1 = named(new QWidget, "TabSheet1");
    TabSheet2 = named(new QWidget, "TabSheet2");
    TabSheetTJ = named(new QWidget, "TabSheetTJ");
    TabSheetSZ = named(new QWidget, "TabSheetSZ");
    PageControl1->addTab(TabSheet1, tabCaption(QStringLiteral("收入")));
    PageControl1->addTab(TabSheet2, tabCaption(QStringLiteral("支出")));
    PageControl1->addTab(TabSheetTJ, tabCaption(QStringLiteral("统计")));
    PageControl1->addTab(TabSheetSZ, tabCaption(QStringLiteral("设置")));

    const ListTab income = buildListTab(TabSheet1, ListTabDesign::income());
    DBGridSR = income.grid;
    BitBtn5 = income.add;
    BitBtn6 = income.remove;
    BitBtn7 = income.save;
    BitBtn8 = income.refresh;
    const ListTab payout = buildListTab(TabSheet2, ListTabDesign::payout());
    DBGridZC = payout.grid;
    BitBtn1 = payout.add;
    BitBtn2 = payout.remove;
    BitBtn3 = payout.save;
    BitBtn4 = payout.refresh;

    const StatisticsTab statistics = buildStatisticsTab(TabSheetTJ);
    Panel10 = statistics.incomePanel;
    DBGridSRTJ = statistics.incomeGrid;
    Panel8 = statistics.payoutPanel;
    DBGridZCTJ = statistics.payoutGrid;
    Panel9 = statistics.totalsPanel;
    Edit1 = statistics.totalIncome;
    Edit2 = statistics.totalPayout;
    Edit3 = statistics.netIncome;
    DBChartJSR = statistics.chart;
    BitBtnTJ = statistics.run;

    const SettingsTab settings = buildSettingsTab(TabSheetSZ);
    GroupBox8 = settings.income.group;
    DBGridSRLB = settings.income.grid;
    BitBtn10 = settings.income.add;
    BitBtn11 = settings.income.remove;
    BitBtn12 = settings.income.save;
    BitBtn13 = settings.income.refresh;
    GroupBox9 = settings.payout.group;
    DBGridZCLB = settings.payout.grid;
    BitBtn15 = settings.payout.add;
    BitBtn14 = settings.payout.remove;
    BitBtn16 = settings.payout.save;
    BitBtn17 = settings.payout.refresh;
    BitBtn9 = settings.reload;

    column->addWidget(PageControl1, 1);
    setCentralWidget(central);

    buildMenu();
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    StatusBar1->setSizeGripEnabled(false);
    reportError(StatusBar1, QString()); // creates the one 300-pixel panel

    // The resize rule sets widths for every width of the window (FormResize);
    // what the layout needs at one width must not become the window's minimum.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    setOuterSize(this, QSize(984, 745));
}

TMainFm::~TMainFm() = default;

// The date selector, then the two link labels at the strip's right end.
void TMainFm::buildTopStrip()
{
    Panel3 = named(new QFrame, "Panel3");
    Panel3->setFixedHeight(89);
    auto *row = new QHBoxLayout(Panel3);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const DateSelectorWidgets selector = buildDateSelector(Panel3, row);
    GroupBox2 = selector.dateGroup;
    ComboBox1 = selector.period.year;
    ComboBox2 = selector.period.month;
    ComboBox3 = selector.period.day;
    Button1 = selector.previousMonth;
    Button2 = selector.nextMonth;
    Button3 = selector.today;
    GroupBox1 = selector.rangeGroup;
    RadioButton1 = selector.period.yearMode;
    RadioButton2 = selector.period.monthMode;
    RadioButton3 = selector.period.dayMode;
    RadioButton4 = selector.period.customMode;
    DateTimePicker1 = selector.period.start;
    DateTimePicker2 = selector.period.end;
    Calendar1 = selector.calendar;

    Panel4 = named(new QFrame(Panel3), "Panel4");
    Panel4->setFixedWidth(87);
    Label13 = named(new LinkLabel(QStringLiteral("提点意见        "), Panel4), "Label13");
    Label12 = named(new LinkLabel(QStringLiteral("软件网站      "), Panel4), "Label12");
    for (LinkLabel *link : {Label13, Label12})
        applyFont(link, windowFont(14), QColor(0, 0, 255));
    Label13->move(16, 24);
    Label12->move(16, 48);
    row->addWidget(Panel4);
    // Narrower than its groups, the strip is cut at the window's right edge
    // rather than squeezed, which would draw one group over another.
    Panel3->setMinimumWidth(row->minimumSize().width());
}

void TMainFm::buildMenu()
{
    QMenu *operate = menuBar()->addMenu(QStringLiteral("操作 [&O]"));
    i1 = operate->addAction(QStringLiteral("收入 [&I]"));
    N3 = operate->addAction(QStringLiteral("支出 [&P]"));
    T1 = operate->addAction(QStringLiteral("统计 [&T]"));
    operate->addSeparator();
    S1 = operate->addAction(QStringLiteral("设置 [&S]"));
    operate->addSeparator();
    E1 = operate->addAction(QStringLiteral("退出 [&E]"));
    QMenu *help = menuBar()->addMenu(QStringLiteral("帮助 [&H]"));
    L1 = help->addAction(QStringLiteral("帮助 [&L]"));
    A1 = help->addAction(QStringLiteral("关于 [&A]"));
    help->addSeparator();
    U1 = help->addAction(QStringLiteral("升级 [&U]"));
    const struct
    {
        QAction *action;
        const char *name;
    } actions[] = {{i1, "i1"}, {N3, "N3"}, {T1, "T1"}, {S1, "S1"}, {E1, "E1"}, {L1, "L1"}, {A1, "A1"}, {U1, "U1"}};
    for (const auto &a : actions)
        a.action->setObjectName(QLatin1String(a.name));
}

PeriodControls TMainFm::periodControls() const
{
    return {RadioButton1, RadioButton2, RadioButton3, RadioButton4, ComboBox1, ComboBox2, ComboBox3,
            DateTimePicker1, DateTimePicker2};
}

void TMainFm::attach(TDataModule1 *module, AddRecordFm *payoutAdd, AddRecordFm *incomeAdd, QWidget *about,
                     QWidget *help, QWidget *update, RecordSearchFm *payoutSearch, RecordSearchFm *incomeSearch)
{
    m_module = module;
    m_payoutAdd = payoutAdd;
    m_incomeAdd = incomeAdd;
    m_about = about;
    m_help = help;
    m_update = update;
    m_payoutSearch = payoutSearch;
    m_incomeSearch = incomeSearch;
    Connection &connection = module->ADOConnection1;
    m_payoutList = std::make_unique<RecordList>(RecordListKind::payout(), module->ADOQueryZC, connection,
                                                periodControls(), StatusBar1);
    m_incomeList = std::make_unique<RecordList>(RecordListKind::income(), module->ADOQuerySR, connection,
                                                periodControls(), StatusBar1);
    m_statistics = std::make_unique<StatisticsView>(
        *module, StatisticsControls{periodControls(), Edit1, Edit2, Edit3, DBChartJSR, StatusBar1});
    m_categories = std::make_unique<CategoryLists>(module->ADOQuerySRLB, module->ADOQueryZCLB, connection, StatusBar1);
    m_dateSelector = std::make_unique<DateSelector>(DateSelectorControls{
        periodControls(), Button1, Button2, Button3, Calendar1, StatusBar1, [this] { refreshAll(); }});
    for (AddRecordFm *dialog : {payoutAdd, incomeAdd})
        dialog->setConnection(&connection);
    payoutAdd->setListRefresh([this] { BitBtn4->click(); });
    incomeAdd->setListRefresh([this] { BitBtn8->click(); });
    bindGrids();
    connectHandlers();
}

void TMainFm::bindGrids()
{
    auto bind = [](DataGrid *grid, Query &query, std::vector<GridColumn> columns) {
        auto *model = new QueryTableModel(&query, std::move(columns), grid);
        grid->setRowModel(model);
        return model;
    };
    bind(DBGridSR, m_module->ADOQuerySR, recordColumns(ListTabDesign::income()));
    bind(DBGridZC, m_module->ADOQueryZC, recordColumns(ListTabDesign::payout()));
    bind(DBGridSRTJ, m_module->ADOQuerySRTJ,
         statisticsColumns(QStringLiteral("IS_I_"), QStringLiteral("收入类型"), QStringLiteral("收入金额")))
        ->setReadOnly(true);
    bind(DBGridZCTJ, m_module->ADOQueryZCTJ,
         statisticsColumns(QStringLiteral("PS_P_"), QStringLiteral("支出类型"), QStringLiteral("支出金额")))
        ->setReadOnly(true);
    bind(DBGridSRLB, m_module->ADOQuerySRLB, categoryColumns(QStringLiteral("IC_"), QStringLiteral("收入类别")));
    bind(DBGridZCLB, m_module->ADOQueryZCLB, categoryColumns(QStringLiteral("PC_"), QStringLiteral("支出类别")));
    for (DataGrid *grid : {DBGridSR, DBGridZC, DBGridSRTJ, DBGridZCTJ, DBGridSRLB, DBGridZCLB}) {
        grid->setWheelMovesRows(true);
        grid->horizontalHeader()->setFont(font());
    }
    DBGridSRLB->setConfirmDelete(true);
    DBGridZCLB->setConfirmDelete(true);
}

void TMainFm::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, &TMainFm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMainFm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TMainFm::Button3Click);
    m_dateSelector->connectControls(this);

    const struct
    {
        QPushButton *button;
        void (TMainFm::*handler)();
    } clicks[] = {{BitBtn1, &TMainFm::BitBtn1Click}, {BitBtn2, &TMainFm::BitBtn2Click}, {BitBtn3, &TMainFm::BitBtn3Click},
                  {BitBtn4, &TMainFm::BitBtn4Click}, {BitBtn5, &TMainFm::BitBtn5Click}, {BitBtn6, &TMainFm::BitBtn6Click},
                  {BitBtn7, &TMainFm::BitBtn7Click}, {BitBtn8, &TMainFm::BitBtn8Click}, {BitBtn9, &TMainFm::BitBtn9Click},
                  {BitBtnTJ, &TMainFm::BitBtnTJClick}};
    for (const auto &c : clicks)
        connect(c.button, &QPushButton::clicked, this, c.handler);
    CategoryLists *categories = m_categories.get();
    Query &incomeClasses = m_module->ADOQuerySRLB;
    Query &payoutClasses = m_module->ADOQueryZCLB;
    const struct
    {
        QPushButton *button;
        Query &list;
        void (CategoryLists::*action)(Query &);
    } categoryClicks[] = {{BitBtn10, incomeClasses, &CategoryLists::add},     {BitBtn15, payoutClasses, &CategoryLists::add},
                          {BitBtn11, incomeClasses, &CategoryLists::deleteCurrent}, {BitBtn14, payoutClasses, &CategoryLists::deleteCurrent},
                          {BitBtn12, incomeClasses, &CategoryLists::save},    {BitBtn16, payoutClasses, &CategoryLists::save},
                          {BitBtn13, incomeClasses, &CategoryLists::refresh}, {BitBtn17, payoutClasses, &CategoryLists::refresh}};
    for (const auto &c : categoryClicks) {
        Query *list = &c.list;
        const auto action = c.action;
        connect(c.button, &QPushButton::clicked, this, [categories, list, action] { (categories->*action)(*list); });
    }

    connect(DBGridSRTJ, &DataGrid::doubleClickedAnywhere, this, &TMainFm::DBGridSRTJDblClick);
    connect(DBGridZCTJ, &DataGrid::doubleClickedAnywhere, this, &TMainFm::DBGridZCTJDblClick);
    const struct
    {
        DataGrid *grid;
        void (TMainFm::*handler)(int);
    } titleClicks[] = {{DBGridSR, &TMainFm::DBGridSRTitleClick},     {DBGridZC, &TMainFm::DBGridZCTitleClick},
                       {DBGridSRLB, &TMainFm::DBGridSRLBTitleClick}, {DBGridZCLB, &TMainFm::DBGridZCLBTitleClick},
                       {DBGridSRTJ, &TMainFm::DBGridSRTJTitleClick}, {DBGridZCTJ, &TMainFm::DBGridZCTJTitleClick}};
    for (const auto &t : titleClicks)
        connect(t.grid, &DataGrid::titleClicked, this, t.handler);

    connect(Label13, &LinkLabel::clicked, this, &TMainFm::Label13Click);
    connect(Label12, &LinkLabel::clicked, this, &TMainFm::Label12Click);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) { runUnguarded([&] { tabShown(index); }); });

    QWidget *const tabs[] = {TabSheet1, TabSheet2, TabSheetTJ, TabSheetSZ};
    QAction *const tabItems[] = {i1, N3, T1, S1};
    for (int i = 0; i < 4; ++i) {
        QWidget *tab = tabs[i];
        connect(tabItems[i], &QAction::triggered, this, [this, tab] { PageControl1->setCurrentWidget(tab); });
    }
    connect(E1, &QAction::triggered, qApp, &QCoreApplication::quit);
    connect(L1, &QAction::triggered, this, [this] { showWindow(m_help, this); });
    connect(A1, &QAction::triggered, this, [this] { showWindow(m_about, this); });
    connect(U1, &QAction::triggered, this, [this] { showWindow(m_update, this); });
}

// The tabs' own on-show actions: focus to the add button, or the reload of
// both category lists.
void TMainFm::tabShown(int index)
{
    QWidget *tab = PageControl1->widget(index);
    if (tab == TabSheet1)
        BitBtn5->setFocus();
    else if (tab == TabSheet2)
        BitBtn1->setFocus();
    else if (tab == TabSheetSZ)
        BitBtn9->click();
}

void TMainFm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown && m_module) {
        m_shown = true;
        // The outer size took the frame into account as the window was shown:
        // centred only now, the frame is centred with it.
        if (QScreen *screen = this->screen())
            centreIn(this, screen->availableGeometry());
        FormShow();
    }
}

// Both record lists, then the statistics, each through its button.
void TMainFm::refreshAll()
{
    BitBtn4->click();
    BitBtn8->click();
    BitBtnTJ->click();
}

void TMainFm::FormShow()
{
    runGuarded(StatusBar1, [this] {
        Connection &connection = m_module->ADOConnection1;
        connection.close();
        connection.setConnectionString(TDataModule1::connectionStringFor(TDataModule1::ledgerFullPath()));
        connection.open();
        setWindowTitle(applicationTitle());
        DateTimePicker1->setDateQuietly(QDate::currentDate());
        DateTimePicker2->setDateQuietly(QDate::currentDate());
        Button3->setFocus();
        Button3->click();
        refreshAll();
        connection.open();
        DBGridSR->rowModel()->setPickList(1, m_categories->tables().incomeNames());
        BitBtn4->click();
        connection.open();
        DBGridZC->rowModel()->setPickList(1, m_categories->tables().payoutNames());
    });
}

void TMainFm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

// Integer halves of the outer width; a negative width is held at zero.
void TMainFm::FormResize()
{
    const int width = frameGeometry().width();
    GroupBox8->setFixedWidth(std::max(0, width / 2 - 10));
    GroupBox9->setFixedWidth(GroupBox8->width());
    Panel8->setFixedWidth(std::max(0, (width - 220) / 2));
    Panel10->setFixedWidth(Panel8->width());
}

void TMainFm::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::quit();
}

void TMainFm::Button1Click() { m_dateSelector->monthClicked(-1); }
void TMainFm::Button2Click() { m_dateSelector->monthClicked(+1); }
void TMainFm::Button3Click() { m_dateSelector->todayClicked(); }

void TMainFm::BitBtn1Click()
{
    runUnguarded([this] { m_payoutAdd->prepareAndShow(ComboBox1->text(), ComboBox2->text(), ComboBox3->text()); });
}

void TMainFm::BitBtn5Click()
{
    runUnguarded([this] { m_incomeAdd->prepareAndShow(ComboBox1->text(), ComboBox2->text(), ComboBox3->text()); });
}

void TMainFm::BitBtn2Click() { runUnguarded([this] { m_payoutList->deleteCurrent(); }); }
void TMainFm::BitBtn6Click() { runUnguarded([this] { m_incomeList->deleteCurrent(); }); }
void TMainFm::BitBtn3Click() { m_payoutList->save(); }
void TMainFm::BitBtn7Click() { m_incomeList->save(); }
void TMainFm::BitBtn4Click() { m_payoutList->refresh(); }
void TMainFm::BitBtn8Click() { m_incomeList->refresh(); }
void TMainFm::BitBtn9Click() { m_categories->reloadBoth(); }
void TMainFm::BitBtnTJClick() { m_statistics->refresh(); }

void TMainFm::Label13Click()
{
    runGuarded(StatusBar1, [] { shellOpen(QUrl(QStringLiteral("mailto:feedback@example.com"))); });
}

void TMainFm::Label12Click()
{
    runGuarded(StatusBar1, [] { shellOpen(QUrl(QStringLiteral("https://www.example.com/software"))); });
}

void TMainFm::DBGridSRTJDblClick() { drillDown(m_module->ADOQuerySRTJ, m_incomeSearch); }
void TMainFm::DBGridZCTJDblClick() { drillDown(m_module->ADOQueryZCTJ, m_payoutSearch); }

// The records behind the statistics grid's current row, for the period the
// date selector shows now. A failed statistics run left no row to read: then
// nothing happens.
void TMainFm::drillDown(Query &statistics, RecordSearchFm *detail)
{
    if (!statistics.isOpen())
        return;
    bool loaded = false;
    runGuarded(StatusBar1, [&] {
        detail->load(statistics.fieldText(detail->kind().statisticsField), periodControls(), m_module->ADOConnection1);
        loaded = true;
    });
    if (loaded)
        detail->showModal(this);
}

void TMainFm::DBGridSRTitleClick(int column) { sortGrid(DBGridSR, m_module->ADOQuerySR, column); }
void TMainFm::DBGridZCTitleClick(int column) { sortGrid(DBGridZC, m_module->ADOQueryZC, column); }
void TMainFm::DBGridSRLBTitleClick(int column) { sortGrid(DBGridSRLB, m_module->ADOQuerySRLB, column); }
void TMainFm::DBGridZCLBTitleClick(int column) { sortGrid(DBGridZCLB, m_module->ADOQueryZCLB, column); }
void TMainFm::DBGridSRTJTitleClick(int column) { sortGrid(DBGridSRTJ, m_module->ADOQuerySRTJ, column); }
void TMainFm::DBGridZCTJTitleClick(int column) { sortGrid(DBGridZCTJ, m_module->ADOQueryZCTJ, column); }

void TMainFm::sortGrid(DataGrid *grid, Query &query, int column)
{
    sortByTitle(*grid->rowModel(), query, column, StatusBar1);
}

QString TMainFm::statusText() const
{
    return reportedError(StatusBar1);
}
