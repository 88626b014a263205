#pragma once
// The terminal and the signals that concern a program drawing on it.
//
// Signal handlers only write the signal's number into a pipe; the main loop
// watches that pipe with poll() beside the keyboard, so quitting, resizing
// and suspending are all handled in ordinary code.

#include "screen_frame.h"

#include <string>
#include <string_view>
#include <termios.h>
#include <vector>

namespace console {

class SignalPipe {
public:
    // Catches SIGINT, SIGTERM, SIGHUP, SIGWINCH, SIGTSTP and SIGCONT, and
    // ignores SIGPIPE (a write to a closed pipe then fails with EPIPE).
    SignalPipe();
    // Puts the previous dispositions back.
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    int Fd() const { return fds_[0]; }
    // The signals that arrived since the last call, in order.
    std::vector<int> Take();
    // Stops the process as Ctrl+Z would have without the handler, and
    // returns once it is continued (fg, SIGCONT).
    void StopProcess();

private:
    int fds_[2] = {-1, -1};
};

// Writes all of `bytes`, through EINTR and short writes. False when the
// other end has gone (EPIPE) or the write fails otherwise.
bool WriteAll(int fd, std::string_view bytes);

// The terminal on which the live report is drawn: keys read one by one
// without echo (Ctrl+C and Ctrl+Z still make their signals), the alternate
// screen, the cursor hidden and lines not wrapped. Leave() puts all of it
// back as it was; so does the destructor.
class LiveTerminal {
public:
    LiveTerminal(int inFd, int outFd);
    ~LiveTerminal();
    LiveTerminal(const LiveTerminal&) = delete;
    LiveTerminal& operator=(const LiveTerminal&) = delete;

    // False with a reason when the terminal cannot be set up.
    bool Enter(std::string* error);
    void Leave();
    bool Entered() const { return entered_; }
    // The window's size now (80 x 24 when the terminal does not say).
    TerminalSize Size() const;
    bool Write(std::string_view bytes) { return WriteAll(outFd_, bytes); }
    int InputFd() const { return inFd_; }

private:
    int inFd_, outFd_;
    bool entered_ = false;
    bool keysRaw_ = false;
    termios saved_{};
};

// Whether `fd` is a terminal the live report can draw on (not TERM=dumb).
bool IsDrawableTerminal(int fd);

}  // namespace console
