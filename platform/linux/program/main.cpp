// The program's entry on Linux: bring up the window system, answer from this
// computer's real figures, put the resources in place and run the program's
// own entry point, as the Windows loader would.

#include <windows.h>

#include "host/host_app.h"
#include "host/live_linux_machine.h"
#include "host/machine.h"
#include "host/startup_trace.h"
#include "program_resources.h"

int main(int argc, char** argv) {
    host::TraceStartup("main");
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
