#include "ButtonKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

namespace {

// Sees each key before the widget that holds the focus; an Enter meant for a
// push button reaches it as Space instead.
class EnterAsSpace : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *button = qobject_cast<QPushButton *>(watched);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!button || !enter || (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        QKeyEvent space(event->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), key->isAutoRepeat());
        QApplication::sendEvent(button, &space);
        return true;
    }
};

} // namespace

void letEnterPressFocusedButtons()
{
    static QPointer<EnterAsSpace> filter;
    if (filter)
        return;
    filter = new EnterAsSpace(qApp);
    qApp->installEventFilter(filter);
}
