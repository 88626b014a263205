#pragma once
// The access token of this process, as Windows privileges stand for Linux
// capabilities: SeDebugPrivilege is held with CAP_SYS_PTRACE (reading any
// process), SeIncreaseQuotaPrivilege and SeProfileSingleProcessPrivilege
// with effective uid 0 (the memory commands write root-only files). As on
// Windows, a held privilege starts disabled and the program enables it;
// root's SeProfileSingleProcessPrivilege alone starts enabled (see the
// constructor).

#include "host/live_linux_machine.h"

#include <windows.h>

#include <span>
#include <vector>

namespace host::linux_proc {

class LinuxToken {
public:
    // Reads the capabilities and uid from <proc>/self/status; when that
    // cannot be read the token holds only SeChangeNotifyPrivilege.
    explicit LinuxToken(const LinuxRoots& roots);

    const std::vector<LUID_AND_ATTRIBUTES>& Privileges() const { return privileges_; }
    // Sets the attributes of held privileges; unknown ones are ignored (the
    // host has checked them).
    void Change(std::span<const LUID_AND_ATTRIBUTES> changes);
    bool IsEnabled(LPCWSTR name) const;
    bool IsHeld(LPCWSTR name) const;

private:
    std::vector<LUID_AND_ATTRIBUTES> privileges_;
};

// Capability numbers of <linux/capability.h>.
constexpr int kCapSysPtrace = 19;
constexpr int kCapSysNice = 23;

}  // namespace host::linux_proc
