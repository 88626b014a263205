// The format functions are fuzzed without the window framework and the
// host they belong to: CString loads string resources through these two,
// and a fuzz target has no resources to load.

#include <afxwin.h>

HINSTANCE AFXAPI AfxGetResourceHandle() { return nullptr; }

int WINAPI LoadStringW(HINSTANCE, UINT, LPWSTR buffer, int size) {
    if (buffer != nullptr && size > 0) buffer[0] = 0;
    return 0;
}
