// Enabling privileges: only the adjust call decides the result, and every
// failure gives back what was acquired before it.

#include "kernel/privileges.h"

#include <windows.h>

#include "system/scripted_fixture.h"

namespace {

class PrivilegesTest : public ScriptedMachineTest {
protected:
    void TearDown() override {
        // Whatever happened, no heap block or token handle is left behind.
        EXPECT_EQ(host::LiveSystemObjects(), before);
        ScriptedMachineTest::TearDown();
    }
    std::vector<std::string> Adjustments() const { return ActionsStartingWith("AdjustTokenPrivileges"); }
    void FailAllocationsOf(SIZE_T bytes) {
        std::string error;
        ASSERT_TRUE(machine.LoadScenario(
            R"({ "machine": { "heap": { "failSizes": [ )" + std::to_string(bytes) + " ] } } }", &error))
            << error;
    }

    host::SystemObjectCounts before = host::LiveSystemObjects();
};

TEST_F(PrivilegesTest, EachFunctionEnablesItsOwnPrivilege) {
    EXPECT_TRUE(KernelIf::EnableDebugPrivilege());
    EXPECT_TRUE(KernelIf::EnableIncreaseQuotaPrivilege());
    EXPECT_TRUE(KernelIf::EnableProfileSingleProcessPrivilege());
    EXPECT_TRUE(State().FindPrivilege(SE_DEBUG_NAME)->enabled);
    EXPECT_TRUE(State().FindPrivilege(SE_INCREASE_QUOTA_NAME)->enabled);
    EXPECT_TRUE(State().FindPrivilege(SE_PROF_SINGLE_PROCESS_NAME)->enabled);
    EXPECT_EQ(Adjustments(), (std::vector<std::string>{
                                 "AdjustTokenPrivileges(SeDebugPrivilege enable) -> ok",
                                 "AdjustTokenPrivileges(SeIncreaseQuotaPrivilege enable) -> ok",
                                 "AdjustTokenPrivileges(SeProfileSingleProcessPrivilege enable) -> ok",
                             }));
}

TEST_F(PrivilegesTest, APrivilegeNotHeldIsStillASuccessBecauseTheAdjustCallSucceeds) {
    State().FindPrivilege(SE_INCREASE_QUOTA_NAME)->held = false;
    EXPECT_TRUE(KernelIf::EnableIncreaseQuotaPrivilege());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
    EXPECT_FALSE(State().FindPrivilege(SE_INCREASE_QUOTA_NAME)->enabled);
}

TEST_F(PrivilegesTest, AFailedAdjustCallIsAFailure) {
    State().adjustError = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(KernelIf::EnableProfileSingleProcessPrivilege());
    EXPECT_EQ(Adjustments().size(), 1u);
}

TEST_F(PrivilegesTest, AFailedLookupFailsWithoutAnAdjustCall) {
    State().FindPrivilege(SE_DEBUG_NAME)->lookupError = ERROR_NO_SUCH_PRIVILEGE;
    EXPECT_FALSE(KernelIf::EnableDebugPrivilege());
    EXPECT_TRUE(Adjustments().empty());
}

TEST_F(PrivilegesTest, ATokenThatDoesNotOpenFailsBeforeAnyAllocation) {
    State().tokenOpenError = ERROR_ACCESS_DENIED;
    State().allocationsCounted = 0;
    EXPECT_FALSE(KernelIf::EnableDebugPrivilege());
    EXPECT_EQ(State().allocationsCounted, 0u);
    EXPECT_TRUE(Adjustments().empty());
}

TEST_F(PrivilegesTest, TheRecordFailingToAllocateClosesTheToken) {
    FailAllocationsOf(28);
    EXPECT_FALSE(KernelIf::EnableDebugPrivilege());
    EXPECT_EQ(State().allocationsCounted, 1u);
    EXPECT_TRUE(Adjustments().empty());
}

TEST_F(PrivilegesTest, ThePreviousStateFailingToAllocateFreesTheRecordAndClosesTheToken) {
    FailAllocationsOf(400);
    EXPECT_FALSE(KernelIf::EnableIncreaseQuotaPrivilege());
    EXPECT_EQ(State().allocationsCounted, 2u);
    EXPECT_TRUE(Adjustments().empty());
    EXPECT_FALSE(State().FindPrivilege(SE_INCREASE_QUOTA_NAME)->enabled);
}

}  // namespace
