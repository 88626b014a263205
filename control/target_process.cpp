// The target process selector: combo box 1022 and the list behind it.

#include "app/palisk_dlg.h"

#include "control/visible_name.h"
#include "kernel/kernel_if.h"

#include <nt/process_information.h>

#include <new>

namespace {

using Record = nt::SYSTEM_PROCESS_INFORMATION;

// A record starting `offset` bytes into the snapshot lies wholly inside its
// buffer. One that would reach past it is not the kernel's: walks end
// before it, so a malformed chain can neither read past the buffer nor
// loop (each step moves forward).
bool RecordFits(ULONGLONG offset, DWORD bufferBytes) {
    return bufferBytes >= sizeof(Record) && offset <= bufferBytes - sizeof(Record);
}

// Moves `offset` to the record after the one there; false at the last record.
bool NextRecord(const BYTE* snapshot, DWORD bufferBytes, ULONGLONG* offset) {
    const ULONG next = reinterpret_cast<const Record*>(snapshot + *offset)->NextEntryOffset;
    if (next == 0 || !RecordFits(*offset + next, bufferBytes)) return false;
    *offset += next;
    return true;
}

// The records of a snapshot, counted by following the next-record offsets.
int CountRecords(const BYTE* snapshot, DWORD bufferBytes) {
    if (snapshot == nullptr || !RecordFits(0, bufferBytes)) return 0;
    int count = 1;
    for (ULONGLONG offset = 0; NextRecord(snapshot, bufferBytes, &offset);) ++count;
    return count;
}

CString ImageName(const Record& record) {
    if (record.ImageName.Buffer == nullptr || record.ImageName.Length == 0) return CString();
    return CString(record.ImageName.Buffer, record.ImageName.Length / static_cast<int>(sizeof(WCHAR)));
}

// The list has been read: both snapshot buffers go back to the heap.
void ReleaseSnapshots(KernelIf::CKernelIf& kernel) {
    for (LPBYTE* buffer : {&kernel.m_pSnapshot, &kernel.m_pPrevSnapshot}) {
        if (*buffer) HeapFree(GetProcessHeap(), 0, *buffer);
        *buffer = nullptr;
    }
}

}  // namespace

void CPaliskDlg::FillTargetProcessList() {
    const bool snapshotTaken = m_pKernelIf != nullptr && m_pKernelIf->TakeProcessSnapshot();
    const BYTE* snapshot = m_pKernelIf && m_pKernelIf->m_bVersion5OrLater ? m_pKernelIf->m_pSnapshot : nullptr;
    const DWORD bufferBytes = m_pKernelIf ? m_pKernelIf->m_cbSnapshotBuffer : 0;
    const int count = CountRecords(snapshot, bufferBytes);

    delete[] m_pTargetPids;
    delete[] m_pTargetCreationTimes;
    m_astrTargetNames.RemoveAll();
    m_pTargetPids = new (std::nothrow) DWORD[count];
    m_pTargetCreationTimes = new (std::nothrow) ULONGLONG[count];

    if (snapshotTaken && snapshot != nullptr && m_pTargetPids && m_pTargetCreationTimes) {
        ULONGLONG offset = 0;
        for (int j = 0; j < count; ++j, NextRecord(snapshot, bufferBytes, &offset)) {
            const Record& record = *reinterpret_cast<const Record*>(snapshot + offset);
            const DWORD pid = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(record.UniqueProcessId));
            const ULONGLONG creationTime = static_cast<ULONGLONG>(record.CreateTime.QuadPart);
            m_pTargetPids[j] = pid;
            m_pTargetCreationTimes[j] = creationTime;
            const CString name = ImageName(record);
            CString label;
            if (name.IsEmpty())
                label.Format(L"SystemIdle[%d]", static_cast<int>(pid));
            else
                label.Format(L"%s[%d]", VisibleName(name.GetString(), name.GetLength()).GetString(),
                             static_cast<int>(pid));
            if (m_nMemCompressionPid == -1 && name.CompareNoCase(L"Memory Compression") == 0) {
                m_nMemCompressionPid = static_cast<LONG>(pid);
                m_nMemCompressionCreationTime = creationTime;
                label += L" *";
            }
            m_astrTargetNames.Add(label);
        }
    }
    if (m_pKernelIf) ReleaseSnapshots(*m_pKernelIf);

    m_cbTargetProcess.ResetContent();
    m_cbTargetProcess.AddString(L"**NONE**");
    for (INT_PTR i = 0; i < m_astrTargetNames.GetSize(); ++i) m_cbTargetProcess.AddString(m_astrTargetNames[i]);
    m_cbTargetProcess.SetCurSel(0);
    m_cbTargetProcess.Invalidate(TRUE);
    m_cbTargetProcess.UpdateWindow();
    UpdateData(TRUE);
}

void CPaliskDlg::OnCbnDropdownTargetProcess() { FillTargetProcessList(); }

void CPaliskDlg::OnCbnSelchangeTargetProcess() { UpdateData(TRUE); }
