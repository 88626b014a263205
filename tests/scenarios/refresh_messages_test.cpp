// Message boxes shown by a refresh run a nested message loop in which the
// refresh timer keeps ticking; those ticks must not stack box upon box.

#include "scenario_support.h"

#include "app/palisk_dlg.h"

namespace {

using scenario_test::CountModals;
using scenario_test::RunScenario;

TEST(RefreshMessages, AFailingMemoryListQueryShowsOneBoxPerRefreshNotPerTick) {
    // Every box stays open 3.5 s. The first refresh (inside start-up, timer
    // already running) shows one; the ticks at 1, 2 and 3 s arrive while it
    // is open and are skipped. At 4 s the next refresh shows the second box,
    // open until 7.5 s; the third comes at 8 s and the fourth at 12 s.
    scenario::ScenarioRunner runner;
    RunScenario(runner, scenario_test::ReadScenario("memory_list_failing.json"));
    const auto& s = runner.States();
    ASSERT_EQ(CountModals(s[0], "Unknown Palisk Error"), 1);
    EXPECT_EQ(s[0]["modals"][0]["text"], "SF Err=oxc0000004 needed=0xb0");
    EXPECT_EQ(s[0]["tick"], 3500);
    EXPECT_EQ(CountModals(s[1], "Unknown Palisk Error"), 2);
    EXPECT_EQ(s[1]["tick"], 7500);
    EXPECT_EQ(s[1]["window"]["refreshCount"], 1);
    EXPECT_EQ(CountModals(s.back(), "Unknown Palisk Error"), 4);
    EXPECT_EQ(s.back()["tick"], 15500);
    EXPECT_EQ(s.back()["window"]["refreshCount"], 3);
    EXPECT_EQ(runner.Machine().OpenModalCount(), 0);
}

TEST(RefreshMessages, AFailingCollectionShowsOneBoxThenNormalFigures) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"machine": {"counters": {"upcomingCollects": [-2147481648]}},
                            "steps": [{"start": {}}, {"ticks": 2}]})");
    const auto& s = runner.States();
    ASSERT_EQ(CountModals(s.back(), "Error"), 1);
    EXPECT_EQ(s.back()["modals"][0]["text"], " pdh collect data fail");
    EXPECT_TRUE(s.back()["window"]["pdhReady"]);
}

TEST(RefreshMessages, WhenTheRetryFailsTooTheBoxShowsTheFirstQuerysStatus) {
    // The 168-byte query is refused for its length, the 176-byte retry for
    // access; the box names the first status and the length last asked for.
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"machine": {"memoryList": {"returnedLength": 176,
                              "upcoming": ["STATUS_INFO_LENGTH_MISMATCH", "STATUS_ACCESS_DENIED"]}},
                            "steps": [{"start": {}}]})");
    const auto& s = runner.States();
    ASSERT_EQ(CountModals(s.back(), "Unknown Palisk Error"), 1);
    EXPECT_EQ(s.back()["modals"][0]["text"], "SF Err=oxc0000004 needed=0xb0");
}

}  // namespace
