#include "RecordSearchFm.h"

#include "grid/DataGrid.h"
#include "grid/QueryTableModel.h"
#include "platform/ErrorReport.h"
#include "platform/Fonts.h"
#include "platform/ObjectName.h"
#include "platform/WindowFrame.h"
#include "store/Connection.h"
#include "store/SqlText.h"
#include "views/ListTab.h"
#include "views/TitleSort.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QHideEvent>
#include <QStatusBar>
#include <QVBoxLayout>

RecordSearchFm::RecordSearchFm(const RecordSearchKind &kind, QWidget *parent)
    : QWidget(parent, Qt::Window), m_kind(kind)
{
    setObjectName(QLatin1String(kind.objectName));
    setWindowTitle(kind.caption);
    setWindowModality(Qt::ApplicationModal);
    applyFont(this, windowFont(16), QColor(0, 0, 255));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_grid = named(new DataGrid(this), kind.grid.gridName);
    column->addWidget(m_grid, 1);
    StatusBar1 = named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setFixedHeight(19);
    StatusBar1->setSizeGripEnabled(false);
    reportError(StatusBar1, QString()); // creates the one panel
    column->addWidget(StatusBar1);

    DataSource1 = new QueryTableModel(&ADOQuery1, recordColumns(kind.grid), this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    m_grid->setRowModel(DataSource1);
    m_grid->horizontalHeader()->setFont(font());

    setOuterSize(this, kind.outerSize);
}

// The grid and its binding go before the query they show.
RecordSearchFm::~RecordSearchFm()
{
    delete m_grid;
    delete DataSource1;
}

QString RecordSearchFm::detailSql(const QString &category, const PeriodControls &controls) const
{
    const StatisticsPeriod period = statisticsPeriod(controls, m_kind.monthReading);
    const QString quoted = sqlQuoted(category); // a category holding "'" is still one text
    if (period.mode == RangeMode::Day)
        return m_kind.head + quoted + m_kind.dayTest + period.start + QLatin1Char('#') + m_kind.order;
    return m_kind.head + quoted + m_kind.rangeTest + betweenDays(period) + m_kind.order;
}

void RecordSearchFm::load(const QString &category, const PeriodControls &period, Connection &connection)
{
    const QString sql = detailSql(category, period);
    ADOQuery1.setConnection(&connection);
    ADOQuery1.close();
    ADOQuery1.clearSql();
    ADOQuery1.setSql(sql);
    ADOQuery1.open();
}

void RecordSearchFm::showModal(QWidget *over)
{
    centreIn(this, over->frameGeometry());
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
}

// Closing the window settles the row being typed into, as a move to another
// row would: a changed row is written, an untouched new one dropped. When the
// table refuses the row, the error box says why and the window stays open
// with what was typed, so that no edit is lost unseen.
void RecordSearchFm::closeEvent(QCloseEvent *event)
{
    bool settled = false;
    runUnguarded([&] {
        m_grid->finishEditing();
        settled = true;
    });
    if (!settled) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void RecordSearchFm::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (m_modalLoop && !isVisible())
        m_modalLoop->quit();
}

void RecordSearchFm::titleClicked(int column)
{
    sortByTitle(*DataSource1, ADOQuery1, column, StatusBar1);
}
