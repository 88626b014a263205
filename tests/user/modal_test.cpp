// Modal dialogs and message boxes answered by the scripted machine.

#include "user_test_support.h"

#include <string>

namespace {

using Builder = host::user::DialogTemplateBuilder;
using user_test::MakeWindow;
using user_test::UserTest;

std::vector<DWORD> AboutTemplate() {
    Builder builder(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 235, 55, L"About Palisk");
    builder.Font(8, L"MS Shell Dlg").Extended();
    builder.AddItem(Builder::Name::Ordinal(Builder::kStatic), L"Palisk Version 3.8", 0xFFFF,
                    WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 40, 10, 119, 8);
    builder.AddItem(Builder::Name::Ordinal(Builder::kButton), L"OK", IDOK,
                    WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 178, 7, 50, 16);
    return builder.Build();
}

// What the test dialog procedure saw, and what it is to do.
struct DialogScript {
    std::vector<std::string> events;
    LPARAM initParam = 0;
    bool ownerEnabledAtInit = true;
    INT_PTR endAtInit = 0;  // EndDialog from WM_INITDIALOG when nonzero
    INT_PTR endOnTimer = 0;
    HWND owner = nullptr;
};
DialogScript script;

INT_PTR CALLBACK ScriptedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETFONT: script.events.push_back("setfont"); return FALSE;
    case WM_INITDIALOG:
        script.events.push_back("init");
        script.initParam = lParam;
        script.ownerEnabledAtInit = script.owner && IsWindowEnabled(script.owner);
        if (script.endAtInit) EndDialog(hwnd, script.endAtInit);
        if (script.endOnTimer) SetTimer(hwnd, 1, 300, nullptr);
        return TRUE;
    case WM_TIMER:
        script.events.push_back("timer@" + std::to_string(GetTickCount()));
        EndDialog(hwnd, script.endOnTimer);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}

class ModalTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        owner = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 400, 300);
        script = DialogScript{};
        script.owner = owner;
    }
    INT_PTR Run() { return DialogBoxIndirectParamW(nullptr, host::user::AsTemplate(bytes), owner, ScriptedProc, 0x5150); }

    HWND owner = nullptr;
    std::vector<DWORD> bytes = AboutTemplate();
};

TEST_F(ModalTest, AScriptedAnswerEndsTheDialogAndIsReturned) {
    machine.QueueModalAnswer({IDCANCEL, 0});
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(script.events, (std::vector<std::string>{"setfont", "init"}));
    EXPECT_EQ(script.initParam, 0x5150);
    // The owner was disabled while the dialog ran, and is enabled again.
    EXPECT_FALSE(script.ownerEnabledAtInit);
    EXPECT_TRUE(IsWindowEnabled(owner));
    // The dialog is gone, and recorded.
    EXPECT_EQ(host::user::TopLevelWindows(), (std::vector<HWND>{owner}));
    ASSERT_EQ(machine.Modals().size(), 1u);
    EXPECT_EQ(machine.Modals()[0].kind, host::ModalRecord::Kind::Dialog);
    EXPECT_EQ(machine.Modals()[0].caption, L"About Palisk");
    EXPECT_EQ(machine.Modals()[0].answer, IDCANCEL);
    EXPECT_EQ(machine.OpenModalCount(), 0);
}

TEST_F(ModalTest, ADialogThatEndsItselfKeepsItsOwnResult) {
    script.endAtInit = 77;
    machine.QueueModalAnswer({IDOK, 0});
    EXPECT_EQ(Run(), 77);
    EXPECT_EQ(machine.Modals().back().answer, 77);
}

TEST_F(ModalTest, TimersTickInsideAnOpenDialog) {
    script.endOnTimer = 5;
    machine.QueueModalAnswer({IDOK, 1000});
    EXPECT_EQ(Run(), 5);
    EXPECT_EQ(script.events, (std::vector<std::string>{"setfont", "init", "timer@300"}));
    // The dialog closed when it ended itself, not when its open time ran out.
    EXPECT_EQ(GetTickCount(), 300u);
}

TEST_F(ModalTest, BadTemplatesAndOwnersFailAsWin32Does) {
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, host::user::AsTemplate(bytes), reinterpret_cast<HWND>(0x4444),
                                      ScriptedProc, 0),
              0);
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, nullptr, owner, ScriptedProc, 0), -1);
    EXPECT_TRUE(machine.Modals().empty());
}

TEST_F(ModalTest, MessageBoxesAreAnsweredAndRecordedInOrder) {
    machine.QueueModalAnswer({IDNO, 0});
    EXPECT_EQ(MessageBoxW(owner, L"Unable to increase privileges needed for Cache manipulation.", L"Warning",
                          MB_YESNO | MB_ICONWARNING),
              IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, MB_OK), IDOK);  // the default answer
    ASSERT_EQ(machine.Modals().size(), 2u);
    EXPECT_EQ(machine.Modals()[0].caption, L"Warning");
    EXPECT_EQ(machine.Modals()[0].type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
    EXPECT_EQ(machine.Modals()[0].answer, IDNO);
    EXPECT_EQ(machine.Modals()[1].caption, L"Error");  // Windows' caption when none is given
    EXPECT_EQ(machine.Modals()[1].text, L"");
    SetLastError(0);
    EXPECT_EQ(MessageBoxW(owner, L"x", L"y", 0x0F), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MSGBOX_STYLE));
    EXPECT_EQ(machine.Modals().size(), 2u);
}

}  // namespace
