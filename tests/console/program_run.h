#pragma once
// Runs a program as a child process for the console tests: with its
// output captured, or on a pseudo-terminal that the test reads, writes
// and resizes as a person's terminal would.

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace console_test {

struct Finished {
    int status = -1;   // the exit status, or 128 + the signal that ended it
    std::string out;   // standard output
    std::string err;   // standard error
};

// Runs `argv` to its end with standard input from /dev/null. `environment`
// adds or replaces variables ("NAME=value") or, as "NAME", removes them.
Finished RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {});

// A program running beside the test, which reads its output as it comes.
// On a terminal: a pseudo-terminal of its own, in its own session with the
// terminal as its controlling terminal, so that Ctrl+C and a resize reach
// it as signals from the terminal. On a pipe: standard output to a pipe
// the test reads, standard input from /dev/null, standard error the test's.
class TerminalProgram {
public:
    enum class Where { Terminal, Pipe };
    TerminalProgram(const std::vector<std::string>& argv, int rows, int columns,
                    const std::vector<std::string>& environment = {}, Where where = Where::Terminal);
    ~TerminalProgram();
    TerminalProgram(const TerminalProgram&) = delete;
    TerminalProgram& operator=(const TerminalProgram&) = delete;

    bool Started() const { return pid_ > 0; }
    // Reads what the program writes until `done` holds for everything read
    // so far, or `timeout` passes, or the program closes its output;
    // whether `done` held.
    bool ReadUntil(const std::function<bool(const std::string&)>& done, std::chrono::milliseconds timeout);
    // Everything the program has written so far.
    const std::string& Output() const { return output_; }
    // Types on the keyboard.
    void Type(const std::string& keys);
    // Changes the terminal's size (the kernel tells the program with SIGWINCH).
    void Resize(int rows, int columns);
    // Sends the program a signal.
    void Signal(int signal);
    // Waits for the program to end, reading its output meanwhile; its exit
    // status, or -1 when it did not end in time.
    int Wait(std::chrono::milliseconds timeout);
    // Whether the terminal's line discipline reads lines and echoes them,
    // as a shell leaves it (both are off while the live report draws).
    bool Canonical() const;
    bool Echoes() const;

private:
    // Reads what has come within `timeoutMs`; false once the output has
    // ended (the program has gone).
    bool Drain(int timeoutMs);

    int master_ = -1;
    pid_t pid_ = -1;
    int status_ = -1;
    std::string output_;
};

// How many times `needle` occurs in `text`.
std::size_t Count(const std::string& text, const std::string& needle);

}  // namespace console_test
