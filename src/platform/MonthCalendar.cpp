#include "MonthCalendar.h"

#include "core/Error.h"
#include "ToolkitLanguage.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

MonthCalendar::MonthCalendar(QWidget *parent) : QCalendarWidget(parent), m_heading(new QLabel(this))
{
    useChineseWeeks(this);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setNavigationBarVisible(false);
    setGridVisible(false);
    setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    // Six weeks and the day names share whatever height the calendar gets.
    if (auto *view = findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview"))) {
        view->verticalHeader()->setMinimumSectionSize(1);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        view->horizontalHeader()->setMinimumSectionSize(1);
        view->setMinimumSize(0, 0);
    }
    setMinimumSize(0, 0);
    m_heading->setObjectName(QStringLiteral("heading"));
    m_heading->setAlignment(Qt::AlignCenter);
    m_heading->setBackgroundRole(QPalette::Base); // one face with the grid of days
    m_heading->setAutoFillBackground(true);
    connect(this, &QCalendarWidget::currentPageChanged, this, [this] {
        m_heading->setText(heading());
    });
    m_heading->setText(heading());
    layOutHeading();
    connect(this, &QCalendarWidget::selectionChanged, this, &MonthCalendar::changed);
}

QString MonthCalendar::heading() const
{
    return QStringLiteral("%1年\n%2月").arg(yearShown()).arg(monthShown());
}

// The heading takes a column at the left, in a larger cut of the calendar's font.
void MonthCalendar::layOutHeading()
{
    QFont font = this->font();
    if (font.pixelSize() > 0)
        font.setPixelSize(font.pixelSize() * 3 / 2);
    else
        font.setPointSizeF(font.pointSizeF() * 1.5);
    m_heading->setFont(font);
    const int width = QFontMetrics(font).horizontalAdvance(QStringLiteral("0000年")) + 8;
    setContentsMargins(width, 0, 0, 0);
    m_heading->setGeometry(0, 0, width, height());
}

void MonthCalendar::changeEvent(QEvent *event)
{
    QCalendarWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        layOutHeading();
}

// Too narrow for its days, the calendar shows nothing rather than days drawn
// over one another.
void MonthCalendar::resizeEvent(QResizeEvent *event)
{
    QCalendarWidget::resizeEvent(event);
    m_heading->setGeometry(0, 0, contentsMargins().left(), height());
    const bool roomForDays = width() >= minimumSizeHint().width();
    m_heading->setVisible(roomForDays);
    if (auto *days = findChild<QTableView *>(QStringLiteral("qt_calendar_calendarview")))
        days->setVisible(roomForDays);
}

void MonthCalendar::checkHolds(int year, int month, int day)
{
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        throw Error(QStringLiteral("Invalid argument to date encode"));
}

void MonthCalendar::moveTo(int year, int month, int day)
{
    checkHolds(year, month, day);
    const QDate date(year, month, day);
    setSelectedDate(date);
    setCurrentPage(year, month);
}

void MonthCalendar::setYear(int value)
{
    if (value < 1 || value == year())
        return;
    moveTo(value, month(), day());
}

void MonthCalendar::setMonth(int value)
{
    if (value < 1 || value > 12 || value == month())
        return;
    moveTo(year(), value, day());
}

void MonthCalendar::setDay(int value)
{
    if (value < 1 || value > selectedDate().daysInMonth() || value == day())
        return;
    moveTo(year(), month(), value);
}
