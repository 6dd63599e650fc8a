#include "StatisticsView.h"

#include "DBChart.h"
#include "core/NumberPatterns.h"
#include "platform/ErrorReport.h"
#include "store/DataModuleUt.h"

#include <QLineEdit>

namespace {

// A total longer than its box shows from its first digit, as a number is read.
void showTotal(QLineEdit *box, double total)
{
    box->setText(hashDotZeroZero(total));
    box->setCursorPosition(0);
}

} // namespace

StatisticsView::StatisticsView(TDataModule1 &module, StatisticsControls controls)
    : m_module(module), m_run(module), m_c(controls)
{
}

void StatisticsView::refresh()
{
    // One commit for all the run's scratch rows; a commit that fails is
    // reported over figures already shown.
    runGuarded(m_c.statusBar, [this] {
        m_module.ADOConnection1.scratchBatch([this] {
            const StatisticsPeriod period = statisticsPeriod(m_c.period);
            for (QLineEdit *box : {m_c.totalIncome, m_c.totalPayout, m_c.netIncome})
                box->clear();
            show(m_run.run(period));
        });
    });
}

void StatisticsView::show(const StatisticsFigures &figures)
{
    showTotal(m_c.totalIncome, figures.totalIncome);
    showTotal(m_c.totalPayout, figures.totalPayout);
    showTotal(m_c.netIncome, figures.netIncome);
    const QString titles[] = {QStringLiteral("总收入"), QStringLiteral("总支出"), QStringLiteral("净收入")};
    const QString columns[] = {QStringLiteral("AC_I_Count"), QStringLiteral("AC_P_Count"), QStringLiteral("AC_Net_Count")};
    for (int series = 0; series < 3; ++series) {
        m_c.chart->setDataSource(series, &figures.totals);
        m_c.chart->setSeriesTitle(series, titles[series]);
        m_c.chart->setValueColumn(series, columns[series]);
    }
}
