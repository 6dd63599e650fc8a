#include "DBChart.h"

#include "store/Query.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLegend>
#include <QValueAxis>
#include <algorithm>

DBChart::DBChart(const QString &title, const std::vector<QColor> &colours, QWidget *parent)
    : QChartView(parent), m_bars(new QBarSeries), m_axisY(new QValueAxis), m_axisX(new QBarCategoryAxis)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setBackgroundRoundness(0);
    for (const QColor &colour : colours) {
        auto *set = new QBarSet(QString());
        set->setColor(colour);
        set->setBorderColor(colour.darker(130));
        m_bars->append(set);
        m_series.push_back({nullptr, QString(), set, {}, {}});
    }
    m_bars->setLabelsVisible(true);
    m_bars->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    m_bars->setLabelsFormat(QStringLiteral("@value"));
    chart->addSeries(m_bars);
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    m_bars->attachAxis(m_axisX);
    m_bars->attachAxis(m_axisY);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    rescale();
}

void DBChart::setDataSource(int series, Query *query)
{
    Series &s = m_series[size_t(series)];
    if (s.source == query)
        return;
    disconnect(s.resetConnection);
    disconnect(s.changeConnection);
    s.source = query;
    if (query) {
        s.resetConnection = connect(query, &Query::reset, this, [this, series] { refill(series); });
        s.changeConnection = connect(query, &Query::rowChanged, this, [this, series] { refill(series); });
    }
    refill(series);
}

void DBChart::setSeriesTitle(int series, const QString &title)
{
    m_series[size_t(series)].bars->setLabel(title);
}

void DBChart::setValueColumn(int series, const QString &field)
{
    Series &s = m_series[size_t(series)];
    if (s.valueColumn == field)
        return;
    s.valueColumn = field;
    refill(series);
}

QString DBChart::seriesTitle(int series) const
{
    return m_series[size_t(series)].bars->label();
}

int DBChart::barCount(int series) const
{
    return int(m_series[size_t(series)].bars->count());
}

double DBChart::barValue(int series, int bar) const
{
    return m_series[size_t(series)].bars->at(bar);
}

void DBChart::refill(int series)
{
    Series &s = m_series[size_t(series)];
    s.bars->remove(0, s.bars->count());
    if (s.source && s.source->isOpen()) {
        const int field = s.source->fieldIndex(s.valueColumn);
        for (int row = 0; row < s.source->recordCount(); ++row) {
            const QVariant value = field >= 0 ? s.source->valueAt(row, field) : QVariant();
            s.bars->append(value.toDouble());
        }
    }
    rescale();
}

// The value axis always holds zero, so that a negative bar hangs below it.
void DBChart::rescale()
{
    double low = 0, high = 0;
    int bars = 0;
    for (const Series &s : m_series) {
        bars = std::max(bars, int(s.bars->count()));
        for (int i = 0; i < s.bars->count(); ++i) {
            low = std::min(low, s.bars->at(i));
            high = std::max(high, s.bars->at(i));
        }
    }
    if (low == high)
        high = low + 1;
    const double margin = (high - low) * 0.15;
    m_axisY->setRange(low < 0 ? low - margin : 0, high > 0 ? high + margin : 0);
    m_axisY->applyNiceNumbers();
    QStringList categories;
    for (int i = 0; i < bars; ++i)
        categories.append(QString());
    m_axisX->setCategories(categories);
}
