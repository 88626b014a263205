#include "report_session.h"

#include "app/palisk_dlg.h"
#include "host/user.h"
#include "host/virtual_clock.h"
#include "program_resources.h"

namespace console {

namespace {

std::wstring WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

// The button of each memory-list command along the window's bottom edge.
int ButtonOf(CommandKind kind) {
    switch (kind) {
        case CommandKind::PurgeStandby: return IDC_FLUSH_ALL_STANDBY;
        case CommandKind::PurgeLowPriorityStandby: return IDC_FLUSH_STANDBY0;
        case CommandKind::FlushModified: return IDC_FLUSH_MOD_PG_LIST;
        case CommandKind::EmptyWorkingSets: return IDC_FLUSH_WORK_SETS;
        case CommandKind::EmptyWorkingSet: return IDC_FLUSH_TARGET_WS;
    }
    return 0;
}

}  // namespace

ReportSession::ReportSession(host::Machine& machine) : machine_(machine) {
    host::SetActiveMachine(&machine_);
    host::RegisterProgramResources();
}

ReportSession::~ReportSession() {
    // The dialog's window and timers go before the machine they run on.
    if (dialog_ && dialog_->GetSafeHwnd()) dialog_->DestroyWindow();
    dialog_.reset();
    host::user::ProcessEvents();
    host::SetActiveMachine(nullptr);
}

bool ReportSession::Start(std::uint32_t intervalMs, bool cacheEffectiveness, std::string* error) {
    if (!machine_.Clock()) {
        *error = "the machine runs on no virtual clock";
        return false;
    }
    dialog_ = std::make_unique<CPaliskDlg>();
    if (!dialog_->Create(IDD_PALISK_DIALOG)) {
        dialog_.reset();
        *error = "the main dialog could not be created";
        return false;
    }
    if (intervalMs != dialog_->m_nTimerInterval) {
        // AutoStop and AutoStart set the timer anew with the dialog's interval.
        dialog_->m_nTimerInterval = intervalMs;
        Press(IDC_AUTO_STOP);
        Press(IDC_AUTO_START);
    }
    if (cacheEffectiveness) {
        Press(IDC_SHOW_CACHE_EFFECTIVENESS);
        RefreshNow();
    }
    host::user::ProcessEvents();
    return true;
}

std::string ReportSession::ReportText() const {
    if (!dialog_) return std::string();
    HWND window = dialog_->GetSafeHwnd();
    return Utf8(WindowText(GetDlgItem(window, IDC_HEADING)) + WindowText(GetDlgItem(window, IDC_REPORT)));
}

int ReportSession::Advance(std::uint32_t ms) {
    // The timer adds one to the count after each refresh it takes; only a
    // rebuild of the RAM chart (a resize, a panel switch) sets it back to 0.
    const int before = dialog_ ? dialog_->m_nRefreshCount : 0;
    machine_.Clock()->Advance(ms);
    host::user::ProcessEvents();
    if (!dialog_) return 0;
    const int after = dialog_->m_nRefreshCount;
    return after >= before ? after - before : after;
}

std::optional<std::uint64_t> ReportSession::UntilNextTimer() const { return machine_.Clock()->UntilNextDue(); }

void ReportSession::RefreshNow() {
    Press(IDOK);
    host::user::ProcessEvents();
}

bool ReportSession::Press(int id) {
    return dialog_ && host::user::Click(GetDlgItem(dialog_->GetSafeHwnd(), id));
}

std::vector<std::string> ReportSession::TakeMessages() {
    std::vector<std::string> messages;
    const std::vector<host::ModalRecord>& modals = machine_.Modals();
    for (; modalsSeen_ < modals.size(); ++modalsSeen_) {
        const host::ModalRecord& m = modals[modalsSeen_];
        if (m.kind == host::ModalRecord::Kind::MessageBox) messages.push_back(Utf8(m.caption + L": " + m.text));
    }
    return messages;
}

CommandOutcome ReportSession::Carry(const Command& command) {
    if (command.kind == CommandKind::EmptyWorkingSet) return EmptyWorkingSetOf(command.pid);
    const std::size_t logged = machine_.Actions().size();
    Press(ButtonOf(command.kind));
    host::user::ProcessEvents();
    CommandOutcome outcome = OutcomeFromLog({machine_.Actions().begin() + static_cast<long>(logged),
                                             machine_.Actions().end()});
    // The button does nothing where the kernel interface has no
    // NtSetSystemInformation to call.
    if (outcome.kind == OutcomeKind::NotTried) {
        outcome.kind = OutcomeKind::Unsupported;
        outcome.status = "no NtSetSystemInformation to call";
    }
    return outcome;
}

// Picks the process in the target list. Opening the list rebuilds it, so a
// process starting or ending meanwhile can move the entry: the choice is
// checked and made again.
bool ReportSession::ChooseTarget(std::uint32_t pid) {
    const HWND combo = GetDlgItem(dialog_->GetSafeHwnd(), IDC_TARGET_PROCESS);
    for (int attempt = 0; attempt < 5; ++attempt) {
        host::user::DropDown(combo);
        host::user::CloseDropDown(combo);
        int index = -1;
        for (INT_PTR k = 0; k < dialog_->m_astrTargetNames.GetSize(); ++k)
            if (dialog_->m_pTargetPids[k] == pid) index = static_cast<int>(k) + 1;
        if (index < 1) return false;
        if (!host::user::ChooseComboItem(combo, index)) continue;
        const int chosen = dialog_->m_nTargetIndex;
        if (chosen >= 1 && dialog_->m_pTargetPids[chosen - 1] == pid) return true;
    }
    return false;
}

bool ReportSession::IsListed(std::uint32_t pid) {
    const HWND combo = GetDlgItem(dialog_->GetSafeHwnd(), IDC_TARGET_PROCESS);
    host::user::DropDown(combo);
    host::user::CloseDropDown(combo);
    for (INT_PTR k = 0; k < dialog_->m_astrTargetNames.GetSize(); ++k)
        if (dialog_->m_pTargetPids[k] == pid) return true;
    return false;
}

CommandOutcome ReportSession::EmptyWorkingSetOf(std::uint32_t pid) {
    CommandOutcome outcome;
    if (!dialog_ || !ChooseTarget(pid)) {
        outcome.kind = OutcomeKind::Failed;
        outcome.status = "no process with id " + std::to_string(pid) + " in the target process list";
        return outcome;
    }
    const std::size_t logged = machine_.Actions().size();
    Press(IDC_FLUSH_TARGET_WS);
    host::user::ProcessEvents();
    outcome = OutcomeFromLog({machine_.Actions().begin() + static_cast<long>(logged), machine_.Actions().end()});
    if (outcome.kind != OutcomeKind::NotTried) return outcome;
    // The dialog could not open the process for all access, and says
    // nothing: either it has ended, or this user may not touch it.
    if (IsListed(pid)) {
        outcome.kind = OutcomeKind::Refused;
        outcome.status = "the process cannot be opened for all access";
    } else {
        outcome.kind = OutcomeKind::Failed;
        outcome.status = "the process has ended";
    }
    return outcome;
}

}  // namespace console
