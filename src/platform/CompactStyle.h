#pragma once

class QWidget;

// The look that lets 16-pixel text fit the places of the window designs:
// a group's caption sits on its frame line instead of above it, so that
// controls placed just below the caption stay inside the frame; combo boxes
// and date pickers get a narrow arrow and a thin frame, so that four digits
// fit a 55-pixel box and a full date a 105-pixel picker. The widget keeps its
// font and colours (a style sheet would take over both).
void useCompactStyle(QWidget *widget);
