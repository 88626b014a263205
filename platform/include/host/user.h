#pragma once
// What the window host offers tests and the scenario runner beyond the Win32
// surface: acting as the user would (clicks, drop-downs, choices, the system
// menu, resizing, minimising), reading what the screen shows, and building
// dialog templates in memory.
//
// Everything here goes through the same paths as a person's input: a click
// on a disabled or hidden button does nothing, opening a combo box's list
// sends CBN_DROPDOWN first, a system-menu command arrives as WM_SYSCOMMAND.
//
// Timers of windows on a scripted machine run on that machine's clock:
// destroy such windows before the machine.
//
// Host-only: the system's own code never includes this header.

#include <windows.h>

#include "host/gdi.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace host::user {

// ---- reading the screen --------------------------------------------------

// The window's backing buffer (its client area as its procedure last
// painted it), or null for a bad handle or a window Qt draws itself.
const PixelBuffer* WindowBuffer(HWND hwnd);
// What the screen shows of the window's client area with all its children,
// painting first whatever is due. Empty for a bad handle.
PixelBuffer Grab(HWND hwnd);
// PNG files of pixel buffers. False when the file cannot be written / read.
bool SavePng(const PixelBuffer& buffer, const std::string& path);
bool LoadPng(const std::string& path, PixelBuffer* buffer);

// What the screen shows of every window in the tree of the top-level window
// `hwnd` (itself included), compared with what each window holds: shown or
// hidden (WS_VISIBLE on it and its parents), enabled or disabled (WS_DISABLED
// on it and its parents, for child windows; a disabled top-level window only
// stops taking input and does not look disabled), and its rectangle (the
// size and place last reported with WM_SIZE and WM_MOVE). One line per
// difference, naming the control by its id; empty when they agree.
std::vector<std::string> ScreenMismatches(HWND hwnd);

// The window the window system finds under a point of the top-level
// window's client area, by its own hit-testing (hidden windows are not
// there; of overlapping ones, the one on top). The top-level window itself
// where no child is; null when the point is outside it.
HWND WindowAt(HWND topLevel, POINT client);
// The caption the screen shows on a control that the window system draws
// itself (buttons): what a person reads there. Empty for windows that paint
// themselves through GDI; their pixels are the truth (see Grab).
std::wstring ShownCaption(HWND hwnd);

// ---- acting as the user ---------------------------------------------------

// A left click at a point of the top-level window's client area, as a
// person's pointer gives it: the button pressed and released there, handed
// to the window system, which delivers it to whatever it finds under the
// point. False when the window is not shown or the point lies outside it.
bool ClickAt(HWND topLevel, POINT client);
// How many pointer clicks (left button releases) have reached any window of
// this program so far, from the window system or from ClickAt.
unsigned long ClicksDelivered();
// Runs window-system work, waiting for it, until `done` returns true or
// `timeoutMs` of real time have passed; false on the timeout. For input that
// comes from outside (a real X server), which arrives in its own time.
bool ProcessEventsUntil(const std::function<bool()>& done, int timeoutMs);
// Whether the top-level window is on the screen: shown and exposed by the
// window system, so that pointer input can reach it.
bool IsOnScreen(HWND topLevel);
// How many system timers the live (real-clock) window timers use: one per
// interval in use, however many windows set a timer of that interval; every
// interval shorter than the 16 ms clock tick runs at the tick.
size_t LiveTimerSources();

// A left click in the middle of the button. False when the button is not
// there to be clicked (bad handle, hidden); a disabled button takes the
// click and does nothing, as on the screen.
bool Click(HWND button);
// A key pressed and released in the window (a VK_ code), e.g. VK_ESCAPE in
// a dialog.
bool PressKey(HWND hwnd, UINT vk);

// Opens the combo box's list as a click would: CBN_DROPDOWN reaches the
// parent before the list opens. False for a hidden, disabled or bad combo.
bool DropDown(HWND combo);
// Closes an open list without a choice (CBN_CLOSEUP).
bool CloseDropDown(HWND combo);
// Picks the item at `index` from the list, opening it first if it is closed
// (so CBN_DROPDOWN comes first and the index counts in the list as the
// handler left it); CBN_SELCHANGE follows. False, with the list closed, when
// there is no such item.
bool ChooseComboItem(HWND combo, int index);
// The combo box's items, in list order.
std::vector<std::wstring> ComboItems(HWND combo);
// Whether the combo box's list is open.
bool IsDroppedDown(HWND combo);

struct SystemMenuItem {
    UINT id = 0;         // 0 for a separator
    std::wstring text;   // with its '&' and "\t..." as given
    bool separator = false;
    bool enabled = true;
};
// The window's system menu as it would show now.
std::vector<SystemMenuItem> SystemMenuItems(HWND hwnd);
// Chooses an item of the system menu: WM_INITMENU, then WM_SYSCOMMAND with
// its id. False when the item is missing or greyed.
bool ChooseSystemMenuItem(HWND hwnd, UINT id);

// Drags the window's frame to `width` x `height` (outer size).
bool Resize(HWND hwnd, int width, int height);
bool Minimize(HWND hwnd);
bool Restore(HWND hwnd);
bool Maximize(HWND hwnd);

// ---- looking around --------------------------------------------------------

std::wstring ClassName(HWND hwnd);
// Direct children in creation order.
std::vector<HWND> Children(HWND hwnd);
// Top-level windows in creation order.
std::vector<HWND> TopLevelWindows();
// Runs pending window-system work: posted messages, paints, deletions.
void ProcessEvents();

// ---- dialog templates in memory ---------------------------------------------

// Builds a DLGTEMPLATE or DLGTEMPLATEEX by Win32's layout rules with this
// platform's WCHAR, so the same bytes serve CreateDialogIndirectParamW here
// and on Windows.
class DialogTemplateBuilder {
public:
    // A class or resource named by string or by ordinal.
    struct Name {
        Name() = default;
        // Implicit, so that a string can stand where a name is wanted.
        Name(const wchar_t* text) : text(text ? text : L"") {}
        Name(std::wstring text) : text(std::move(text)) {}
        static Name Ordinal(WORD value) {
            Name name;
            name.ordinal = value;
            name.isOrdinal = true;
            return name;
        }
        std::wstring text;
        WORD ordinal = 0;
        bool isOrdinal = false;
    };
    // Ordinals of the predefined control classes.
    static constexpr WORD kButton = 0x0080;
    static constexpr WORD kStatic = 0x0082;
    static constexpr WORD kComboBox = 0x0085;

    DialogTemplateBuilder(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, std::wstring caption);
    // DLGTEMPLATEEX instead of DLGTEMPLATE.
    DialogTemplateBuilder& Extended(bool extended = true);
    // The font; adds DS_SETFONT to the style.
    DialogTemplateBuilder& Font(WORD pointSize, std::wstring face, WORD weight = FW_NORMAL, bool italic = false,
                                BYTE charSet = DEFAULT_CHARSET);
    DialogTemplateBuilder& ClassName(Name name);
    DialogTemplateBuilder& AddItem(Name className, Name title, DWORD id, DWORD style, short x, short y, short cx,
                                   short cy, DWORD exStyle = 0, std::vector<BYTE> creationData = {});

    // The template's bytes, DWORD-aligned in memory.
    std::vector<DWORD> Build() const;

private:
    struct Item {
        Name className, title;
        DWORD id, style, exStyle;
        short x, y, cx, cy;
        std::vector<BYTE> data;
    };
    DWORD style_, exStyle_;
    short x_, y_, cx_, cy_;
    std::wstring caption_;
    Name className_;
    bool extended_ = false;
    bool hasFont_ = false;
    WORD pointSize_ = 0, weight_ = FW_NORMAL;
    bool italic_ = false;
    BYTE charSet_ = DEFAULT_CHARSET;
    std::wstring face_;
    std::vector<Item> items_;
};

// The bytes of a built template as the dialog functions take them.
inline LPCDLGTEMPLATEW AsTemplate(const std::vector<DWORD>& bytes) {
    return reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data());
}

}  // namespace host::user
