// Test entry point: brings up the host (a headless application object) so
// that windows, fonts and timers work, then runs the tests.

#include <gtest/gtest.h>

#include "host/host_app.h"

#include <cstdlib>

int main(int argc, char** argv) {
    // Headless unless the caller asked for a real display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    host::HostApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
