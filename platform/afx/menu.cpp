#include "afxwin.h"

#include "afx_state.h"

using afx_internal::MapFor;

CMenu::~CMenu() { DestroyMenu(); }

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu) { return afx_internal::WrapperFor<CMenu, CMenu>(hMenu); }

BOOL CMenu::Attach(HMENU hMenu) {
    auto* map = MapFor<CMenu>();
    if (hMenu == nullptr || m_hMenu != nullptr || map == nullptr) return FALSE;
    map->SetPermanent(hMenu, this);
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach() {
    const HMENU hMenu = m_hMenu;
    if (hMenu != nullptr) {
        if (auto* map = MapFor<CMenu>()) map->RemovePermanent(hMenu, this);
    }
    m_hMenu = nullptr;
    return hMenu;
}

BOOL CMenu::CreateMenu() {
    if (m_hMenu != nullptr) return FALSE;
    const HMENU hMenu = ::CreateMenu();
    if (Attach(hMenu)) return TRUE;
    if (hMenu != nullptr) ::DestroyMenu(hMenu);
    return FALSE;
}

BOOL CMenu::CreatePopupMenu() {
    if (m_hMenu != nullptr) return FALSE;
    const HMENU hMenu = ::CreatePopupMenu();
    if (Attach(hMenu)) return TRUE;
    if (hMenu != nullptr) ::DestroyMenu(hMenu);
    return FALSE;
}

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr) return FALSE;
    const HMENU hMenu = Detach();
    if (auto* map = MapFor<CMenu>()) map->DropTemporaries(hMenu);
    return ::DestroyMenu(hMenu);
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem) {
    return ::AppendMenuW(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
    return static_cast<UINT>(::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable));
}

UINT CMenu::GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }

UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

int CMenu::GetMenuString(UINT nIDItem, LPWSTR lpString, int nMaxCount, UINT nFlags) const {
    return ::GetMenuStringW(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    const int length = ::GetMenuStringW(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (length <= 0) {
        rString.Empty();
        return 0;
    }
    ::GetMenuStringW(m_hMenu, nIDItem, rString.GetBufferSetLength(length), length + 1, nFlags);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd == nullptr ? nullptr : pWnd->m_hWnd, lpRect);
}
