#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>

// The steps a user takes in the next modal window of the given kind, once it
// is up and holds the focus; the steps end by closing it as the user does,
// and the window that was active before is active again (what a window
// manager does when a modal window closes). They run from the window's own
// event loop, so the action that opens it comes after this call.
template<class Window>
void inNextModal(std::function<void(Window *)> steps)
{
    constexpr int tries = 250; // every 20 ms: five seconds for the window to come up
    auto *timer = new QTimer;
    const QPointer<QWidget> before = QApplication::activeWindow();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, steps, before, left = tries]() mutable {
        if (--left == 0) {
            timer->deleteLater();
            return;
        }
        auto *window = qobject_cast<Window *>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        // Once the platform has made it the active window: the news of that
        // must not come after the steps.
        if (QGuiApplication::focusWindow() != window->windowHandle() || !QApplication::focusWidget()
            || QApplication::focusWidget()->window() != window)
            return;
        timer->deleteLater();
        steps(window);
        if (before && before != window && !window->isVisible())
            QApplication::setActiveWindow(before);
    });
    timer->start(20);
}
