#pragma once
// The Machine: everything the computer answers. The Win32-style services of
// the host ask the active machine for the clock, the display's dots per
// inch, the answers to message boxes and (through SystemServices) the
// kernel's figures and commands. A LiveLinuxMachine answers with this
// computer's real figures; a ScriptedMachine answers from a scenario and
// runs on a virtual clock.
//
// Host-only: the system's own code never includes this header.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace host {

class VirtualClock;
class SystemServices;

struct MessageBoxRecord {
    std::wstring caption;
    std::wstring text;
    UINT type = 0;
    int answer = 0;
};

class Machine {
public:
    virtual ~Machine() = default;

    // ---- clock ----
    // Milliseconds since the machine started, wrapping at 2^32 like GetTickCount.
    virtual DWORD TickCount() = 0;
    // Current UTC time in 100-ns intervals since 1601 (the FILETIME form).
    virtual ULONGLONG UtcFileTime() = 0;
    // Non-null when time is virtual: window timers are then driven by it.
    virtual VirtualClock* Clock() { return nullptr; }

    // ---- display ----
    // 0 means "whatever the screen says"; a scripted machine names its own.
    virtual int DotsPerInch() = 0;

    // ---- message boxes ----
    struct MessageBoxAnswer {
        int result = IDOK;
        // How long the box stays open, in milliseconds of virtual time; the
        // timers that fall due meanwhile fire inside the box's nested loop.
        std::uint32_t openMs = 0;
    };
    // The answer to a message box about to be shown, or nothing when a real
    // box must ask the user. Every box is recorded, answered or not.
    virtual std::optional<MessageBoxAnswer> AnswerMessageBox(HWND owner, const std::wstring& text,
                                                             const std::wstring& caption, UINT type) = 0;
    void RecordMessageBox(MessageBoxRecord record) { messageBoxes_.push_back(std::move(record)); }
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }

    // ---- kernel services (figures, processes, commands) ----
    virtual SystemServices* System() { return nullptr; }

    // ---- action log: every command the program gives the machine ----
    void LogAction(std::string line) { actions_.push_back(std::move(line)); }
    const std::vector<std::string>& Actions() const { return actions_; }

private:
    std::vector<MessageBoxRecord> messageBoxes_;
    std::vector<std::string> actions_;
};

// The machine the Win32-style services answer from. Never null: until a
// machine is set, a live machine on the real clock is used.
Machine& ActiveMachine();
// Makes `machine` active (not owned); null restores the default live machine.
void SetActiveMachine(Machine* machine);

}  // namespace host
