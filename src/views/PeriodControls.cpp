#include "PeriodControls.h"

#include "platform/DatePicker.h"
#include "platform/SelectorBox.h"

#include <QRadioButton>

namespace {

RangeMode rangeMode(const PeriodControls &c)
{
    if (c.dayMode->isChecked())
        return RangeMode::Day;
    if (c.monthMode->isChecked())
        return RangeMode::Month;
    if (c.yearMode->isChecked())
        return RangeMode::Year;
    return RangeMode::Custom;
}

} // namespace

StatisticsPeriod statisticsPeriod(const PeriodControls &c, MonthReading reading)
{
    return statisticsPeriod(PeriodInput{rangeMode(c), c.year->text(), c.month->text(), c.day->text(), c.start->date(),
                                        c.end->date()},
                            reading);
}
