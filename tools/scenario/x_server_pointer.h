#pragma once
// Clicks by position sent through a real X server with its XTEST extension,
// as xdotool sends them: the server moves its pointer, presses and releases
// the button, and routes the events to whatever window is under the pointer,
// exactly as for a person's mouse. For runs on the xcb platform (Xvfb).

#include "scenario_runner.h"

#include <memory>
#include <string>

namespace scenario {

class XServerPointer : public Pointer {
public:
    // Connects to the X server of $DISPLAY; null with a message when there
    // is none or it lacks XTEST.
    static std::unique_ptr<XServerPointer> Open(std::string* error);
    ~XServerPointer() override;

    bool Click(HWND dialog, POINT client, std::string* error) override;

private:
    struct Connection;
    explicit XServerPointer(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> connection_;
};

}  // namespace scenario
