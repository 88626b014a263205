// What the system and its framework rely on from the Win32 API, as cases
// that hold for the surface (platform/include/win32) and for the SDK's own
// headers alike. Every build compiles this file against the surface; the
// check system_compiles_for_windows and the Windows build compile it
// against mingw-w64's SDK. Where the two disagree, a case does not compile.
//
// The first section holds the cases where the surface once disagreed with
// the SDK and was mended; the SDK is right by definition.

#include <windows.h>
#include <commctrl.h>
#include <pdh.h>
#include <psapi.h>
#include <winternl.h>

#include <cstddef>
#include <type_traits>

// ---- mended ------------------------------------------------------------------

// A message box with a style it does not know fails with 1438 (not 1158).
static_assert(ERROR_INVALID_MSGBOX_STYLE == 1438);

// The entry point has C linkage, so the framework's definition is the one
// the C runtime's start-up code calls. (Redeclaring with C linkage what was
// declared with C++ linkage does not compile.)
extern "C" int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd);

// <winternl.h> does not declare NtSetSystemInformation: the program finds
// it by name in ntdll. (Were it declared, this name would be ambiguous.)
namespace conformance_probe {
inline constexpr int NtSetSystemInformation = 0;
}
using namespace conformance_probe;
static_assert(std::is_same_v<decltype(NtSetSystemInformation), const int>);

// Native and counter status codes have headers of their own (<ntstatus.h>,
// <pdhmsg.h>); the headers above do not define them.
#ifdef STATUS_INFO_LENGTH_MISMATCH
#error STATUS_INFO_LENGTH_MISMATCH comes from <ntstatus.h> only
#endif
#ifdef STATUS_ACCESS_DENIED
#error STATUS_ACCESS_DENIED comes from <ntstatus.h> only
#endif
#ifdef PDH_CSTATUS_VALID_DATA
#error PDH_CSTATUS_VALID_DATA comes from <pdhmsg.h> only
#endif
#ifdef ERROR_SUCCESS_PDH
#error ERROR_SUCCESS_PDH is no SDK name
#endif

namespace {

template <typename Function, typename Expected>
inline constexpr bool kSignature = std::is_same_v<Function, Expected>;

// ---- services the system calls, with the SDK's signatures ----------------------

static_assert(kSignature<decltype(&GlobalMemoryStatusEx), BOOL(WINAPI*)(LPMEMORYSTATUSEX)>);
static_assert(kSignature<decltype(&GetSystemInfo), void(WINAPI*)(LPSYSTEM_INFO)>);
static_assert(kSignature<decltype(&GetLogicalProcessorInformation),
                         BOOL(WINAPI*)(PSYSTEM_LOGICAL_PROCESSOR_INFORMATION, PDWORD)>);
static_assert(kSignature<decltype(&GetVersionExW), BOOL(WINAPI*)(LPOSVERSIONINFOW)>);
static_assert(kSignature<decltype(&OpenProcess), HANDLE(WINAPI*)(DWORD, BOOL, DWORD)>);
static_assert(kSignature<decltype(&EmptyWorkingSet), BOOL(WINAPI*)(HANDLE)>);
static_assert(kSignature<decltype(&LoadLibraryW), HMODULE(WINAPI*)(LPCWSTR)>);
static_assert(kSignature<decltype(&GetProcAddress), FARPROC(WINAPI*)(HMODULE, LPCSTR)>);
static_assert(kSignature<decltype(&OpenProcessToken), BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE)>);
static_assert(kSignature<decltype(&AdjustTokenPrivileges),
                         BOOL(WINAPI*)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD)>);
static_assert(kSignature<decltype(&RegOpenKeyW), LONG(WINAPI*)(HKEY, LPCWSTR, PHKEY)>);
static_assert(kSignature<decltype(&RegQueryValueExW), LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)>);
static_assert(kSignature<decltype(&OpenSCManagerW), SC_HANDLE(WINAPI*)(LPCWSTR, LPCWSTR, DWORD)>);
static_assert(kSignature<decltype(&OpenServiceW), SC_HANDLE(WINAPI*)(SC_HANDLE, LPCWSTR, DWORD)>);
static_assert(kSignature<decltype(&QueryServiceStatus), BOOL(WINAPI*)(SC_HANDLE, LPSERVICE_STATUS)>);
static_assert(kSignature<decltype(&PdhOpenQueryW), PDH_STATUS(WINAPI*)(LPCWSTR, DWORD_PTR, PDH_HQUERY*)>);
static_assert(kSignature<decltype(&PdhAddCounterW), PDH_STATUS(WINAPI*)(PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER*)>);
static_assert(kSignature<decltype(&PdhCollectQueryData), PDH_STATUS(WINAPI*)(PDH_HQUERY)>);
static_assert(kSignature<decltype(&PdhGetFormattedCounterValue),
                         PDH_STATUS(WINAPI*)(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE)>);
static_assert(kSignature<decltype(&NtQuerySystemInformation),
                         NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG)>);
static_assert(kSignature<decltype(&NtQueryInformationProcess),
                         NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG)>);
static_assert(kSignature<decltype(&DialogBoxIndirectParamW),
                         INT_PTR(WINAPI*)(HINSTANCE, LPCDLGTEMPLATEW, HWND, DLGPROC, LPARAM)>);
static_assert(kSignature<decltype(&InitCommonControlsEx), BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>);
static_assert(kSignature<decltype(&SetTimer), UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC)>);

// ---- records, with the SDK's sizes and the offsets the system reads --------------

static_assert(sizeof(MEMORYSTATUSEX) == 64 && offsetof(MEMORYSTATUSEX, ullTotalPhys) == 8);
static_assert(sizeof(SYSTEM_INFO) == 48 && offsetof(SYSTEM_INFO, dwPageSize) == 4 &&
              offsetof(SYSTEM_INFO, dwNumberOfProcessors) == 32);
static_assert(sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) == 32 &&
              offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION, Relationship) == 8);
// 284 bytes where WCHAR has two, as on Windows.
static_assert(sizeof(OSVERSIONINFOEXW) == 28 + 128 * sizeof(WCHAR));
static_assert(sizeof(TOKEN_PRIVILEGES) == 16 && sizeof(LUID_AND_ATTRIBUTES) == 12);
static_assert(sizeof(PDH_FMT_COUNTERVALUE) == 16 && offsetof(PDH_FMT_COUNTERVALUE, largeValue) == 8);
static_assert(sizeof(SERVICE_STATUS) == 28 && offsetof(SERVICE_STATUS, dwCurrentState) == 4);
static_assert(sizeof(UNICODE_STRING) == 16);
static_assert(sizeof(FILETIME) == 8 && sizeof(SYSTEMTIME) == 16);
static_assert(sizeof(INITCOMMONCONTROLSEX) == 8);
static_assert(sizeof(DLGTEMPLATE) == 18);

// ---- values ------------------------------------------------------------------

static_assert(SystemBasicInformation == 0 && SystemPerformanceInformation == 2 &&
              SystemTimeOfDayInformation == 3 && SystemProcessInformation == 5);
static_assert(PROCESS_QUERY_LIMITED_INFORMATION == 0x1000 && PROCESS_ALL_ACCESS == 0x1FFFFF);
static_assert(TOKEN_ALL_ACCESS == 0xF01FF && SE_PRIVILEGE_ENABLED == 2);
static_assert(GENERIC_READ == 0x80000000 && SC_MANAGER_CONNECT == 1 && SERVICE_RUNNING == 4);
static_assert(PDH_FMT_LARGE == 0x400 && ERROR_INSUFFICIENT_BUFFER == 122);
static_assert(WM_ICONERASEBKGND == 0x27 && WM_QUERYDRAGICON == 0x37 && SM_CXICON == 11);
static_assert(ICC_PROGRESS_CLASS == 0x20 && PBS_SMOOTH == 1 && PBS_VERTICAL == 4);
static_assert(DS_SETFONT == 0x40 && DS_SHELLFONT == 0x48 && DS_3DLOOK == 4 && DS_MODALFRAME == 0x80);
static_assert(BS_DEFPUSHBUTTON == 1 && BS_MULTILINE == 0x2000 && SS_ICON == 3 && SS_NOPREFIX == 0x80 &&
              CBS_DROPDOWNLIST == 3);
static_assert(WS_EX_APPWINDOW == 0x40000 && WS_EX_STATICEDGE == 0x20000 && WS_EX_CLIENTEDGE == 0x200);

}  // namespace
