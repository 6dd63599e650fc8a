#include "DBChart.h"

#include "core/NumberPatterns.h"
#include "store/Query.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr int smallPixels = 12;
// Room a value needs above its bar besides its own text: the label's frame
// and its distance from the bar.
constexpr double labelSpacing = 12;
// The bars keep at least a third of the plot's height, however long their values.
constexpr double mostForLabels = 2.0 / 3;
constexpr double pixelsPerTick = 40;

// A step of 1, 2 or 5 times a power of ten that cuts the range into about
// the given number of parts.
double niceStep(double range, int parts)
{
    const double raw = range / std::max(parts, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / magnitude;
    return (norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10) * magnitude;
}

// How far a mark stands above its bar.
constexpr double markGap = 3;
// Marks stand above the bars and the axes' lines.
constexpr double markZ = 20;

} // namespace

DBChart::DBChart(const QString &title, const std::vector<SeriesLook> &series, QWidget *parent)
    // The view is built on our chart: the default one that QChartView makes
    // for itself would never be freed once replaced.
    : QChartView(new QChart, parent), m_axisX(new QValueAxis), m_axisY(new QValueAxis)
{
    QChart *chart = this->chart();
    chart->setTitle(title);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    // Several bar series stand side by side in each category, each in an equal
    // slot with its bar centred. Offsets that grow evenly from one series to
    // the next are such a layout: the step between neighbours is the gap
    // (which fixes the bars' share of their slots) and the mean offset moves
    // the whole group, which the horizontal axis's range does.
    const int n = int(series.size());
    const double gap = n > 1 ? (series.back().offsetPercent - series.front().offsetPercent) / 100.0 / (n - 1) : 1;
    const double slotShare = 1 / (1 + std::max(gap, 0.0));
    const double meanOffset = n > 0 ? std::accumulate(series.begin(), series.end(), 0.0,
                                                      [](double sum, const SeriesLook &l) { return sum + l.offsetPercent; })
                                          / 100.0 / n
                                    : 0;
    m_groupShift = meanOffset * slotShare / std::max(n, 1);
    for (const SeriesLook &look : series) {
        auto *bars = new QBarSeries;
        auto *set = new QBarSet(QString());
        set->setColor(look.colour);
        set->setBorderColor(look.colour.darker(130));
        bars->append(set);
        bars->setBarWidth(slotShare);
        chart->addSeries(bars);
        bars->attachAxis(m_axisX);
        bars->attachAxis(m_axisY);
        m_series.push_back({nullptr, QString(), bars, set, {}, {}, {}, {}});
        showInLegend(m_series.back()); // untitled, it stays out until the run names it
    }
    // The categories carry no names: the bars' positions are all there is to this axis.
    m_axisX->setVisible(false);
    m_axisY->setLabelFormat(QStringLiteral("%.10g")); // 2000 and 0.5, not 2000.0 and 0.50
    setRenderHint(QPainter::Antialiasing);
    // One rectangle around what changed: a new period moves every bar, value
    // and axis text, and drawing through a clip of many small pieces cost more
    // than drawing the whole of their span.
    setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
    setFrameShape(QFrame::NoFrame);
    applyFonts(); // which gives the axis its first range and step
    // Ticks at whole steps from zero, so that zero always carries one.
    m_axisY->setTickAnchor(0);
    m_axisY->setTickType(QValueAxis::TicksDynamic);
    connect(chart, &QChart::plotAreaChanged, this, &DBChart::rescale);
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
    // The same title again changes nothing (and lays out no legend).
    Series &s = m_series[size_t(series)];
    if (s.set->label() == title)
        return;
    s.set->setLabel(title);
    showInLegend(s);
}

void DBChart::setValueColumn(int series, const QString &field)
{
    Series &s = m_series[size_t(series)];
    if (s.valueColumn == field)
        return;
    s.valueColumn = field;
    refill(series);
}

QString DBChart::title() const
{
    return chart()->title();
}

QString DBChart::seriesTitle(int series) const
{
    return m_series[size_t(series)].set->label();
}

QColor DBChart::seriesColour(int series) const
{
    return m_series[size_t(series)].set->color();
}

int DBChart::barCount(int series) const
{
    return int(m_series[size_t(series)].wanted.size());
}

double DBChart::barValue(int series, int bar) const
{
    return m_series[size_t(series)].wanted.at(bar);
}

void DBChart::changeEvent(QEvent *event)
{
    QChartView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        applyFonts();
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

void DBChart::showInLegend(const Series &s)
{
    for (QLegendMarker *marker : chart()->legend()->markers(s.bars))
        marker->setVisible(!s.set->label().isEmpty());
}

// Hands the wanted bars to the drawing, touching only what changed.
void DBChart::showWanted()
{
    m_showPending = false;
    bool changed = false;
    for (Series &s : m_series) {
        QList<qreal> shown;
        for (int i = 0; i < s.set->count(); ++i)
            shown.append(s.set->at(i));
        if (shown == s.wanted)
            continue;
        if (shown.size() == s.wanted.size()) {
            for (int i = 0; i < shown.size(); ++i)
                if (shown[i] != s.wanted[i])
                    s.set->replace(i, s.wanted[i]);
        } else {
            s.set->remove(0, s.set->count());
            s.set->append(s.wanted);
        }
        changed = true;
    }
    if (changed)
        rescale();
}

// The value axis always holds zero, so that a negative bar hangs below it,
// and reaches far enough above the bars for each bar's value to stand
// inside the plot (outside it, the value would be cut off).
void DBChart::rescale()
{
    struct Label
    {
        double base;   // where the value stands on: the bar's top, or zero below it
        double height; // its share of the plot's height
    };
    const double plotHeight = chart()->plotArea().height();
    std::vector<Label> labels;
    double low = 0, high = 0;
    int categories = 1;
    for (const Series &s : m_series) {
        categories = std::max(categories, int(s.set->count()));
        const QFontMetricsF metrics(markFont());
        for (int i = 0; i < s.set->count(); ++i) {
            const double v = s.set->at(i);
            low = std::min(low, v);
            high = std::max(high, v);
            if (plotHeight > 0)
                labels.push_back({std::max(v, 0.0),
                                  std::min(mostForLabels, (metrics.horizontalAdvance(chartMark(v)) + labelSpacing) / plotHeight)});
        }
    }
    // The top that leaves each value its share of the range above its base.
    double top = high;
    for (const Label &l : labels)
        top = std::max(top, (l.base - l.height * low) / (1 - l.height));
    if (top == low)
        top = low + 1;
    const double step = niceStep(top - low, std::max(2, int(plotHeight / pixelsPerTick)));
    const double from = std::floor(low / step) * step;
    double to = std::ceil(top / step) * step;
    const auto fits = [&] {
        return std::all_of(labels.begin(), labels.end(),
                           [&](const Label &l) { return to - l.base >= l.height * (to - from) * (1 - 1e-9); });
    };
    for (int extra = 0; extra < 100 && !fits(); ++extra)
        to += step;

    // The axis draws a tick at every step across its range: the new step
    // with the old range, or the new range with the old step, must never ask
    // for more ticks than either scale alone (a million would hang the drawing).
    const bool coarser = step > m_axisY->tickInterval();
    if (coarser)
        m_axisY->setTickInterval(step);
    if (m_axisY->min() != from || m_axisY->max() != to)
        m_axisY->setRange(from, to);
    if (!coarser && m_axisY->tickInterval() != step)
        m_axisY->setTickInterval(step);
    const double left = -0.5 - m_groupShift, right = categories - 0.5 - m_groupShift;
    if (m_axisX->min() != left || m_axisX->max() != right)
        m_axisX->setRange(left, right);
    // The marks are laid out text: a chart behind another tab (the lists
    // refresh it too) places them once it shows.
    if (isVisible())
        placeMarks();
    else
        m_placeMarksWhenShown = true;
}

void DBChart::showEvent(QShowEvent *event)
{
    QChartView::showEvent(event);
    if (m_placeMarksWhenShown) {
        m_placeMarksWhenShown = false;
        placeMarks();
    }
}

// One mark per bar, its value written upright in the bar's own column (so
// that it never reaches into a neighbour's) just above the bar, or above the
// zero line where the bar hangs below it or has no height.
void DBChart::placeMarks()
{
    QChart *chart = this->chart();
    const int count = seriesCount();
    for (int index = 0; index < count; ++index) {
        Series &s = m_series[size_t(index)];
        while (qsizetype(s.marks.size()) > s.set->count()) {
            delete s.marks.back();
            s.marks.pop_back();
        }
        while (qsizetype(s.marks.size()) < s.set->count()) {
            auto *mark = new QGraphicsTextItem(chart);
            mark->setZValue(markZ);
            mark->setRotation(-90);
            mark->setFont(markFont());
            mark->setDefaultTextColor(Qt::black);
            s.marks.push_back(mark);
        }
        // Bar series share each category in equal slots, in the order they were added.
        const double slotCentre = (index + 0.5) / count - 0.5;
        for (int bar = 0; bar < s.set->count(); ++bar) {
            QGraphicsTextItem *mark = s.marks[size_t(bar)];
            const double value = s.set->at(bar);
            const QString text = chartMark(value);
            if (mark->toPlainText() != text)
                mark->setPlainText(text);
            const QRectF box = mark->boundingRect(); // turned upright about its centre
            mark->setTransformOriginPoint(box.center());
            const QPointF base = chart->mapToPosition(QPointF(bar + slotCentre, std::max(value, 0.0)), s.bars);
            const QPointF centre(base.x(), base.y() - markGap - box.width() / 2);
            mark->setPos(centre - box.center());
        }
    }
}

QFont DBChart::markFont() const
{
    QFont small = font();
    small.setPixelSize(smallPixels);
    return small;
}

// The title in the window's font and colour; the legend, the axis and the
// values in a smaller size of it.
void DBChart::applyFonts()
{
    QChart *chart = this->chart();
    const QColor text = palette().color(QPalette::WindowText);
    const QFont small = markFont();
    chart->setTitleFont(font());
    chart->setTitleBrush(text);
    chart->legend()->setFont(small);
    chart->legend()->setLabelColor(text);
    m_axisY->setLabelsFont(small);
    for (Series &s : m_series)
        for (QGraphicsTextItem *mark : s.marks)
            mark->setFont(small);
    rescale();
}
