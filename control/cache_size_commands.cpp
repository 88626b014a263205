// The file cache's working set: flush it, halve its maximum, double it.

#include "app/palisk_dlg.h"

namespace {

// Both sizes (SIZE_T)-1 flush the cache's working set.
constexpr SIZE_T kFlushSize = static_cast<SIZE_T>(-1);

}  // namespace

void CPaliskDlg::OnBnClickedFlushCacheWs() {
    if (m_pfnSetSystemFileCacheSize == nullptr) return;
    if (!m_pfnSetSystemFileCacheSize(kFlushSize, kFlushSize, FILE_CACHE_MAX_HARD_ENABLE)) {
        CString message;
        message.Format(L"Unable to Half File Cache Maximum 0x%x", GetLastError());
        MessageBox(message, L"Error:", MB_OK);
    }
}

namespace {

// Reads the current limits, sets the maximum that `newMaximum` makes of the
// current one with the hard maximum enabled, and reports a refusal with
// `failureFormat`. Reading the limits failing ends the command silently.
void ChangeCacheMaximum(CPaliskDlg& dlg, SIZE_T (*newMaximum)(SIZE_T), LPCWSTR failureFormat) {
    if (dlg.m_pfnSetSystemFileCacheSize == nullptr || dlg.m_pfnGetSystemFileCacheSize == nullptr) return;
    SIZE_T minimum = 0, maximum = 0;
    DWORD flags = 0;
    if (!dlg.m_pfnGetSystemFileCacheSize(&minimum, &maximum, &flags)) return;
    if (!dlg.m_pfnSetSystemFileCacheSize(minimum, newMaximum(maximum), flags | FILE_CACHE_MAX_HARD_ENABLE)) {
        CString message;
        message.Format(failureFormat, GetLastError());
        dlg.MessageBox(message, L"Error:", MB_OK);
    }
}

SIZE_T Halved(SIZE_T maximum) { return maximum >> 1; }
// A maximum of 2^63 bytes or more would wrap to a small one when doubled and
// shrink the cache instead of growing it: it stays at the largest size.
SIZE_T Doubled(SIZE_T maximum) {
    return maximum > static_cast<SIZE_T>(-1) / 2 ? static_cast<SIZE_T>(-1) : maximum + maximum;
}

}  // namespace

void CPaliskDlg::OnBnClickedCacheMaxHalf() {
    ChangeCacheMaximum(*this, Halved, L"Unable to Set File Cache Maximum 0x%x");
}

void CPaliskDlg::OnBnClickedCacheMaxDouble() {
    ChangeCacheMaximum(*this, Doubled, L"Unable to Double File Cache 0x%x");
}
