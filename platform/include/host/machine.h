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

// A modal window the program showed: a message box, or a dialog run with
// DialogBox (the About box). Recorded in the order shown.
struct ModalRecord {
    enum class Kind { MessageBox, Dialog };
    Kind kind = Kind::MessageBox;
    std::wstring caption;
    std::wstring text;  // message boxes only
    UINT type = 0;      // MB_* flags of a message box
    int answer = 0;     // what the box or dialog returned
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

    // ---- timers ----
    // A scripted machine can make SetTimer fail, as it may on a real system
    // that is out of timers.
    virtual bool TimersRefused() { return false; }

    // ---- modal windows: message boxes and modal dialogs ----
    struct ModalAnswer {
        int result = IDOK;
        // How long the window stays open, in milliseconds of virtual time;
        // the timers that fall due meanwhile fire inside its nested loop.
        std::uint32_t openMs = 0;
    };
    // The answer to a modal window about to be shown, or nothing when a real
    // window must ask the user. The host records every modal window, answered
    // or not, with RecordModal once it has closed.
    virtual std::optional<ModalAnswer> AnswerModal(const ModalRecord& request) = 0;
    void RecordModal(ModalRecord record) { modals_.push_back(std::move(record)); }
    const std::vector<ModalRecord>& Modals() const { return modals_; }
    // How many modal windows are open now (nested loops running).
    int OpenModalCount() const { return openModals_; }
    void NoteModalOpened() { ++openModals_; }
    void NoteModalClosed() { --openModals_; }

    // ---- kernel services (figures, processes, commands) ----
    virtual SystemServices* System() { return nullptr; }

    // ---- action log: every command the program gives the machine ----
    void LogAction(std::string line) { actions_.push_back(std::move(line)); }
    const std::vector<std::string>& Actions() const { return actions_; }

    // Forgets the modal windows and actions recorded so far, so that a long
    // run (the soak test) keeps only what it has still to look at.
    void ClearRecords() {
        modals_.clear();
        modals_.shrink_to_fit();
        actions_.clear();
        actions_.shrink_to_fit();
    }

private:
    std::vector<ModalRecord> modals_;
    int openModals_ = 0;
    std::vector<std::string> actions_;
};

// The machine the Win32-style services answer from. Never null: until a
// machine is set, a live machine on the real clock is used.
Machine& ActiveMachine();
// Makes `machine` active (not owned); null restores the default live machine.
void SetActiveMachine(Machine* machine);

}  // namespace host
