#pragma once

class QWidget;

// The wheel changes the widget only while the widget holds the focus; over it
// on the way to another control, the wheel neither takes the focus nor steps
// the value, and goes on to the widget's parents.
void takeWheelOnlyWithFocus(QWidget *widget);
