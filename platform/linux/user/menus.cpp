#include "menus.h"

#include "host/machine.h"

#include "window.h"
#include "window_class.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>

#include <algorithm>
#include <cwchar>
#include <map>

namespace host::user {

namespace {

struct MenuTable {
    std::map<HMENU, std::vector<MenuItem>> menus;
    std::uintptr_t nextHandle = 0x30010;
};

MenuTable& Table() {
    static MenuTable table;
    return table;
}

std::vector<MenuItem>* FindMenu(HMENU menu) {
    auto it = Table().menus.find(menu);
    return it == Table().menus.end() ? nullptr : &it->second;
}

std::vector<MenuItem>* ValidMenu(HMENU menu) {
    std::vector<MenuItem>* items = FindMenu(menu);
    if (!items) SetLastError(ERROR_INVALID_MENU_HANDLE);
    return items;
}

HMENU NewMenu() {
    MenuTable& table = Table();
    auto menu = reinterpret_cast<HMENU>(table.nextHandle);
    table.nextHandle += 4;
    table.menus[menu];
    return menu;
}

// The item named by command id (searched in submenus too) or by position.
MenuItem* FindItem(HMENU menu, UINT item, UINT flags) {
    std::vector<MenuItem>* items = FindMenu(menu);
    if (!items) return nullptr;
    if (flags & MF_BYPOSITION) return item < items->size() ? &(*items)[item] : nullptr;
    for (MenuItem& entry : *items) {
        if (entry.flags & MF_POPUP) {
            if (MenuItem* inner = FindItem(entry.submenu, item, flags)) return inner;
        } else if (!(entry.flags & MF_SEPARATOR) && entry.id == item) {
            return &entry;
        }
    }
    return nullptr;
}

void DestroyTree(HMENU menu) {
    std::vector<MenuItem>* items = FindMenu(menu);
    if (!items) return;
    const std::vector<MenuItem> copy = *items;
    Table().menus.erase(menu);
    for (const MenuItem& entry : copy) {
        if (entry.flags & MF_POPUP) DestroyTree(entry.submenu);
    }
}

HMENU DefaultSystemMenu() {
    HMENU menu = NewMenu();
    AppendMenuW(menu, MF_STRING, SC_RESTORE, L"&Restore");
    AppendMenuW(menu, MF_STRING, SC_MOVE, L"&Move");
    AppendMenuW(menu, MF_STRING, SC_SIZE, L"&Size");
    AppendMenuW(menu, MF_STRING, SC_MINIMIZE, L"Mi&nimize");
    AppendMenuW(menu, MF_STRING, SC_MAXIMIZE, L"Ma&ximize");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, SC_CLOSE, L"&Close\tAlt+F4");
    return menu;
}

void AddActions(QMenu& qmenu, HMENU menu) {
    const std::vector<MenuItem>* items = FindMenu(menu);
    if (!items) return;
    for (const MenuItem& entry : *items) {
        if (entry.flags & MF_SEPARATOR) {
            qmenu.addSeparator();
            continue;
        }
        const QString text = QString::fromStdWString(entry.text);
        if (entry.flags & MF_POPUP) {
            AddActions(*qmenu.addMenu(text), entry.submenu);
            continue;
        }
        QAction* action = qmenu.addAction(text);
        action->setData(QVariant::fromValue<qulonglong>(entry.id));
        action->setEnabled(!(entry.flags & (MF_GRAYED | MF_DISABLED)));
        if (entry.flags & MF_CHECKED) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

// Runs the menu as a person sees it; the chosen id, or 0.
UINT_PTR AskUser(HMENU menu, QPoint screen) {
    QMenu qmenu;
    AddActions(qmenu, menu);
    QAction* chosen = qmenu.exec(screen);
    return chosen ? static_cast<UINT_PTR>(chosen->data().toULongLong()) : 0;
}

void SetGrayed(HMENU menu, UINT id, bool grayed) { EnableMenuItem(menu, id, MF_BYCOMMAND | (grayed ? MF_GRAYED : MF_ENABLED)); }

}  // namespace

const std::vector<MenuItem>* MenuItems(HMENU menu) { return FindMenu(menu); }

bool CanAskUser() {
    return ActiveMachine().Clock() == nullptr && QGuiApplication::instance() &&
           QGuiApplication::platformName() != QLatin1String("offscreen");
}

void PrepareSystemMenu(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->systemMenu) return;
    const HMENU menu = window->systemMenu;
    const DWORD style = window->style;
    const bool minimized = style & WS_MINIMIZE;
    const bool maximized = style & WS_MAXIMIZE;
    SetGrayed(menu, SC_RESTORE, !minimized && !maximized);
    SetGrayed(menu, SC_MOVE, maximized);
    SetGrayed(menu, SC_SIZE, !(style & WS_THICKFRAME) || minimized || maximized);
    SetGrayed(menu, SC_MINIMIZE, !(style & WS_MINIMIZEBOX) || minimized);
    SetGrayed(menu, SC_MAXIMIZE, !(style & WS_MAXIMIZEBOX) || maximized);
    SetGrayed(menu, SC_CLOSE, window->cls && (window->cls->style & CS_NOCLOSE));
}

void TrackSystemMenu(HWND hwnd, QPoint screen) {
    if (!CanAskUser()) return;
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (!menu) return;
    SendMessageW(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    SendMessageW(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    PrepareSystemMenu(hwnd);
    const UINT_PTR id = AskUser(menu, screen);
    if (id && LookupWindow(hwnd)) SendMessageW(hwnd, WM_SYSCOMMAND, id, MAKELPARAM(screen.x(), screen.y()));
}

void DestroySystemMenu(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->systemMenu) return;
    DestroyTree(window->systemMenu);
    window->systemMenu = nullptr;
}

}  // namespace host::user

using namespace host::user;

HMENU WINAPI CreatePopupMenu(void) { return NewMenu(); }

HMENU WINAPI CreateMenu(void) { return NewMenu(); }

BOOL WINAPI DestroyMenu(HMENU hMenu) {
    if (!ValidMenu(hMenu)) return FALSE;
    DestroyTree(hMenu);
    return TRUE;
}

BOOL WINAPI AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem) {
    std::vector<MenuItem>* items = ValidMenu(hMenu);
    if (!items) return FALSE;
    MenuItem item;
    item.flags = uFlags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP);
    if (uFlags & MF_POPUP) {
        if (!FindMenu(reinterpret_cast<HMENU>(uIDNewItem))) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
        item.submenu = reinterpret_cast<HMENU>(uIDNewItem);
    } else {
        item.id = uIDNewItem;
    }
    if (!(uFlags & MF_SEPARATOR) && lpNewItem) item.text = lpNewItem;
    items->push_back(std::move(item));
    return TRUE;
}

BOOL WINAPI EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
    if (!ValidMenu(hMenu)) return -1;
    MenuItem* item = FindItem(hMenu, uIDEnableItem, uEnable);
    if (!item) return -1;
    const UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
    item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
    return static_cast<BOOL>(previous);
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
    std::vector<MenuItem>* items = ValidMenu(hMenu);
    return items ? static_cast<int>(items->size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
    std::vector<MenuItem>* items = ValidMenu(hMenu);
    if (!items || nPos < 0 || static_cast<std::size_t>(nPos) >= items->size()) return static_cast<UINT>(-1);
    const MenuItem& item = (*items)[static_cast<std::size_t>(nPos)];
    if (item.flags & MF_POPUP) return static_cast<UINT>(-1);
    return static_cast<UINT>(item.id);
}

int WINAPI GetMenuStringW(HMENU hMenu, UINT uIDItem, LPWSTR lpString, int cchMax, UINT flags) {
    if (lpString && cchMax > 0) lpString[0] = L'\0';
    if (!ValidMenu(hMenu)) return 0;
    const MenuItem* item = FindItem(hMenu, uIDItem, flags);
    if (!item) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return 0;
    }
    const int length = static_cast<int>(item->text.size());
    if (!lpString || cchMax <= 0) return length;
    const int count = std::min(length, cchMax - 1);
    std::wmemcpy(lpString, item->text.c_str(), static_cast<std::size_t>(count));
    lpString[count] = L'\0';
    return count;
}

UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
    if (!ValidMenu(hMenu)) return static_cast<UINT>(-1);
    const MenuItem* item = FindItem(hMenu, uId, uFlags);
    if (!item) return static_cast<UINT>(-1);
    if (item->flags & MF_POPUP) {
        // A submenu answers its item count in the high byte.
        const std::vector<MenuItem>* inner = FindMenu(item->submenu);
        const UINT count = inner ? static_cast<UINT>(inner->size()) : 0;
        return (count << 8) | (item->flags & 0xFF);
    }
    return item->flags;
}

BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*) {
    if (!ValidMenu(hMenu) || !ValidWindow(hWnd)) return FALSE;
    const bool notify = !(uFlags & TPM_NONOTIFY);
    if (notify) SendMessageW(hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu), 0);
    // With nobody to choose (virtual time, no screen) the menu is dismissed.
    const UINT_PTR id = CanAskUser() ? AskUser(hMenu, QPoint(x, y)) : 0;
    if (uFlags & TPM_RETURNCMD) return static_cast<BOOL>(id);
    if (id && notify && LookupWindow(hWnd)) PostMessageW(hWnd, WM_COMMAND, id, 0);
    return TRUE;
}

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL bRevert) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return nullptr;
    if (bRevert) {
        DestroySystemMenu(hWnd);
        return nullptr;
    }
    if (!(window->style & WS_SYSMENU)) return nullptr;
    if (!window->systemMenu) window->systemMenu = DefaultSystemMenu();
    return window->systemMenu;
}
