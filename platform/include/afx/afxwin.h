#pragma once
// The dialog framework: application, windows, dialogs, controls, drawing.
// Written against the Win32 surface only, so that it builds both on the
// Linux host and against the real Windows SDK.

#include "afx.h"
#include "afxcoll.h"
#include "afxres.h"

#include "afxmsgmap.h"

#include "afxdc.h"
#include "afxgdi.h"
#include "afxmenu.h"

#include "afxwnd.h"

#include "afxapp.h"
#include "afxctrls.h"
#include "afxdlg.h"
