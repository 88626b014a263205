// The soak: the main dialog refreshed again and again (100,000 times by
// default) on a scripted machine where every query, counter, allocation
// and open fails at random, processes start and end, and the user resizes
// the window to nothing and back, minimises it, switches panels, picks
// targets and gives commands. Nothing may crash or trip a sanitizer, the
// screen must keep agreeing with the windows, and the heap, the drawing
// objects and the windows must stay as many as they were once the run
// settled.
//
// PALISK_SOAK_SEED repeats a run (the seed is printed); PALISK_SOAK_REFRESHES
// makes it longer or shorter (the sanitizer build's CTest run is shorter).

#include "scenario_runner.h"

#include "app/palisk_dlg.h"
#include "host/gdi.h"
#include "host/user.h"
#include "memory_use.h"
#include "platform/afx/afx_state.h"
#include "soak_events.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

constexpr int kToggles[] = {IDC_SHOW_PAGEFILE, IDC_SHOW_CACHE_EFFECTIVENESS, IDC_SHOW_REPURPOSED};

class Soak {
public:
    explicit Soak(std::uint64_t seed) : events_(seed) {}

    bool Start(std::string* error) {
        if (!runner_.Load(R"({"steps": []})", error) || !Step({{"start", nlohmann::json::object()}}, error))
            return false;
        RECT rect{};
        GetWindowRect(Dialog(), &rect);
        width_ = rect.right - rect.left;
        height_ = rect.bottom - rect.top;
        return true;
    }

    // One refresh, with whatever goes wrong before it.
    bool Refresh(std::string* error) {
        host::ScriptedSystemState& state = runner_.Machine().State();
        events_.ScriptFailures(state);
        events_.ChurnProcesses(state);
        const nlohmann::json step = events_.UserStep(View());
        if (!step.is_null() && Takes(step) && !Step(step, error)) {
            // Choosing opens the list, which is filled afresh: the item
            // asked for may have gone with its process.
            if (!step.contains("choose") || !error->ends_with(": no such item")) return false;
        }
        runner_.Machine().Advance(1000);
        return true;
    }

    // Lets the windows catch up and checks the screen; forgets the records
    // the machine keeps for tests, which would otherwise grow with the run.
    bool Settle(std::string* error) {
        host::user::ProcessEvents();
        AfxUnlockTempMaps();
        runner_.Machine().ClearRecords();
        for (auto& [infoClass, query] : runner_.Machine().State().queries) query.lengthsAsked = {};
        return runner_.ScreenAgrees(error);
    }

    struct Footprint {
        std::size_t heapBytes = 0;
        long residentKiB = 0;
        std::size_t drawingObjects = 0;
        std::size_t windows = 0;
        std::size_t temporaries = 0;
    };

    // Brings the dialog back to where it started (the window's size, the
    // page-file panel, the default machine, an empty target choice) and
    // measures what it holds then, so that two measures compare like with
    // like.
    bool Measure(Footprint* footprint, std::string* error) {
        host::ScriptedSystemState& state = runner_.Machine().State();
        const std::uint64_t counted = state.allocationsCounted;
        state = host::DefaultScriptedSystem();
        state.allocationsCounted = counted;
        if (IsIconic(Dialog()) && !Step({{"restore", nlohmann::json::object()}}, error)) return false;
        if (!Step({{"resize", {{"width", width_}, {"height", height_}}}}, error)) return false;
        while (!IsWindowVisible(GetDlgItem(Dialog(), IDC_SHOW_CACHE_EFFECTIVENESS))) {
            if (!Step({{"click", View().visibleToggle}}, error)) return false;
        }
        if (!Step({{"dropdown", IDC_TARGET_PROCESS}}, error)) return false;
        runner_.Machine().Advance(1000);
        if (!Settle(error)) return false;
        footprint->heapBytes = soak::LiveHeapBytes();
        footprint->residentKiB = soak::ResidentKiB();
        footprint->drawingObjects = host::gdi::LiveObjectCount();
        footprint->windows = CountWindows();
        auto* afx = afx_internal::CurrentThreadState();
        footprint->temporaries = afx->windows.TemporaryCount() + afx->dcs.TemporaryCount() +
                                 afx->gdiObjects.TemporaryCount() + afx->menus.TemporaryCount();
        return true;
    }

    const soak::Events& Events() const { return events_; }

private:
    HWND Dialog() { return runner_.Dialog()->GetSafeHwnd(); }

    bool Step(const nlohmann::json& step, std::string* error) {
        return runner_.RunStep(step, "/soak/" + std::to_string(++steps_), error);
    }

    soak::Events::View View() {
        soak::Events::View view;
        view.targetItems = static_cast<int>(host::user::ComboItems(GetDlgItem(Dialog(), IDC_TARGET_PROCESS)).size());
        for (int id : kToggles)
            if (IsWindowVisible(GetDlgItem(Dialog(), id))) view.visibleToggle = id;
        view.minimised = IsIconic(Dialog()) != FALSE;
        return view;
    }

    // A person clicks only what is on show and enabled.
    bool Takes(const nlohmann::json& step) {
        if (!step.contains("click")) return true;
        const HWND control = GetDlgItem(Dialog(), step["click"].get<int>());
        return control != nullptr && IsWindowVisible(control) && IsWindowEnabled(control);
    }

    static std::size_t CountWindows(const std::vector<HWND>& windows) {
        std::size_t count = windows.size();
        for (HWND window : windows) count += CountWindows(host::user::Children(window));
        return count;
    }
    static std::size_t CountWindows() { return CountWindows(host::user::TopLevelWindows()); }

    scenario::ScenarioRunner runner_;
    soak::Events events_;
    int width_ = 0, height_ = 0;
    std::uint64_t steps_ = 0;
};

TEST(Soak, RefreshesWithEverythingFailingAtRandomLeaveNoTrace) {
    const std::uint64_t seed = FromEnvironment("PALISK_SOAK_SEED", std::random_device{}());
    // CTest gives each build its own default length; a length of one's own wins.
    const std::uint64_t refreshes =
        FromEnvironment("PALISK_SOAK_REFRESHES", FromEnvironment("PALISK_SOAK_DEFAULT_REFRESHES", 100000));
    std::printf("soak: seed %llu (PALISK_SOAK_SEED=%llu repeats this run), %llu refreshes\n",
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed),
                static_cast<unsigned long long>(refreshes));
    std::fflush(stdout);
    const auto started = std::chrono::steady_clock::now();
    const long residentAtStart = soak::ResidentKiB();

    Soak soak(seed);
    std::string error;
    ASSERT_TRUE(soak.Start(&error)) << error;
    Soak::Footprint settled, end;
    const std::uint64_t settledAt = std::max<std::uint64_t>(refreshes / 10, 1);
    for (std::uint64_t i = 1; i <= refreshes; ++i) {
        ASSERT_TRUE(soak.Refresh(&error)) << "refresh " << i << ", seed " << seed << ": " << error;
        if (i % 1000 == 0) {
            ASSERT_TRUE(soak.Settle(&error)) << "refresh " << i << ", seed " << seed << ": " << error;
        }
        if (i == settledAt) {
            ASSERT_TRUE(soak.Measure(&settled, &error)) << error;
        }
    }
    ASSERT_TRUE(soak.Measure(&end, &error)) << error;

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const soak::Events& events = soak.Events();
    std::printf("soak: %.0f s; %llu failures scripted, %llu processes started, %llu ended, %llu user steps\n"
                "soak: heap %zu -> %zu bytes (after %llu and %llu refreshes); RSS %ld kB at start, %ld -> %ld kB\n"
                "soak: drawing objects %zu -> %zu, windows %zu -> %zu, temporary wrappers %zu -> %zu\n",
                seconds, static_cast<unsigned long long>(events.failuresScripted),
                static_cast<unsigned long long>(events.processesStarted),
                static_cast<unsigned long long>(events.processesEnded),
                static_cast<unsigned long long>(events.userSteps), settled.heapBytes, end.heapBytes,
                static_cast<unsigned long long>(settledAt), static_cast<unsigned long long>(refreshes),
                residentAtStart, settled.residentKiB, end.residentKiB, settled.drawingObjects, end.drawingObjects,
                settled.windows, end.windows, settled.temporaries, end.temporaries);
    // A leak of 24 bytes a refresh would show over 90,000 refreshes.
    EXPECT_LE(end.heapBytes, settled.heapBytes + (2u << 20)) << "seed " << seed;
    EXPECT_EQ(end.drawingObjects, settled.drawingObjects) << "seed " << seed;
    EXPECT_EQ(end.windows, settled.windows) << "seed " << seed;
    EXPECT_EQ(end.temporaries, settled.temporaries) << "seed " << seed;
}

}  // namespace
