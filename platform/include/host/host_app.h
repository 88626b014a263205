#pragma once
// The host's application object: brings up the window system (Qt) for the
// program or for a test run, and takes it down again.
//
// Host-only: the system's own code never includes this header.

#include <memory>

namespace host {

class HostApplication {
public:
    HostApplication(int& argc, char** argv);
    ~HostApplication();
    HostApplication(const HostApplication&) = delete;
    HostApplication& operator=(const HostApplication&) = delete;

    // Processes pending window-system events (paints, posted messages)
    // without waiting. Tests call it to let queued work run.
    static void ProcessEvents();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace host
