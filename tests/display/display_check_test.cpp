// The main window on a real X server. palisk-scenario runs panel_clicks.json
// twice: headless, with its clicks handed to the window system in-process,
// and on an Xvfb server with every click sent through the server's XTEST
// extension, which routes it to whatever window is under its pointer. Both
// runs check after every step that the screen shows each window as the
// window holds it; and both must leave the same states behind.
//
// Skipped, saying why, only where no X server can be started.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path WorkDir() { return fs::path(PALISK_TEST_OUTPUT_DIR) / ("display-" + std::to_string(getpid())); }

// A child process started with `argv` and `env` set over this one's
// environment; its standard output and error go to `log`. Everything the
// child needs is made before the fork.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const fs::path& log,
            int keepFd = -1) {
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        const bool overridden = std::any_of(env.begin(), env.end(),
                                            [&](const std::string& v) { return v.rfind(name + "=", 0) == 0; });
        if (!overridden) environment.push_back(entry);
    }
    environment.insert(environment.end(), env.begin(), env.end());
    std::vector<char*> args, envp;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);

    const pid_t pid = fork();
    if (pid != 0) {
        if (out >= 0) close(out);
        return pid;
    }
    if (out >= 0) {
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
    }
    for (int fd = 3; fd < 1024; ++fd) {
        if (fd != keepFd) close(fd);
    }
    execvpe(args[0], args.data(), envp.data());
    _exit(127);
}

// Waits for the child for at most `seconds`; its exit status, or -1 when it
// had to be killed.
int WaitFor(pid_t pid, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// An Xvfb server on a display number of its own choosing (-displayfd), so
// that runs side by side never collide.
class XServer {
public:
    static std::optional<XServer> Start(const fs::path& dir, std::string* why) {
        int fds[2];
        if (pipe(fds) != 0) {
            *why = "no pipe";
            return std::nullopt;
        }
        const pid_t pid = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1600x1000x24", "-dpi",
                                 "96", "-nolisten", "tcp", "-noreset"},
                                {}, dir / "xvfb.log", fds[1]);
        close(fds[1]);
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&ready, 1, 15000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) {
            kill(pid, SIGTERM);
            WaitFor(pid, 5);
            *why = "no X server could be started (Xvfb, from Debian's package xvfb): " + ReadFile(dir / "xvfb.log");
            return std::nullopt;
        }
        return XServer(pid, ":" + number);
    }
    XServer(XServer&& other) noexcept : pid_(other.pid_), display_(std::move(other.display_)) { other.pid_ = 0; }
    ~XServer() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        WaitFor(pid_, 10);
    }
    const std::string& Display() const { return display_; }

private:
    XServer(pid_t pid, std::string display) : pid_(pid), display_(std::move(display)) {}
    pid_t pid_;
    std::string display_;
};

// Runs palisk-scenario over the scenario into `out`; "" or what went wrong.
std::string RunScenario(const fs::path& out, const std::vector<std::string>& extraArgs,
                        const std::vector<std::string>& env) {
    std::vector<std::string> argv = {PALISK_SCENARIO_TOOL, PALISK_DISPLAY_SCENARIO, out.string()};
    argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
    const fs::path log = out.string() + ".log";
    const int status = WaitFor(Spawn(argv, env, log), 300);
    if (status == 0) return std::string();
    return "palisk-scenario " + (status < 0 ? std::string("timed out") : "exited " + std::to_string(status)) + ": " +
           ReadFile(log);
}

nlohmann::json State(const fs::path& dir, int step) {
    char name[32];
    std::snprintf(name, sizeof(name), "state-%02d.json", step);
    return nlohmann::json::parse(ReadFile(dir / name), nullptr, false);
}

// Which panel toggle a state shows.
int ShownToggle(const nlohmann::json& state) {
    for (int id : {1018, 1019, 1027}) {
        if (state["controls"][std::to_string(id)]["visible"] == true) return id;
    }
    return 0;
}

TEST(DisplayCheck, ClicksThroughARealXServerGiveTheHeadlessStates) {
    const fs::path dir = WorkDir();
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::string why;
    std::optional<XServer> server = XServer::Start(dir, &why);
    if (!server) GTEST_SKIP() << why;

    const std::string runtime = "XDG_RUNTIME_DIR=" + (dir / "runtime").string();
    fs::create_directories(dir / "runtime");
    fs::permissions(dir / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    const std::string headless = RunScenario(dir / "headless", {}, {"QT_QPA_PLATFORM=offscreen", runtime});
    ASSERT_EQ(headless, "");
    std::vector<std::string> xEnv = {"DISPLAY=" + server->Display(), runtime};
    // In the sanitizer build: libxkbcommon-x11 hands strndup a keymap name
    // that is not NUL-terminated within its length, which the strict string
    // checks report; that is the library's, not ours.
    if (const char* asan = std::getenv("ASAN_OPTIONS")) {
        xEnv.push_back(std::string("ASAN_OPTIONS=") + asan + ":strict_string_checks=0");
    }
    const std::string onX = RunScenario(dir / "x11", {"--x11"}, xEnv);
    ASSERT_EQ(onX, "");

    const nlohmann::json steps = nlohmann::json::parse(ReadFile(PALISK_DISPLAY_SCENARIO))["steps"];
    for (int step = 1; step <= static_cast<int>(steps.size()); ++step) {
        const nlohmann::json expected = State(dir / "headless", step);
        const nlohmann::json actual = State(dir / "x11", step);
        ASSERT_FALSE(expected.is_discarded()) << "no headless state " << step;
        ASSERT_FALSE(actual.is_discarded()) << "no state " << step << " from the X server's run";
        EXPECT_EQ(actual, expected) << "step " << step << ": " << nlohmann::json::diff(expected, actual).dump();
    }
    // The clicks through the server did what the scenario says.
    EXPECT_EQ(ShownToggle(State(dir / "x11", 1)), 1019);  // page file
    EXPECT_EQ(ShownToggle(State(dir / "x11", 3)), 1018);  // cache effectiveness
    EXPECT_EQ(ShownToggle(State(dir / "x11", 5)), 1027);  // standby repurposing
    EXPECT_EQ(ShownToggle(State(dir / "x11", 7)), 1019);  // page file again
    const nlohmann::json last = State(dir / "x11", static_cast<int>(steps.size()));
    EXPECT_EQ(last["controls"]["1009"]["enabled"], false);  // AutoStart again after AutoStop
    const nlohmann::json actions = last["actions"];
    auto logged = [&](const std::string& fragment) {
        for (const auto& line : actions)
            if (line.get<std::string>().find(fragment) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(logged("MemoryPurgeStandbyList) -> 0x00000000"));
    EXPECT_TRUE(logged("MemoryFlushModifiedList) -> 0x00000000"));
    std::error_code ignored;
    if (!HasFailure()) fs::remove_all(dir, ignored);
}

}  // namespace
