// The memory performance counters: one query opened when the dialog starts,
// collected at every refresh.

#include "app/palisk_dlg.h"

#include "sampling/pdh_collection.h"

bool CPaliskDlg::InitPdhCounters() {
    PdhOpenQueryW(nullptr, 0, &m_hPdhQuery);
    if (PdhAddCounterW(m_hPdhQuery, L"\\Memory\\Free & Zero Page List Bytes", 0, &m_hCounterFreeZero) !=
        ERROR_SUCCESS) {
        CString message;
        message.Format(L"pdh add counter fail = 0x%x  ptr=0x%x", GetLastError(),
                       static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(m_hPdhQuery)));
        MessageBox(message, L"Error", MB_OK);
        return false;
    }
    PdhAddCounterW(m_hPdhQuery, L"\\Memory\\Cache Bytes", 0, &m_hCounterCacheBytes);
    PdhAddCounterW(m_hPdhQuery, L"\\Memory\\Modified Page List Bytes", 0, &m_hCounterModified);
    PdhAddCounterW(m_hPdhQuery, L"\\Memory\\Standby Cache Core Bytes", 0, &m_hCounterStandbyCore);
    PdhAddCounterW(m_hPdhQuery, L"\\Memory\\Standby Cache Normal Priority Bytes", 0, &m_hCounterStandbyNormal);
    PdhAddCounterW(m_hPdhQuery, L"\\Memory\\Standby Cache Reserve Bytes", 0, &m_hCounterStandbyReserve);
    PdhAddCounterW(m_hPdhQuery, L"\\Memory\\System Cache Resident Bytes", 0, &m_hCounterCacheResident);
    return true;
}
