// The exports of the program's modules on a Windows machine, as far as the
// program and the host know them.

#include "host/scripted_system.h"

namespace host {

namespace {

const std::set<std::string> kNtdll = {
    "RtlInitUnicodeString", "RtlCreateQueryDebugBuffer", "RtlQueryProcessDebugInformation",
    "RtlDestroyQueryDebugBuffer", "NtQuerySystemInformation", "NtSetSystemInformation", "NtOpenProcess",
    "NtQueryInformationProcess", "NtSetInformationProcess", "NtOpenThread", "NtQueryInformationThread",
    "NtSetInformationThread", "NtSuspendThread", "NtResumeThread", "NtTerminateThread", "NtQueryVirtualMemory",
    "NtReadVirtualMemory", "ZwOpenSection", "ZwMapViewOfSection", "ZwUnMapViewOfSection", "ZwQuerySection",
    "ZwOpenFile", "NtQueryInformationFile", "NtSetObjectInformation", "NtQueryObject", "NtQuerySymbolicLinkObject",
    "NtCreateTimer", "NtOpenTimer", "NtCancelTimer", "NtSetTimer", "NtQueryTimer", "NtCreateEvent", "NtOpenEvent",
    "NtSetEvent", "NtPulseEvent", "NtResetEvent", "NtClearEvent", "NtQueryEvent", "NtCreateSemaphore",
    "NtOpenSemaphore", "NtReleaseSemaphore", "NtQuerySemaphore", "NtCreateMutant", "NtOpenMutant",
    "NtReleaseMutant", "NtQueryMutant", "NtCreateIoCompletion", "NtOpenIoCompletion", "NtSetIoCompletion",
    "NtRemoveIoCompletion", "NtQueryIoCompletion", "NtCreateEventPair", "NtOpenEventPair", "NtWaitLowEventPair",
    "NtWaitHighEventPair", "NtSetLowWaitHighEventPair", "NtSetHighWaitLowEventPair", "NtSetLowEventPair",
    "NtSetHighEventPair", "NtCreatePort", "NtCreateWaitablePort", "NtConnectPort", "NtSecureConnectPort",
    "NtListenPort", "NtAcceptConnectPort", "NtCompleteConnectPort", "NtRequestPort", "NtRequestWaitReplyPort",
    "NtReplyPort", "NtReplyWaitReplyPort", "NtReplyWaitReceivePort", "NtReplyWaitReceivePortEx",
    "NtReadRequestData", "NtWriteRequestData", "NtQueryInformationPort", "NtImpersonateClientOfPort", "NtQueryKey",
};

const std::set<std::string> kKernel32 = {
    "GetLogicalProcessorInformation", "GetThreadId", "IsWow64Process", "GetSystemFileCacheSize",
    "SetSystemFileCacheSize", "GlobalMemoryStatusEx", "GetSystemInfo", "GetVersionExW", "OpenProcess",
    "CloseHandle", "GetCurrentProcess", "GetCurrentProcessId", "GetCurrentThreadId", "LoadLibraryW",
    "FreeLibrary", "GetProcAddress", "GetModuleHandleW", "GetLastError", "SetLastError", "GetTickCount",
    "GetTickCount64", "GetSystemTime", "GetSystemTimeAsFileTime", "SystemTimeToFileTime", "FileTimeToSystemTime",
    "GetProcessHeap", "HeapAlloc", "HeapReAlloc", "HeapFree", "K32EmptyWorkingSet",
};

const std::set<std::string> kPsapi = {"EmptyWorkingSet"};

const std::set<std::string> kWtsapi32 = {
    "WTSOpenServerW", "WTSEnumerateSessionsW", "WTSQuerySessionInformationW", "WTSFreeMemory",
    "WTSCloseServer", "WTSSendMessageW", "WTSDisconnectSession", "WTSLogoffSession",
};

const std::set<std::string> kIphlpapi = {
    "GetExtendedTcpTable", "GetExtendedUdpTable", "AllocateAndGetTcpExTableFromStack",
    "AllocateAndGetUdpExTableFromStack", "GetTcpTable", "GetUdpTable",
};

const std::set<std::string> kNone;

}  // namespace

const std::set<std::string>& DefaultExports(std::string_view module) {
    if (module == "ntdll.dll") return kNtdll;
    if (module == "kernel32.dll") return kKernel32;
    if (module == "psapi.dll") return kPsapi;
    if (module == "wtsapi32.dll") return kWtsapi32;
    if (module == "iphlpapi.dll") return kIphlpapi;
    return kNone;
}

}  // namespace host
