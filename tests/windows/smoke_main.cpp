// palisk-smoke: starts palisk.exe and uses it as a person would, under the
// real window system (Wine, in the smoke test): waits for the main window,
// lets at least five refreshes go by, stops the timer, presses each panel
// toggle with the pointer and checks what each shows, starts the timer
// again and ends the program with Exit. It answers the message boxes that
// a partial system (Wine) makes the program show, and fails on any other.
//
//   palisk-smoke <palisk.exe> [<picture.bmp>]
//
// With a picture path it also writes a picture of the main window, taken
// after a refresh with the page-file panel shown again.

#include <windows.h>

#include "resources/resource_ids.h"
#include "smoke_capture.h"
#include "smoke_input.h"
#include "smoke_windows.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kRefreshesWanted = 5;
constexpr wchar_t kMainCaption[] = L"Palisk";
constexpr wchar_t kTemplateReport[] = L"Please use the 64-bit version of Palisk on 64-bit Operating Systems!";

void Say(const char* what) {
    std::printf("palisk-smoke: %s\n", what);
    std::fflush(stdout);
}

void Say(const char* what, const std::wstring& detail) {
    std::printf("palisk-smoke: %s%ls\n", what, detail.c_str());
    std::fflush(stdout);
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// The boxes a system that answers only part of the program's queries makes
// it show: the memory counters cannot be added (at start-up), collecting
// them fails, and the memory-list query fails (every refresh).
bool CountersBox(const smoke::MessageBoxWindow& box) {
    return box.caption == L"Error" &&
           (StartsWith(box.text, L"pdh add counter fail") || box.text == L" pdh collect data fail");
}

bool RefreshBox(const smoke::MessageBoxWindow& box) {
    return box.caption == L"Unknown Palisk Error" && StartsWith(box.text, L"SF Err=");
}

class Run {
public:
    bool Start(const wchar_t* program) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
        if (!::CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process_)) {
            std::printf("palisk-smoke: cannot start palisk.exe (error %lu)\n", ::GetLastError());
            return false;
        }
        return true;
    }

    // The main dialog shows itself after its initialisation, whose boxes
    // come first.
    bool WaitForMainWindow() {
        const bool shown = WaitFor([&] { return (main_ = smoke::FindDialog(Pid(), kMainCaption)) != nullptr; }, 90);
        if (shown) Say("the main window is shown");
        return shown;
    }

    bool WaitForReport() {
        return WaitFor([&] { return smoke::ControlText(Control(IDC_REPORT)) != kTemplateReport; }, 20);
    }

    bool WaitForRefreshes(int count) {
        const int wanted = refreshes_ + count;
        const bool seen = WaitFor([&] { return refreshes_ >= wanted; }, 60);
        std::printf("palisk-smoke: %d refreshes seen\n", refreshes_);
        return seen;
    }

    // AutoStop, then AutoStart: each disables itself, so pressing it once
    // more after a lost press is harmless.
    bool StopTimer() {
        return Press(IDC_AUTO_STOP, [&] { return Enabled(IDC_AUTO_START) && !Enabled(IDC_AUTO_STOP); }, true);
    }

    bool StartTimer() {
        return Press(IDC_AUTO_START, [&] { return !Enabled(IDC_AUTO_START) && Enabled(IDC_AUTO_STOP); }, true);
    }

    // With the timer stopped no box can take a press away; `shown` must
    // take the pressed toggle's place and the lower panel's titles be as
    // given.
    bool PressToggle(int button, int shown, bool pageFileTitle, bool cacheTitle) {
        const bool moved = Press(button, [&] {
            return Visible(shown) && !Visible(button) && PanelShows(pageFileTitle, cacheTitle);
        }, false);
        std::printf("palisk-smoke: pressed %d: %s (toggles 1018 %d, 1019 %d, 1027 %d; titles 1011 %d, 1028 %d)\n",
                    button, moved ? "moved on" : "NOTHING CHANGED", Visible(IDC_SHOW_REPURPOSED),
                    Visible(IDC_SHOW_CACHE_EFFECTIVENESS), Visible(IDC_SHOW_PAGEFILE), Visible(IDC_CACHE_TITLE),
                    Visible(IDC_PAGEFILE_TITLE));
        return moved;
    }

    bool PanelShows(bool pageFileTitle, bool cacheTitle) const {
        return Visible(IDC_PAGEFILE_TITLE) == pageFileTitle && Visible(IDC_CACHE_TITLE) == cacheTitle;
    }

    // A picture with no box over the window: the program has drawn the
    // window anew since the last box closed, and no box came up meanwhile.
    bool TakePicture(const wchar_t* path) {
        return WaitFor([&] {
            if (!NoBoxOpen()) return false;
            ::RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
            WaitUntilIdle();
            ::Sleep(300);
            if (!NoBoxOpen()) return false;
            const bool written = smoke::WriteWindowPicture(main_, path);
            return written && NoBoxOpen();
        }, 30);
    }

    bool ExitProgram() {
        Press(IDCANCEL, [&] { return ::WaitForSingleObject(process_.hProcess, 200) == WAIT_OBJECT_0; }, true);
        const bool ended = Ended();
        if (ended) Say("palisk.exe ended");
        return ended;
    }

    bool Ended() const { return ::WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

    void Stop() {
        if (process_.hProcess && !Ended()) ::TerminateProcess(process_.hProcess, 1);
    }

private:
    DWORD Pid() const { return process_.dwProcessId; }
    HWND Control(int id) const { return ::GetDlgItem(main_, id); }
    bool Visible(int id) const { return smoke::ControlVisible(main_, id); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
    bool NoBoxOpen() const { return smoke::OpenBoxes(Pid(), main_).empty(); }

    // Answers every open box; false once a box came that nothing explains.
    bool AnswerBoxes() {
        for (const smoke::MessageBoxWindow& box : smoke::OpenBoxes(Pid(), main_)) {
            if (box.caption == kMainCaption) continue;  // the main window, before it is known
            const bool known = RefreshBox(box) || CountersBox(box);
            Say(known ? "answered: " : "UNEXPECTED box: ", box.caption + L": " + box.text);
            if (!known) unexpected_ = true;
            if (RefreshBox(box) && main_) ++refreshes_;
            ++answered_;
            smoke::AnswerOk(box);
            WaitUntilGone(box.hwnd);
        }
        return !unexpected_;
    }

    // Polls `done` every 50 ms, answering boxes, for at most `seconds`.
    template <typename Condition>
    bool WaitFor(Condition done, int seconds) {
        for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < static_cast<DWORD>(seconds) * 1000;) {
            if (done()) return true;
            if (!AnswerBoxes() || Ended()) return false;
            ::Sleep(50);
        }
        return false;
    }

    // Presses control `id` with the pointer until `reached`, once the
    // program has finished what it was doing. A press that lands while a
    // box holds the window is lost: where `again` says a second press is
    // harmless, the control is pressed again after a box was answered.
    // Any press that has had no effect for five seconds, with no box open
    // and the program idle, is lost too and is made again.
    template <typename Condition>
    bool Press(int id, Condition reached, bool again) {
        int answeredAtPress = -1;
        DWORD pressedAt = 0;
        return WaitFor([&] {
            if (reached()) return true;
            if (!NoBoxOpen()) return false;
            const bool first = answeredAtPress < 0;
            const bool lostToBox = again && answered_ != answeredAtPress;
            const bool lostAnyway = ::GetTickCount() - pressedAt > 5000;
            if (!first && !lostToBox && !lostAnyway) return false;
            WaitUntilIdle();
            if (!first) ::Sleep(300);  // input still queued is taken after sent messages
            if (reached()) return true;
            if (!first) std::printf("palisk-smoke: pressing %d again: the last press did nothing\n", id);
            smoke::PressWithPointer(Control(id));
            answeredAtPress = answered_;
            pressedAt = ::GetTickCount();
            return false;
        }, 40);
    }

    // Returns once the program's thread takes messages again.
    void WaitUntilIdle() const {
        DWORD_PTR result;
        ::SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    }

    static void WaitUntilGone(HWND box) {
        for (int i = 0; i < 100 && ::IsWindow(box) && ::IsWindowVisible(box); ++i) ::Sleep(20);
    }

    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
    int refreshes_ = 0;  // refresh boxes answered since the main window showed
    int answered_ = 0;   // boxes answered
    bool unexpected_ = false;
};

bool Fail(Run& run, const char* what) {
    Say(what);
    run.Stop();
    return false;
}

bool Drive(Run& run, const wchar_t* picture) {
    if (!run.WaitForMainWindow()) return Fail(run, "FAILED: no main window");
    if (!run.WaitForReport()) return Fail(run, "FAILED: no report was written");
    if (!run.PanelShows(true, false)) return Fail(run, "FAILED: the page-file panel is not the first one shown");
    if (!run.WaitForRefreshes(kRefreshesWanted)) return Fail(run, "FAILED: too few refreshes");
    if (!run.StopTimer()) return Fail(run, "FAILED: AutoStop");

    // The panel cycle: page file, cache effectiveness, standby repurposing.
    if (!run.PressToggle(IDC_SHOW_CACHE_EFFECTIVENESS, IDC_SHOW_REPURPOSED, false, true))
        return Fail(run, "FAILED: Show Cache Effectiveness");
    if (!run.PressToggle(IDC_SHOW_REPURPOSED, IDC_SHOW_PAGEFILE, false, false))
        return Fail(run, "FAILED: Show Standby Repurposed");
    if (!run.PressToggle(IDC_SHOW_PAGEFILE, IDC_SHOW_CACHE_EFFECTIVENESS, true, false))
        return Fail(run, "FAILED: Show PageFile Usage");
    if (!run.StartTimer()) return Fail(run, "FAILED: AutoStart");
    if (!run.WaitForRefreshes(1)) return Fail(run, "FAILED: no refresh after AutoStart");
    if (picture && !run.TakePicture(picture)) return Fail(run, "FAILED: no picture of the window");
    if (!run.ExitProgram()) return Fail(run, "FAILED: Exit did not end palisk.exe");
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argc > 3) {
        Say("usage: palisk-smoke <palisk.exe> [<picture.bmp>]");
        return 2;
    }
    Run run;
    if (!run.Start(argv[1])) return 1;
    const bool passed = Drive(run, argc == 3 ? argv[2] : nullptr);
    Say(passed ? "passed" : "failed");
    return passed ? 0 : 1;
}
