#pragma once

class QCalendarWidget;

// The toolkit's own texts (the file dialog, the buttons of message boxes, the
// edit menus, the calendars' tooltips) in Simplified Chinese like the
// program's, whatever the system's language. Loaded once; without the
// toolkit's catalogue they stay in its English.
void useChineseToolkitTexts();

// A calendar's weeks as the program shows them: beginning on Sunday, headed
// by the short Chinese day names, its months named in Chinese.
void useChineseWeeks(QCalendarWidget *calendar);
