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
    // The view is built on our chart: the default one that QChartView makes
    // for itself would never be freed once replaced.
    : QChartView(new QChart, parent), m_bars(new QBarSeries), m_axisY(new QValueAxis), m_axisX(new QBarCategoryAxis)
{
    QChart *chart = this->chart();
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setBackgroundRoundness(0);
    for (const QColor &colour : colours) {
        auto *set = new QBarSet(QString());
        set->setColor(colour);
        set->setBorderColor(colour.darker(130));
        set->setLabelColor(Qt::black);
        m_bars->append(set);
        m_series.push_back({nullptr, QString(), set, {}, {}, {}});
    }
    chart->addSeries(m_bars);
    m_bars->setLabelsVisible(true);
    m_bars->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    m_bars->setLabelsFormat(QStringLiteral("@value"));
    QFont small = chart->legend()->font();
    small.setPixelSize(11);
    chart->legend()->setFont(small);
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    m_bars->attachAxis(m_axisX);
    m_bars->attachAxis(m_axisY);
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
    // The same title again changes nothing (and relays out no legend).
    if (m_series[size_t(series)].bars->label() != title)
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
    return int(m_series[size_t(series)].wanted.size());
}

double DBChart::barValue(int series, int bar) const
{
    return m_series[size_t(series)].wanted.at(bar);
}

void DBChart::refill(int series)
{
    Series &s = m_series[size_t(series)];
    s.wanted.clear();
    if (s.source && s.source->isOpen()) {
        const int field = s.source->fieldIndex(s.valueColumn);
        for (int row = 0; row < s.source->recordCount(); ++row)
            s.wanted.append(field >= 0 ? s.source->valueAt(row, field).toDouble() : 0.0);
    }
    if (!m_showPending) {
        m_showPending = true;
        QMetaObject::invokeMethod(this, &DBChart::showWanted, Qt::QueuedConnection);
    }
}

// Hands the wanted bars to the drawing, touching only what changed.
void DBChart::showWanted()
{
    m_showPending = false;
    bool changed = false;
    for (Series &s : m_series) {
        QList<qreal> shown;
        for (int i = 0; i < s.bars->count(); ++i)
            shown.append(s.bars->at(i));
        if (shown == s.wanted)
            continue;
        s.bars->remove(0, s.bars->count());
        s.bars->append(s.wanted);
        changed = true;
    }
    if (changed)
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
    const double from = low < 0 ? low - margin : 0, to = high > 0 ? high + margin : 0;
    if (from != m_rangeFrom || to != m_rangeTo) {
        m_rangeFrom = from;
        m_rangeTo = to;
        m_axisY->setRange(from, to);
        m_axisY->applyNiceNumbers();
    }
    if (bars != m_axisX->count()) {
        QStringList categories;
        for (int i = 0; i < bars; ++i)
            categories.append(QString(i + 1, QLatin1Char(' ')));
        m_axisX->setCategories(categories);
    }
}
