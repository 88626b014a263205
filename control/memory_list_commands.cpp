// Commands to the memory manager from the buttons along the bottom and the
// items added to the system menu: purge the standby lists, write out the
// modified list, empty all working sets, or empty the target's.

#include "app/palisk_dlg.h"

#include "control/listed_process.h"
#include "kernel/kernel_if.h"

#include <psapi.h>

namespace {

// The memory-list commands of SystemMemoryListInformation.
constexpr ULONG MemoryEmptyWorkingSets = 2;
constexpr ULONG MemoryFlushModifiedList = 3;
constexpr ULONG MemoryPurgeStandbyList = 4;
constexpr ULONG MemoryPurgeLowPriorityStandbyList = 5;

// Access wanted to empty a working set.
constexpr DWORD kFlushAccess = 0x1F0FFF;

}  // namespace

void CPaliskDlg::SendMemoryListCommand(ULONG command) {
    if (m_pKernelIf == nullptr || m_pKernelIf->m_pfnNtSetSystemInformation == nullptr) return;
    ULONG value = command;
    // The status is not examined: the effect shows in the next refresh.
    m_pKernelIf->m_pfnNtSetSystemInformation(nt::SystemMemoryListInformation, &value, sizeof(value));
}

void CPaliskDlg::FlushTargetWorkingSet() {
    if (m_nTargetIndex <= 0 || m_pTargetPids == nullptr || m_nTargetIndex > m_astrTargetNames.GetSize()) return;
    const int entry = m_nTargetIndex - 1;
    HANDLE process = OpenListedProcess(kFlushAccess, m_pTargetPids[entry],
                                       m_pTargetCreationTimes ? m_pTargetCreationTimes[entry] : 0);
    if (process == nullptr) return;
    EmptyWorkingSet(process);
    CloseHandle(process);
}

void CPaliskDlg::OnBnClickedFlushAllStandby() { SendMemoryListCommand(MemoryPurgeStandbyList); }

void CPaliskDlg::OnBnClickedFlushStandby0() { SendMemoryListCommand(MemoryPurgeLowPriorityStandbyList); }

void CPaliskDlg::OnBnClickedFlushModPgList() { SendMemoryListCommand(MemoryFlushModifiedList); }

void CPaliskDlg::OnBnClickedFlushWorkSets() { SendMemoryListCommand(MemoryEmptyWorkingSets); }

void CPaliskDlg::OnBnClickedFlushTargetWs() { FlushTargetWorkingSet(); }

void CPaliskDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    switch (nID & 0xFFF0) {
        case IDM_ABOUTBOX: ShowAboutBox(); break;
        case IDM_FLUSH_STANDBY_CACHES: SendMemoryListCommand(MemoryPurgeStandbyList); break;
        case IDM_FLUSH_ALL_WORKING_SETS: SendMemoryListCommand(MemoryEmptyWorkingSets); break;
        case IDM_FLUSH_TARGET_WS: FlushTargetWorkingSet(); break;
        default: CDialog::OnSysCommand(nID, lParam); break;
    }
}
