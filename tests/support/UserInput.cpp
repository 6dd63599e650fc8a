#include "UserInput.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QWindow>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

namespace user {

namespace {

// Where the platform sends a key: a keyboard grab, else an open popup (its
// focus widget, or the popup itself), else the focus widget.
QWidget *keyTarget()
{
    if (QWidget *grabber = QWidget::keyboardGrabber())
        return grabber;
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        QTest::qFail("no widget holds the keyboard focus", __FILE__, __LINE__);
    return focus;
}

// The innermost visible widget at a point of a widget, and the point in it.
std::pair<QWidget *, QPoint> under(QWidget *widget, QPoint at)
{
    if (at.isNull())
        at = widget->rect().center();
    if (QWidget *child = widget->childAt(at))
        return {child, child->mapFrom(widget, at)};
    return {widget, at};
}

QPoint cellCentre(QAbstractItemView *view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    if (!index.isValid())
        QTest::qFail("no such cell", __FILE__, __LINE__);
    view->scrollTo(index);
    return view->visualRect(index).center();
}

} // namespace

// Keys for what a keyboard types; other characters (Chinese) come as the
// input method's committed text.
void type(const QString &text)
{
    for (const QChar c : text) {
        QWidget *target = keyTarget();
        if (!target)
            return;
        // A character beyond Latin-1 (Chinese, as an input method commits it)
        // comes as a key event that carries only its text.
        if (c.unicode() > 0xff)
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        else
            QTest::keyClicks(target, QString(c));
    }
}

// The release goes where the keys go once the press is handled: a press that
// moves the focus has its release seen by the new focus widget.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    if (QWidget *target = keyTarget())
        QTest::keyPress(target, key, modifiers);
    if (QWidget *target = keyTarget())
        QTest::keyRelease(target, key, modifiers);
}

void press(Qt::Key key, const QString &text, Qt::KeyboardModifiers modifiers)
{
    if (QWidget *target = keyTarget())
        QTest::sendKeyEvent(QTest::Press, target, key, text, modifiers);
    if (QWidget *target = keyTarget())
        QTest::sendKeyEvent(QTest::Release, target, key, text, modifiers);
}

void click(QWidget *widget, QPoint at)
{
    const auto [receiver, point] = under(widget, at);
    QTest::mouseClick(receiver, Qt::LeftButton, Qt::NoModifier, point);
}

void rightClick(QWidget *widget, QPoint at)
{
    const auto [receiver, point] = under(widget, at);
    QTest::mouseClick(receiver, Qt::RightButton, Qt::NoModifier, point);
    // The platform follows a right click with the request for a context menu.
    QContextMenuEvent request(QContextMenuEvent::Mouse, point, receiver->mapToGlobal(point));
    QApplication::sendEvent(receiver, &request);
}

void doubleClick(QWidget *widget, QPoint at)
{
    if (at.isNull())
        at = widget->rect().center();
    click(widget, at);
    const auto [receiver, point] = under(widget, at);
    QTest::mouseDClick(receiver, Qt::LeftButton, Qt::NoModifier, point);
}

void clickCell(QAbstractItemView *view, int row, int column)
{
    click(view->viewport(), cellCentre(view, row, column));
}

void doubleClickCell(QAbstractItemView *view, int row, int column)
{
    doubleClick(view->viewport(), cellCentre(view, row, column));
}

void clickTitle(QTableView *view, int section)
{
    QHeaderView *header = view->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Delivered as the platform's own event (sendEvent would mark it as the
// program's): the application passes what the receiver ignores on to its
// parents and gives the focus to a widget that takes it from the wheel.
void wheel(QWidget *widget, int amount, QPoint at)
{
    const auto [receiver, point] = under(widget, at);
    const QPointF local(point);
    QWheelEvent event(local, receiver->mapToGlobal(local), QPoint(), QPoint(0, amount), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(receiver, &event);
}

void wheel(QAbstractItemView *view, int amount)
{
    wheel(view->viewport(), amount);
}

void closeBox(QWidget *window)
{
    // The window system asks the window to close; the widget decides.
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(window->windowHandle(), &event);
}

} // namespace user
