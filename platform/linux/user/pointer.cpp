// Clicks by position. A press and a release at a point of a top-level
// window go to the window system as a pointer device's input; Qt then finds
// the widget under the point by its own hit-testing and delivers the click
// there, exactly as it does for a person's mouse. Nothing here picks the
// control: a widget shown where its window is hidden takes the click.

#include "host/user.h"

#include "geometry.h"
#include "window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

// QtGui's entry for pointer input handed over by a platform plugin,
// delivered at once; QtTest injects its mouse events through it as well.
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);

namespace host::user {

namespace {

// Counts the left-button releases that reach any of the program's windows,
// from whatever source.
class ClickCounter : public QObject {
public:
    unsigned long count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A window-system event reaches the QWindow first, then the widget
        // (and maybe its parents): count it once, at the window.
        if (event->type() == QEvent::MouseButtonRelease && watched->isWindowType()) ++count;
        return false;
    }
};

ClickCounter& Counter() {
    static ClickCounter* counter = [] {
        auto* c = new ClickCounter();
        if (QCoreApplication* app = QCoreApplication::instance()) {
            c->setParent(app);
            app->installEventFilter(c);
        }
        return c;
    }();
    return *counter;
}

// Pointer events carry a time; clicks given here are a long while apart, so
// two clicks at one place never make a double click.
int NextTimestamp() {
    static int timestamp = 0;
    timestamp += 10000;
    return timestamp;
}

}  // namespace

bool ClickAt(HWND topLevel, POINT client) {
    WindowRef window = LookupWindow(topLevel);
    if (!window || window->IsChild() || !window->widget || !IsWindowVisible(topLevel)) return false;
    const QPoint point(client.x, client.y);
    if (!QRect(QPoint(0, 0), ClientSize(*window)).contains(point)) return false;
    // The top-level widget is the client area, so client and widget
    // coordinates are the same.
    QPointer<QWindow> handle = window->widget->windowHandle();
    if (!handle) return false;
    Counter();
    const QPointF local(point);
    const QPointF global(window->widget->mapToGlobal(point));
    qt_handleMouseEvent(handle, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress,
                        Qt::NoModifier, NextTimestamp());
    // The press may have closed the window (a button that ends the dialog
    // acts on the release, but a window may go on the press).
    if (handle) {
        qt_handleMouseEvent(handle, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease,
                            Qt::NoModifier, NextTimestamp());
    }
    return true;
}

unsigned long ClicksDelivered() { return Counter().count; }

bool ProcessEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        ProcessEvents();
        if (done()) return true;
        const qint64 left = timeoutMs - elapsed.elapsed();
        if (left <= 0) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, static_cast<int>(std::min<qint64>(left, 50)));
    }
}

bool IsOnScreen(HWND topLevel) {
    WindowRef window = LookupWindow(topLevel);
    if (!window || window->IsChild() || !window->widget || !window->widget->isVisible()) return false;
    const QWindow* handle = window->widget->windowHandle();
    return handle && handle->isExposed();
}

}  // namespace host::user
