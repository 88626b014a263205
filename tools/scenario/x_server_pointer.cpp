#include "x_server_pointer.h"

#include "host/user.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace scenario {

namespace {

// How long the window system may take to put the window on the screen and
// to deliver a click: generous, since a loaded machine is slow, and only a
// broken run ever waits that long.
constexpr int kTimeoutMs = 10000;

}  // namespace

struct XServerPointer::Connection {
    Display* display = nullptr;
    ~Connection() {
        if (display) XCloseDisplay(display);
    }
};

XServerPointer::XServerPointer(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {}

XServerPointer::~XServerPointer() = default;

std::unique_ptr<XServerPointer> XServerPointer::Open(std::string* error) {
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(nullptr);
    if (!connection->display) {
        if (error) *error = "cannot connect to the X server (is DISPLAY set?)";
        return nullptr;
    }
    int event = 0, firstError = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(connection->display, &event, &firstError, &major, &minor)) {
        if (error) *error = "the X server has no XTEST extension";
        return nullptr;
    }
    return std::unique_ptr<XServerPointer>(new XServerPointer(std::move(connection)));
}

bool XServerPointer::Click(HWND dialog, POINT client, std::string* error) {
    if (!host::user::ProcessEventsUntil([dialog] { return host::user::IsOnScreen(dialog); }, kTimeoutMs)) {
        if (error) *error = "the dialog never came on the X server's screen";
        return false;
    }
    POINT screen = client;
    ClientToScreen(dialog, &screen);
    Display* display = connection_->display;
    const unsigned long before = host::user::ClicksDelivered();
    XTestFakeMotionEvent(display, -1, screen.x, screen.y, CurrentTime);
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    XSync(display, False);
    if (!host::user::ProcessEventsUntil([before] { return host::user::ClicksDelivered() > before; }, kTimeoutMs)) {
        if (error) {
            *error = "the X server's click at (" + std::to_string(screen.x) + ", " + std::to_string(screen.y) +
                     ") never reached the program";
        }
        return false;
    }
    return true;
}

}  // namespace scenario
