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
// The series hold their bars at once; the drawing follows once per event, so
// that a row set closed and reopened in one handler redraws nothing.
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
        QList<qreal> wanted; // the bars the row set asks for
        QMetaObject::Connection resetConnection;
        QMetaObject::Connection changeConnection;
    };

    void refill(int series);
    void showWanted();
    void rescale();

    std::vector<Series> m_series;
    QBarSeries *m_bars;
    QValueAxis *m_axisY;
    QBarCategoryAxis *m_axisX;
    bool m_showPending = false;
    double m_rangeFrom = 0;
    double m_rangeTo = -1;
};
