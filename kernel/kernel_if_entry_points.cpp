// The entry-point table of the kernel interface: which name of which
// library fills which member. Binding to a null module nulls the members,
// which is also how the destructor clears them.

#include "kernel/kernel_if.h"

namespace KernelIf {

namespace {

template <class PFN>
void Bind(HMODULE module, const char* name, PFN& member) {
    member = module ? AsEntryPoint<PFN>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace

// The 77 ntdll entry points, in declaration order.
void CKernelIf::BindNtdll(HMODULE module) {
    Bind(module, "RtlInitUnicodeString", m_pfnRtlInitUnicodeString);
    Bind(module, "RtlCreateQueryDebugBuffer", m_pfnRtlCreateQueryDebugBuffer);
    Bind(module, "RtlQueryProcessDebugInformation", m_pfnRtlQueryProcessDebugInformation);
    Bind(module, "RtlDestroyQueryDebugBuffer", m_pfnRtlDestroyQueryDebugBuffer);
    Bind(module, "NtQuerySystemInformation", m_pfnNtQuerySystemInformation);
    Bind(module, "NtSetSystemInformation", m_pfnNtSetSystemInformation);
    Bind(module, "NtOpenProcess", m_pfnNtOpenProcess);
    Bind(module, "NtQueryInformationProcess", m_pfnNtQueryInformationProcess);
    Bind(module, "NtSetInformationProcess", m_pfnNtSetInformationProcess);
    Bind(module, "NtOpenThread", m_pfnNtOpenThread);
    Bind(module, "NtQueryInformationThread", m_pfnNtQueryInformationThread);
    Bind(module, "NtSetInformationThread", m_pfnNtSetInformationThread);
    Bind(module, "NtSuspendThread", m_pfnNtSuspendThread);
    Bind(module, "NtResumeThread", m_pfnNtResumeThread);
    Bind(module, "NtTerminateThread", m_pfnNtTerminateThread);
    Bind(module, "NtQueryVirtualMemory", m_pfnNtQueryVirtualMemory);
    Bind(module, "NtReadVirtualMemory", m_pfnNtReadVirtualMemory);
    Bind(module, "ZwOpenSection", m_pfnZwOpenSection);
    Bind(module, "ZwMapViewOfSection", m_pfnZwMapViewOfSection);
    Bind(module, "ZwUnMapViewOfSection", m_pfnZwUnMapViewOfSection);
    Bind(module, "ZwQuerySection", m_pfnZwQuerySection);
    Bind(module, "ZwOpenFile", m_pfnZwOpenFile);
    Bind(module, "NtQueryInformationFile", m_pfnNtQueryInformationFile);
    Bind(module, "NtSetObjectInformation", m_pfnNtSetObjectInformation);
    Bind(module, "NtQueryObject", m_pfnNtQueryObject);
    Bind(module, "NtQuerySymbolicLinkObject", m_pfnNtQuerySymbolicLinkObject);
    Bind(module, "NtCreateTimer", m_pfnNtCreateTimer);
    Bind(module, "NtOpenTimer", m_pfnNtOpenTimer);
    Bind(module, "NtCancelTimer", m_pfnNtCancelTimer);
    Bind(module, "NtSetTimer", m_pfnNtSetTimer);
    Bind(module, "NtQueryTimer", m_pfnNtQueryTimer);
    Bind(module, "NtCreateEvent", m_pfnNtCreateEvent);
    Bind(module, "NtOpenEvent", m_pfnNtOpenEvent);
    Bind(module, "NtSetEvent", m_pfnNtSetEvent);
    Bind(module, "NtPulseEvent", m_pfnNtPulseEvent);
    Bind(module, "NtResetEvent", m_pfnNtResetEvent);
    Bind(module, "NtClearEvent", m_pfnNtClearEvent);
    Bind(module, "NtQueryEvent", m_pfnNtQueryEvent);
    Bind(module, "NtCreateSemaphore", m_pfnNtCreateSemaphore);
    Bind(module, "NtOpenSemaphore", m_pfnNtOpenSemaphore);
    Bind(module, "NtReleaseSemaphore", m_pfnNtReleaseSemaphore);
    Bind(module, "NtQuerySemaphore", m_pfnNtQuerySemaphore);
    Bind(module, "NtCreateMutant", m_pfnNtCreateMutant);
    Bind(module, "NtOpenMutant", m_pfnNtOpenMutant);
    Bind(module, "NtReleaseMutant", m_pfnNtReleaseMutant);
    Bind(module, "NtQueryMutant", m_pfnNtQueryMutant);
    Bind(module, "NtCreateIoCompletion", m_pfnNtCreateIoCompletion);
    Bind(module, "NtOpenIoCompletion", m_pfnNtOpenIoCompletion);
    Bind(module, "NtSetIoCompletion", m_pfnNtSetIoCompletion);
    Bind(module, "NtRemoveIoCompletion", m_pfnNtRemoveIoCompletion);
    Bind(module, "NtQueryIoCompletion", m_pfnNtQueryIoCompletion);
    Bind(module, "NtCreateEventPair", m_pfnNtCreateEventPair);
    Bind(module, "NtOpenEventPair", m_pfnNtOpenEventPair);
    Bind(module, "NtWaitLowEventPair", m_pfnNtWaitLowEventPair);
    Bind(module, "NtWaitHighEventPair", m_pfnNtWaitHighEventPair);
    Bind(module, "NtSetLowWaitHighEventPair", m_pfnNtSetLowWaitHighEventPair);
    Bind(module, "NtSetHighWaitLowEventPair", m_pfnNtSetHighWaitLowEventPair);
    Bind(module, "NtSetLowEventPair", m_pfnNtSetLowEventPair);
    Bind(module, "NtSetHighEventPair", m_pfnNtSetHighEventPair);
    Bind(module, "NtCreatePort", m_pfnNtCreatePort);
    Bind(module, "NtCreateWaitablePort", m_pfnNtCreateWaitablePort);
    Bind(module, "NtConnectPort", m_pfnNtConnectPort);
    Bind(module, "NtSecureConnectPort", m_pfnNtSecureConnectPort);
    Bind(module, "NtListenPort", m_pfnNtListenPort);
    Bind(module, "NtAcceptConnectPort", m_pfnNtAcceptConnectPort);
    Bind(module, "NtCompleteConnectPort", m_pfnNtCompleteConnectPort);
    Bind(module, "NtRequestPort", m_pfnNtRequestPort);
    Bind(module, "NtRequestWaitReplyPort", m_pfnNtRequestWaitReplyPort);
    Bind(module, "NtReplyPort", m_pfnNtReplyPort);
    Bind(module, "NtReplyWaitReplyPort", m_pfnNtReplyWaitReplyPort);
    Bind(module, "NtReplyWaitReceivePort", m_pfnNtReplyWaitReceivePort);
    Bind(module, "NtReplyWaitReceivePortEx", m_pfnNtReplyWaitReceivePortEx);
    Bind(module, "NtReadRequestData", m_pfnNtReadRequestData);
    Bind(module, "NtWriteRequestData", m_pfnNtWriteRequestData);
    Bind(module, "NtQueryInformationPort", m_pfnNtQueryInformationPort);
    Bind(module, "NtImpersonateClientOfPort", m_pfnNtImpersonateClientOfPort);
    Bind(module, "NtQueryKey", m_pfnNtQueryKey);
}

void CKernelIf::BindKernel32(HMODULE module) {
    Bind(module, "GetLogicalProcessorInformation", m_pfnGetLogicalProcessorInformation);
    Bind(module, "GetThreadId", m_pfnGetThreadId);
    Bind(module, "IsWow64Process", m_pfnIsWow64Process);
}

void CKernelIf::BindWtsapi32(HMODULE module) {
    Bind(module, "WTSOpenServerW", m_pfnWTSOpenServerW);
    Bind(module, "WTSEnumerateSessionsW", m_pfnWTSEnumerateSessionsW);
    Bind(module, "WTSQuerySessionInformationW", m_pfnWTSQuerySessionInformationW);
    Bind(module, "WTSFreeMemory", m_pfnWTSFreeMemory);
    Bind(module, "WTSCloseServer", m_pfnWTSCloseServer);
    Bind(module, "WTSSendMessageW", m_pfnWTSSendMessageW);
    Bind(module, "WTSDisconnectSession", m_pfnWTSDisconnectSession);
    Bind(module, "WTSLogoffSession", m_pfnWTSLogoffSession);
}

void CKernelIf::BindIphlpapi(HMODULE module) {
    Bind(module, "GetExtendedTcpTable", m_pfnGetExtendedTcpTable);
    Bind(module, "GetExtendedUdpTable", m_pfnGetExtendedUdpTable);
    Bind(module, "AllocateAndGetTcpExTableFromStack", m_pfnAllocateAndGetTcpExTableFromStack);
    Bind(module, "AllocateAndGetUdpExTableFromStack", m_pfnAllocateAndGetUdpExTableFromStack);
    Bind(module, "GetTcpTable", m_pfnGetTcpTable);
    Bind(module, "GetUdpTable", m_pfnGetUdpTable);
}

}  // namespace KernelIf
