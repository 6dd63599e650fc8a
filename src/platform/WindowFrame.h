#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Design sizes of windows count the frame. The frame is known only once a
// window is shown, so the size is set now from what is known and again when
// the window is first shown; later shows keep the size the user left.
void setOuterSize(QWidget *window, QSize outer);

// The window's size with its frame: the design size until the first show.
QSize outerSize(const QWidget *window);

// Moves a window, frame included, so that its centre is the area's centre.
void centreIn(QWidget *window, const QRect &area);
