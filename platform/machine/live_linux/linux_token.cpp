#include "linux_token.h"

#include "host/linux_proc.h"
#include "host/system_services.h"
#include "proc_files.h"

#include <algorithm>

namespace host::linux_proc {

namespace {

void Hold(std::vector<LUID_AND_ATTRIBUTES>& privileges, LPCWSTR name, DWORD attributes) {
    if (const auto luid = WellKnownPrivilege(name)) privileges.push_back({*luid, attributes});
}

bool SameLuid(const LUID& a, const LUID& b) { return a.LowPart == b.LowPart && a.HighPart == b.HighPart; }

}  // namespace

LinuxToken::LinuxToken(const LinuxRoots& roots) {
    // Every Windows token holds this one, enabled.
    Hold(privileges_, L"SeChangeNotifyPrivilege", SE_PRIVILEGE_ENABLED_BY_DEFAULT | SE_PRIVILEGE_ENABLED);
    std::string text;
    if (!ReadFile(roots.proc + "/self/status", text)) return;
    const ProcStatus status = ParseStatus(text);
    if (status.capEff && (*status.capEff >> kCapSysPtrace & 1)) Hold(privileges_, SE_DEBUG_NAME, 0);
    if (status.effectiveUid == 0u) {
        Hold(privileges_, SE_INCREASE_QUOTA_NAME, 0);
        // Palisk enables this one only on its way to the file-cache size
        // functions, which Linux does not have; root's right to the memory
        // commands is in force all the time, so its token holds it enabled.
        Hold(privileges_, SE_PROF_SINGLE_PROCESS_NAME, SE_PRIVILEGE_ENABLED_BY_DEFAULT | SE_PRIVILEGE_ENABLED);
    }
}

void LinuxToken::Change(std::span<const LUID_AND_ATTRIBUTES> changes) {
    for (const LUID_AND_ATTRIBUTES& change : changes) {
        const auto held = std::find_if(privileges_.begin(), privileges_.end(),
                                       [&](const LUID_AND_ATTRIBUTES& p) { return SameLuid(p.Luid, change.Luid); });
        if (held == privileges_.end()) continue;
        if (change.Attributes & SE_PRIVILEGE_REMOVED) {
            privileges_.erase(held);
        } else {
            held->Attributes =
                (held->Attributes & ~DWORD{SE_PRIVILEGE_ENABLED}) | (change.Attributes & SE_PRIVILEGE_ENABLED);
        }
    }
}

bool LinuxToken::IsHeld(LPCWSTR name) const {
    const auto luid = WellKnownPrivilege(name);
    return luid && std::any_of(privileges_.begin(), privileges_.end(),
                               [&](const LUID_AND_ATTRIBUTES& p) { return SameLuid(p.Luid, *luid); });
}

bool LinuxToken::IsEnabled(LPCWSTR name) const {
    const auto luid = WellKnownPrivilege(name);
    return luid && std::any_of(privileges_.begin(), privileges_.end(), [&](const LUID_AND_ATTRIBUTES& p) {
               return SameLuid(p.Luid, *luid) && (p.Attributes & SE_PRIVILEGE_ENABLED);
           });
}

}  // namespace host::linux_proc
