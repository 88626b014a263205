// Modules and entry points by name: what loads, what resolves, reference
// counts, and the failures Win32 reports.

#include <windows.h>
#include <winternl.h>
#include <ntstatus.h>

#include "host/modules.h"
#include "host/real_time_machine.h"

#include "system/scripted_fixture.h"

namespace {

using ModulesTest = ScriptedMachineTest;

TEST_F(ModulesTest, NamesLoadWithoutRegardToCaseOrExtensionAndShareOneHandle) {
    HMODULE a = LoadLibraryW(L"PSAPI.DLL");
    HMODULE b = LoadLibraryW(L"psapi");
    HMODULE c = LoadLibraryW(L"C:\\Windows\\System32\\PsApi.dll");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
    EXPECT_EQ(GetModuleHandleW(L"psapi.dll"), a);
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_TRUE(FreeLibrary(a));
    // Every reference given back: the module is gone.
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleW(L"psapi.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_FALSE(FreeLibrary(a));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetProcAddress(a, "EmptyWorkingSet"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(ModulesTest, NtdllAndKernel32AreMappedWithoutBeingLoaded) {
    EXPECT_NE(GetModuleHandleW(L"ntdll.dll"), nullptr);
    EXPECT_NE(GetModuleHandleW(L"KERNEL32.DLL"), nullptr);
    EXPECT_EQ(GetModuleHandleW(nullptr), host::ExecutableModule());
    // The program's own image exports nothing.
    EXPECT_EQ(GetProcAddress(host::ExecutableModule(), "WinMain"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
}

TEST_F(ModulesTest, ServicesTheHostImplementsResolveToTheirOwnFunctions) {
    HMODULE ntdll = LoadLibraryW(L"ntdll.dll");
    HMODULE kernel32 = LoadLibraryW(L"kernel32.dll");
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")),
              reinterpret_cast<void*>(&NtQuerySystemInformation));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(kernel32, "SetSystemFileCacheSize")),
              reinterpret_cast<void*>(&SetSystemFileCacheSize));
    FreeLibrary(kernel32);
    FreeLibrary(ntdll);
}

TEST_F(ModulesTest, UnimplementedServicesResolveToStubsThatFailInTheirOwnConvention) {
    HMODULE ntdll = LoadLibraryW(L"ntdll.dll");
    HMODULE wts = LoadLibraryW(L"Wtsapi32.dll");
    HMODULE ip = LoadLibraryW(L"IPHLPAPI.dll");
    auto native = reinterpret_cast<NTSTATUS(NTAPI*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtOpenThread")));
    auto win32 = reinterpret_cast<ULONG_PTR(WINAPI*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(wts, "WTSOpenServerW")));
    auto errorCode = reinterpret_cast<DWORD(WINAPI*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(ip, "GetTcpTable")));
    ASSERT_TRUE(native && win32 && errorCode);
    EXPECT_EQ(native(), STATUS_NOT_IMPLEMENTED);
    SetLastError(0);
    EXPECT_EQ(win32(), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_EQ(errorCode(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
    FreeLibrary(ip);
    FreeLibrary(wts);
    FreeLibrary(ntdll);
}

TEST_F(ModulesTest, MissingModulesAndExportsFailAsWin32Does) {
    State().modules["wtsapi32.dll"].loads = false;
    State().modules["ntdll.dll"].exports.erase("NtSetSystemInformation");
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(L"Wtsapi32.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryW(L"nosuch.dll"), nullptr);
    EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    HMODULE ntdll = LoadLibraryW(L"ntdll.dll");
    EXPECT_EQ(GetProcAddress(ntdll, "NtSetSystemInformation"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // Export names match exactly, and ordinals are not served.
    EXPECT_EQ(GetProcAddress(ntdll, "ntquerysysteminformation"), nullptr);
    EXPECT_EQ(GetProcAddress(ntdll, reinterpret_cast<LPCSTR>(ULONG_PTR{5})), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_NE(GetProcAddress(ntdll, "NtQuerySystemInformation"), nullptr);
    FreeLibrary(ntdll);
}

TEST(ModulesWithoutKernelServices, AMachineWithoutThemLoadsNothingButKeepsTheHeap) {
    host::RealTimeMachine plain;
    host::SetActiveMachine(&plain);
    EXPECT_EQ(LoadLibraryW(L"ntdll.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 16);
    EXPECT_NE(block, nullptr);
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, block));
    ULONG length = 7;
    EXPECT_EQ(NtQuerySystemInformation(SystemBasicInformation, nullptr, 0, &length), STATUS_NOT_IMPLEMENTED);
    EXPECT_EQ(length, 0u);
    host::SetActiveMachine(nullptr);
}

}  // namespace
