#include "FocusedWheel.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

class WheelWithFocus : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        const auto *widget = static_cast<QWidget *>(watched);
        const QWidget *focus = QApplication::focusWidget();
        if (focus && (focus == widget || widget->isAncestorOf(focus)))
            return false;
        event->ignore(); // passed on to the parents, which may want it
        return true;
    }
};

} // namespace

void takeWheelOnlyWithFocus(QWidget *widget)
{
    static auto *filter = new WheelWithFocus(qApp);
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->installEventFilter(filter);
}
