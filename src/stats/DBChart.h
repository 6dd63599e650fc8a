#pragma once

#include <QChartView>
#include <QPointer>
#include <vector>

class QBarSeries;
class QBarSet;
class QValueAxis;
class QBarCategoryAxis;
class Query;

// A bar chart whose series follow row sets: a series bound to a row set shows
// one bar per row, valued from its value column; it empties when the row set
// closes and fills again when the row set is opened or its rows change.
class DBChart : public QChartView
{
    Q_OBJECT
public:

    DBChart(const QString &title, const std::vector<QColor> &colours, QWidget *parent = nullptr);

    int seriesCount() const { return int(m_series.size()); }
    void setDataSource(int series, Query *query);
    void setSeriesTitle(int series, const QString &title);
    void setValueColumn(int series, const QString &field);

    QString seriesTitle(int series) const;
    int barCount(int series) const;
    double barValue(int series, int bar) const;

private:
    struct Series
    {
        QPointer<Query> source;
        QString valueColumn;
        QBarSet *bars = nullptr;
        QMetaObject::Connection resetConnection;
        QMetaObject::Connection changeConnection;
    };

    void refill(int series);
    void rescale();

    std::vector<Series> m_series;
    QBarSeries *m_bars;
    QValueAxis *m_axisY;
    QBarCategoryAxis *m_axisX;
};
