// Whether the program's memory stays flat over a long run: the real main
// dialog on the scripted machine, shown and painted (offscreen), through
// 10,000 refreshes after a warm-up of 1,500, with a panel switch every 100
// and a resize every 250, the machine's figures moving at every tick.
//
// The resident set depends on the window's size and panel (the buffers
// follow the window), so it is read every 1,500 refreshes in one and the
// same state: the page-file panel (a multiple of three switches) and the
// window brought back to its first size.
//
//   bench/memory_soak [REFRESHES]       (default 11,500)

#include "scenario_runner.h"

#include "host/host_app.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// This process's resident set in kilobytes (VmRSS).
long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

bool Step(scenario::ScenarioRunner& runner, const nlohmann::json& step) {
    std::string error;
    if (runner.RunStep(step, "/soak", &error)) return true;
    std::fprintf(stderr, "memory_soak: %s: %s\n", step.dump().c_str(), error.c_str());
    return false;
}

// The machine's lists moving a little at every tick, so that every refresh
// changes the report, the legends and the charts.
nlohmann::json Moving(int tick) {
    const int wobble = (tick * 7919) % 5000;
    return {{"machine",
             {{"memoryList", {{"record", {{"FreePageCount", 100000 + wobble}, {"ZeroPageCount", 50000 - wobble}}}}},
              {"performance", {{"record", {{"PageReadCount", 340000 + tick * 13}, {"CcCopyReadWait", 340000 + tick * 41}}}}}}}};
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int refreshes = argc > 1 ? std::atoi(argv[1]) : 11500;
    constexpr int kSamplePeriod = 1500;
    host::HostApplication application(argc, argv);
    scenario::ScenarioRunner runner;
    std::string error;
    // The moving figures are applied through the scenario document, which
    // holds one "machine" object per step it may apply.
    nlohmann::json document = {{"machine", {{"display", {{"dpi", 96}}}}}, {"steps", nlohmann::json::array()}};
    for (int tick = 0; tick < 64; ++tick) document["steps"].push_back(Moving(tick));
    if (!runner.Load(document.dump(), &error)) {
        std::fprintf(stderr, "memory_soak: %s\n", error.c_str());
        return 1;
    }
    if (!Step(runner, {{"start", nlohmann::json::object()}})) return 1;
    const int toggles[] = {1019, 1018, 1027};
    long warm = 0;
    for (int tick = 1; tick <= refreshes; ++tick) {
        const std::string pointer = "/steps/" + std::to_string(tick % 64);
        if (!runner.RunStep(document["steps"][tick % 64], pointer, &error)) {
            std::fprintf(stderr, "memory_soak: %s\n", error.c_str());
            return 1;
        }
        if (!Step(runner, {{"ticks", 1u}})) return 1;
        if (tick % 100 == 0 && !Step(runner, {{"click", toggles[(tick / 100 - 1) % 3]}})) return 1;
        if (tick % 250 == 0) {
            const int width = 1200 + (tick / 250) % 5 * 40;
            if (!Step(runner, {{"resize", {{"width", width}, {"height", 760 + (tick / 250) % 3 * 30}}}})) return 1;
        }
        if (tick % kSamplePeriod == 0) {
            if (!Step(runner, {{"resize", {{"width", 1278}, {"height", 828}}}})) return 1;
            const long now = ResidentKb();
            if (tick == kSamplePeriod) warm = now;
            std::printf("after %5d refreshes: %7.1f MB resident\n", tick, now / 1024.0);
        }
    }
    if (!Step(runner, {{"resize", {{"width", 1278}, {"height", 828}}}})) return 1;
    const long end = ResidentKb();
    std::printf("growth after the warm-up: %+.1f MB over %d refreshes\n", (end - warm) / 1024.0,
                refreshes - kSamplePeriod);
    return 0;
}
