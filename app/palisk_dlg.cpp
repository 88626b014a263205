#include "app/palisk_dlg.h"

#include "kernel/kernel_if.h"
#include "kernel/privileges.h"
#include "sampling/memory_sample.h"

#include <algorithm>
#include <new>

BEGIN_MESSAGE_MAP(CPaliskDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_ABOUT, &CPaliskDlg::OnBnClickedAbout)
    ON_BN_CLICKED(IDOK, &CPaliskDlg::OnBnClickedRefresh)
    ON_BN_CLICKED(IDC_AUTO_START, &CPaliskDlg::OnBnClickedAutoStart)
    ON_BN_CLICKED(IDC_AUTO_STOP, &CPaliskDlg::OnBnClickedAutoStop)
    ON_BN_CLICKED(IDC_FLUSH_CACHE_WS, &CPaliskDlg::OnBnClickedFlushCacheWs)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_CACHE_MAX_HALF, &CPaliskDlg::OnBnClickedCacheMaxHalf)
    ON_BN_CLICKED(IDC_CACHE_MAX_DOUBLE, &CPaliskDlg::OnBnClickedCacheMaxDouble)
    ON_BN_CLICKED(IDC_SHOW_REPURPOSED, &CPaliskDlg::OnBnClickedShowRepurposed)
    ON_BN_CLICKED(IDC_SHOW_CACHE_EFFECTIVENESS, &CPaliskDlg::OnBnClickedShowCacheEffectiveness)
    ON_BN_CLICKED(IDC_SHOW_PAGEFILE, &CPaliskDlg::OnBnClickedShowPageFile)
    ON_BN_CLICKED(IDC_FLUSH_ALL_STANDBY, &CPaliskDlg::OnBnClickedFlushAllStandby)
    ON_BN_CLICKED(IDC_FLUSH_STANDBY0, &CPaliskDlg::OnBnClickedFlushStandby0)
    ON_BN_CLICKED(IDC_FLUSH_WORK_SETS, &CPaliskDlg::OnBnClickedFlushWorkSets)
    ON_BN_CLICKED(IDC_FLUSH_MOD_PG_LIST, &CPaliskDlg::OnBnClickedFlushModPgList)
    ON_CBN_SELCHANGE(IDC_TARGET_PROCESS, &CPaliskDlg::OnCbnSelchangeTargetProcess)
    ON_CBN_DROPDOWN(IDC_TARGET_PROCESS, &CPaliskDlg::OnCbnDropdownTargetProcess)
    ON_BN_CLICKED(IDC_FLUSH_TARGET_WS, &CPaliskDlg::OnBnClickedFlushTargetWs)
END_MESSAGE_MAP()

CPaliskDlg::CPaliskDlg(CWnd* pParent) : CDialog(IDD_PALISK_DIALOG, pParent) {
    m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME)
                          : LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CPaliskDlg::~CPaliskDlg() {
    // The dialog lives as long as the program; releasing what it holds at
    // its end keeps leak checks quiet and costs nothing.
    delete[] m_pTargetPids;
    delete[] m_pTargetCreationTimes;
    if (m_hPdhQuery) PdhCloseQuery(m_hPdhQuery);
    delete m_pKernelIf;
}

void CPaliskDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_REPORT, m_stReport);
    DDX_Control(pDX, IDC_RAM_PROGRESS, m_progRam);
    DDX_Control(pDX, IDC_RAM_CAPTION, m_stRamCaption);
    DDX_Control(pDX, IDC_CACHE_PROGRESS, m_progCache);
    DDX_Control(pDX, IDC_PAGEFILE_PROGRESS, m_progPageFile);
    DDX_Control(pDX, IDC_INFO_BOX, m_stInfoBox);
    DDX_Control(pDX, IDC_RAM_TITLE, m_stRamTitle);
    DDX_Control(pDX, IDC_CACHE_TITLE, m_stCacheTitle);
    DDX_Control(pDX, IDC_PAGEFILE_TITLE, m_stPageFileTitle);
    DDX_Control(pDX, IDC_AUTO_START, m_btnAutoStart);
    DDX_Control(pDX, IDC_AUTO_STOP, m_btnAutoStop);
    DDX_Control(pDX, IDC_FLUSH_CACHE_WS, m_btnFlushCacheWs);
    DDX_Control(pDX, IDC_NOTE, m_stNote);
    DDX_Control(pDX, IDC_CACHE_MAX_HALF, m_btnCacheMaxHalf);
    DDX_Control(pDX, IDC_CACHE_MAX_DOUBLE, m_btnCacheMaxDouble);
    DDX_Control(pDX, IDC_HEADING, m_stHeading);
    DDX_Control(pDX, IDC_SHOW_REPURPOSED, m_btnShowRepurposed);
    DDX_Control(pDX, IDC_SHOW_CACHE_EFFECTIVENESS, m_btnShowCacheEffectiveness);
    DDX_Control(pDX, IDC_SHOW_PAGEFILE, m_btnShowPageFile);
    DDX_Control(pDX, IDC_TARGET_PROCESS, m_cbTargetProcess);
    DDX_CBIndex(pDX, IDC_TARGET_PROCESS, m_nTargetIndex);
    DDX_CBString(pDX, IDC_TARGET_PROCESS, m_strTargetProcess);
}

BOOL CPaliskDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AppendSystemMenuItems();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_bShowCacheEffectiveness = false;
    m_bShowPageFile = false;

    m_pKernelIf = new (std::nothrow) KernelIf::CKernelIf();
    KernelIf::EnableDebugPrivilege();
    ResolveCacheSizeFunctions();
    CheckCachePrivileges();

    m_prevPerfInfo = {};
    m_nMemCompressionPid = -1;
    FillTargetProcessList();
    m_progRam.EnableToolTips(TRUE);
    for (ULONGLONG& count : m_prevRepurposed) count = 0;
    m_prevTransitionCount = 0;
    m_prevDemandZeroCount = 0;

    CreateFonts();
    m_stReport.SetFont(&m_fontReport, FALSE);
    m_progRam.SetBkColor(RGB(0, 128, 0));
    m_progCache.SetBkColor(RGB(128, 128, 0));
    m_progPageFile.SetBkColor(RGB(128, 128, 0));
    m_bPdhReady = InitPdhCounters();

    m_nTimerInterval = 1000;
    m_nRefreshCount = 0;
    BuildRamChart(0.45, 0.5);
    BuildReadChart(0.45, 0.32);
    BuildPageFileChart(0.45, 0.32);
    m_nTimer = SetTimer(REFRESH_TIMER_ID, m_nTimerInterval, nullptr);
    if (m_nTimer == 0) MessageBox(L"Error Setting Timer", L"Test_DUVudov", MB_OK);
    m_btnAutoStart.EnableWindow(FALSE);
    m_btnAutoStop.EnableWindow(TRUE);

    RefreshMemoryInfo();
    ++m_nRefreshCount;
    m_bShowCacheEffectiveness = false;
    m_bShowPageFile = false;
    OnBnClickedShowPageFile();
    m_bInitialized = true;
    return TRUE;
}

void CPaliskDlg::AppendSystemMenuItems() {
    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu == nullptr) return;
    CString flushStandby, flushWorkingSets, flushTarget, about;
    flushStandby.LoadString(IDS_FLUSH_STANDBY_CACHES);
    flushWorkingSets.LoadString(IDS_FLUSH_ALL_WORKING_SETS);
    flushTarget.LoadString(IDS_FLUSH_TARGET_WS);
    about.LoadString(IDS_ABOUTBOX);
    if (about.IsEmpty()) return;
    pSysMenu->AppendMenu(MF_SEPARATOR);
    pSysMenu->AppendMenu(MF_STRING, IDM_FLUSH_STANDBY_CACHES, flushStandby);
    pSysMenu->AppendMenu(MF_SEPARATOR);
    pSysMenu->AppendMenu(MF_STRING, IDM_FLUSH_ALL_WORKING_SETS, flushWorkingSets);
    pSysMenu->AppendMenu(MF_STRING, IDM_FLUSH_TARGET_WS, flushTarget);
    pSysMenu->AppendMenu(MF_SEPARATOR);
    pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
}

void CPaliskDlg::ResolveCacheSizeFunctions() {
    m_hKernel32 = LoadLibraryW(L"kernel32.dll");
    if (m_hKernel32 == nullptr) {
        m_pfnSetSystemFileCacheSize = nullptr;
        m_pfnGetSystemFileCacheSize = nullptr;
        return;
    }
    using KernelIf::AsEntryPoint;
    m_pfnSetSystemFileCacheSize = AsEntryPoint<KernelIf::PFN_SET_SYSTEM_FILE_CACHE_SIZE>(
        GetProcAddress(m_hKernel32, "SetSystemFileCacheSize"));
    m_pfnGetSystemFileCacheSize = AsEntryPoint<KernelIf::PFN_GET_SYSTEM_FILE_CACHE_SIZE>(
        GetProcAddress(m_hKernel32, "GetSystemFileCacheSize"));
}

void CPaliskDlg::CheckCachePrivileges() {
    if (m_pfnSetSystemFileCacheSize == nullptr) {
        m_btnFlushCacheWs.EnableWindow(FALSE);
        m_btnCacheMaxHalf.EnableWindow(FALSE);
        m_btnCacheMaxDouble.EnableWindow(FALSE);
        return;
    }
    if (KernelIf::EnableIncreaseQuotaPrivilege() && KernelIf::EnableProfileSingleProcessPrivilege()) {
        m_stNote.SetWindowText(
            L"                    NOTE: Administrative Privileges are enabled.\n"
            L"                               Cache modifications may degrade system performance.");
    } else {
        MessageBox(L"Unable to increase privileges needed for Cache manipulation.", L"Warning", MB_OK);
    }
}

void CPaliskDlg::CreateFonts() {
    CClientDC dc(this);
    // Whole multiples of 96 dots per inch. Below 96 the quotient is 0, which
    // would give 0-pixel fonts and legend labels and push the page-file
    // chart to the dialog's bottom: such screens keep the factor 1, as the
    // strip chart does.
    if (dc.GetSafeHdc() != nullptr) m_dDpiScale = static_cast<double>(std::max(1, dc.GetDeviceCaps(LOGPIXELSX) / 96));
    const int height = static_cast<int>(m_dDpiScale * 14);
    m_fontReport.CreateFont(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, L"Courier New");
    m_fontLabel.CreateFont(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, L"Times New Roman");
}
