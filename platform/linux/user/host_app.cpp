#include "host/host_app.h"

#include "host/gdi.h"
#include "host/user.h"

#include "messages.h"
#include "qt_bridge.h"
#include "show.h"
#include "timers.h"
#include "window.h"
#include "window_class.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <cmath>

#include <malloc.h>

namespace host {

namespace {

// Swallows input meant for a disabled top-level window (the owner of a
// modal window), which Win32 does without greying the window out.
class InputBlocker : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!IsInput(event->type()) || !watched->isWidgetType()) return false;
        return user::IsInputBlocked(static_cast<QWidget*>(watched));
    }

private:
    static bool IsInput(QEvent::Type type) {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ContextMenu:
        case QEvent::Shortcut:
            return true;
        default:
            return false;
        }
    }
};

// Windows' default colours for the Qt-native controls, the same whatever
// desktop the host runs on.
QPalette WindowsPalette() {
    using user::SysQColor;
    QPalette palette;
    palette.setColor(QPalette::Window, SysQColor(COLOR_BTNFACE));
    palette.setColor(QPalette::WindowText, SysQColor(COLOR_WINDOWTEXT));
    palette.setColor(QPalette::Base, SysQColor(COLOR_WINDOW));
    palette.setColor(QPalette::AlternateBase, SysQColor(COLOR_BTNFACE));
    palette.setColor(QPalette::Text, SysQColor(COLOR_WINDOWTEXT));
    palette.setColor(QPalette::Button, SysQColor(COLOR_BTNFACE));
    palette.setColor(QPalette::ButtonText, SysQColor(COLOR_BTNTEXT));
    palette.setColor(QPalette::Highlight, SysQColor(COLOR_HIGHLIGHT));
    palette.setColor(QPalette::HighlightedText, SysQColor(COLOR_HIGHLIGHTTEXT));
    palette.setColor(QPalette::Light, SysQColor(COLOR_BTNHIGHLIGHT));
    palette.setColor(QPalette::Midlight, SysQColor(COLOR_3DLIGHT));
    palette.setColor(QPalette::Mid, SysQColor(COLOR_BTNSHADOW));
    palette.setColor(QPalette::Dark, SysQColor(COLOR_BTNSHADOW));
    palette.setColor(QPalette::Shadow, SysQColor(COLOR_3DDKSHADOW));
    palette.setColor(QPalette::ToolTipBase, SysQColor(COLOR_INFOBK));
    palette.setColor(QPalette::ToolTipText, SysQColor(COLOR_INFOTEXT));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, SysQColor(COLOR_GRAYTEXT));
    }
    return palette;
}

int ScreenDotsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

// Windows die with their thread; here with the host.
void DestroyAllWindows() {
    for (HWND hwnd : user::AllWindows(true)) {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    user::KillAllTimers();
    user::ResetMessageQueue();
    user::ResetClasses();
    user::ProcessEvents();
}

}  // namespace

// Pixel buffers of windows and bitmaps are large and come and go with
// resizes and chart rebuilds. glibc raises its mmap threshold each time such
// a block is freed, after which the next ones come from the heap and their
// pages stay with the process when freed. A fixed threshold keeps every
// large buffer in a mapping of its own, returned to the system when freed,
// so that the resident set follows what the program holds.
int FixMmapThreshold() {
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    return 0;
}

struct HostApplication::Impl {
    Impl(int& argc, char** argv) : app((FixMmapThreshold(), argc), argv) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(WindowsPalette());
        // Programs here end when their own code says so, as on Windows.
        QApplication::setQuitOnLastWindowClosed(false);
        app.installEventFilter(&blocker);
        gdi::SetScreenDpiProvider(ScreenDotsPerInch);
        gdi::SetSysColorProvider([](int index) { return GetSysColor(index); });
    }
    ~Impl() {
        DestroyAllWindows();
        app.removeEventFilter(&blocker);
        gdi::SetScreenDpiProvider(nullptr);
    }

    QApplication app;
    InputBlocker blocker;
};

HostApplication::HostApplication(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {}

HostApplication::~HostApplication() = default;

void HostApplication::ProcessEvents() { user::ProcessEvents(); }

}  // namespace host
