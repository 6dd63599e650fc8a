#include "MainUt.h"

#include "ButtonPictures.h"
#include "categories/CategoryLists.h"
#include "platform/DataGrid.h"
#include "platform/DatePicker.h"
#include "platform/ErrorReport.h"
#include "platform/Fonts.h"
#include "platform/LinkLabel.h"
#include "platform/MonthCalendar.h"
#include "platform/SelectorBox.h"
#include "platform/Shell.h"
#include "platform/WindowFrame.h"
#include "stats/DBChart.h"
#include "stats/StatisticsRun.h"
#include "store/DataModuleUt.h"
#include "store/QueryTableModel.h"
#include "views/AddRecordFm.h"
#include "views/DateSelector.h"
#include "views/RecordList.h"

#include <QCloseEvent>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QColor blue(0, 0, 255);

QString tabCaption(const QString &word)
{
    const QString nine(9, QLatin1Char(' '));
    return nine + word + nine;
}

template <class W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *labelAt(QWidget *parent, const QString &text, int x, int y)
{
    auto *label = new QLabel(text, parent);
    label->move(x, y);
    return label;
}

SelectorBox *selectorBox(QWidget *parent, const char *name, int first, int last, bool twoDigits, const QString &text)
{
    auto *box = named(new SelectorBox(parent), name);
    for (int i = first; i <= last; ++i)
        box->addItem(twoDigits ? QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')) : QString::number(i));
    box->setText(text);
    box->setKeyFilter(&DateSelector::boxKeyFilter);
    return box;
}

std::vector<GridRowModel::Column> recordColumns(const QString &p, const QString &classTitle, const QString &numTitle)
{
    return {{p + QStringLiteral("Date"), QStringLiteral("日期"), 100, false, {}},
            {p + QStringLiteral("Class"), classTitle, 200, true, {}},
            {p + QStringLiteral("Num"), numTitle, 80, false, {}},
            {p + QStringLiteral("Desc"), QStringLiteral("说明"), 400, false, {}}};
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
    applyFont(this, windowFont(16), blue);

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
    QPushButton *income[4], *payout[4];
    buildListTab(TabSheet1, DBGridSR, income, QStringLiteral("总于找到钱了，好辛苦，记录一下"), "Panel2");
    buildListTab(TabSheet2, DBGridZC, payout, QStringLiteral("钱就是用得快，记一下，看是怎么用出去的"), "Panel1");
    DBGridSR->setObjectName(QStringLiteral("DBGridSR"));
    DBGridZC->setObjectName(QStringLiteral("DBGridZC"));
    BitBtn5 = named(income[0], "BitBtn5");
    BitBtn6 = named(income[1], "BitBtn6");
    BitBtn7 = named(income[2], "BitBtn7");
    BitBtn8 = named(income[3], "BitBtn8");
    BitBtn1 = named(payout[0], "BitBtn1");
    BitBtn2 = named(payout[1], "BitBtn2");
    BitBtn3 = named(payout[2], "BitBtn3");
    BitBtn4 = named(payout[3], "BitBtn4");
    BitBtn5->setIcon(buttonPicture(ButtonPicture::AddIncome));
    BitBtn1->setIcon(buttonPicture(ButtonPicture::AddPayout));
    buildStatisticsTab();
    buildSettingsTab();
    column->addWidget(PageControl1, 1);
    setCentralWidget(central);

    buildMenu();
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    StatusBar1->setSizeGripEnabled(false);
    reportError(StatusBar1, QString()); // creates the one 300-pixel panel

    resize(984, 745);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TMainFm::~TMainFm() = default;

void TMainFm::buildTopStrip()
{
    Panel3 = named(new QFrame, "Panel3");
    Panel3->setFixedHeight(89);
    auto *row = new QHBoxLayout(Panel3);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    GroupBox2 = named(new QGroupBox(QStringLiteral("  日期  "), Panel3), "GroupBox2");
    GroupBox2->setFixedWidth(240);
    ComboBox1 = selectorBox(GroupBox2, "ComboBox1", 2005, 2010, false, QStringLiteral("2006"));
    ComboBox2 = selectorBox(GroupBox2, "ComboBox2", 1, 12, true, QStringLiteral("01"));
    ComboBox3 = selectorBox(GroupBox2, "ComboBox3", 1, 31, true, QStringLiteral("01"));
    const struct
    {
        SelectorBox *box;
        int x;
        const char *label;
    } boxes[] = {{ComboBox1, 17, "年 "}, {ComboBox2, 89, "月 "}, {ComboBox3, 161, "日"}};
    for (const auto &b : boxes) {
        b.box->setGeometry(b.x, 21, 55, 24);
        labelAt(GroupBox2, QString::fromUtf8(b.label), b.x + 56, 24);
    }
    Button1 = named(new QPushButton(QStringLiteral("上月"), GroupBox2), "Button1");
    Button2 = named(new QPushButton(QStringLiteral("下月"), GroupBox2), "Button2");
    Button3 = named(new QPushButton(QStringLiteral("今天"), GroupBox2), "Button3");
    Button1->setGeometry(15, 51, 55, 25);
    Button2->setGeometry(88, 51, 55, 25);
    Button3->setGeometry(162, 51, 55, 25);
    row->addWidget(GroupBox2);

    GroupBox1 = named(new QGroupBox(QStringLiteral(" 范围  "), Panel3), "GroupBox1");
    GroupBox1->setFixedWidth(216);
    RadioButton1 = named(new QRadioButton(QStringLiteral("年"), GroupBox1), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("月"), GroupBox1), "RadioButton2");
    RadioButton3 = named(new QRadioButton(QStringLiteral("日"), GroupBox1), "RadioButton3");
    RadioButton4 = named(new QRadioButton(QStringLiteral("指定范围    "), GroupBox1), "RadioButton4");
    RadioButton1->move(19, 18);
    RadioButton2->move(19, 41);
    RadioButton3->move(19, 64);
    RadioButton4->move(69, 18);
    RadioButton3->setChecked(true);
    labelAt(GroupBox1, QStringLiteral("始 "), 74, 41);
    labelAt(GroupBox1, QStringLiteral("止 "), 74, 64);
    DateTimePicker1 = named(new DatePicker(GroupBox1), "DateTimePicker1");
    DateTimePicker2 = named(new DatePicker(GroupBox1), "DateTimePicker2");
    DateTimePicker1->setGeometry(101, 37, 105, 22);
    DateTimePicker2->setGeometry(101, 60, 105, 22);
    row->addWidget(GroupBox1);

    // The strip is 89 pixels high: titles sit small in the groups' top edge.
    const QString compactGroup = QStringLiteral(
        "QGroupBox { font-size: 12px; margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }");
    GroupBox2->setStyleSheet(compactGroup);
    GroupBox1->setStyleSheet(compactGroup);
    for (QWidget *child : GroupBox2->findChildren<QWidget *>() + GroupBox1->findChildren<QWidget *>())
        if (!qobject_cast<SelectorBox *>(child) && !qobject_cast<SelectorBox *>(child->parentWidget()))
            child->setStyleSheet(QStringLiteral("font-size: 14px;"));

    Calendar1 = named(new MonthCalendar(Panel3), "Calendar1");
    applyFont(Calendar1, windowFont(10), blue);
    Calendar1->setSelectedDate(QDate::currentDate());
    row->addWidget(Calendar1, 1);

    Panel4 = named(new QFrame(Panel3), "Panel4");
    Panel4->setFixedWidth(87);
    Label13 = named(new LinkLabel(QStringLiteral("提点意见        "), Panel4), "Label13");
    Label12 = named(new LinkLabel(QStringLiteral("软件网站      "), Panel4), "Label12");
    for (LinkLabel *link : {Label13, Label12})
        applyFont(link, windowFont(14), blue);
    Label13->move(16, 24);
    Label12->move(16, 48);
    row->addWidget(Panel4);
}

void TMainFm::buildListTab(QWidget *tab, DataGrid *&grid, QPushButton *buttons[4], const QString &addHint,
                           const char *panelName)
{
    auto *row = new QHBoxLayout(tab);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    grid = new DataGrid(tab);
    row->addWidget(grid, 1);
    auto *panel = named(new QFrame(tab), panelName);
    panel->setFixedWidth(100);
    const QString hints[] = {addHint, QStringLiteral("删除选中的记录"), QStringLiteral("把所做的修改保存下来"),
                             QStringLiteral("刷新一下，看看有没有变化")};
    const ButtonPicture pictures[] = {ButtonPicture::AddIncome, ButtonPicture::Delete, ButtonPicture::Save,
                                      ButtonPicture::Refresh};
    const int tops[] = {8, 83, 158, 234};
    for (int i = 0; i < 4; ++i) {
        buttons[i] = new QPushButton(panel);
        buttons[i]->setGeometry(20, tops[i], 70, 70);
        buttons[i]->setIconSize(QSize(64, 64));
        buttons[i]->setIcon(buttonPicture(pictures[i]));
        buttons[i]->setToolTip(hints[i]);
        buttons[i]->setCursor(Qt::PointingHandCursor);
    }
    row->addWidget(panel);
}

void TMainFm::buildStatisticsTab()
{
    auto *row = new QHBoxLayout(TabSheetTJ);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto statisticsPanel = [&](const char *panelName, const char *gridName) {
        auto *panel = named(new QFrame(TabSheetTJ), panelName);
        auto *stack = new QVBoxLayout(panel);
        stack->setContentsMargins(0, 0, 0, 0);
        auto *grid = named(new DataGrid(panel), gridName);
        stack->addWidget(grid, 1);
        auto *hint = new QLabel(QStringLiteral("双击可以显示明细"), panel);
        hint->setAlignment(Qt::AlignCenter);
        stack->addWidget(hint);
        row->addWidget(panel);
        return std::pair{panel, grid};
    };
    std::tie(Panel10, DBGridSRTJ) = statisticsPanel("Panel10", "DBGridSRTJ");
    std::tie(Panel8, DBGridZCTJ) = statisticsPanel("Panel8", "DBGridZCTJ");

    Panel9 = named(new QFrame(TabSheetTJ), "Panel9");
    auto *right = new QVBoxLayout(Panel9);
    right->setContentsMargins(0, 0, 0, 0);
    auto *totals = new QFrame(Panel9);
    totals->setFixedHeight(153);
    totals->setFrameShape(QFrame::StyledPanel);
    const char *labels[] = {"总收入  ", "总支出  ", "净收入  "};
    QLineEdit **edits[] = {&Edit1, &Edit2, &Edit3};
    const char *names[] = {"Edit1", "Edit2", "Edit3"};
    for (int i = 0; i < 3; ++i) {
        labelAt(totals, QString::fromUtf8(labels[i]), 8, 28 + i * 40);
        *edits[i] = named(new QLineEdit(QStringLiteral("Edit1"), totals), names[i]);
        (*edits[i])->setGeometry(76, 24 + i * 40, 121, 26);
    }
    right->addWidget(totals);
    DBChartJSR = named(new DBChart(QStringLiteral("净收入统计"), {Qt::red, Qt::green, Qt::blue}, Panel9), "DBChartJSR");
    right->addWidget(DBChartJSR, 1);
    row->addWidget(Panel9, 1);

    BitBtnTJ = named(new QPushButton(QStringLiteral("刷新"), TabSheetTJ), "BitBtnTJ");
    BitBtnTJ->hide();
}

void TMainFm::buildSettingsTab()
{
    auto *row = new QHBoxLayout(TabSheetSZ);
    row->setContentsMargins(0, 0, 0, 0);
    auto categoryGroup = [&](const QString &title, const char *name, const char *gridName, QPushButton **buttons,
                             const char *const *buttonNames) {
        auto *group = named(new QGroupBox(title, TabSheetSZ), name);
        auto *inner = new QHBoxLayout(group);
        auto *grid = named(new DataGrid(group), gridName);
        inner->addWidget(grid, 1);
        auto *panel = new QFrame(group);
        panel->setFixedWidth(100);
        const char *captions[] = {"增加", "删除", "保存", "刷新"};
        const int tops[] = {20, 97, 174, 251};
        for (int i = 0; i < 4; ++i) {
            buttons[i] = named(new QPushButton(QString::fromUtf8(captions[i]), panel), buttonNames[i]);
            buttons[i]->setGeometry(10, tops[i], 80, 30);
            buttons[i]->setCursor(Qt::PointingHandCursor);
            buttons[i]->setToolTip(QStringLiteral("总于找到钱了，好辛苦，记录一下"));
        }
        inner->addWidget(panel);
        return std::pair{group, grid};
    };
    QPushButton *incomeButtons[4], *payoutButtons[4];
    const char *const incomeNames[] = {"BitBtn10", "BitBtn11", "BitBtn12", "BitBtn13"};
    const char *const payoutNames[] = {"BitBtn15", "BitBtn14", "BitBtn16", "BitBtn17"};
    std::tie(GroupBox8, DBGridSRLB) = categoryGroup(QStringLiteral("收入类别"), "GroupBox8", "DBGridSRLB", incomeButtons, incomeNames);
    std::tie(GroupBox9, DBGridZCLB) = categoryGroup(QStringLiteral("支出类别"), "GroupBox9", "DBGridZCLB", payoutButtons, payoutNames);
    BitBtn10 = incomeButtons[0];
    BitBtn11 = incomeButtons[1];
    BitBtn12 = incomeButtons[2];
    BitBtn13 = incomeButtons[3];
    BitBtn15 = payoutButtons[0];
    BitBtn14 = payoutButtons[1];
    BitBtn16 = payoutButtons[2];
    BitBtn17 = payoutButtons[3];
    row->addWidget(GroupBox8);
    row->addStretch(1);
    row->addWidget(GroupBox9);
    BitBtn9 = named(new QPushButton(QStringLiteral("刷新"), TabSheetSZ), "BitBtn9");
    BitBtn9->hide();
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
                     QWidget *help, QWidget *update)
{
    m_module = module;
    m_payoutAdd = payoutAdd;
    m_incomeAdd = incomeAdd;
    m_about = about;
    m_help = help;
    m_update = update;
    Connection &connection = module->ADOConnection1;
    m_payoutList = std::make_unique<RecordList>(RecordListKind::payout(), module->ADOQueryZC, connection,
                                                periodControls(), StatusBar1);
    m_incomeList = std::make_unique<RecordList>(RecordListKind::income(), module->ADOQuerySR, connection,
                                                periodControls(), StatusBar1);
    m_statistics = std::make_unique<StatisticsRun>(
        *module, StatisticsControls{periodControls(), Edit1, Edit2, Edit3, DBChartJSR, StatusBar1});
    m_categories = std::make_unique<CategoryLists>(module->ADOQuerySRLB, module->ADOQueryZCLB, connection, StatusBar1);
    m_dateSelector = std::make_unique<DateSelector>(DateSelectorControls{
        periodControls(), Button1, Button2, Button3, Calendar1, StatusBar1, [this] {
            BitBtn4->click();
            BitBtn8->click();
            BitBtnTJ->click();
        }});
    for (AddRecordFm *dialog : {payoutAdd, incomeAdd})
        dialog->setConnection(&connection);
    payoutAdd->setListRefresh([this] { BitBtn4->click(); });
    incomeAdd->setListRefresh([this] { BitBtn8->click(); });
    bindGrids();
    connectHandlers();
}

void TMainFm::bindGrids()
{
    auto bind = [this](DataGrid *grid, Query &query, std::vector<GridRowModel::Column> columns) {
        auto *model = new QueryTableModel(&query, std::move(columns), grid);
        grid->setRowModel(model);
        return model;
    };
    bind(DBGridSR, m_module->ADOQuerySR, recordColumns(QStringLiteral("I_"), QStringLiteral("收入类型"), QStringLiteral("收入金额")));
    bind(DBGridZC, m_module->ADOQueryZC, recordColumns(QStringLiteral("P_"), QStringLiteral("支出类型"), QStringLiteral("支出金额")));
    bind(DBGridSRTJ, m_module->ADOQuerySRTJ,
         {{QStringLiteral("IS_I_Class"), QStringLiteral("收入类型"), 200, true, {}},
          {QStringLiteral("IS_I_Count"), QStringLiteral("收入金额"), 100, false, {}}})
        ->setReadOnly(true);
    bind(DBGridZCTJ, m_module->ADOQueryZCTJ,
         {{QStringLiteral("PS_P_Class"), QStringLiteral("支出类型"), 200, true, {}},
          {QStringLiteral("PS_P_Count"), QStringLiteral("支出金额"), 100, false, {}}})
        ->setReadOnly(true);
    bind(DBGridSRLB, m_module->ADOQuerySRLB,
         {{QStringLiteral("IC_No"), QStringLiteral("显示顺序"), 80, false, {}},
          {QStringLiteral("IC_Name"), QStringLiteral("收入类别"), 250, false, {}}});
    bind(DBGridZCLB, m_module->ADOQueryZCLB,
         {{QStringLiteral("PC_No"), QStringLiteral("显示顺序"), 80, false, {}},
          {QStringLiteral("PC_Name"), QStringLiteral("支出类别"), 250, false, {}}});
    for (DataGrid *grid : {DBGridSR, DBGridZC, DBGridSRTJ, DBGridZCTJ, DBGridSRLB, DBGridZCLB}) {
        grid->setWheelMovesRows(true);
        grid->horizontalHeader()->setFont(font());
    }
    DBGridSRLB->setConfirmDelete(true);
    DBGridZCLB->setConfirmDelete(true);
}

void TMainFm::connectHandlers()
{
    DateSelector *selector = m_dateSelector.get();
    connect(Button1, &QPushButton::clicked, this, &TMainFm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMainFm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TMainFm::Button3Click);
    connect(ComboBox1, &SelectorBox::changed, this, [selector] { selector->yearBoxChanged(); });
    connect(ComboBox1, &SelectorBox::selected, this, [selector] { selector->yearBoxChanged(); });
    connect(ComboBox2, &SelectorBox::changed, this, [selector] { selector->monthBoxChanged(); });
    connect(ComboBox2, &SelectorBox::selected, this, [selector] { selector->monthBoxChanged(); });
    connect(ComboBox3, &SelectorBox::changed, this, [selector] { selector->dayBoxTyped(); });
    connect(ComboBox3, &SelectorBox::selected, this, [selector] { selector->dayBoxPicked(); });
    connect(Calendar1, &MonthCalendar::changed, this, [selector] { selector->calendarChanged(); });
    for (QRadioButton *range : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        connect(range, &QRadioButton::toggled, this, [this, range, selector](bool on) {
            if (on)
                runUnguarded([&] { selector->rangeChosen(range == RadioButton4); });
        });
    for (DatePicker *picker : {DateTimePicker1, DateTimePicker2}) {
        connect(picker, &DatePicker::userChanged, this, [selector] { runUnguarded([&] { selector->pickerChanged(); }); });
        connect(picker, &DatePicker::keyReleased, this, [this, picker, selector](int key) {
            runUnguarded([&] { selector->pickerKeyReleased(picker == DateTimePicker1 ? 1 : 2, key); });
        });
    }

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
        // 984 × 745 is the outer size, frame included.
        const QSize frame = frameGeometry().size() - size();
        resize(QSize(984, 745) - frame);
        FormShow();
    }
}

void TMainFm::loadPickList(DataGrid *grid, const QString &sql, const QString &field)
{
    Query scratch(QStringLiteral("ADOQueryPick"));
    scratch.setConnection(&m_module->ADOConnection1);
    scratch.setSql(sql);
    scratch.open();
    QStringList names;
    for (scratch.first(); !scratch.eof(); scratch.next())
        names.append(scratch.fieldText(field));
    grid->rowModel()->setPickList(1, names);
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
        BitBtn4->click();
        BitBtn8->click();
        BitBtnTJ->click();
        connection.open();
        loadPickList(DBGridSR, QStringLiteral("Select * From IncomeClass Order By IC_No ASC"), QStringLiteral("IC_Name"));
        BitBtn4->click();
        connection.open();
        loadPickList(DBGridZC, QStringLiteral("Select * From PayoutClass Order By PC_No ASC"), QStringLiteral("PC_Name"));
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
void TMainFm::BitBtnTJClick() { m_statistics->run(); }

void TMainFm::Label13Click()
{
    runGuarded(StatusBar1, [] { shellOpen(QUrl(QStringLiteral("mailto:feedback@example.com"))); });
}

void TMainFm::Label12Click()
{
    runGuarded(StatusBar1, [] { shellOpen(QUrl(QStringLiteral("https://www.example.com/software"))); });
}

QString TMainFm::statusText() const
{
    return reportedError(StatusBar1);
}
