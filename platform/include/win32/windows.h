#pragma once
// The Win32 surface of the platform: what the program may call. On Windows
// the real SDK headers of the same names take the place of these.

#include "winnt.h"
#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"
#include "winreg.h"
#include "winsvc.h"
