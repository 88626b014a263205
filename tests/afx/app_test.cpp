// CWinApp and the start of the program: registration, AfxWinMain and the
// message loop, command routing to the application, message boxes.

#include "afx_test_support.h"

#include "host/resources.h"

#include <functional>
#include <string>

namespace {

using afx_test::HostTest;

class CTestApp : public CWinApp {
public:
    explicit CTestApp(LPCWSTR name = L"Palisk test") : CWinApp(name) {}

    BOOL initResult = FALSE;
    int refusedExitCode = 42;
    std::function<void()> onInit;
    int helps = 0;

    BOOL InitInstance() override {
        CWinApp::InitInstance();
        if (onInit) onInit();
        return initResult;
    }
    int ExitInstance() override { return initResult ? CWinApp::ExitInstance() : refusedExitCode; }

protected:
    afx_msg void OnTestHelp() { ++helps; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_HELP, &CTestApp::OnTestHelp)
END_MESSAGE_MAP()

// Ends the application's message loop from a posted message.
class CQuitter : public CWnd {
public:
    BOOL CreatePopup() {
        return CreateEx(0, AfxRegisterWndClass(0), L"quitter", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    }

protected:
    afx_msg LRESULT OnQuitWith(WPARAM wParam, LPARAM) {
        AfxPostQuitMessage(static_cast<int>(wParam));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CQuitter, CWnd)
    ON_MESSAGE(WM_APP, &CQuitter::OnQuitWith)
END_MESSAGE_MAP()

bool TakeQuitMessage() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return true;
    }
    return false;
}

class AppTest : public HostTest {};

TEST_F(AppTest, TheApplicationObjectRegistersItselfForItsLifetime) {
    {
        CTestApp app;
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(AfxGetThread(), &app);
        EXPECT_STREQ(AfxGetAppName(), L"Palisk test");
        EXPECT_EQ(AfxGetMainWnd(), nullptr);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_STREQ(AfxGetAppName(), L"");
}

TEST_F(AppTest, ARefusedInitInstanceEndsWithExitInstancesCode) {
    CTestApp app;
    int inits = 0;
    app.onInit = [&] { ++inits; };
    wchar_t commandLine[] = L"";
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOWMAXIMIZED), 42);
    EXPECT_EQ(inits, 1);
    EXPECT_EQ(app.m_hInstance, ::GetModuleHandleW(nullptr));
    EXPECT_EQ(app.m_nCmdShow, SW_SHOWMAXIMIZED);
    // The program's entry point takes the same road.
    EXPECT_EQ(wWinMain(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW), 42);
    EXPECT_EQ(inits, 2);
}

TEST_F(AppTest, RunDispatchesMessagesUntilQuitAndReturnsItsCode) {
    CTestApp app;
    CQuitter quitter;
    app.initResult = TRUE;
    app.onInit = [&] {
        ASSERT_TRUE(quitter.CreatePopup());
        quitter.PostMessage(WM_APP, 7);
    };
    wchar_t commandLine[] = L"";
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW), 7);
}

TEST_F(AppTest, ClosingTheMainWindowEndsTheMessageLoop) {
    CTestApp app;
    CQuitter mainWindow;
    app.initResult = TRUE;
    app.onInit = [&] {
        ASSERT_TRUE(mainWindow.CreatePopup());
        app.m_pMainWnd = &mainWindow;
        mainWindow.PostMessage(WM_CLOSE);
    };
    wchar_t commandLine[] = L"";
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW), 0);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(mainWindow.m_hWnd, nullptr);
}

TEST_F(AppTest, AMainWindowDestroyedOutsideTheLoopLeavesAQuitMessage) {
    CTestApp app;
    CQuitter mainWindow;
    ASSERT_TRUE(mainWindow.CreatePopup());
    app.m_pMainWnd = &mainWindow;
    EXPECT_EQ(AfxGetMainWnd(), &mainWindow);
    mainWindow.DestroyWindow();
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(AppTest, HelpCommandsFromADialogGoOnToTheApplication) {
    CTestApp app;
    host::user::DialogTemplateBuilder builder(WS_POPUP | WS_CAPTION, 0, 0, 0, 100, 50, L"help");
    const std::vector<DWORD> bytes = builder.Build();
    CDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(host::user::AsTemplate(bytes)));
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0));
    EXPECT_EQ(app.helps, 1);
    // So does a click of a Help button (BN_CLICKED is the command code)...
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED), reinterpret_cast<LPARAM>(dialog.m_hWnd));
    EXPECT_EQ(app.helps, 2);
    // ... but other control notifications stay with the dialog.
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, CBN_SELCHANGE), reinterpret_cast<LPARAM>(dialog.m_hWnd));
    EXPECT_EQ(app.helps, 2);
    dialog.DestroyWindow();
}

TEST_F(AppTest, RegistryKeyNamesTheKeyAndTheProfileAndStoresNothing) {
    CTestApp app;
    app.SetRegistryKey(L"Local AppWizard-Generated Applications");
    EXPECT_STREQ(app.m_pszRegistryKey, L"Local AppWizard-Generated Applications");
    EXPECT_STREQ(app.m_pszProfileName, L"Palisk test");
    EXPECT_TRUE(machine.Actions().empty());
}

TEST_F(AppTest, MessageBoxesTakeTheApplicationsNameAndADefaultIcon) {
    CTestApp app;
    machine.QueueModalAnswer({IDNO, 0});
    EXPECT_EQ(AfxMessageBox(L"Sure?", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox(L"Done."), IDOK);
    EXPECT_EQ(AfxMessageBox(L"Stop!", MB_OK | MB_ICONSTOP), IDOK);
    CQuitter owner;
    ASSERT_TRUE(owner.CreatePopup());
    EXPECT_EQ(owner.MessageBox(L"Error Setting Timer", L"Test_DUVudov"), IDOK);
    EXPECT_EQ(owner.MessageBox(L"untitled"), IDOK);

    const auto& boxes = machine.Modals();
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[0].caption, L"Palisk test");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(boxes[1].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[2].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(boxes[3].caption, L"Test_DUVudov");
    EXPECT_EQ(boxes[3].type, static_cast<UINT>(MB_OK));  // CWnd::MessageBox adds nothing
    EXPECT_EQ(boxes[4].caption, L"Palisk test");
}

TEST_F(AppTest, AnUnnamedApplicationIsNamedByItsTitleString) {
    wchar_t commandLine[] = L"";
    {
        CTestApp app(nullptr);
        EXPECT_EQ(app.m_pszAppName, nullptr);
        host::RegisterStringTable(nullptr, {{AFX_IDS_APP_TITLE, L"Titled"}});
        ASSERT_TRUE(AfxWinInit(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW));
        EXPECT_STREQ(app.m_pszAppName, L"Titled");
        EXPECT_STREQ(AfxGetAppName(), L"Titled");
        host::ClearResources(nullptr);
    }
    {
        // Without one it stays unnamed, and captions fall back to no text.
        CTestApp app(nullptr);
        ASSERT_TRUE(AfxWinInit(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOW));
        EXPECT_EQ(app.m_pszAppName, nullptr);
        EXPECT_STREQ(AfxGetAppName(), L"");
    }
}

TEST_F(AppTest, IconsComeFromTheResourceHandle) {
    CTestApp app;
    host::IconImage image;
    image.width = image.height = 16;
    image.argb.assign(16 * 16, 0xFF00FF00u);
    host::RegisterIconResources(nullptr, MAKEINTRESOURCEW(128), host::BuildIconResources(1, {image}));
    const HICON icon = app.LoadIcon(128u);
    ASSERT_NE(icon, nullptr);
    int width = 0, height = 0;
    EXPECT_TRUE(host::gdi::IconSize(icon, &width, &height));
    EXPECT_EQ(app.LoadIcon(129u), nullptr);
    EXPECT_NE(app.LoadStandardIcon(IDI_APPLICATION), nullptr);
    EXPECT_EQ(AfxGetResourceHandle(), ::GetModuleHandleW(nullptr));
    host::ClearResources(nullptr);
}

}  // namespace
