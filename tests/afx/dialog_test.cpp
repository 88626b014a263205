// CDialog on the real host: modeless dialogs from templates in memory,
// control binding and data exchange, dispatch by control id and
// notification, default handling, modal dialogs with scripted answers.

#include "afx_test_support.h"

#include "host/resources.h"

#include <string>
#include <vector>

namespace {

using afx_test::HostTest;
using afx_test::TextOf;
using Builder = host::user::DialogTemplateBuilder;

constexpr int kAbout = 1000;
constexpr int kReport = 1001;
constexpr int kProcesses = 1022;

std::vector<DWORD> TestTemplate(DWORD extraStyle = WS_VISIBLE, const wchar_t* caption = L"Framework test") {
    const auto button = Builder::Name::Ordinal(Builder::kButton);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    Builder builder(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | extraStyle, 0, 0, 0, 240, 120, caption);
    builder.Font(8, L"MS Shell Dlg");
    builder.AddItem(button, L"Refresh", IDOK, child | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 10, 50, 14);
    builder.AddItem(button, L"Exit", IDCANCEL, child | WS_TABSTOP, 70, 10, 50, 14);
    builder.AddItem(button, L"About", kAbout, child | WS_TABSTOP, 130, 10, 50, 14);
    builder.AddItem(Builder::Name::Ordinal(Builder::kStatic), L"report", kReport, child | SS_LEFT, 10, 30, 100, 20);
    builder.AddItem(Builder::Name::Ordinal(Builder::kComboBox), L"", kProcesses,
                    child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 10, 60, 100, 80);
    return builder.Build();
}

class CLoggingStatic : public CStatic {
public:
    std::vector<std::wstring> texts;

protected:
    afx_msg LRESULT OnSetText(WPARAM, LPARAM lParam) {
        texts.emplace_back(reinterpret_cast<LPCWSTR>(lParam));
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLoggingStatic, CStatic)
    ON_MESSAGE(WM_SETTEXT, &CLoggingStatic::OnSetText)
END_MESSAGE_MAP()

class CTestDlg : public CDialog {
public:
    CLoggingStatic m_stReport;
    CComboBox m_cbProcesses;
    int m_nIndex = 0;
    CString m_strProcess;

    std::vector<std::string> events;
    std::vector<UINT> sysCommands;
    std::vector<UINT_PTR> timers;
    bool controlsExistedAtInit = false;
    bool reportBoundAtInit = false;
    bool clickDuringExchange = false;
    int postNcDestroys = 0;
    HCURSOR dragIcon = reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(0x4321));

    void FillProcesses() {
        m_cbProcesses.ResetContent();
        for (LPCWSTR name : {L"alpha", L"beta", L"gamma"}) m_cbProcesses.AddString(name);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, kReport, m_stReport);
        DDX_Control(pDX, kProcesses, m_cbProcesses);
        DDX_CBIndex(pDX, kProcesses, m_nIndex);
        DDX_CBString(pDX, kProcesses, m_strProcess);
        if (clickDuringExchange) {
            const HWND about = GetDlgItem(kAbout)->m_hWnd;
            SendMessage(WM_COMMAND, MAKEWPARAM(kAbout, BN_CLICKED), reinterpret_cast<LPARAM>(about));
        }
    }
    BOOL OnInitDialog() override {
        controlsExistedAtInit = GetDlgItem(kReport) != nullptr && GetDlgItem(kProcesses) != nullptr;
        const BOOL result = CDialog::OnInitDialog();
        reportBoundAtInit = m_stReport.m_hWnd != nullptr;
        events.push_back("init");
        return result;
    }
    void PostNcDestroy() override { ++postNcDestroys; }

    afx_msg void OnRefresh() { events.push_back("refresh"); }
    afx_msg void OnAbout() { events.push_back("about"); }
    afx_msg void OnProcessesDropDown() {
        events.push_back("dropdown");
        FillProcesses();
    }
    afx_msg void OnProcessesSelChange() {
        events.push_back("selchange");
        UpdateData(TRUE);
    }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) {
        sysCommands.push_back(nID);
        if (nID != 16) CDialog::OnSysCommand(nID, lParam);
    }
    afx_msg HCURSOR OnQueryDragIcon() { return dragIcon; }
    afx_msg void OnTimer(UINT_PTR nIDEvent) { timers.push_back(nIDEvent); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_QUERYDRAGICON()
    ON_WM_TIMER()
    ON_BN_CLICKED(IDOK, &CTestDlg::OnRefresh)
    ON_BN_CLICKED(kAbout, &CTestDlg::OnAbout)
    ON_CBN_DROPDOWN(kProcesses, &CTestDlg::OnProcessesDropDown)
    ON_CBN_SELCHANGE(kProcesses, &CTestDlg::OnProcessesSelChange)
END_MESSAGE_MAP()

class DialogTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_TRUE(dialog.CreateIndirect(host::user::AsTemplate(bytes)));
    }
    void TearDown() override {
        dialog.DestroyWindow();
        HostTest::TearDown();
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog.m_hWnd, id); }

    std::vector<DWORD> bytes = TestTemplate();
    CTestDlg dialog;
};

TEST_F(DialogTest, InitDialogRunsOnceTheControlsExistAndBindsThem) {
    EXPECT_TRUE(dialog.controlsExistedAtInit);
    EXPECT_TRUE(dialog.reportBoundAtInit);
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"init"}));
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_hWnd), &dialog);
    EXPECT_EQ(dialog.GetDlgItem(kReport), &dialog.m_stReport);
    EXPECT_EQ(dialog.m_stReport.m_hWnd, Item(kReport));
}

TEST_F(DialogTest, BoundControlsRouteTheirMessagesThroughTheirOwnMap) {
    dialog.m_stReport.SetWindowText(L"12 MB free");
    EXPECT_EQ(dialog.m_stReport.texts, (std::vector<std::wstring>{L"12 MB free"}));
    EXPECT_EQ(TextOf(Item(kReport)), L"12 MB free");
    // A second exchange does not bind again.
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_stReport.m_hWnd, Item(kReport));
}

TEST_F(DialogTest, ButtonClicksReachTheHandlerOfTheirId) {
    ASSERT_TRUE(host::user::Click(Item(kAbout)));
    // IDOK is "Refresh" here: the dialog's own entry wins over the base's OnOK.
    ASSERT_TRUE(host::user::Click(Item(IDOK)));
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"init", "about", "refresh"}));
    EXPECT_TRUE(dialog.IsWindowVisible());
    // IDCANCEL has no entry of its own: the base ends the dialog.
    ASSERT_TRUE(host::user::Click(Item(IDCANCEL)));
    EXPECT_FALSE(dialog.IsWindowVisible());
}

TEST_F(DialogTest, ComboNotificationsReachTheirHandlersAndSaveTheSelection) {
    ASSERT_TRUE(host::user::DropDown(Item(kProcesses)));
    EXPECT_EQ(host::user::ComboItems(Item(kProcesses)), (std::vector<std::wstring>{L"alpha", L"beta", L"gamma"}));
    ASSERT_TRUE(host::user::ChooseComboItem(Item(kProcesses), 2));
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"init", "dropdown", "selchange"}));
    EXPECT_EQ(dialog.m_nIndex, 2);
    EXPECT_EQ(dialog.m_strProcess, L"gamma");
}

TEST_F(DialogTest, LoadingSelectsByIndexThenByLeadingText) {
    dialog.FillProcesses();
    dialog.m_nIndex = 1;
    dialog.m_strProcess = L"beta";
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(dialog.m_cbProcesses.GetCurSel(), 1);
    // The text is exchanged last and selects the first item it begins.
    dialog.m_nIndex = 0;
    dialog.m_strProcess = L"gam";
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(dialog.m_cbProcesses.GetCurSel(), 2);
    // Text that begins no item leaves the index's choice.
    dialog.m_nIndex = 1;
    dialog.m_strProcess = L"zeta";
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(dialog.m_cbProcesses.GetCurSel(), 1);
}

TEST_F(DialogTest, SavingWithoutASelectionGivesMinusOneAndNoText) {
    dialog.FillProcesses();
    dialog.m_cbProcesses.SetCurSel(-1);
    dialog.m_strProcess = L"stale";
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_nIndex, -1);
    EXPECT_EQ(dialog.m_strProcess, L"");
}

TEST_F(DialogTest, NotificationsSentDuringAnExchangeAreIgnored) {
    dialog.clickDuringExchange = true;
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    dialog.clickDuringExchange = false;
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"init"}));
    ASSERT_TRUE(host::user::Click(Item(kAbout)));
    EXPECT_EQ(dialog.events.back(), "about");
}

TEST_F(DialogTest, SystemCommandsReachTheHandlerAndItsDefault) {
    CMenu* menu = dialog.GetSystemMenu(FALSE);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->AppendMenu(MF_STRING, 16, L"&About..."));
    ASSERT_TRUE(host::user::ChooseSystemMenuItem(dialog.m_hWnd, 16));
    EXPECT_EQ(dialog.sysCommands, (std::vector<UINT>{16}));
    EXPECT_FALSE(dialog.IsIconic());
    // The handler passes SC_MINIMIZE on; the default handling minimises.
    ASSERT_TRUE(host::user::ChooseSystemMenuItem(dialog.m_hWnd, SC_MINIMIZE));
    EXPECT_EQ(dialog.sysCommands, (std::vector<UINT>{16, SC_MINIMIZE}));
    EXPECT_TRUE(dialog.IsIconic());
}

TEST_F(DialogTest, MessagesTheMapLeavesGetTheDialogManagersAnswers) {
    EXPECT_EQ(dialog.GetDefID(), static_cast<DWORD>(MAKELONG(IDOK, DC_HASDEFID)));
    dialog.SetDefID(kAbout);
    EXPECT_EQ(LOWORD(dialog.GetDefID()), kAbout);
    dialog.SetWindowText(L"renamed");
    EXPECT_EQ(TextOf(dialog.m_hWnd), L"renamed");
    // A handled message whose result the dialog procedure returns itself.
    EXPECT_EQ(dialog.SendMessage(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(dialog.dragIcon));
}

TEST_F(DialogTest, TimersTickByIdOnTheVirtualClock) {
    EXPECT_EQ(dialog.SetTimer(1957, 1000), 1957u);
    machine.Advance(3500);
    EXPECT_EQ(dialog.timers, (std::vector<UINT_PTR>{1957, 1957, 1957}));
    dialog.KillTimer(1957);
    machine.Advance(2000);
    EXPECT_EQ(dialog.timers.size(), 3u);
}

TEST_F(DialogTest, EscapeInAModelessDialogCancelsThroughPreTranslateMessage) {
    MSG key{Item(kAbout), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(dialog.PreTranslateMessage(&key));
    EXPECT_FALSE(dialog.IsWindowVisible());
    MSG paint{Item(kAbout), WM_PAINT, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(dialog.PreTranslateMessage(&paint));
}

TEST_F(DialogTest, DestroyingTheDialogUnbindsItAndItsControls) {
    const HWND hWnd = dialog.m_hWnd;
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_stReport.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_cbProcesses.m_hWnd, nullptr);
    EXPECT_EQ(dialog.postNcDestroys, 1);
    EXPECT_FALSE(::IsWindow(hWnd));
}

// ---- exchange failures ----------------------------------------------------------

class CCountDlg : public CDialog {
public:
    int m_nCount = 0;
    bool askMissingControl = false;
    CString m_strMissing;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, kReport, m_nCount);
        if (askMissingControl) DDX_Text(pDX, 4242, m_strMissing);
    }
};

class CountDialogTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_TRUE(dialog.CreateIndirect(host::user::AsTemplate(bytes)));
    }
    void TearDown() override {
        dialog.DestroyWindow();
        HostTest::TearDown();
    }
    std::vector<DWORD> bytes = TestTemplate();
    CCountDlg dialog;
};

TEST_F(CountDialogTest, IntegerFieldsLoadAndSave) {
    EXPECT_EQ(TextOf(::GetDlgItem(dialog.m_hWnd, kReport)), L"0");  // loaded by OnInitDialog
    dialog.m_nCount = -7;
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(TextOf(::GetDlgItem(dialog.m_hWnd, kReport)), L"-7");
    dialog.SetDlgItemText(kReport, L"  42\t");
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_nCount, 42);
}

TEST_F(CountDialogTest, TextThatIsNoIntegerIsRefusedWithAMessage) {
    dialog.m_nCount = 5;
    for (LPCWSTR bad : {L"4x", L"", L"+0", L"99999999999"}) {
        dialog.SetDlgItemText(kReport, bad);
        EXPECT_FALSE(dialog.UpdateData(TRUE)) << bad;
        EXPECT_EQ(dialog.m_nCount, 5) << bad;
    }
    ASSERT_EQ(machine.Modals().size(), 4u);
    EXPECT_EQ(machine.Modals()[0].text, L"Please enter an integer.");
}

TEST_F(CountDialogTest, AMissingControlFailsTheExchangeQuietly) {
    dialog.askMissingControl = true;
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    EXPECT_TRUE(machine.Modals().empty());
}

// ---- modal dialogs ------------------------------------------------------------------

class CAboutDlg : public CDialog {
public:
    using CDialog::CDialog;
    int inits = 0;
    std::vector<UINT_PTR> ticks;

protected:
    BOOL OnInitDialog() override {
        ++inits;
        SetTimer(5, 1000);
        return CDialog::OnInitDialog();
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent) { ticks.push_back(nIDEvent); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class ModalTest : public HostTest {};

TEST_F(ModalTest, DoModalReturnsTheScriptedAnswerAndTimersTickWhileOpen) {
    const std::vector<DWORD> bytes = TestTemplate(0, L"About Palisk");
    CAboutDlg about;
    ASSERT_TRUE(about.InitModalIndirect(host::user::AsTemplate(bytes)));
    machine.QueueModalAnswer({IDCANCEL, 3000});
    EXPECT_EQ(about.DoModal(), IDCANCEL);
    EXPECT_EQ(about.inits, 1);
    EXPECT_EQ(about.ticks, (std::vector<UINT_PTR>{5, 5, 5}));
    EXPECT_EQ(about.m_hWnd, nullptr);
    ASSERT_EQ(machine.Modals().size(), 1u);
    EXPECT_EQ(machine.Modals()[0].kind, host::ModalRecord::Kind::Dialog);
    EXPECT_EQ(machine.Modals()[0].caption, L"About Palisk");
    // Each run makes a new window.
    machine.QueueModalAnswer({IDOK, 0});
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(about.inits, 2);
}

TEST_F(ModalTest, DoModalFindsItsTemplateAmongTheResources) {
    const std::vector<DWORD> bytes = TestTemplate(0, L"From resources");
    const auto* first = reinterpret_cast<const BYTE*>(bytes.data());
    host::RegisterResource(nullptr, RT_DIALOG, MAKEINTRESOURCEW(100),
                           std::vector<BYTE>(first, first + bytes.size() * sizeof(DWORD)));
    CAboutDlg about(100u);
    machine.QueueModalAnswer({IDOK, 0});
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(about.inits, 1);
    // No such template: the dialog cannot run.
    CAboutDlg missing(101u);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_EQ(missing.inits, 0);
    host::ClearResources(nullptr);
}

}  // namespace
