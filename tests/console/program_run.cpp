#include "program_run.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace console_test {

namespace {

void ApplyEnvironment(const std::vector<std::string>& environment) {
    for (const std::string& entry : environment) {
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos) unsetenv(entry.c_str());
        else setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    }
}

[[noreturn]] void Exec(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    ApplyEnvironment(environment);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    // The test runner may ignore signals; the program starts as from a shell.
    signal(SIGINT, SIG_DFL);
    signal(SIGPIPE, SIG_DFL);
    execv(args[0], args.data());
    std::fprintf(stderr, "cannot run %s: %s\n", args[0], std::strerror(errno));
    _exit(127);
}

int StatusOf(int raw) {
    if (WIFEXITED(raw)) return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
    return -1;
}

bool ReadSome(int fd, std::string& into) {
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) into.append(buffer, static_cast<std::size_t>(n));
    return n > 0 || (n < 0 && errno == EINTR);
}

}  // namespace

Finished RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    int out[2], err[2];
    Finished finished;
    if (pipe(out) != 0 || pipe(err) != 0) return finished;
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (int fd : {out[0], out[1], err[0], err[1], null}) close(fd);
        Exec(argv, environment);
    }
    close(out[1]);
    close(err[1]);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    bool open[2] = {true, true};
    while (open[0] || open[1]) {
        poll(fds, 2, -1);
        for (int i = 0; i < 2; ++i) {
            if (!open[i] || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            if (!ReadSome(fds[i].fd, i == 0 ? finished.out : finished.err)) {
                open[i] = false;
                fds[i].fd = -1;
            }
        }
    }
    close(out[0]);
    close(err[0]);
    int raw = 0;
    waitpid(pid, &raw, 0);
    finished.status = StatusOf(raw);
    return finished;
}

TerminalProgram::TerminalProgram(const std::vector<std::string>& argv, int rows, int columns,
                                 const std::vector<std::string>& environment, TerminalProgram::Where where) {
    if (where == Where::Pipe) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);  // a group of its own, which the destructor can end whole
            const int null = open("/dev/null", O_RDONLY);
            dup2(null, 0);
            dup2(out[1], 1);
            for (int fd : {out[0], out[1], null}) close(fd);
            Exec(argv, environment);
        }
        close(out[1]);
        master_ = out[0];
        return;
    }
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = static_cast<unsigned short>(columns);
    pid_ = forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) Exec(argv, environment);
    if (pid_ < 0) master_ = -1;
}

TerminalProgram::~TerminalProgram() {
    if (pid_ > 0 && status_ < 0) {
        kill(-pid_, SIGKILL);  // the program and whatever it started (run.sh's build)
        waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
}

bool TerminalProgram::Drain(int timeoutMs) {
    pollfd fd{master_, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0) return true;
    return (fd.revents & (POLLIN | POLLHUP | POLLERR)) == 0 || ReadSome(master_, output_);
}

bool TerminalProgram::ReadUntil(const std::function<bool(const std::string&)>& done,
                                std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done(output_)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        if (!Drain(static_cast<int>(std::min<long>(left.count(), 100)))) return done(output_);
    }
    return true;
}

void TerminalProgram::Type(const std::string& keys) {
    if (master_ >= 0) (void)!write(master_, keys.data(), keys.size());
}

void TerminalProgram::Resize(int rows, int columns) {
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = static_cast<unsigned short>(columns);
    ioctl(master_, TIOCSWINSZ, &size);
}

int TerminalProgram::Wait(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (status_ < 0 && std::chrono::steady_clock::now() < end) {
        int raw = 0;
        if (waitpid(pid_, &raw, WNOHANG) == pid_) {
            status_ = StatusOf(raw);
            break;
        }
        Drain(20);
    }
    for (int i = 0; i < 5; ++i) Drain(10);  // what it wrote last
    return status_;
}

void TerminalProgram::Signal(int signal) {
    if (pid_ > 0 && status_ < 0) kill(pid_, signal);
}

bool TerminalProgram::Canonical() const {
    termios mode{};
    return tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ICANON);
}

bool TerminalProgram::Echoes() const {
    termios mode{};
    return tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ECHO);
}

std::size_t Count(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}

}  // namespace console_test
