#include "report_loops.h"

#include "console_machine.h"
#include "keys.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <poll.h>
#include <unistd.h>

namespace console {

namespace {

using Clock = std::chrono::steady_clock;

// Keeps the dialog's virtual clock in step with real time.
class Pacer {
public:
    explicit Pacer(std::uint32_t intervalMs) : intervalMs_(intervalMs), last_(Clock::now()) {}

    // How long to sleep before the next timer is due; -1: no timer runs.
    int WaitMs(const ReportSession& session) const {
        const std::optional<std::uint64_t> until = session.UntilNextTimer();
        if (!until) return -1;
        const std::uint64_t passed = ElapsedMs();
        return passed >= *until ? 0 : static_cast<int>(std::min<std::uint64_t>(*until - passed, INT_MAX));
    }

    // Moves the clock on by the real time passed; the refreshes taken.
    int CatchUp(ReportSession& session) {
        const std::uint64_t elapsed = ElapsedMs();
        const std::uint64_t step = ClockStep(elapsed, session.UntilNextTimer(), intervalMs_);
        // A step cut short drops the rest of the real time; otherwise the
        // fraction of a millisecond not yet counted stays for next time.
        last_ = step < elapsed ? Clock::now() : last_ + std::chrono::milliseconds(step);
        return step == 0 ? 0 : session.Advance(static_cast<std::uint32_t>(std::min<std::uint64_t>(step, UINT_MAX)));
    }

private:
    std::uint64_t ElapsedMs() const {
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - last_).count());
    }

    std::uint32_t intervalMs_;
    Clock::time_point last_;
};

// The exit status for a signal that ends the program: Ctrl+C is the usual
// way out and counts as success; being terminated or hung up says so.
int ExitStatusForSignal(int signal) { return signal == SIGINT ? 0 : 128 + signal; }

bool Ends(int signal) { return signal == SIGINT || signal == SIGTERM || signal == SIGHUP; }

std::string LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

std::string Interval(std::uint32_t ms) {
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// What the live view shows and where it stands.
class LiveView {
public:
    LiveView(ReportSession& session, LiveTerminal& terminal, const Options& options)
        : session_(session), terminal_(terminal), options_(options) {}

    void TakeRefresh(std::vector<std::string> messages) {
        refreshedAt_ = LocalTimeNow();
        messages_ = std::move(messages);
    }
    void AddMessages(const std::vector<std::string>& more) {
        messages_.insert(messages_.end(), more.begin(), more.end());
    }
    void Scroll(Key key) {
        const int page = std::max(ContentRows(terminal_.Size()) - 1, 1);
        switch (key) {
            case Key::Up: firstLine_ -= 1; break;
            case Key::Down: firstLine_ += 1; break;
            case Key::PageUp: firstLine_ -= page; break;
            case Key::PageDown: firstLine_ += page; break;
            case Key::Home: firstLine_ = 0; break;
            case Key::End: firstLine_ = INT_MAX / 2; break;
            default: break;
        }
    }
    bool Draw(bool clearFirst) {
        const TerminalSize size = terminal_.Size();
        ScreenContent content;
        content.lines = SplitLines(session_.ReportText());
        if (!messages_.empty()) content.lines.emplace_back();
        for (const std::string& m : messages_) content.lines.push_back("Message box - " + m);
        firstLine_ = std::clamp(firstLine_, 0, MaxScroll(content.lines.size(), size));
        content.status = StatusLine(refreshedAt_, options_.intervalMs, firstLine_, ContentRows(size),
                                    content.lines.size());
        return terminal_.Write(ComposeFrame(content, size, firstLine_, clearFirst));
    }

private:
    ReportSession& session_;
    LiveTerminal& terminal_;
    const Options& options_;
    std::string refreshedAt_ = LocalTimeNow();
    std::vector<std::string> messages_;
    int firstLine_ = 0;
};

// Reads what the keyboard sent. False at the end of the input (it is not
// read again).
bool ReadKeys(int fd, std::string& pending) {
    char bytes[64];
    const ssize_t n = read(fd, bytes, sizeof bytes);
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return false;
    if (n > 0) pending.append(bytes, static_cast<std::size_t>(n));
    return true;
}

}  // namespace

void PrintMessageBoxes(const std::vector<std::string>& messages) {
    for (const std::string& m : messages) std::fprintf(stderr, "palisk-report: message box %s\n", m.c_str());
    std::fflush(stderr);
}

std::string StatusLine(const std::string& refreshedAt, std::uint32_t intervalMs, int firstLine, int shownLines,
                       std::size_t totalLines) {
    const std::string refresh = "refreshed " + refreshedAt + ", every " + Interval(intervalMs) + "  q quits";
    if (totalLines <= static_cast<std::size_t>(std::max(shownLines, 0))) return "palisk-report  " + refresh;
    // Scrolling first: on a narrow terminal the end of the line is cut.
    const std::size_t last = std::min(totalLines, static_cast<std::size_t>(firstLine + shownLines));
    return "lines " + std::to_string(firstLine + 1) + "-" + std::to_string(last) + " of " +
           std::to_string(totalLines) + "  Up/Down PgUp/PgDn  " + refresh;
}

int RunPlain(ReportSession& session, SignalPipe& signals, int outFd, const Options& options) {
    PrintMessageBoxes(session.TakeMessages());
    if (!WriteAll(outFd, session.ReportText())) return 0;  // the reader has gone: nothing left to do
    if (options.once) return 0;
    Pacer pacer(options.intervalMs);
    for (;;) {
        pollfd watched{signals.Fd(), POLLIN, 0};
        poll(&watched, 1, pacer.WaitMs(session));
        for (int signal : signals.Take()) {
            if (Ends(signal)) return ExitStatusForSignal(signal);
            if (signal == SIGTSTP) signals.StopProcess();
        }
        const int refreshes = pacer.CatchUp(session);
        PrintMessageBoxes(session.TakeMessages());
        // One report per refresh, an empty line between two.
        if (refreshes == 0) continue;
        std::string text(1, '\n');
        text += session.ReportText();
        if (!WriteAll(outFd, text)) return 0;
    }
}

int RunLive(ReportSession& session, LiveTerminal& terminal, SignalPipe& signals, const Options& options) {
    std::string error;
    if (!terminal.Enter(&error)) {
        std::fprintf(stderr, "palisk-report: %s\n", error.c_str());
        return 1;
    }
    LiveView view(session, terminal, options);
    view.TakeRefresh(session.TakeMessages());
    view.Draw(false);
    Pacer pacer(options.intervalMs);
    bool keysOpen = isatty(terminal.InputFd());
    std::string pending;
    for (;;) {
        pollfd watched[2] = {{signals.Fd(), POLLIN, 0}, {terminal.InputFd(), POLLIN, 0}};
        poll(watched, keysOpen ? 2 : 1, pacer.WaitMs(session));
        bool redraw = false, clear = false;
        for (int signal : signals.Take()) {
            if (Ends(signal)) return ExitStatusForSignal(signal);
            if (signal == SIGTSTP) {
                terminal.Leave();
                signals.StopProcess();
                if (!terminal.Enter(&error)) return 1;
            }
            clear = clear || signal == SIGWINCH || signal == SIGTSTP || signal == SIGCONT;
        }
        if (keysOpen && (watched[1].revents & (POLLIN | POLLHUP | POLLERR))) keysOpen = ReadKeys(terminal.InputFd(), pending);
        for (Key key : TakeKeys(pending)) {
            if (key == Key::Quit) return 0;
            clear = clear || key == Key::Redraw;
            view.Scroll(key);
            redraw = true;
        }
        if (pacer.CatchUp(session) > 0) {
            view.TakeRefresh(session.TakeMessages());
            redraw = true;
        } else if (const std::vector<std::string> more = session.TakeMessages(); !more.empty()) {
            view.AddMessages(more);
            redraw = true;
        }
        if ((redraw || clear) && !view.Draw(clear)) return 0;  // the terminal has gone
    }
}

}  // namespace console
