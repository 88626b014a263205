#pragma once
// The kernel services of a machine that has none to offer (a machine on the
// real clock without kernel figures): every module fails to load, every
// query is STATUS_NOT_IMPLEMENTED, every other call ERROR_CALL_NOT_IMPLEMENTED
// or its counter-query equivalent. The heap still serves.

#include "host/system_services.h"

namespace host::system {

class UnavailableServices : public SystemServices {
public:
    bool ModuleLoads(std::wstring_view) override { return false; }
    bool HasExport(std::wstring_view, std::string_view) override { return false; }
    NativeResult QuerySystemInformation(ULONG, void*, ULONG) override { return {STATUS_NOT_IMPLEMENTED, 0}; }
    NTSTATUS SetSystemInformation(ULONG, const void*, ULONG) override { return STATUS_NOT_IMPLEMENTED; }
    // No process is known, not even this one: its ids read 0.
    DWORD CurrentProcessId() override { return 0; }
    DWORD CurrentThreadId() override { return 0; }
    std::vector<ProcessRecord> Processes() override { return {}; }
    DWORD OpenProcessById(DWORD, DWORD, ProcessIdentity*) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    NativeResult QueryProcessInformation(const ProcessIdentity&, ULONG, void*, ULONG) override {
        return {STATUS_NOT_IMPLEMENTED, 0};
    }
    DWORD EmptyProcessWorkingSet(const ProcessIdentity&) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    DWORD MemoryStatus(MEMORYSTATUSEX*) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    void SystemInfo(SYSTEM_INFO* info) override;
    DWORD LogicalProcessorInformation(std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION>*) override {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    DWORD OsVersion(OSVERSIONINFOEXW*) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    ULONGLONG BootTime() override { return 0; }
    DWORD FileCacheLimits(SIZE_T*, SIZE_T*, DWORD*) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    DWORD SetFileCacheLimits(SIZE_T, SIZE_T, DWORD) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    DWORD OpenToken(DWORD, DWORD) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    DWORD LookupPrivilege(std::wstring_view, LUID*) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    DWORD HeldPrivileges(std::vector<LUID_AND_ATTRIBUTES>*) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    DWORD ChangePrivileges(std::span<const LUID_AND_ATTRIBUTES>) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    DWORD OpenRegistryKey(HKEY, std::wstring_view) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    DWORD QueryRegistryValue(HKEY, std::wstring_view, std::wstring_view, DWORD*, std::vector<BYTE>*) override {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    DWORD ConnectServiceManager(DWORD) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    DWORD OpenServiceByName(std::wstring_view, DWORD) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    DWORD ServiceStatus(std::wstring_view, SERVICE_STATUS*) override { return ERROR_CALL_NOT_IMPLEMENTED; }
    PDH_STATUS OpenCounterQuery() override { return static_cast<PDH_STATUS>(PDH_NOT_IMPLEMENTED); }
    PDH_STATUS AddCounter(std::wstring_view) override { return static_cast<PDH_STATUS>(PDH_NOT_IMPLEMENTED); }
    PDH_STATUS CollectCounters() override { return static_cast<PDH_STATUS>(PDH_NOT_IMPLEMENTED); }
    PDH_STATUS ReadCounter(std::wstring_view, LONGLONG*) override {
        return static_cast<PDH_STATUS>(PDH_NOT_IMPLEMENTED);
    }
    bool RefuseAllocation(SIZE_T) override { return false; }
};

}  // namespace host::system
