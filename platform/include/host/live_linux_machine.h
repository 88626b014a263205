#pragma once
// The machine of this Linux computer: the real clock and screen (from
// RealTimeMachine), the memory manager's figures from /proc and /sys, and
// for each memory command the nearest honest Linux action. How each figure
// and command maps is told for users in docs/linux-mapping.md.
//
// Host-only: the system's own code never includes this header.

#include "host/real_time_machine.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {

class SystemServices;

// Where the kernel's files are read: the real /proc and /sys, or a copy of
// them that a test has laid out; and the page size their page counts are
// in (0: this computer's own), so that a copy saved on a machine of 16 or
// 64 KiB pages reads as it did there.
struct LinuxRoots {
    std::string proc = "/proc";
    std::string sys = "/sys";
    std::uint64_t pageSize = 0;
};

class LiveLinuxMachine : public RealTimeMachine {
public:
    explicit LiveLinuxMachine(LinuxRoots roots = {});
    ~LiveLinuxMachine() override;
    LiveLinuxMachine(const LiveLinuxMachine&) = delete;
    LiveLinuxMachine& operator=(const LiveLinuxMachine&) = delete;

    SystemServices* System() override;

private:
    std::unique_ptr<SystemServices> services_;
};

}  // namespace host
