// The registry and the service control manager, read-only.

#include <windows.h>

#include "system/scripted_fixture.h"

namespace {

constexpr const wchar_t* kPrefetchKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters";

class RegistryTest : public ScriptedMachineTest {
protected:
    void TearDown() override {
        EXPECT_EQ(host::LiveSystemObjects().registryKeys, keysBefore);
        EXPECT_EQ(host::LiveSystemObjects().serviceHandles, servicesBefore);
        ScriptedMachineTest::TearDown();
    }
    std::size_t keysBefore = host::LiveSystemObjects().registryKeys;
    std::size_t servicesBefore = host::LiveSystemObjects().serviceHandles;
};

TEST_F(RegistryTest, AValueIsReadWithItsTypeAndSize) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_LOCAL_MACHINE, kPrefetchKey, &key), ERROR_SUCCESS);
    DWORD value = 0, type = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExW(key, L"enablesuperfetch", nullptr, &type,
                               reinterpret_cast<LPBYTE>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 3u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ASmallBufferGetsMoreDataAndTheSizeNeeded) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPrefetchKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    BYTE small[2] = {0xEE, 0xEE};
    DWORD size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, L"EnableSuperFetch", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(small[0], 0xEE);
    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"EnableSuperFetch", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, MissingKeysAndValuesAreNotFound) {
    HKEY key = reinterpret_cast<HKEY>(ULONG_PTR{1});
    EXPECT_EQ(RegOpenKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Nowhere", &key), ERROR_FILE_NOT_FOUND);
    // A key that holds a scripted key exists too; it has no values of its own.
    ASSERT_EQ(RegOpenKeyW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet", &key), ERROR_SUCCESS);
    HKEY sub = nullptr;
    ASSERT_EQ(RegOpenKeyW(key, L"Control\\Session Manager\\Memory Management\\PrefetchParameters", &sub),
              ERROR_SUCCESS);
    DWORD size = 4;
    DWORD value = 0;
    EXPECT_EQ(RegQueryValueExW(sub, L"NoSuchValue", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(key, L"EnableSuperFetch", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(sub);
    RegCloseKey(key);
}

TEST_F(RegistryTest, HandlesAndPathsAreCheckedAsWin32ChecksThem) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyW(HKEY_LOCAL_MACHINE, L"\\SYSTEM", &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyW(reinterpret_cast<HKEY>(ULONG_PTR{0x777}), L"SYSTEM", &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyW(HKEY_LOCAL_MACHINE, L"SYSTEM", nullptr), ERROR_INVALID_PARAMETER);
    // No subkey: the key itself comes back.
    EXPECT_EQ(RegOpenKeyW(HKEY_LOCAL_MACHINE, nullptr, &key), ERROR_SUCCESS);
    EXPECT_EQ(key, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(ULONG_PTR{0x777})), ERROR_INVALID_HANDLE);
    DWORD reserved = 0;
    EXPECT_EQ(RegQueryValueExW(HKEY_LOCAL_MACHINE, L"x", &reserved, nullptr, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, AServiceStateIsQueriedThroughItsHandle) {
    State().FindService(L"SysMain")->state = SERVICE_PAUSED;
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | GENERIC_READ);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service = OpenServiceW(manager, L"sysmain", GENERIC_READ);
    ASSERT_NE(service, nullptr);
    SERVICE_STATUS status{};
    EXPECT_TRUE(QueryServiceStatus(service, &status));
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_PAUSED));
    // A manager handle is not a service handle.
    EXPECT_FALSE(QueryServiceStatus(manager, &status));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(CloseServiceHandle(service));
    EXPECT_TRUE(CloseServiceHandle(manager));
    EXPECT_FALSE(CloseServiceHandle(manager));
}

TEST_F(RegistryTest, ServiceFailuresAreReportedWithTheirCodes) {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, GENERIC_READ);
    EXPECT_EQ(OpenServiceW(manager, L"NoSuchService", GENERIC_READ), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
    SC_HANDLE configOnly = OpenServiceW(manager, L"SysMain", SERVICE_QUERY_CONFIG);
    SERVICE_STATUS status{};
    EXPECT_FALSE(QueryServiceStatus(configOnly, &status));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseServiceHandle(configOnly);
    CloseServiceHandle(manager);

    EXPECT_EQ(OpenSCManagerW(L"\\\\elsewhere", nullptr, GENERIC_READ), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE));
    State().serviceManagerError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(OpenSCManagerW(nullptr, nullptr, GENERIC_READ), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace
