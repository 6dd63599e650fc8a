#pragma once

#include <QColor>
#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <vector>

class Query;

// A bar chart whose series follow row sets: a series bound to a row set shows
// one bar per row, valued from its value column; it empties when the row set
// closes and fills again when the row set is opened or its rows change.
// The series hold their bars at once; the drawing follows once per event, so
// that a row set closed and reopened in one handler draws nothing in between.
//
// The drawing: the title at the top, the legend with the series titles at the
// bottom (wrapping rather than cutting a title), a value axis that always
// holds zero, and each bar's value above it (below a negative bar), raised
// until it touches neither another value nor another bar.
class DBChart : public QWidget
{
    Q_OBJECT
public:
    // How one series looks: its colour and how far its bars are moved
    // sideways, in percent of a bar's width.
    struct SeriesLook
    {
        QColor colour;
        int offsetPercent;
    };

    DBChart(const QString &title, const std::vector<SeriesLook> &series, QWidget *parent = nullptr);

    int seriesCount() const { return int(m_series.size()); }
    void setDataSource(int series, Query *query);
    void setSeriesTitle(int series, const QString &title);
    void setValueColumn(int series, const QString &field);

    QString title() const { return m_title; }
    QString seriesTitle(int series) const;
    QColor seriesColour(int series) const;
    int barCount(int series) const;
    double barValue(int series, int bar) const;

    // Where the parts are drawn at the chart's present size.
    struct Layout
    {
        QRectF titleRect;
        QRectF plot;
        std::vector<QRectF> bars;       // series by series, bar by bar
        std::vector<QRectF> values;     // the value of each bar, in the same order
        std::vector<QString> valueTexts;
        std::vector<QRectF> legend;     // marker and title of each titled series
        std::vector<QString> legendTexts;
        std::vector<double> ticks;
        std::vector<QString> tickTexts;
        std::vector<QRectF> tickRects;
        double zeroY = 0;
    };
    Layout chartLayout() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Series
    {
        SeriesLook look;
        QPointer<Query> source;
        QString valueColumn;
        QString title;
        QList<double> bars;
        QMetaObject::Connection resetConnection;
        QMetaObject::Connection changeConnection;
    };

    void refill(int series);
    QFont smallFont() const;

    QString m_title;
    std::vector<Series> m_series;
};
