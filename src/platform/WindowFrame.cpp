#include "WindowFrame.h"

#include <QEvent>
#include <QWidget>

namespace {

const char outerSizeProperty[] = "lumibranOuterSize";

QSize frameOf(const QWidget *window)
{
    return window->frameGeometry().size() - window->size();
}

// Corrects the size once, at the first show, when the frame is known.
class FirstShowSize : public QObject
{
public:
    FirstShowSize(QWidget *window) : QObject(window) { window->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            auto *window = static_cast<QWidget *>(watched);
            window->removeEventFilter(this);
            window->resize(window->property(outerSizeProperty).toSize() - frameOf(window));
            window->setProperty(outerSizeProperty, QVariant());
            deleteLater();
        }
        return false;
    }
};

} // namespace

void setOuterSize(QWidget *window, QSize outer)
{
    window->resize(outer - frameOf(window));
    if (window->isVisible())
        return;
    if (!window->property(outerSizeProperty).isValid())
        new FirstShowSize(window);
    window->setProperty(outerSizeProperty, outer);
}

QSize outerSize(const QWidget *window)
{
    const QVariant design = window->property(outerSizeProperty);
    return design.isValid() ? design.toSize() : window->frameGeometry().size();
}

void centreIn(QWidget *window, const QRect &area)
{
    QRect frame(QPoint(), outerSize(window));
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}
