#pragma once
// Resource and command ids the framework itself defines.

// The help command (F1), routed to CWinApp::OnHelp.
#define ID_HELP 0xE146
// String resource with the application's title.
#define AFX_IDS_APP_TITLE 0xE000
// Prompt shown when a field must hold an integer.
#define AFX_IDP_PARSE_INT 0xF110
// Id of the static controls no code refers to.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
