#pragma once

#include <QChartView>
#include <QPointer>
#include <vector>

class QBarSeries;
class QBarSet;
class QGraphicsTextItem;
class QValueAxis;
class Query;

// A bar chart whose series follow row sets: a series bound to a row set shows
// one bar per row, valued from its value column; it empties when the row set
// closes and fills again when the row set is opened or its rows change.
// The series hold their bars at once; the drawing follows once per event, so
// that a row set closed and reopened in one handler redraws nothing, and a
// refill that brings the same values touches nothing drawn.
//
// The look: the title at the top, the legend with the series titles at the
// bottom, a value axis that always holds zero with plain numbers, and each
// bar's value written upright above its own bar as money reads ("#,##0.###"
// of the value in cents; a bar of nought shows its 0), the axis leaving room
// above the bars for the longest of them.
class DBChart : public QChartView
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

    QString title() const;
    QString seriesTitle(int series) const;
    QColor seriesColour(int series) const;
    int barCount(int series) const;
    double barValue(int series, int bar) const;

    QBarSeries *barSeries(int series) const { return m_series[size_t(series)].bars; }
    QValueAxis *valueAxis() const { return m_axisY; }

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct Series
    {
        QPointer<Query> source;
        QString valueColumn;
        QBarSeries *bars = nullptr;
        QBarSet *set = nullptr;
        QList<qreal> wanted; // the bars the row set asks for
        std::vector<QGraphicsTextItem *> marks; // one per bar drawn, owned by the chart
        QMetaObject::Connection resetConnection;
        QMetaObject::Connection changeConnection;
    };

    void refill(int series);
    void showInLegend(const Series &s);
    void showWanted();
    void rescale();
    void placeMarks();
    QFont markFont() const; // of the values written at the bars
    void applyFonts();

    std::vector<Series> m_series;
    QValueAxis *m_axisX;
    QValueAxis *m_axisY;
    double m_groupShift = 0; // in categories, from the series' offsets
    bool m_showPending = false;
    bool m_placeMarksWhenShown = false; // rescaled while another tab was in front
};
