#pragma once

// What the chart has drawn, read back from its scene: the bars, the value
// written at each bar, the legend's texts, the axis texts and the title, each
// where it stands in the view (Qt Charts draws bars as rectangle items and
// every text as a text item). Tests judge readability on these, not on what
// the chart meant to draw.
#include "stats/DBChart.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QValueAxis>
#include <algorithm>
#include <vector>

struct DrawnChart
{
    struct Bar
    {
        int series;
        QRectF area;    // the filled rectangle; no height for a bar of nought
        QRectF outline; // with its border
        QRectF value;   // the value written at it, as drawn (turned upright)
        QString valueText;
        QFont valueFont;
    };
    struct Text
    {
        QRectF rect;
        QString text;
    };

    QRectF view;
    QRectF plot;
    Text title;
    std::vector<Bar> bars; // series by series, left to right
    std::vector<Text> legend; // left to right
    std::vector<Text> ticks;  // top to bottom
    double zeroY = 0;         // where the value 0 lies

    // Read once the chart has settled: its bars follow in the event after
    // their row set's, its layout in the event after a new value axis.
    explicit DrawnChart(DBChart *chart)
    {
        for (int pass = 0; pass < 3; ++pass)
            QCoreApplication::processEvents();
        QChart *c = chart->chart();
        view = chart->mapToScene(chart->viewport()->rect()).boundingRect();
        plot = c->plotArea();
        zeroY = c->mapToPosition(QPointF(0, 0), chart->barSeries(0)).y();
        const QList<QGraphicsItem *> items = chart->scene()->items();

        // A bar of nought is a rectangle of no height, which the chart hides.
        for (int s = 0; s < chart->seriesCount(); ++s) {
            const QColor colour = chart->barSeries(s)->barSets().value(0)->color();
            std::vector<Bar> ofSeries;
            for (QGraphicsItem *item : items) {
                auto *rect = qgraphicsitem_cast<QGraphicsRectItem *>(item);
                if (rect && rect->brush().color() == colour && !c->legend()->isAncestorOf(rect) && rect->rect().width() > 0)
                    ofSeries.push_back({s, rect->mapRectToScene(rect->rect()), rect->sceneBoundingRect(), {}, {}, {}});
            }
            std::sort(ofSeries.begin(), ofSeries.end(),
                      [](const Bar &a, const Bar &b) { return a.area.left() < b.area.left(); });
            bars.insert(bars.end(), ofSeries.begin(), ofSeries.end());
        }

        for (QGraphicsItem *item : items) {
            auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item);
            if (!text || !text->isVisible() || text->toPlainText().isEmpty())
                continue;
            const Text drawn{text->sceneBoundingRect(), text->toPlainText()};
            if (c->legend()->isAncestorOf(text)) {
                legend.push_back(drawn);
                continue;
            }
            if (drawn.text == c->title()) {
                title = drawn;
                continue;
            }
            // A value stands in its bar's own column.
            const auto bar = std::find_if(bars.begin(), bars.end(), [&](const Bar &b) {
                return b.valueText.isEmpty() && qAbs(drawn.rect.center().x() - b.area.center().x()) < b.area.width() / 2;
            });
            if (bar != bars.end()) {
                bar->value = drawn.rect;
                bar->valueText = drawn.text;
                bar->valueFont = text->font();
            } else {
                ticks.push_back(drawn);
            }
        }
        std::sort(legend.begin(), legend.end(), [](const Text &a, const Text &b) { return a.rect.left() < b.rect.left(); });
        std::sort(ticks.begin(), ticks.end(), [](const Text &a, const Text &b) { return a.rect.top() < b.rect.top(); });
    }

    std::vector<QString> legendTexts() const
    {
        std::vector<QString> texts;
        for (const Text &t : legend)
            texts.push_back(t.text);
        return texts;
    }
    std::vector<QString> tickTexts() const
    {
        std::vector<QString> texts;
        for (const Text &t : ticks)
            texts.push_back(t.text);
        return texts;
    }
};
