#include "terminal.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace console {

namespace {

constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP, SIGWINCH, SIGTSTP, SIGCONT};
constexpr int kCaughtCount = sizeof kCaught / sizeof kCaught[0];
struct sigaction g_previous[kCaughtCount + 1];  // the last one for SIGPIPE
int g_signalWriteFd = -1;

void OnSignal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    if (g_signalWriteFd >= 0) (void)!write(g_signalWriteFd, &byte, 1);  // a full pipe loses nothing that matters
    errno = saved;
}

// Alternate screen, cursor hidden, no automatic wrap; and back.
constexpr std::string_view kEnterScreen = "\x1b[?1049h\x1b[?25l\x1b[?7l\x1b[H\x1b[2J";
constexpr std::string_view kLeaveScreen = "\x1b[?7h\x1b[?25h\x1b[?1049l";

}  // namespace

SignalPipe::SignalPipe() {
    if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) fds_[0] = fds_[1] = -1;
    g_signalWriteFd = fds_[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < kCaughtCount; ++i) sigaction(kCaught[i], &action, &g_previous[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &g_previous[kCaughtCount]);
}

SignalPipe::~SignalPipe() {
    for (int i = 0; i < kCaughtCount; ++i) sigaction(kCaught[i], &g_previous[i], nullptr);
    sigaction(SIGPIPE, &g_previous[kCaughtCount], nullptr);
    g_signalWriteFd = -1;
    for (int fd : fds_)
        if (fd >= 0) close(fd);
}

std::vector<int> SignalPipe::Take() {
    std::vector<int> signals;
    unsigned char bytes[64];
    for (;;) {
        const ssize_t n = read(fds_[0], bytes, sizeof bytes);
        if (n <= 0) break;
        signals.insert(signals.end(), bytes, bytes + n);
    }
    return signals;
}

void SignalPipe::StopProcess() {
    struct sigaction standard {}, caught {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(SIGTSTP, &standard, &caught);
    raise(SIGTSTP);
    sigaction(SIGTSTP, &caught, nullptr);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

LiveTerminal::LiveTerminal(int inFd, int outFd) : inFd_(inFd), outFd_(outFd) {}

LiveTerminal::~LiveTerminal() { Leave(); }

bool LiveTerminal::Enter(std::string* error) {
    if (entered_) return true;
    // Keys without Enter and without echo; Ctrl+C and Ctrl+Z keep their
    // signals. Standard input may be a file or a pipe: then there are no
    // keys to read, only the signals.
    keysRaw_ = isatty(inFd_) && tcgetattr(inFd_, &saved_) == 0;
    if (keysRaw_) {
        termios raw = saved_;
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        if (tcsetattr(inFd_, TCSANOW, &raw) != 0) {
            *error = std::string("cannot set the terminal's mode: ") + std::strerror(errno);
            keysRaw_ = false;
            return false;
        }
    }
    entered_ = true;
    if (!Write(kEnterScreen)) {
        Leave();
        *error = "cannot write to the terminal";
        return false;
    }
    return true;
}

void LiveTerminal::Leave() {
    if (!entered_) return;
    Write(kLeaveScreen);
    if (keysRaw_) tcsetattr(inFd_, TCSANOW, &saved_);
    keysRaw_ = false;
    entered_ = false;
}

TerminalSize LiveTerminal::Size() const {
    winsize ws{};
    TerminalSize size;
    if (ioctl(outFd_, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0) {
        size.rows = ws.ws_row;
        size.columns = ws.ws_col;
    }
    return size;
}

bool IsDrawableTerminal(int fd) {
    const char* term = std::getenv("TERM");
    return isatty(fd) && term && *term && std::strcmp(term, "dumb") != 0;
}

}  // namespace console
