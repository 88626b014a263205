#pragma once
// CMenu: one menu handle. A menu the object created or attached is
// destroyed with it; FromHandle gives a temporary wrapper (the window's
// system menu, for one) that never destroys its menu.

#include "afx.h"

class CWnd;

class CMenu : public CObject {
public:
    HMENU m_hMenu = nullptr;

    CMenu() = default;
    ~CMenu() override;

    operator HMENU() const noexcept { return m_hMenu; }
    HMENU GetSafeHmenu() const noexcept { return m_hMenu; }

    static CMenu* PASCAL FromHandle(HMENU hMenu);
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCWSTR lpszNewItem = nullptr);
    // Returns the item's previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), or -1.
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    // Number of items, or (UINT)-1 for a bad menu.
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, LPWSTR lpString, int nMaxCount, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);
};
