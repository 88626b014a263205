#include "host/live_linux_machine.h"

#include "live_system_services.h"

namespace host {

LiveLinuxMachine::LiveLinuxMachine(LinuxRoots roots)
    : services_(std::make_unique<linux_proc::LiveSystemServices>(*this, std::move(roots))) {}

LiveLinuxMachine::~LiveLinuxMachine() = default;

SystemServices* LiveLinuxMachine::System() { return services_.get(); }

}  // namespace host
