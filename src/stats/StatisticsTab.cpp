#include "StatisticsTab.h"

#include "DBChart.h"
#include "grid/DataGrid.h"
#include "platform/ObjectName.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A statistics grid with the line "双击可以显示明细" centred below it.
std::pair<QFrame *, DataGrid *> gridPanel(QWidget *tab, const char *panelName, const char *gridName)
{
    auto *panel = named(new QFrame(tab), panelName);
    auto *stack = new QVBoxLayout(panel);
    stack->setContentsMargins(0, 0, 0, 0);
    auto *grid = named(new DataGrid(panel), gridName);
    stack->addWidget(grid, 1);
    auto *hint = new QLabel(QStringLiteral("双击可以显示明细"), panel);
    hint->setAlignment(Qt::AlignCenter);
    stack->addWidget(hint);
    return {panel, grid};
}

} // namespace

StatisticsTab buildStatisticsTab(QWidget *tab)
{
    StatisticsTab t{};
    auto *row = new QHBoxLayout(tab);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    std::tie(t.incomePanel, t.incomeGrid) = gridPanel(tab, "Panel10", "DBGridSRTJ");
    std::tie(t.payoutPanel, t.payoutGrid) = gridPanel(tab, "Panel8", "DBGridZCTJ");
    row->addWidget(t.incomePanel);
    row->addWidget(t.payoutPanel);

    t.totalsPanel = named(new QFrame(tab), "Panel9");
    auto *right = new QVBoxLayout(t.totalsPanel);
    right->setContentsMargins(0, 0, 0, 0);
    auto *totals = new QFrame(t.totalsPanel);
    totals->setFixedHeight(153);
    totals->setFrameShape(QFrame::StyledPanel);
    const char *labels[] = {"总收入  ", "总支出  ", "净收入  "};
    QLineEdit **edits[] = {&t.totalIncome, &t.totalPayout, &t.netIncome};
    const char *names[] = {"Edit1", "Edit2", "Edit3"};
    for (int i = 0; i < 3; ++i) {
        (new QLabel(QString::fromUtf8(labels[i]), totals))->move(8, 28 + i * 40);
        *edits[i] = named(new QLineEdit(QStringLiteral("Edit1"), totals), names[i]);
        (*edits[i])->setGeometry(76, 24 + i * 40, 121, 26);
    }
    right->addWidget(totals);
    t.chart = named(new DBChart(QStringLiteral("净收入统计"), {{Qt::red, -30}, {Qt::green, 5}, {Qt::blue, 40}}, t.totalsPanel), "DBChartJSR");
    right->addWidget(t.chart, 1);
    row->addWidget(t.totalsPanel, 1);

    t.run = named(new QPushButton(QStringLiteral("刷新"), tab), "BitBtnTJ");
    t.run->hide();
    return t;
}

std::vector<GridColumn> statisticsColumns(const QString &prefix, const QString &classTitle,
                                                    const QString &amountTitle)
{
    return {{prefix + QStringLiteral("Class"), classTitle, 200, true, {}},
            {prefix + QStringLiteral("Count"), amountTitle, 100, false, {}}};
}
