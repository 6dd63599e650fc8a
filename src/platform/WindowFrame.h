#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Design sizes and places of windows count the frame, which the window
// system tells only once a window is shown, and some only after that. So a
// size or place set before is set again, once, when the frame becomes known;
// later shows keep the size and place the user left.
void setOuterSize(QWidget *window, QSize outer);

// The window's size with its frame: the design size until the frame is known.
QSize outerSize(const QWidget *window);

// Moves a window, frame included, so that its centre is the area's centre.
void centreIn(QWidget *window, const QRect &area);
