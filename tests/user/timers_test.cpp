// Window timers on the scripted machine's virtual clock.

#include "user_test_support.h"

#include <algorithm>
#include <chrono>
#include <string>

namespace {

using user_test::MakeWindow;
using user_test::UserTest;

class TimersTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        window = MakeWindow(WS_POPUP, 0, 0, 50, 50);
        recorder.handler = [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT*) {
            if (msg == WM_TIMER) ticks.push_back(std::to_string(wParam) + "@" + std::to_string(GetTickCount()) +
                                                 (hwnd == window ? "" : "?"));
            return false;
        };
    }

    HWND window = nullptr;
    std::vector<std::string> ticks;
};

TEST_F(TimersTest, TimersFireAtTheirVirtualTimesInOrder) {
    EXPECT_EQ(SetTimer(window, 1957, 1000, nullptr), 1957u);
    EXPECT_EQ(SetTimer(window, 500, 400, nullptr), 500u);
    machine.Advance(2100);
    EXPECT_EQ(ticks, (std::vector<std::string>{"500@400", "500@800", "1957@1000", "500@1200", "500@1600",
                                               "1957@2000", "500@2000"}));
}

TEST_F(TimersTest, KilledTimersAndTimersOfDestroyedWindowsStop) {
    SetTimer(window, 1, 100, nullptr);
    SetTimer(window, 2, 150, nullptr);
    machine.Advance(100);
    EXPECT_TRUE(KillTimer(window, 1));
    EXPECT_FALSE(KillTimer(window, 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    machine.Advance(200);
    EXPECT_EQ(ticks, (std::vector<std::string>{"1@100", "2@150", "2@300"}));
    DestroyWindow(window);
    EXPECT_EQ(machine.Clock()->RunningTimers(), 0u);
    ticks.clear();
    machine.Advance(1000);
    EXPECT_TRUE(ticks.empty());
}

TEST_F(TimersTest, SettingAnExistingTimerAgainRestartsIt) {
    SetTimer(window, 7, 100, nullptr);
    machine.Advance(90);
    SetTimer(window, 7, 100, nullptr);  // due again 100 ms from now
    machine.Advance(150);
    EXPECT_EQ(ticks, (std::vector<std::string>{"7@190"}));
}

TEST_F(TimersTest, AHandlerMayKillItsOwnTimer) {
    recorder.handler = [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT*) {
        if (msg != WM_TIMER) return false;
        ticks.push_back(std::to_string(GetTickCount()));
        if (ticks.size() == 2) KillTimer(hwnd, wParam);
        return true;
    };
    SetTimer(window, 10, 10, nullptr);
    machine.Advance(100);
    EXPECT_EQ(ticks, (std::vector<std::string>{"10", "20"}));
}

TEST_F(TimersTest, ShortIntervalsAreRaisedToTheMinimum) {
    SetTimer(window, 3, 1, nullptr);
    machine.Advance(25);
    EXPECT_EQ(ticks, (std::vector<std::string>{"3@10", "3@20"}));
}

TEST_F(TimersTest, TimersFailWhenTheMachineRefusesThem) {
    machine.SetTimersRefused(true);
    SetLastError(0);
    EXPECT_EQ(SetTimer(window, 1957, 1000, nullptr), 0u);
    EXPECT_NE(GetLastError(), 0u);
    machine.Advance(5000);
    EXPECT_TRUE(ticks.empty());
    machine.SetTimersRefused(false);
    EXPECT_EQ(SetTimer(window, 1957, 1000, nullptr), 1957u);
}

TEST_F(TimersTest, TimerProceduresAndThreadTimersGetTheirOwnCalls) {
    static std::vector<std::string> calls;
    calls.clear();
    const TIMERPROC proc = [](HWND hwnd, UINT msg, UINT_PTR id, DWORD time) {
        calls.push_back((hwnd ? "window " : "thread ") + std::to_string(msg == WM_TIMER) + " " +
                        std::to_string(id != 0) + " " + std::to_string(time));
    };
    const UINT_PTR threadTimer = SetTimer(nullptr, 0, 50, proc);
    EXPECT_NE(threadTimer, 0u);
    SetTimer(window, 4, 60, proc);
    machine.Advance(60);
    EXPECT_EQ(calls, (std::vector<std::string>{"thread 1 1 50", "window 1 1 60"}));
    EXPECT_TRUE(ticks.empty());  // a TIMERPROC takes the place of WM_TIMER
    EXPECT_TRUE(KillTimer(nullptr, threadTimer));
}

TEST_F(TimersTest, AMessageBoxInATickIsAnsweredWhileTicksGoOnInside) {
    int reentered = 0;
    int openInside = 0;
    bool ownerEnabledInside = true;
    bool inBox = false;
    recorder.handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg != WM_TIMER) return false;
        ticks.push_back(std::to_string(GetTickCount()));
        if (inBox) {
            // The handler sees that it runs inside its own message box.
            ++reentered;
            openInside = machine.OpenModalCount();
            ownerEnabledInside = IsWindowEnabled(hwnd) != FALSE;
            return true;
        }
        inBox = true;
        const int answer = MessageBoxW(hwnd, L"Error Setting Timer", L"Test_DUVudov", MB_OK | MB_ICONERROR);
        inBox = false;
        ticks.push_back("answer " + std::to_string(answer));
        return true;
    };
    machine.QueueModalAnswer({IDOK, 2500});
    SetTimer(window, 1957, 1000, nullptr);
    machine.Advance(4000);
    EXPECT_EQ(ticks, (std::vector<std::string>{"1000", "2000", "3000", "answer 1", "4000", "answer 1"}));
    EXPECT_EQ(reentered, 2);
    EXPECT_EQ(openInside, 1);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(machine.OpenModalCount(), 0);
    ASSERT_EQ(machine.Modals().size(), 2u);
    const host::ModalRecord& box = machine.Modals().front();
    EXPECT_EQ(box.kind, host::ModalRecord::Kind::MessageBox);
    EXPECT_EQ(box.caption, L"Test_DUVudov");
    EXPECT_EQ(box.text, L"Error Setting Timer");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(box.answer, IDOK);
}

}  // namespace

// Timers on the real clock, as the program runs on a live machine. Nothing
// here asserts how late a tick may come, only that it is never early.
class LiveTimersTest : public TimersTest {
protected:
    void SetUp() override {
        TimersTest::SetUp();
        host::SetActiveMachine(nullptr);
    }
    static size_t Count(const std::vector<std::string>& ticks, const std::string& id) {
        return static_cast<size_t>(std::count_if(ticks.begin(), ticks.end(),
                                                 [&](const std::string& tick) { return tick.rfind(id + "@", 0) == 0; }));
    }
};

TEST_F(LiveTimersTest, TimersOfOneTickShareOneSourceAndAJoinerIsNeverEarly) {
    SetTimer(window, 1, 10, nullptr);
    ASSERT_TRUE(host::user::ProcessEventsUntil([&] { return Count(ticks, "1") >= 2; }, 5000));
    const auto set = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point firstOfTwo{};
    recorder.handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT*) {
        if (msg != WM_TIMER) return false;
        if (wParam == 2 && firstOfTwo == std::chrono::steady_clock::time_point{})
            firstOfTwo = std::chrono::steady_clock::now();
        ticks.push_back(std::to_string(wParam) + "@");
        return true;
    };
    SetTimer(window, 2, 12, nullptr);  // under the clock tick, as 1 is: one tick serves both
    SetTimer(window, 3, 30, nullptr);
    EXPECT_EQ(host::user::LiveTimerSources(), 2u);
    ASSERT_TRUE(host::user::ProcessEventsUntil([&] { return Count(ticks, "2") >= 3 && Count(ticks, "3") >= 1; }, 5000));
    EXPECT_GE(firstOfTwo - set, std::chrono::milliseconds(12));

    // A timer killed by another's tick in the same pass does not fire.
    recorder.handler = [&](HWND hwnd, UINT msg, WPARAM wParam, LPARAM, LRESULT*) {
        if (msg != WM_TIMER) return false;
        ticks.push_back(std::to_string(wParam) + "@");
        if (wParam == 1) KillTimer(hwnd, 2);
        return true;
    };
    ticks.clear();
    ASSERT_TRUE(host::user::ProcessEventsUntil([&] { return Count(ticks, "1") >= 3; }, 5000));
    EXPECT_EQ(Count(ticks, "2"), 0u);

    EXPECT_TRUE(KillTimer(window, 1));
    EXPECT_TRUE(KillTimer(window, 3));
    EXPECT_EQ(host::user::LiveTimerSources(), 0u);
}

TEST_F(LiveTimersTest, ALoneTimerSetAgainIsDueAWholeIntervalLater) {
    SetTimer(window, 7, 60, nullptr);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(host::user::ProcessEventsUntil([] { return false; }, 40) == false);
    SetTimer(window, 7, 60, nullptr);  // due 60 ms from here, not 20
    const auto reset = std::chrono::steady_clock::now();
    ticks.clear();
    ASSERT_TRUE(host::user::ProcessEventsUntil([&] { return !ticks.empty(); }, 5000));
    EXPECT_GE(std::chrono::steady_clock::now() - reset, std::chrono::milliseconds(60));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(host::user::LiveTimerSources(), 1u);
}
