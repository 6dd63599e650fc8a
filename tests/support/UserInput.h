#pragma once

#include <Qt>
#include <QPoint>
#include <QString>

class QAbstractItemView;
class QTableView;
class QWidget;

// Input as the platform delivers it. Keys go to the application's focus
// widget, whichever widget that is at the moment of each key (to an open
// popup's focus widget while a popup is open); mouse events go to the
// innermost widget under the pointer (a view's viewport at a cell's
// rectangle, a header's viewport at a section). Tests of what a user types or clicks use
// only these, never a handler, an inner editor or a hand-emitted signal.
namespace user {

// Types each character of text into whatever holds the focus.
void type(const QString &text);
// Presses and releases one key in whatever holds the focus.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The same with the text that the X11 platform gives the key, which the
// offscreen platform leaves out: Delete carries "\x7f" there.
void press(Qt::Key key, const QString &text, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A left click on a widget, at its centre unless a point is given; the
// innermost child under that point receives it.
void click(QWidget *widget, QPoint at = QPoint());
// A right click, which asks the widget under the pointer for its context menu.
void rightClick(QWidget *widget, QPoint at = QPoint());
// A left click and a double click on a widget, at its centre unless a point
// is given (a view's empty viewport, say); the double click lands on what the
// first click opened there (a cell editor).
void doubleClick(QWidget *widget, QPoint at = QPoint());
// A left click and a double click on a cell of a view.
void clickCell(QAbstractItemView *view, int row, int column);
void doubleClickCell(QAbstractItemView *view, int row, int column);
// A left click on a column title of a table.
void clickTitle(QTableView *view, int section);
// One wheel event (a negative amount turns toward the user) over a widget, at
// its centre unless a point is given: the innermost child under the point
// receives it, and what that child leaves goes on to its parents. A view's
// wheel goes to its viewport's centre.
void wheel(QWidget *widget, int amount, QPoint at = QPoint());
void wheel(QAbstractItemView *view, int amount);

// A click on a window's close box.
void closeBox(QWidget *window);

} // namespace user
