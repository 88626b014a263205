#include "host/virtual_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using host::VirtualClock;

TEST(VirtualClock, FiresDueTimersInOrderOfDueTime) {
    VirtualClock clock;
    std::vector<std::string> fired;
    clock.StartTimer(300, [&] { fired.push_back("slow@" + std::to_string(clock.Now())); });
    clock.StartTimer(100, [&] { fired.push_back("fast@" + std::to_string(clock.Now())); });
    clock.Advance(650);
    EXPECT_EQ(fired, (std::vector<std::string>{"fast@100", "fast@200", "slow@300", "fast@300", "fast@400",
                                               "fast@500", "slow@600", "fast@600"}));
    EXPECT_EQ(clock.Now(), 650u);
}

TEST(VirtualClock, TimersDueTogetherFireInStartOrder) {
    VirtualClock clock;
    std::string order;
    clock.StartTimer(10, [&] { order += 'a'; });
    clock.StartTimer(10, [&] { order += 'b'; });
    clock.Advance(10);
    EXPECT_EQ(order, "ab");
}

TEST(VirtualClock, StoppedTimerNoLongerFires) {
    VirtualClock clock;
    int ticks = 0;
    VirtualClock::TimerId id = 0;
    id = clock.StartTimer(10, [&] {
        if (++ticks == 2) clock.StopTimer(id);
    });
    clock.Advance(100);
    EXPECT_EQ(ticks, 2);
    EXPECT_FALSE(clock.IsRunning(id));
}

TEST(VirtualClock, RestartMovesTheNextDueTime) {
    VirtualClock clock;
    std::vector<unsigned> at;
    auto id = clock.StartTimer(1000, [&] { at.push_back(clock.Now()); });
    clock.Advance(600);
    ASSERT_TRUE(clock.RestartTimer(id, 1000));
    clock.Advance(1500);
    EXPECT_EQ(at, (std::vector<unsigned>{1600}));
}

TEST(VirtualClock, NestedAdvanceCoalescesMissedTicks) {
    // A callback that keeps the clock running for 3.5 s (a message box left
    // open) sees the other timer fire inside it; the outer advance then goes
    // on from where the nested one stopped, and the missed periods of the
    // timer that blocked come as one tick, as WM_TIMER does.
    VirtualClock clock;
    std::vector<std::string> log;
    bool inBox = false;
    clock.StartTimer(1000, [&] {
        log.push_back("refresh@" + std::to_string(clock.Now()) + (inBox ? "(nested)" : ""));
        if (!inBox && clock.Now() == 1000) {
            inBox = true;
            clock.Advance(3500);
            inBox = false;
        }
    });
    clock.Advance(6000);
    EXPECT_EQ(log.front(), "refresh@1000");
    EXPECT_EQ(log[1], "refresh@2000(nested)");
    EXPECT_EQ(clock.Now(), 6000u);
    EXPECT_EQ(log.back(), "refresh@6000");
}

TEST(VirtualClock, TickCountWrapsAt32Bits) {
    VirtualClock clock(0xFFFFFF00u);
    int ticks = 0;
    clock.StartTimer(0x80, [&] { ++ticks; });
    clock.Advance(0x200);
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(clock.Now(), 0x100u);
}

// A program that keeps the clock in step with real time sleeps until the
// earliest timer is due, whichever timer that is.
TEST(VirtualClock, TellsHowLongUntilTheEarliestTimerIsDue) {
    VirtualClock clock(0xFFFFFF00u);
    EXPECT_FALSE(clock.UntilNextDue().has_value()) << "no timer runs";
    const VirtualClock::TimerId slow = clock.StartTimer(1000, [] {});
    EXPECT_EQ(clock.UntilNextDue(), 1000u);
    clock.Advance(0x150);  // past the 32-bit wrap of the tick count
    EXPECT_EQ(clock.UntilNextDue(), 1000u - 0x150u);
    const VirtualClock::TimerId fast = clock.StartTimer(10, [] {});
    EXPECT_EQ(clock.UntilNextDue(), 10u);
    clock.Advance(15);
    EXPECT_EQ(clock.UntilNextDue(), 5u) << "the fast timer was re-armed from its due time";
    clock.StopTimer(fast);
    EXPECT_EQ(clock.UntilNextDue(), 1000u - 0x150u - 15u);
    clock.StopTimer(slow);
    EXPECT_FALSE(clock.UntilNextDue().has_value());
}

}  // namespace
