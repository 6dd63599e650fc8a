#include "DateSelector.h"

#include "core/DateConventions.h"
#include "platform/DatePicker.h"
#include "platform/ErrorReport.h"
#include "platform/MonthCalendar.h"
#include "platform/SelectorBox.h"

#include <QRadioButton>

DateSelector::DateSelector(DateSelectorControls controls) : m_c(std::move(controls))
{
}

void DateSelector::connectControls(QObject *context)
{
    const PeriodControls &p = m_c.period;
    QObject::connect(p.year, &SelectorBox::changed, context, [this] { yearBoxChanged(); });
    QObject::connect(p.year, &SelectorBox::selected, context, [this] { yearBoxChanged(); });
    QObject::connect(p.month, &SelectorBox::changed, context, [this] { monthBoxChanged(); });
    QObject::connect(p.month, &SelectorBox::selected, context, [this] { monthBoxChanged(); });
    QObject::connect(p.day, &SelectorBox::changed, context, [this] { dayBoxTyped(); });
    QObject::connect(p.day, &SelectorBox::selected, context, [this] { dayBoxPicked(); });
    QObject::connect(m_c.calendar, &MonthCalendar::changed, context, [this] { calendarChanged(); });
    for (QRadioButton *range : {p.yearMode, p.monthMode, p.dayMode, p.customMode})
        QObject::connect(range, &QRadioButton::toggled, context, [this, range](bool on) {
            if (on)
                runUnguarded([&] { rangeChosen(range == m_c.period.customMode); });
        });
    for (DatePicker *picker : {p.start, p.end}) {
        QObject::connect(picker, &DatePicker::userChanged, context, [this] { runUnguarded([&] { pickerChanged(); }); });
        QObject::connect(picker, &DatePicker::keyReleased, context, [this, picker](int key) {
            runUnguarded([&] { pickerKeyReleased(picker == m_c.period.start ? 1 : 2, key); });
        });
    }
}

bool DateSelector::holdsFocus(const QWidget *control)
{
    // The window's focus widget, so that the test also holds while the
    // window is being shown and is not yet active.
    const QWidget *focus = control->window()->focusWidget();
    return focus && (focus == control || control->isAncestorOf(focus));
}

QChar DateSelector::boxKeyFilter(QChar typed)
{
    return typed == QChar(8) || (typed >= QLatin1Char('0') && typed <= QLatin1Char('9')) ? typed : QChar();
}

void DateSelector::guarded(const QWidget *control, const std::function<void()> &steps)
{
    if (holdsFocus(control))
        runGuarded(m_c.statusBar, steps);
}

// With the day at 1 first, no step on the way can name an impossible day.
void DateSelector::calendarFromBoxes()
{
    m_c.calendar->setDay(1);
    m_c.calendar->setYear(textToInt(m_c.period.year->text()));
    m_c.calendar->setMonth(textToInt(m_c.period.month->text()));
    m_c.calendar->setDay(textToInt(m_c.period.day->text()));
}

void DateSelector::todayClicked()
{
    guarded(m_c.today, [this] {
        const QDate today = QDate::currentDate();
        m_c.period.year->setText(today.toString(QStringLiteral("yyyy")));
        m_c.period.month->setText(today.toString(QStringLiteral("MM")));
        m_c.period.day->setText(today.toString(QStringLiteral("dd")));
        calendarFromBoxes();
        m_c.refreshChain();
    });
}

void DateSelector::monthClicked(int step)
{
    guarded(step < 0 ? m_c.previousMonth : m_c.nextMonth, [this, step] {
        m_c.period.day->setText(QStringLiteral("01"));
        const QString first = m_c.period.year->text() + QLatin1Char('-') + m_c.period.month->text() + QStringLiteral("-01");
        const QDate moved = DateConventions::system().toDate(first).addMonths(step);
        // Past the calendar's first or last month the boxes would get a year
        // ("-0001", "10000") that the calendar cannot follow.
        MonthCalendar::checkHolds(moved.year(), moved.month(), moved.day());
        m_c.period.year->setText(moved.toString(QStringLiteral("yyyy")));
        m_c.period.month->setText(moved.toString(QStringLiteral("MM")));
        calendarFromBoxes();
        m_c.refreshChain();
    });
}

void DateSelector::yearBoxChanged()
{
    guarded(m_c.period.year, [this] {
        m_c.calendar->setYear(textToInt(m_c.period.year->text()));
        m_c.refreshChain();
    });
}

void DateSelector::monthBoxChanged()
{
    guarded(m_c.period.month, [this] {
        m_c.period.day->setText(QStringLiteral("01"));
        const int month = textToInt(m_c.period.month->text());
        m_c.calendar->setDay(1);
        m_c.calendar->setMonth(month);
        m_c.refreshChain();
    });
}

void DateSelector::dayBoxTyped()
{
    if (!holdsFocus(m_c.period.day))
        return;
    runGuarded(m_c.statusBar, [this] {
        try {
            m_c.calendar->setDay(textToInt(m_c.period.day->text()));
            m_c.refreshChain();
        } catch (...) {
            // A typing error puts the first of the month back.
            m_c.period.day->setText(QStringLiteral("01"));
            m_c.calendar->setDay(1);
            throw;
        }
    });
}

void DateSelector::dayBoxPicked()
{
    guarded(m_c.period.day, [this] {
        m_c.calendar->setDay(textToInt(m_c.period.day->text()));
        m_c.refreshChain();
    });
}

void DateSelector::calendarChanged()
{
    guarded(m_c.calendar, [this] {
        m_c.period.year->setText(QString::number(m_c.calendar->year()));
        m_c.period.month->setText(QString::number(m_c.calendar->month()));
        m_c.period.day->setText(QString::number(m_c.calendar->day()));
        m_c.refreshChain();
    });
}

void DateSelector::rangeChosen(bool custom)
{
    if (custom)
        m_c.period.start->setFocus();
    m_c.refreshChain();
}

// Checking the custom range runs its own action when it was not checked yet.
void DateSelector::checkCustomRange()
{
    m_c.period.customMode->setChecked(true);
}

void DateSelector::pickerChanged()
{
    checkCustomRange();
    m_c.refreshChain();
}

void DateSelector::pickerKeyReleased(int picker, int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    checkCustomRange();
    if (picker == 1)
        m_c.period.end->setFocus();
    else
        m_c.period.customMode->setFocus();
    m_c.refreshChain();
}
