#include "resources/dialogs.h"

#include "resources/resource_ids.h"

#include <commctrl.h>

namespace resources {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kHiddenToggle = WS_CHILD | BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP;
constexpr DWORD kLeftText = kChild | SS_LEFT | WS_GROUP;
constexpr DWORD kCentredText = kChild | SS_CENTER | WS_GROUP;
constexpr DWORD kRightText = kChild | SS_RIGHT | WS_GROUP;
constexpr DWORD kProgress = WS_CHILD | WS_BORDER | PBS_SMOOTH | PBS_VERTICAL;
constexpr DWORD kProgressEdges = WS_EX_STATICEDGE | WS_EX_CLIENTEDGE;

DialogDefinition MakeMainDialog() {
    return DialogDefinition{
        IDD_PALISK_DIALOG,
        L"Palisk",
        0, 0, 849, 490,
        WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
            DS_3DLOOK | DS_SHELLFONT,
        WS_EX_APPWINDOW,
        8,
        L"MS Shell Dlg",
        {
            {L"Button", L"About", IDC_ABOUT, 724, 7, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP},
            {L"Button", L"AutoStart", IDC_AUTO_START, 551, 7, 50, 14, kButton},
            {L"Button", L"Refresh", IDOK, 609, 7, 50, 14, kButton},
            {L"Button", L"AutoStop", IDC_AUTO_STOP, 667, 7, 50, 14, kButton},
            {L"Button", L"Exit", IDCANCEL, 792, 7, 50, 14, kButton},
            {L"Button", L"Flush Cache WS", IDC_FLUSH_CACHE_WS, 106, 469, 60, 14, kButton},
            {L"Static", L"NOTE: Cache modification features available on Windows 2003 SP1 and above only.", IDC_NOTE,
             493, 474, 349, 9, kLeftText},
            {L"Static", L"RAM Usage", IDC_RAM_TITLE, 498, 23, 341, 8, kCentredText},
            {L"Static", L"Static", IDC_RAM_CAPTION, 457, 44, 56, 8, kRightText},
            {PROGRESS_CLASSW, nullptr, IDC_RAM_PROGRESS, 512, 34, 330, 90, kProgress | WS_VISIBLE, kProgressEdges},
            {PROGRESS_CLASSW, nullptr, IDC_CACHE_PROGRESS, 485, 84, 80, 24, kProgress, kProgressEdges},
            {L"Static", L"Static", IDC_INFO_BOX, 712, 291, 130, 79, kLeftText},
            {L"Static", L"System File Cache Effectiveness", IDC_CACHE_TITLE, 573, 218, 190, 8, kCentredText},
            {L"Button", L"Cache Max/2", IDC_CACHE_MAX_HALF, 6, 469, 48, 14, kButton},
            {L"Button", L"2x Cach Max", IDC_CACHE_MAX_DOUBLE, 56, 469, 48, 14, kButton},
            {L"Static", L"Static", IDC_HEADING, 7, 7, 208, 14, kLeftText},
            {L"Button", L"Show Standby Repurposed", IDC_SHOW_REPURPOSED, 446, 7, 96, 14, kHiddenToggle},
            {L"Button", L"Show Cache Effectiveness ", IDC_SHOW_CACHE_EFFECTIVENESS, 446, 7, 96, 14, kHiddenToggle},
            {L"Button", L"Flush All Standby", IDC_FLUSH_ALL_STANDBY, 168, 469, 60, 14, kButton},
            {L"Button", L"Flush Standby 0", IDC_FLUSH_STANDBY0, 230, 469, 60, 14, kButton},
            {L"Button", L"Flush ModPgList", IDC_FLUSH_MOD_PG_LIST, 292, 469, 60, 14, kButton},
            {L"Button", L"Flush WorkSets", IDC_FLUSH_WORK_SETS, 355, 469, 60, 14, kButton},
            {L"ComboBox", nullptr, IDC_TARGET_PROCESS, 278, 7, 159, 442,
             kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
            {L"Static", L"Target Process:", IDC_TARGET_LABEL, 218, 8, 56, 10, kLeftText},
            {L"Static", L"Please use the 64-bit version of Palisk on 64-bit Operating Systems!", IDC_REPORT, 9, 23,
             325, 378, kLeftText},
            {L"Button", L"Flush TargetWS", IDC_FLUSH_TARGET_WS, 418, 469, 60, 14, kButton},
            {L"Button", L"Show PageFile Usage", IDC_SHOW_PAGEFILE, 446, 7, 96, 14, kHiddenToggle | WS_VISIBLE},
            {PROGRESS_CLASSW, nullptr, IDC_PAGEFILE_PROGRESS, 486, 137, 80, 24, kProgress, kProgressEdges},
            {L"Static", L"Page File Usage", IDC_PAGEFILE_TITLE, 573, 226, 190, 8, kCentredText},
        },
    };
}

DialogDefinition MakeAboutDialog() {
    return DialogDefinition{
        IDD_ABOUTBOX,
        L"About Palisk",
        0, 0, 235, 55,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT,
        0,
        8,
        L"MS Shell Dlg",
        {
            {L"Static", nullptr, IDC_STATIC_NONE, 11, 17, 20, 20, kChild | SS_ICON, 0, IDR_MAINFRAME},
            {L"Static", L"Palisk Version 3.8", IDC_STATIC_NONE, 40, 10, 119, 8, kChild | SS_LEFT | SS_NOPREFIX},
            {L"Static", L"Copyright (C) 2026 The Palisk developers", IDC_STATIC_NONE, 70, 40, 157, 8,
             kChild | SS_LEFT},
            {L"Button", L"OK", IDOK, 178, 7, 50, 16, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
            {L"Static", L"System Cache Management Tool", IDC_STATIC_NONE, 41, 23, 120, 14, kChild | SS_LEFT},
        },
    };
}

}  // namespace

const DialogDefinition& MainDialog() {
    static const DialogDefinition dialog = MakeMainDialog();
    return dialog;
}

const DialogDefinition& AboutDialog() {
    static const DialogDefinition dialog = MakeAboutDialog();
    return dialog;
}

const DialogDefinition* FindDialog(WORD id) {
    if (id == IDD_PALISK_DIALOG) return &MainDialog();
    if (id == IDD_ABOUTBOX) return &AboutDialog();
    return nullptr;
}

}  // namespace resources
