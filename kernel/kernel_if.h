#pragma once
// The kernel interface object: the system's one gateway to the operating
// system's native services. It loads four system libraries, resolves a
// fixed table of entry points by name (null where the platform lacks one),
// records the operating-system version, enables the debug privilege, counts
// the processors and reads the boot time; afterwards it takes process
// snapshots. Callers test an entry point for null before calling it.

#include <windows.h>

#include "kernel/native_services.h"

namespace KernelIf {

// Last-error codes of TakeProcessSnapshot.
constexpr DWORD KERNELIF_ERROR_UNAVAILABLE = 0xB0000001;  // no snapshot service, or it keeps failing
constexpr DWORD KERNELIF_ERROR_NO_MEMORY = 0xB0000002;    // the snapshot buffer could not be allocated

// The first snapshot buffer's size in bytes; it only grows from there.
constexpr DWORD kInitialSnapshotBufferBytes = 4096;
// How much a buffer grows after a length mismatch while a previous
// snapshot is held (without one, it doubles).
constexpr DWORD kSnapshotGrowthWithPrevious = 4096;
// How often a snapshot query that fails with anything but a length mismatch
// is asked again, at the same size, before the snapshot gives up.
constexpr int kSnapshotRetries = 3;
// Processor counts are kept within 1..kMaxProcessors.
constexpr DWORD kMaxProcessors = 32;

class CKernelIf {
public:
    CKernelIf();
    virtual ~CKernelIf();
    CKernelIf(const CKernelIf&) = delete;
    CKernelIf& operator=(const CKernelIf&) = delete;

    // Sets m_nLogicalProcessors and m_nProcessorCores (called by the constructor).
    void QueryProcessorCounts();
    // Fetches the process list into m_pSnapshot, keeping the one before in
    // m_pPrevSnapshot. False (with a KERNELIF_ERROR_* last error) when no
    // fresh list could be had.
    bool TakeProcessSnapshot();

    // ---- kernel32.dll (part) ----
    HMODULE m_hKernel32 = nullptr;
    PFN_GET_LOGICAL_PROCESSOR_INFORMATION m_pfnGetLogicalProcessorInformation = nullptr;

    // ---- ntdll.dll ----
    HMODULE m_hNtdll = nullptr;
    PFN_RTL_INIT_UNICODE_STRING m_pfnRtlInitUnicodeString = nullptr;
    FARPROC m_pfnRtlCreateQueryDebugBuffer = nullptr;
    FARPROC m_pfnRtlQueryProcessDebugInformation = nullptr;
    FARPROC m_pfnRtlDestroyQueryDebugBuffer = nullptr;
    PFN_NT_QUERY_SYSTEM_INFORMATION m_pfnNtQuerySystemInformation = nullptr;
    PFN_NT_SET_SYSTEM_INFORMATION m_pfnNtSetSystemInformation = nullptr;
    FARPROC m_pfnNtOpenProcess = nullptr;
    PFN_NT_QUERY_INFORMATION_PROCESS m_pfnNtQueryInformationProcess = nullptr;
    PFN_IS_WOW64_PROCESS m_pfnIsWow64Process = nullptr;  // kernel32
    FARPROC m_pfnNtSetInformationProcess = nullptr;
    FARPROC m_pfnNtOpenThread = nullptr;
    FARPROC m_pfnNtQueryInformationThread = nullptr;
    FARPROC m_pfnNtSetInformationThread = nullptr;
    FARPROC m_pfnNtSuspendThread = nullptr;
    FARPROC m_pfnNtResumeThread = nullptr;
    FARPROC m_pfnNtTerminateThread = nullptr;
    FARPROC m_pfnNtQueryVirtualMemory = nullptr;
    FARPROC m_pfnNtReadVirtualMemory = nullptr;
    FARPROC m_pfnZwOpenSection = nullptr;
    FARPROC m_pfnZwMapViewOfSection = nullptr;
    FARPROC m_pfnZwUnMapViewOfSection = nullptr;
    FARPROC m_pfnZwQuerySection = nullptr;
    FARPROC m_pfnZwOpenFile = nullptr;
    FARPROC m_pfnNtQueryInformationFile = nullptr;
    FARPROC m_pfnNtSetObjectInformation = nullptr;
    FARPROC m_pfnNtQueryObject = nullptr;
    FARPROC m_pfnNtQuerySymbolicLinkObject = nullptr;
    FARPROC m_pfnNtCreateTimer = nullptr;
    FARPROC m_pfnNtOpenTimer = nullptr;
    FARPROC m_pfnNtCancelTimer = nullptr;
    FARPROC m_pfnNtSetTimer = nullptr;
    FARPROC m_pfnNtQueryTimer = nullptr;
    FARPROC m_pfnNtCreateEvent = nullptr;
    FARPROC m_pfnNtOpenEvent = nullptr;
    FARPROC m_pfnNtSetEvent = nullptr;
    FARPROC m_pfnNtPulseEvent = nullptr;
    FARPROC m_pfnNtResetEvent = nullptr;
    FARPROC m_pfnNtClearEvent = nullptr;
    FARPROC m_pfnNtQueryEvent = nullptr;
    FARPROC m_pfnNtCreateSemaphore = nullptr;
    FARPROC m_pfnNtOpenSemaphore = nullptr;
    FARPROC m_pfnNtReleaseSemaphore = nullptr;
    FARPROC m_pfnNtQuerySemaphore = nullptr;
    FARPROC m_pfnNtCreateMutant = nullptr;
    FARPROC m_pfnNtOpenMutant = nullptr;
    FARPROC m_pfnNtReleaseMutant = nullptr;
    FARPROC m_pfnNtQueryMutant = nullptr;
    FARPROC m_pfnNtCreateIoCompletion = nullptr;
    FARPROC m_pfnNtOpenIoCompletion = nullptr;
    FARPROC m_pfnNtSetIoCompletion = nullptr;
    FARPROC m_pfnNtRemoveIoCompletion = nullptr;
    FARPROC m_pfnNtQueryIoCompletion = nullptr;
    FARPROC m_pfnNtCreateEventPair = nullptr;
    FARPROC m_pfnNtOpenEventPair = nullptr;
    FARPROC m_pfnNtWaitLowEventPair = nullptr;
    FARPROC m_pfnNtWaitHighEventPair = nullptr;
    FARPROC m_pfnNtSetLowWaitHighEventPair = nullptr;
    FARPROC m_pfnNtSetHighWaitLowEventPair = nullptr;
    FARPROC m_pfnNtSetLowEventPair = nullptr;
    FARPROC m_pfnNtSetHighEventPair = nullptr;
    FARPROC m_pfnNtCreatePort = nullptr;
    FARPROC m_pfnNtCreateWaitablePort = nullptr;
    FARPROC m_pfnNtConnectPort = nullptr;
    FARPROC m_pfnNtSecureConnectPort = nullptr;
    FARPROC m_pfnNtListenPort = nullptr;
    FARPROC m_pfnNtAcceptConnectPort = nullptr;
    FARPROC m_pfnNtCompleteConnectPort = nullptr;
    FARPROC m_pfnNtRequestPort = nullptr;
    FARPROC m_pfnNtRequestWaitReplyPort = nullptr;
    FARPROC m_pfnNtReplyPort = nullptr;
    FARPROC m_pfnNtReplyWaitReplyPort = nullptr;
    FARPROC m_pfnNtReplyWaitReceivePort = nullptr;
    FARPROC m_pfnNtReplyWaitReceivePortEx = nullptr;
    FARPROC m_pfnNtReadRequestData = nullptr;
    FARPROC m_pfnNtWriteRequestData = nullptr;
    FARPROC m_pfnNtQueryInformationPort = nullptr;
    FARPROC m_pfnNtImpersonateClientOfPort = nullptr;
    FARPROC m_pfnNtQueryKey = nullptr;
    PFN_GET_THREAD_ID m_pfnGetThreadId = nullptr;  // kernel32

    // ---- Wtsapi32.dll ----
    HMODULE m_hWtsapi32 = nullptr;
    FARPROC m_pfnWTSOpenServerW = nullptr;
    FARPROC m_pfnWTSEnumerateSessionsW = nullptr;
    FARPROC m_pfnWTSQuerySessionInformationW = nullptr;
    FARPROC m_pfnWTSFreeMemory = nullptr;
    FARPROC m_pfnWTSCloseServer = nullptr;
    FARPROC m_pfnWTSSendMessageW = nullptr;
    FARPROC m_pfnWTSDisconnectSession = nullptr;
    FARPROC m_pfnWTSLogoffSession = nullptr;

    // ---- IPHLPAPI.dll ----
    HMODULE m_hIphlpapi = nullptr;
    FARPROC m_pfnGetExtendedTcpTable = nullptr;
    FARPROC m_pfnGetExtendedUdpTable = nullptr;
    FARPROC m_pfnAllocateAndGetTcpExTableFromStack = nullptr;
    FARPROC m_pfnAllocateAndGetUdpExTableFromStack = nullptr;
    FARPROC m_pfnGetTcpTable = nullptr;
    FARPROC m_pfnGetUdpTable = nullptr;

    // ---- what the construction found ----
    bool m_bVersion5OrLater = false;
    OSVERSIONINFOEXW m_osVersionInfo{};
    DWORD m_nLogicalProcessors = 1;
    DWORD m_nProcessorCores = 1;

    // ---- process snapshots (process-heap buffers of process records) ----
    DWORD m_cbSnapshotBuffer = kInitialSnapshotBufferBytes;
    LPBYTE m_pPrevSnapshot = nullptr;
    LPBYTE m_pSnapshot = nullptr;
    FILETIME m_ftPrevSnapshot{};
    FILETIME m_ftSnapshot{};
    LONGLONG m_llBootTime = 0;

private:
    void BindNtdll(HMODULE module);
    void BindKernel32(HMODULE module);
    void BindWtsapi32(HMODULE module);
    void BindIphlpapi(HMODULE module);
    void ReadVersion();
    void ReadBootTime();
    bool CountProcessorCores(DWORD* cores);
    bool FetchProcessList();
    bool GrowSnapshotBuffer();
    void FillMissingCreationTimes();
};

}  // namespace KernelIf
