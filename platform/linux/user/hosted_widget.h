#pragma once
// The part every window's widget shares, whatever Qt widget it is: paints go
// through the Win32 paint logic, size, move and state changes become
// WM_SIZE / WM_MOVE, the window system's close button becomes SC_CLOSE, and
// focus changes are tracked.

#include <windows.h>

#include "paint.h"
#include "show.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QResizeEvent>

#include <utility>

namespace host::user {

template <class Base>
class Hosted : public Base {
public:
    template <class... Args>
    explicit Hosted(HWND hwnd, Args&&... args) : Base(std::forward<Args>(args)...), hwnd_(hwnd) {}

    HWND Hwnd() const { return hwnd_; }

protected:
    void paintEvent(QPaintEvent* e) override {
        if (!PaintWidget(this, hwnd_)) Base::paintEvent(e);
    }
    void resizeEvent(QResizeEvent* e) override {
        Base::resizeEvent(e);
        OnWidgetGeometryChanged(hwnd_);
    }
    void moveEvent(QMoveEvent* e) override {
        Base::moveEvent(e);
        OnWidgetGeometryChanged(hwnd_);
    }
    void changeEvent(QEvent* e) override {
        Base::changeEvent(e);
        if (e->type() == QEvent::WindowStateChange) OnWindowStateChanged(hwnd_);
        if (e->type() == QEvent::ActivationChange && this->isWindow() && this->isActiveWindow()) OnActivated(hwnd_);
    }
    void closeEvent(QCloseEvent* e) override {
        // The window decides for itself whether it closes.
        e->ignore();
        OnCloseRequested(hwnd_);
    }
    void focusInEvent(QFocusEvent* e) override {
        Base::focusInEvent(e);
        OnFocusIn(hwnd_);
    }

private:
    HWND hwnd_;
};

}  // namespace host::user
