// palisk-scenario: runs the main dialog headless on a scripted machine and
// writes what a person would see after every step.
//
//   palisk-scenario SCENARIO.json OUTPUT-DIR [--pictures]

#include "host/host_app.h"
#include "scenario_runner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: palisk-scenario SCENARIO.json OUTPUT-DIR [--pictures]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    host::HostApplication application(argc, argv);
    std::ifstream file(argv[1]);
    if (!file) {
        std::fprintf(stderr, "palisk-scenario: cannot read %s\n", argv[1]);
        return 2;
    }
    std::stringstream text;
    text << file.rdbuf();
    scenario::RunOptions options{argv[2], argc > 3 && std::strcmp(argv[3], "--pictures") == 0};
    std::string error;
    scenario::ScenarioRunner runner;
    if (!runner.Load(text.str(), &error) || !runner.Run(options, &error)) {
        std::fprintf(stderr, "palisk-scenario: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::printf("%zu steps; states in %s\n", runner.States().size(), argv[2]);
    return 0;
}
