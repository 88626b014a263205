// The access token: privileges enabled with Win32's rules, and the log.

#include <windows.h>

#include "system/scripted_fixture.h"

namespace {

class TokenTest : public ScriptedMachineTest {
protected:
    void SetUp() override {
        ScriptedMachineTest::SetUp();
        ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &token));
    }
    void TearDown() override {
        EXPECT_TRUE(CloseHandle(token));
        ScriptedMachineTest::TearDown();
    }

    // A request for one privilege, with room for a second entry.
    struct Request {
        DWORD count = 1;
        LUID_AND_ATTRIBUTES entries[2]{};
    };
    Request Enable(const wchar_t* name) {
        Request r;
        EXPECT_TRUE(LookupPrivilegeValueW(nullptr, name, &r.entries[0].Luid));
        r.entries[0].Attributes = SE_PRIVILEGE_ENABLED;
        return r;
    }
    static PTOKEN_PRIVILEGES AsPrivileges(Request& r) { return reinterpret_cast<PTOKEN_PRIVILEGES>(&r); }

    HANDLE token = nullptr;
};

TEST_F(TokenTest, EnablingAHeldPrivilegeReportsItsPreviousState) {
    Request r = Enable(SE_DEBUG_NAME);
    BYTE previous[64] = {};
    DWORD length = 0;
    EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, AsPrivileges(r), sizeof previous,
                                      reinterpret_cast<PTOKEN_PRIVILEGES>(previous), &length));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    const auto* before = reinterpret_cast<const TOKEN_PRIVILEGES*>(previous);
    EXPECT_EQ(length, 16u);
    ASSERT_EQ(before->PrivilegeCount, 1u);
    EXPECT_EQ(before->Privileges[0].Luid.LowPart, 20u);
    EXPECT_EQ(before->Privileges[0].Attributes, 0u);
    EXPECT_TRUE(State().FindPrivilege(SE_DEBUG_NAME)->enabled);

    // Enabled already: nothing changes, the previous state is empty.
    EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, AsPrivileges(r), sizeof previous,
                                      reinterpret_cast<PTOKEN_PRIVILEGES>(previous), &length));
    EXPECT_EQ(before->PrivilegeCount, 0u);
    EXPECT_EQ(length, 4u);
}

TEST_F(TokenTest, APrivilegeNotHeldStillSucceedsWithNotAllAssigned) {
    State().FindPrivilege(SE_DEBUG_NAME)->held = false;
    Request r = Enable(SE_DEBUG_NAME);
    EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, AsPrivileges(r), 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
    EXPECT_FALSE(State().FindPrivilege(SE_DEBUG_NAME)->enabled);
    EXPECT_EQ(ActionsStartingWith("AdjustTokenPrivileges").back(),
              "AdjustTokenPrivileges(SeDebugPrivilege enable) -> not all assigned");
}

TEST_F(TokenTest, TooSmallAPreviousStateBufferChangesNothing) {
    Request r = Enable(SE_INCREASE_QUOTA_NAME);
    BYTE previous[64] = {};
    DWORD length = 0;
    EXPECT_FALSE(AdjustTokenPrivileges(token, FALSE, AsPrivileges(r), 15,
                                       reinterpret_cast<PTOKEN_PRIVILEGES>(previous), &length));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(length, 16u);
    EXPECT_FALSE(State().FindPrivilege(SE_INCREASE_QUOTA_NAME)->enabled);
}

TEST_F(TokenTest, TheMachineCanRefuseTheWholeAdjustment) {
    State().adjustError = ERROR_ACCESS_DENIED;
    Request r = Enable(SE_PROF_SINGLE_PROCESS_NAME);
    EXPECT_FALSE(AdjustTokenPrivileges(token, FALSE, AsPrivileges(r), 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ActionsStartingWith("AdjustTokenPrivileges").back(),
              "AdjustTokenPrivileges(SeProfileSingleProcessPrivilege enable) -> error 5");
}

TEST_F(TokenTest, DisableAllTurnsOffEveryEnabledPrivilege) {
    Request r = Enable(SE_DEBUG_NAME);
    ASSERT_TRUE(AdjustTokenPrivileges(token, FALSE, AsPrivileges(r), 0, nullptr, nullptr));
    ASSERT_TRUE(AdjustTokenPrivileges(token, TRUE, nullptr, 0, nullptr, nullptr));
    EXPECT_FALSE(State().FindPrivilege(SE_DEBUG_NAME)->enabled);
    EXPECT_FALSE(State().FindPrivilege(L"SeChangeNotifyPrivilege")->enabled);
}

TEST_F(TokenTest, HandlesAndArgumentsAreCheckedAsWin32ChecksThem) {
    Request r = Enable(SE_DEBUG_NAME);
    EXPECT_FALSE(AdjustTokenPrivileges(nullptr, FALSE, AsPrivileges(r), 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(AdjustTokenPrivileges(token, FALSE, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    HANDLE queryOnly = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &queryOnly));
    EXPECT_FALSE(AdjustTokenPrivileges(queryOnly, FALSE, AsPrivileges(r), 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(queryOnly);

    LUID luid{};
    EXPECT_FALSE(LookupPrivilegeValueW(nullptr, L"SeNoSuchPrivilege", &luid));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_SUCH_PRIVILEGE));
    EXPECT_FALSE(LookupPrivilegeValueW(L"OTHERHOST", SE_DEBUG_NAME, &luid));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE));
}

TEST_F(TokenTest, ScriptedLookupAndOpenFailures) {
    State().FindPrivilege(SE_DEBUG_NAME)->lookupError = ERROR_ACCESS_DENIED;
    LUID luid{};
    EXPECT_FALSE(LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &luid));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    State().tokenOpenError = ERROR_ACCESS_DENIED;
    HANDLE other = nullptr;
    EXPECT_FALSE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &other));
    EXPECT_EQ(other, nullptr);
}

}  // namespace
