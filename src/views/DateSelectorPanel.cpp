#include "DateSelectorPanel.h"

#include "DateSelector.h"
#include "platform/CompactStyle.h"
#include "platform/DatePicker.h"
#include "platform/Fonts.h"
#include "platform/MonthCalendar.h"
#include "platform/ObjectName.h"
#include "platform/SelectorBox.h"

#include <QBoxLayout>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

// A label one text line high (19 pixels, as the range buttons), reaching to
// the next control: an unsized label would stand 30 pixels high and centre its
// text onto the group's lower frame line.
QLabel *labelAt(QWidget *parent, const QString &text, int x, int y, int width)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, width, 19);
    return label;
}

SelectorBox *selectorBox(QWidget *parent, const char *name, int first, int last, bool twoDigits, const QString &text)
{
    auto *box = named(new SelectorBox(parent), name);
    for (int i = first; i <= last; ++i)
        box->addItem(twoDigits ? QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')) : QString::number(i));
    box->setText(text);
    box->setKeyFilter(&DateSelector::boxKeyFilter);
    return box;
}

} // namespace

DateSelectorWidgets buildDateSelector(QWidget *strip, QBoxLayout *row)
{
    DateSelectorWidgets w{};
    w.dateGroup = named(new QGroupBox(QStringLiteral("  日期  "), strip), "GroupBox2");
    w.dateGroup->setFixedWidth(240);
    w.period.year = selectorBox(w.dateGroup, "ComboBox1", 2005, 2010, false, QStringLiteral("2006"));
    w.period.month = selectorBox(w.dateGroup, "ComboBox2", 1, 12, true, QStringLiteral("01"));
    w.period.day = selectorBox(w.dateGroup, "ComboBox3", 1, 31, true, QStringLiteral("01"));
    const struct
    {
        SelectorBox *box;
        int x;
        const char *label;
    } boxes[] = {{w.period.year, 17, "年 "}, {w.period.month, 89, "月 "}, {w.period.day, 161, "日"}};
    for (const auto &b : boxes) {
        b.box->setGeometry(b.x, 21, 55, 24);
        labelAt(w.dateGroup, QString::fromUtf8(b.label), b.x + 56, 24, 16);
    }
    w.previousMonth = named(new QPushButton(QStringLiteral("上月"), w.dateGroup), "Button1");
    w.nextMonth = named(new QPushButton(QStringLiteral("下月"), w.dateGroup), "Button2");
    w.today = named(new QPushButton(QStringLiteral("今天"), w.dateGroup), "Button3");
    w.previousMonth->setGeometry(15, 51, 55, 25);
    w.nextMonth->setGeometry(88, 51, 55, 25);
    w.today->setGeometry(162, 51, 55, 25);
    row->addWidget(w.dateGroup);

    w.rangeGroup = named(new QGroupBox(QStringLiteral(" 范围  "), strip), "GroupBox1");
    w.rangeGroup->setFixedWidth(216);
    w.period.yearMode = named(new QRadioButton(QStringLiteral("年"), w.rangeGroup), "RadioButton1");
    w.period.monthMode = named(new QRadioButton(QStringLiteral("月"), w.rangeGroup), "RadioButton2");
    w.period.dayMode = named(new QRadioButton(QStringLiteral("日"), w.rangeGroup), "RadioButton3");
    w.period.customMode = named(new QRadioButton(QStringLiteral("指定范围    "), w.rangeGroup), "RadioButton4");
    w.period.yearMode->move(19, 18);
    w.period.monthMode->move(19, 41);
    w.period.dayMode->move(19, 64);
    // Radio buttons no taller than their text keep "指定范围    " clear of the
    // start picker below it; each reaches to the next column or the edge.
    for (QRadioButton *mode : {w.period.yearMode, w.period.monthMode, w.period.dayMode})
        mode->resize(50, 19);
    w.period.customMode->resize(216 - 69 - 6, 19);
    w.period.customMode->move(69, 18);
    w.period.dayMode->setChecked(true);
    labelAt(w.rangeGroup, QStringLiteral("始 "), 74, 41, 27);
    labelAt(w.rangeGroup, QStringLiteral("止 "), 74, 64, 27);
    w.period.start = named(new DatePicker(w.rangeGroup), "DateTimePicker1");
    w.period.end = named(new DatePicker(w.rangeGroup), "DateTimePicker2");
    w.period.start->setGeometry(101, 37, 105, 22);
    w.period.end->setGeometry(101, 60, 105, 22);
    row->addWidget(w.rangeGroup);
    for (QGroupBox *group : {w.dateGroup, w.rangeGroup})
        useCompactStyle(group);

    w.calendar = named(new MonthCalendar(strip), "Calendar1");
    applyFont(w.calendar, windowFont(10), QColor(0, 0, 255));
    w.calendar->setSelectedDate(QDate::currentDate());
    // The calendar takes the rest of the strip, down to nothing: it gives way
    // first when the window narrows.
    QSizePolicy rest = w.calendar->sizePolicy();
    rest.setHorizontalPolicy(QSizePolicy::Ignored);
    w.calendar->setSizePolicy(rest);
    row->addWidget(w.calendar, 1);
    return w;
}
