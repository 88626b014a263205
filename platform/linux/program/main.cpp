// The program's entry on Linux: bring up the window system, answer from this
// computer's real figures, put the resources in place and run the program's
// own entry point, as the Windows loader would.

#include <windows.h>

#include "host/host_app.h"
#include "host/live_linux_machine.h"
#include "host/machine.h"
#include "host/startup_trace.h"
#include "program_resources.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// An X or Wayland display, or a Qt platform the user chose; without any,
// the window system cannot start and would abort.
bool HasDisplay() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }

}  // namespace

int main(int argc, char** argv) {
    host::TraceStartup("main");
    if (!HasDisplay()) {
        std::fputs("palisk: no display here (DISPLAY and WAYLAND_DISPLAY are unset).\n"
                   "For Palisk's report on this terminal, run palisk-report.\n",
                   stderr);
        return 1;
    }
    host::HostApplication application(argc, argv);
    host::TraceStartup("window-system");
    host::LiveLinuxMachine machine;
    host::SetActiveMachine(&machine);
    host::RegisterProgramResources();
    WCHAR commandLine[] = L"";
    const int result = wWinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    host::SetActiveMachine(nullptr);
    return result;
}
