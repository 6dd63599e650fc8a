#include "DatePicker.h"

#include "CompactStyle.h"
#include "core/DateConventions.h"
#include "FocusedWheel.h"
#include "ToolkitLanguage.h"

#include <QKeyEvent>

DatePicker::DatePicker(QWidget *parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    useChineseWeeks(calendarWidget());
    useCompactStyle(this);
    takeWheelOnlyWithFocus(this);
    setDisplayFormat(DateConventions::system().shortFormat());
    setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    m_last = date();
    // Enter re-reads the text and reports the date again: only a new date counts.
    connect(this, &QDateEdit::dateChanged, this, [this](const QDate &now) {
        if (now == m_last)
            return;
        m_last = now;
        if (!m_quiet)
            emit userChanged();
    });
}

void DatePicker::setDateQuietly(const QDate &date)
{
    m_quiet = true;
    setDate(date);
    m_quiet = false;
}

void DatePicker::keyReleaseEvent(QKeyEvent *event)
{
    QDateEdit::keyReleaseEvent(event);
    emit keyReleased(event->key());
}

// Tab and Shift+Tab leave the picker for the next control of the tab order;
// the arrow keys and the mouse move between the year, month and day.
bool DatePicker::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}
