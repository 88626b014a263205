#pragma once
// The main dialog: it owns every piece of run-time state of the program —
// the kernel interface, the counter query, the charts, the report controls,
// the values kept between refreshes and the target process list.

#include <afxwin.h>
#include <afxcmn.h>
#include <pdh.h>

#include <nt/system_information.h>

#include "charts/chart_release.h"
#include "kernel/native_services.h"
#include "resources/resource_ids.h"

namespace KernelIf {
class CKernelIf;
}
class CDUVudovCtrl;
class CStaticFader;

// The refresh timer's id.
constexpr UINT_PTR REFRESH_TIMER_ID = 1957;

// Traces of the RAM usage chart (the full layout) and of the page-file chart.
constexpr int kRamTraceCount = 18;
constexpr int kRamTraceNameCount = 19;
constexpr int kPageFileTraceCount = 3;

class CPaliskDlg : public CDialog {
public:
    explicit CPaliskDlg(CWnd* pParent = nullptr);
    ~CPaliskDlg() override;

    enum { IDD = IDD_PALISK_DIALOG };

    // ---- members, in declaration order ----
    HICON m_hIcon;
    KernelIf::CKernelIf* m_pKernelIf = nullptr;
    CDUVudovCtrl* m_pRamChart = nullptr;
    CDUVudovCtrl* m_pReadChart = nullptr;
    CDUVudovCtrl* m_pPageFileChart = nullptr;
    UINT_PTR m_nTimer = 0;
    UINT m_nTimerInterval = 1000;
    int m_nRefreshCount = 0;
    nt::SYSTEM_PERFORMANCE_INFORMATION m_prevPerfInfo{};
    // Whether m_prevPerfInfo holds a record a refresh produced; until then
    // there is nothing to take differences from.
    bool m_bPrevPerfKept = false;
    ULONGLONG m_nReadScaleMax = 0;
    int m_nReadLowCount = 0;
    ULONGLONG m_nPageFileScaleMax = 0;
    bool m_bInitialized = false;
    double m_dDpiScale = 1.0;
    CFont m_fontReport;
    CFont m_fontLabel;
    CStaticFader* m_pRamLegend[kRamTraceCount] = {};
    CStaticFader* m_pPageFileLegend[kPageFileTraceCount] = {};
    PDH_HQUERY m_hPdhQuery = nullptr;
    PDH_HCOUNTER m_hCounterCacheBytes = nullptr;
    PDH_HCOUNTER m_hCounterModified = nullptr;
    PDH_HCOUNTER m_hCounterStandbyCore = nullptr;
    PDH_HCOUNTER m_hCounterStandbyNormal = nullptr;
    PDH_HCOUNTER m_hCounterStandbyReserve = nullptr;
    PDH_HCOUNTER m_hCounterCacheResident = nullptr;
    PDH_HCOUNTER m_hCounterFreeZero = nullptr;
    bool m_bPdhReady = false;
    COLORREF m_crRamTrace[kRamTraceNameCount] = {};
    COLORREF m_crRamLegendText[kRamTraceNameCount] = {};
    CString m_strRamTraceName[kRamTraceNameCount];
    COLORREF m_crPageFileTrace[kPageFileTraceCount] = {};
    COLORREF m_crPageFileLegendText[kPageFileTraceCount] = {};
    CString m_strPageFileTraceName[kPageFileTraceCount];
    DWORD* m_pTargetPids = nullptr;
    // The creation time of each listed process, beside its id: a process id
    // can be reused by a new process after the list was filled, and a
    // different creation time tells the two apart.
    ULONGLONG* m_pTargetCreationTimes = nullptr;
    CStringArray m_astrTargetNames;
    HMODULE m_hKernel32 = nullptr;
    KernelIf::PFN_SET_SYSTEM_FILE_CACHE_SIZE m_pfnSetSystemFileCacheSize = nullptr;
    KernelIf::PFN_GET_SYSTEM_FILE_CACHE_SIZE m_pfnGetSystemFileCacheSize = nullptr;
    bool m_bShowCacheEffectiveness = false;
    bool m_bShowPageFile = false;
    ULONGLONG m_prevRepurposed[8] = {};
    ULONGLONG m_prevTransitionCount = 0;
    ULONGLONG m_prevDemandZeroCount = 0;
    LONG m_nMemCompressionPid = -1;
    // The memory compression process's creation time, beside its id: should
    // that process end, its id may come to name another one.
    ULONGLONG m_nMemCompressionCreationTime = 0;
    CStatic m_stReport;
    CProgressCtrl m_progRam;
    CProgressCtrl m_progCache;
    CProgressCtrl m_progPageFile;
    CStatic m_stRamCaption;
    CStatic m_stInfoBox;
    CStatic m_stRamTitle;
    CStatic m_stCacheTitle;
    CStatic m_stPageFileTitle;
    CButton m_btnAutoStart;
    CButton m_btnAutoStop;
    CButton m_btnFlushCacheWs;
    CButton m_btnCacheMaxHalf;
    CButton m_btnCacheMaxDouble;
    CComboBox m_cbTargetProcess;
    int m_nTargetIndex = 0;
    CString m_strTargetProcess;
    CStatic m_stNote;
    CStatic m_stHeading;
    CButton m_btnShowRepurposed;
    CButton m_btnShowCacheEffectiveness;
    CButton m_btnShowPageFile;

    // ---- sampling ----
    void RefreshMemoryInfo();
    bool InitPdhCounters();

    // ---- charts ----
    void BuildRamChart(double widthFraction, double heightFraction);
    void RebuildRamChart(double heightFraction);
    void BuildReadChart(double widthFraction, double heightFraction);
    void BuildPageFileChart(double widthFraction, double heightFraction);
    void FeedRamChart(ULONG availablePages, ULONG physicalPages, ULONG badPages, ULONG targetPages,
                      ULONG systemPages, ULONG compressionPages, ULONG cacheResidentPages, ULONG cacheCurrentPages,
                      ULONG zeroedPages, ULONG freePages, ULONG modifiedPages, ULONG modifiedNoWritePages,
                      const ULONG standbyPages[8]);
    void FeedRamChartBasic(ULONG availablePages, ULONG physicalPages, ULONG cacheResidentPages,
                           ULONG cacheCurrentPages, ULONG standbyCorePages, ULONG standbyNormalPages,
                           ULONG standbyReservePages);
    void FeedReadChart(ULONGLONG hits, ULONGLONG misses);
    void FeedPageFileChart(ULONGLONG readBytes, ULONGLONG remainderBytes, ULONGLONG writtenBytes);

    // ---- target process selector ----
    void FillTargetProcessList();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnBnClickedAbout();
    afx_msg void OnBnClickedRefresh();
    afx_msg void OnBnClickedAutoStart();
    afx_msg void OnBnClickedAutoStop();
    afx_msg void OnBnClickedFlushCacheWs();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnBnClickedCacheMaxHalf();
    afx_msg void OnBnClickedCacheMaxDouble();
    afx_msg void OnBnClickedShowRepurposed();
    afx_msg void OnBnClickedShowCacheEffectiveness();
    afx_msg void OnBnClickedShowPageFile();
    afx_msg void OnBnClickedFlushAllStandby();
    afx_msg void OnBnClickedFlushStandby0();
    afx_msg void OnBnClickedFlushWorkSets();
    afx_msg void OnBnClickedFlushModPgList();
    afx_msg void OnCbnSelchangeTargetProcess();
    afx_msg void OnCbnDropdownTargetProcess();
    afx_msg void OnBnClickedFlushTargetWs();
    DECLARE_MESSAGE_MAP()

private:
    // Start-up steps of OnInitDialog that take more than a line.
    void AppendSystemMenuItems();
    void ResolveCacheSizeFunctions();
    void CheckCachePrivileges();
    void CreateFonts();
    // Shows the About box and returns when it is closed.
    void ShowAboutBox();
    // Sends one memory-list command (MemoryEmptyWorkingSets and the rest).
    void SendMemoryListCommand(ULONG command);
    void FlushTargetWorkingSet();
    // A message box that the refresh timer does not re-enter: while one is
    // open, timer ticks take no refresh (see OnTimer).
    int ShowRefreshMessage(LPCWSTR text, LPCWSTR caption);
    int m_nOpenRefreshMessages = 0;

    // Last member: releases the charts and legend labels before the rest
    // of the dialog goes.
    CChartRelease m_chartRelease{this};
};
