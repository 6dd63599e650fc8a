#include "ListTab.h"

#include "grid/DataGrid.h"
#include "platform/ObjectName.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>

const ListTabDesign &ListTabDesign::income()
{
    static const ListTabDesign design{"DBGridSR",
                                      "Panel2",
                                      {"BitBtn5", "BitBtn6", "BitBtn7", "BitBtn8"},
                                      QStringLiteral("I_"),
                                      QStringLiteral("收入类型"),
                                      QStringLiteral("收入金额"),
                                      QStringLiteral("总于找到钱了，好辛苦，记录一下"),
                                      ButtonPicture::AddIncome};
    return design;
}

const ListTabDesign &ListTabDesign::payout()
{
    static const ListTabDesign design{"DBGridZC",
                                      "Panel1",
                                      {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4"},
                                      QStringLiteral("P_"),
                                      QStringLiteral("支出类型"),
                                      QStringLiteral("支出金额"),
                                      QStringLiteral("钱就是用得快，记一下，看是怎么用出去的"),
                                      ButtonPicture::AddPayout};
    return design;
}

ListTab buildListTab(QWidget *tab, const ListTabDesign &design)
{
    auto *row = new QHBoxLayout(tab);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto *grid = named(new DataGrid(tab), design.gridName);
    row->addWidget(grid, 1);
    auto *panel = named(new QFrame(tab), design.panelName);
    panel->setFixedWidth(100);
    const QString hints[] = {design.addHint, QStringLiteral("删除选中的记录"), QStringLiteral("把所做的修改保存下来"),
                             QStringLiteral("刷新一下，看看有没有变化")};
    const ButtonPicture pictures[] = {design.addPicture, ButtonPicture::Delete, ButtonPicture::Save,
                                      ButtonPicture::Refresh};
    const int tops[] = {8, 83, 158, 234};
    QPushButton *buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = named(new QPushButton(panel), design.buttonNames[i]);
        buttons[i]->setGeometry(20, tops[i], 70, 70);
        buttons[i]->setIconSize(QSize(64, 64));
        buttons[i]->setIcon(buttonPicture(pictures[i]));
        buttons[i]->setToolTip(hints[i]);
        buttons[i]->setCursor(Qt::PointingHandCursor);
    }
    row->addWidget(panel);
    return {grid, buttons[0], buttons[1], buttons[2], buttons[3]};
}

std::vector<GridColumn> recordColumns(const ListTabDesign &design)
{
    const QString &p = design.prefix;
    return {{p + QStringLiteral("Date"), QStringLiteral("日期"), 100, false, {}},
            {p + QStringLiteral("Class"), design.classTitle, 200, true, {}},
            {p + QStringLiteral("Num"), design.amountTitle, 80, false, {}},
            {p + QStringLiteral("Desc"), QStringLiteral("说明"), 400, false, {}}};
}
