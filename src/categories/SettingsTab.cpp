#include "SettingsTab.h"

#include "grid/DataGrid.h"
#include "platform/ObjectName.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

CategoryGroup categoryGroup(QWidget *tab, const QString &title, const char *name, const char *gridName,
                            const char *const (&buttonNames)[4])
{
    auto *group = named(new QGroupBox(title, tab), name);
    auto *inner = new QHBoxLayout(group);
    auto *grid = named(new DataGrid(group), gridName);
    inner->addWidget(grid, 1);
    auto *panel = new QFrame(group);
    panel->setFixedWidth(100);
    const char *captions[] = {"增加", "删除", "保存", "刷新"};
    const int tops[] = {20, 97, 174, 251};
    QPushButton *buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = named(new QPushButton(QString::fromUtf8(captions[i]), panel), buttonNames[i]);
        buttons[i]->setGeometry(10, tops[i], 80, 30);
        buttons[i]->setCursor(Qt::PointingHandCursor);
        buttons[i]->setToolTip(QStringLiteral("总于找到钱了，好辛苦，记录一下"));
    }
    inner->addWidget(panel);
    return {group, grid, buttons[0], buttons[1], buttons[2], buttons[3]};
}

} // namespace

SettingsTab buildSettingsTab(QWidget *tab)
{
    auto *row = new QHBoxLayout(tab);
    row->setContentsMargins(0, 0, 0, 0);
    SettingsTab t{categoryGroup(tab, QStringLiteral("收入类别"), "GroupBox8", "DBGridSRLB",
                                {"BitBtn10", "BitBtn11", "BitBtn12", "BitBtn13"}),
                  categoryGroup(tab, QStringLiteral("支出类别"), "GroupBox9", "DBGridZCLB",
                                {"BitBtn15", "BitBtn14", "BitBtn16", "BitBtn17"}),
                  nullptr};
    row->addWidget(t.income.group);
    row->addStretch(1);
    row->addWidget(t.payout.group);
    t.reload = named(new QPushButton(QStringLiteral("刷新"), tab), "BitBtn9");
    t.reload->hide();
    return t;
}

std::vector<GridColumn> categoryColumns(const QString &prefix, const QString &nameTitle)
{
    return {{prefix + QStringLiteral("No"), QStringLiteral("显示顺序"), 80, false, {}},
            {prefix + QStringLiteral("Name"), nameTitle, 250, false, {}}};
}
