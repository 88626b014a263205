// palisk-scenario: runs the main dialog on a scripted machine and writes
// what a person would see after every step.
//
//   palisk-scenario SCENARIO.json OUTPUT-DIR [--pictures] [--x11]
//
// Headless by default. With --x11 it runs on the X server of $DISPLAY
// (Xvfb will do) and sends its clicks by position through that server.

#include "host/host_app.h"
#include "scenario_runner.h"
#include "x_server_pointer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

struct Arguments {
    const char* scenario = nullptr;
    const char* outputDir = nullptr;
    bool pictures = false;
    bool x11 = false;
};

bool Parse(int argc, char** argv, Arguments* arguments) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pictures") == 0) arguments->pictures = true;
        else if (std::strcmp(argv[i], "--x11") == 0) arguments->x11 = true;
        else if (argv[i][0] == '-') return false;
        else if (!arguments->scenario) arguments->scenario = argv[i];
        else if (!arguments->outputDir) arguments->outputDir = argv[i];
        else return false;
    }
    return arguments->outputDir != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    if (!Parse(argc, argv, &arguments)) {
        std::fprintf(stderr, "usage: palisk-scenario SCENARIO.json OUTPUT-DIR [--pictures] [--x11]\n");
        return 2;
    }
    if (arguments.x11) setenv("QT_QPA_PLATFORM", "xcb", 1);
    else setenv("QT_QPA_PLATFORM", "offscreen", 0);
    host::HostApplication application(argc, argv);
    std::ifstream file(arguments.scenario);
    if (!file) {
        std::fprintf(stderr, "palisk-scenario: cannot read %s\n", arguments.scenario);
        return 2;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string error;
    scenario::ScenarioRunner runner;
    if (arguments.x11) {
        std::unique_ptr<scenario::XServerPointer> pointer = scenario::XServerPointer::Open(&error);
        if (!pointer) {
            std::fprintf(stderr, "palisk-scenario: %s\n", error.c_str());
            return 1;
        }
        runner.SetPointer(std::move(pointer));
    }
    scenario::RunOptions options;
    options.outputDir = arguments.outputDir;
    options.pictures = arguments.pictures;
    if (!runner.Load(text.str(), &error) || !runner.Run(options, &error)) {
        std::fprintf(stderr, "palisk-scenario: %s: %s\n", arguments.scenario, error.c_str());
        return 1;
    }
    std::printf("%zu steps; states in %s\n", runner.States().size(), arguments.outputDir);
    return 0;
}
