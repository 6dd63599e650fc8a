#include "DBChart.h"

#include "store/Query.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr double margin = 4;
constexpr double arrowLength = 20;
constexpr double marker = 10;

// A step of 1, 2 or 5 times a power of ten that cuts the range into about
// the given number of parts.
double niceStep(double range, int parts)
{
    const double raw = range / std::max(parts, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / magnitude;
    return (norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10) * magnitude;
}

// Axis texts carry only the decimals they need: 2000 and 0.5, not 2000.0 and 1.0.
QString tickText(double value, double step)
{
    const int decimals = step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    QString text = QString::number(std::abs(value) < step / 2 ? 0.0 : value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

QString valueText(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace

DBChart::DBChart(const QString &title, const std::vector<SeriesLook> &series, QWidget *parent)
    : QWidget(parent), m_title(title)
{
    for (const SeriesLook &look : series)
        m_series.push_back({look, nullptr, QString(), QString(), {}, {}, {}});
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
    if (m_series[size_t(series)].title == title)
        return;
    m_series[size_t(series)].title = title;
    update();
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
    return m_series[size_t(series)].title;
}

QColor DBChart::seriesColour(int series) const
{
    return m_series[size_t(series)].look.colour;
}

int DBChart::barCount(int series) const
{
    return int(m_series[size_t(series)].bars.size());
}

double DBChart::barValue(int series, int bar) const
{
    return m_series[size_t(series)].bars.at(bar);
}

void DBChart::refill(int series)
{
    Series &s = m_series[size_t(series)];
    s.bars.clear();
    if (s.source && s.source->isOpen()) {
        const int field = s.source->fieldIndex(s.valueColumn);
        for (int row = 0; row < s.source->recordCount(); ++row)
            s.bars.append(field >= 0 ? s.source->valueAt(row, field).toDouble() : 0.0);
    }
    update(); // drawn once the handler that changed the row set is done
}

QFont DBChart::smallFont() const
{
    QFont small = font();
    small.setPixelSize(12);
    return small;
}

DBChart::Layout DBChart::chartLayout() const
{
    Layout l;
    const QRectF area = QRectF(rect()).adjusted(margin, margin, -margin, -margin);
    const QFontMetricsF big(font()), small(smallFont());

    l.titleRect = QRectF(area.left(), area.top(), area.width(), big.height());

    // The legend flows into as many rows as its titles need.
    const double rowHeight = std::max(small.height(), marker), spacing = 12;
    std::vector<std::vector<int>> rows(1);
    std::vector<double> widths, rowWidths(1, 0.0);
    for (int i = 0; i < seriesCount(); ++i) {
        const QString &title = m_series[size_t(i)].title;
        widths.push_back(marker + 4 + small.horizontalAdvance(title));
        if (title.isEmpty())
            continue;
        const double needed = rowWidths.back() + (rows.back().empty() ? 0 : spacing) + widths.back();
        if (!rows.back().empty() && needed > area.width()) {
            rows.emplace_back();
            rowWidths.push_back(0);
        }
        rowWidths.back() += (rows.back().empty() ? 0 : spacing) + widths.back();
        rows.back().push_back(i);
    }
    const bool hasLegend = !rows.front().empty();
    const double legendTop = area.bottom() - (hasLegend ? rows.size() * rowHeight : 0);
    for (size_t r = 0; hasLegend && r < rows.size(); ++r) {
        double x = area.center().x() - rowWidths[r] / 2;
        for (int i : rows[r]) {
            l.legend.emplace_back(x, legendTop + r * rowHeight, widths[size_t(i)], rowHeight);
            l.legendTexts.push_back(m_series[size_t(i)].title);
            x += widths[size_t(i)] + spacing;
        }
    }

    // The value axis holds zero and every bar.
    double low = 0, high = 0;
    int groups = 0;
    for (const Series &s : m_series) {
        groups = std::max(groups, int(s.bars.size()));
        for (double v : s.bars) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (low == high)
        high = low + 1;
    const double plotTop = l.titleRect.bottom() + margin;
    const double plotBottom = legendTop - (hasLegend ? margin : 0);
    const double step = niceStep(high - low, std::max(2, int((plotBottom - plotTop) / 40)));
    const double lowTick = std::floor(low / step) * step, highTick = std::ceil(high / step) * step;
    double axisWidth = 0;
    for (double t = lowTick; t <= highTick + step / 2; t += step) {
        l.ticks.push_back(t);
        l.tickTexts.push_back(tickText(t, step));
        axisWidth = std::max(axisWidth, small.horizontalAdvance(l.tickTexts.back()));
    }
    l.plot = QRectF(QPointF(area.left() + axisWidth + 6, plotTop), QPointF(area.right(), plotBottom));

    // Bars side by side in each group, each moved by its offset.
    std::vector<double> centres;
    for (int k = 0; k < seriesCount(); ++k)
        centres.push_back(k - (seriesCount() - 1) / 2.0 + m_series[size_t(k)].look.offsetPercent / 100.0);
    const double first = centres.empty() ? 0 : *std::min_element(centres.begin(), centres.end()) - 0.5;
    const double last = centres.empty() ? 0 : *std::max_element(centres.begin(), centres.end()) + 0.5;
    const double groupWidth = l.plot.width() / std::max(groups, 1);
    const double barWidth = groupWidth * 0.8 / std::max(last - first, 1.0);
    const double arrow = std::min(arrowLength, l.plot.height() / 8);

    // Room above and below the bars grows until every value fits in the plot.
    double roomAbove = high > 0 ? arrow + small.height() : 0, roomBelow = low < 0 ? arrow + small.height() : 0;
    if (roomAbove + roomBelow > l.plot.height() * 2 / 3)
        roomAbove = roomBelow = 0;
    for (int pass = 0; pass < 8; ++pass) {
        const double innerTop = l.plot.top() + roomAbove, innerBottom = l.plot.bottom() - roomBelow;
        const double scale = (innerBottom - innerTop) / (highTick - lowTick);
        const auto y = [&](double v) { return innerTop + (highTick - v) * scale; };
        l.zeroY = y(0);
        l.bars.clear();
        l.valueTexts.clear();
        std::vector<double> barValues;
        for (int k = 0; k < seriesCount(); ++k)
            for (int g = 0; g < int(m_series[size_t(k)].bars.size()); ++g) {
                const double v = m_series[size_t(k)].bars[g];
                const double x = l.plot.left() + groupWidth * (g + 0.5) + (centres[size_t(k)] - (first + last) / 2) * barWidth;
                l.bars.push_back(QRectF(QPointF(x - barWidth / 2, std::min(y(v), l.zeroY)),
                                        QPointF(x + barWidth / 2, std::max(y(v), l.zeroY))));
                barValues.push_back(v);
                l.valueTexts.push_back(valueText(v));
            }
        l.tickRects.clear();
        for (double t : l.ticks)
            l.tickRects.emplace_back(area.left(), y(t) - small.height() / 2, axisWidth, small.height());

        // The most extreme bars keep their values nearest; the others rise
        // (or, below zero, sink) past whatever they would touch.
        std::vector<size_t> order(l.bars.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return std::abs(barValues[a]) > std::abs(barValues[b]);
        });
        l.values.assign(l.bars.size(), QRectF());
        std::vector<QRectF> placed;
        for (size_t i : order) {
            const bool below = barValues[i] < 0;
            const QSizeF size(small.horizontalAdvance(l.valueTexts[i]) + 6, small.height());
            const QRectF &bar = l.bars[i];
            QRectF label(QPointF(bar.center().x() - size.width() / 2,
                                 below ? bar.bottom() + arrow : bar.top() - arrow - size.height()),
                         size);
            label.moveLeft(std::clamp(label.left(), 0.0, std::max(0.0, width() - label.width())));
            for (bool moved = true; moved;) {
                moved = false;
                for (const std::vector<QRectF> *obstacles : {&placed, &l.bars})
                    for (const QRectF &o : *obstacles)
                        if (label.intersects(o)) {
                            below ? label.moveTop(o.bottom() + 1) : label.moveBottom(o.top() - 1);
                            moved = true;
                        }
            }
            l.values[i] = label;
            placed.push_back(label);
        }
        double missingAbove = 0, missingBelow = 0;
        for (const QRectF &label : l.values) {
            missingAbove = std::max(missingAbove, l.plot.top() - label.top());
            missingBelow = std::max(missingBelow, label.bottom() - l.plot.bottom());
        }
        if (missingAbove < 0.5 && missingBelow < 0.5)
            break;
        // A chart too small for its values keeps a third of its height for the bars.
        const double spare = l.plot.height() * 2 / 3 - roomAbove - roomBelow;
        if (spare <= 0)
            break;
        const double wanted = std::max(0.0, missingAbove) + std::max(0.0, missingBelow);
        const double share = std::min(1.0, spare / wanted);
        roomAbove += std::max(0.0, missingAbove) * share;
        roomBelow += std::max(0.0, missingBelow) * share;
    }
    return l;
}

void DBChart::paintEvent(QPaintEvent *)
{
    const Layout l = chartLayout();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette().color(QPalette::WindowText);

    painter.setPen(text);
    painter.drawText(l.titleRect, Qt::AlignCenter, m_title);

    painter.setFont(smallFont());
    for (size_t i = 0; i < l.ticks.size(); ++i) {
        const double y = l.tickRects[i].center().y();
        painter.setPen(QColor(220, 220, 220));
        painter.drawLine(QPointF(l.plot.left(), y), QPointF(l.plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(l.tickRects[i], Qt::AlignRight | Qt::AlignVCenter, l.tickTexts[i]);
    }
    painter.setPen(Qt::black);
    painter.drawLine(QPointF(l.plot.left(), l.plot.top()), QPointF(l.plot.left(), l.plot.bottom()));
    painter.drawLine(QPointF(l.plot.left(), l.zeroY), QPointF(l.plot.right(), l.zeroY));

    size_t bar = 0;
    for (const Series &s : m_series)
        for (int g = 0; g < int(s.bars.size()); ++g, ++bar) {
            painter.setPen(s.look.colour.darker(130));
            painter.setBrush(s.look.colour);
            painter.drawRect(l.bars[bar]);
        }
    for (size_t i = 0; i < l.values.size(); ++i) {
        const QRectF &label = l.values[i];
        const bool below = label.top() > l.bars[i].bottom();
        painter.setPen(Qt::gray);
        painter.drawLine(QPointF(l.bars[i].center().x(), below ? l.bars[i].bottom() : l.bars[i].top()),
                         QPointF(label.center().x(), below ? label.top() : label.bottom()));
        painter.setBrush(QColor(255, 255, 225));
        painter.drawRect(label);
        painter.setPen(Qt::black);
        painter.drawText(label, Qt::AlignCenter, l.valueTexts[i]);
    }

    size_t entry = 0;
    for (const Series &s : m_series) {
        if (s.title.isEmpty())
            continue;
        const QRectF &r = l.legend[entry++];
        painter.setPen(s.look.colour.darker(130));
        painter.setBrush(s.look.colour);
        painter.drawRect(QRectF(r.left(), r.center().y() - marker / 2, marker, marker));
        painter.setPen(text);
        painter.drawText(r.adjusted(marker + 4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, s.title);
    }
}
