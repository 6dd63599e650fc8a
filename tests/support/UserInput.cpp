#include "UserInput.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QWindow>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

namespace user {

namespace {

// An open menu takes the keys before the window's focus widget.
QWidget *focusTarget()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        QTest::qFail("no widget holds the keyboard focus", __FILE__, __LINE__);
    return focus;
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

void type(const QString &text)
{
    for (const QChar c : text) {
        QWidget *focus = focusTarget();
        if (!focus)
            return;
        // A character beyond Latin-1 (Chinese, as an input method commits it)
        // comes as a key event that carries only its text.
        if (c.unicode() > 0xff)
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, QString(c), Qt::NoModifier);
        else
            QTest::keyClicks(focus, QString(c));
    }
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    if (QWidget *focus = focusTarget())
        QTest::keyClick(focus, key, modifiers);
}

void click(QWidget *widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
}

void doubleClick(QWidget *widget, QPoint at)
{
    const QPoint point = at.isNull() ? widget->rect().center() : at;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, point);
}

void clickCell(QAbstractItemView *view, int row, int column)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(view, row, column));
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

void wheel(QAbstractItemView *view, int amount)
{
    QWidget *viewport = view->viewport();
    const QPointF at = QPointF(viewport->rect().center());
    QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, amount), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

void closeBox(QWidget *window)
{
    // The window system asks the window to close; the widget decides.
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(window->windowHandle(), &event);
}

} // namespace user
