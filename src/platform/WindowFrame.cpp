#include "WindowFrame.h"

#include <QEvent>
#include <QWidget>

namespace {

const char outerSizeProperty[] = "lumibranOuterSize";
const char framePlaceProperty[] = "lumibranFramePlace";
const char watchedProperty[] = "lumibranFrameWatched";

QSize frameOf(const QWidget *window)
{
    return window->frameGeometry().size() - window->size();
}

bool frameKnown(const QWidget *window)
{
    return !frameOf(window).isNull();
}

// Sets the pending design size and place again at the first show, and once
// more when the frame becomes known (a reparenting window manager tells it
// by the window's first move or paint); a window first painted without a
// frame has none to wait for.
class FrameFit : public QObject
{
public:
    explicit FrameFit(QWidget *window) : QObject(window)
    {
        window->setProperty(watchedProperty, true);
        window->installEventFilter(this);
    }

    static void ensure(QWidget *window)
    {
        if (!window->property(watchedProperty).toBool())
            new FrameFit(window);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        switch (event->type()) {
        case QEvent::Show:
            m_shown = true;
            apply(window);
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (m_shown && event->spontaneous() && frameKnown(window))
                apply(window);
            break;
        case QEvent::Paint:
            if (m_shown)
                frameKnown(window) ? apply(window) : finish(window);
            break;
        default:
            break;
        }
        return false;
    }

private:
    void apply(QWidget *window)
    {
        const QVariant outer = window->property(outerSizeProperty);
        if (outer.isValid())
            window->resize(outer.toSize() - frameOf(window));
        const QVariant place = window->property(framePlaceProperty);
        if (place.isValid())
            window->move(place.toPoint());
        if (frameKnown(window))
            finish(window);
    }

    void finish(QWidget *window)
    {
        window->setProperty(outerSizeProperty, QVariant());
        window->setProperty(framePlaceProperty, QVariant());
        window->setProperty(watchedProperty, QVariant());
        window->removeEventFilter(this);
        deleteLater();
    }

    bool m_shown = false;
};

} // namespace

void setOuterSize(QWidget *window, QSize outer)
{
    window->resize(outer - frameOf(window));
    if (window->isVisible() && frameKnown(window))
        return;
    window->setProperty(outerSizeProperty, outer);
    FrameFit::ensure(window);
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
    if (frameKnown(window))
        return;
    window->setProperty(framePlaceProperty, frame.topLeft());
    FrameFit::ensure(window);
}
