#include "messages.h"

#include "host/machine.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QObject>

#include <deque>

namespace host::user {

namespace {

// The Qt event that asks the dispatcher to deliver posted messages.
const QEvent::Type kDeliverEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class Dispatcher : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() != kDeliverEvent) return QObject::event(e);
        DeliverPostedMessages();
        return true;
    }
};

struct Queue {
    std::deque<MSG> messages;
    bool quit = false;
    int quitCode = 0;
    // While a program's own loop waits for messages, the Qt loop leaves the
    // queue to it.
    int programWaits = 0;
    bool deliveryScheduled = false;
};

Queue& TheQueue() {
    static Queue queue;
    return queue;
}

Dispatcher& TheDispatcher() {
    static Dispatcher dispatcher;
    return dispatcher;
}

void ScheduleDelivery() {
    Queue& queue = TheQueue();
    if (queue.deliveryScheduled || !QCoreApplication::instance()) return;
    queue.deliveryScheduled = true;
    QCoreApplication::postEvent(&TheDispatcher(), new QEvent(kDeliverEvent));
}

POINT CursorPoint() {
    const QPoint p = QCoreApplication::instance() ? QCursor::pos() : QPoint();
    return POINT{p.x(), p.y()};
}

bool Matches(const MSG& msg, HWND hwnd, UINT minFilter, UINT maxFilter) {
    if (hwnd == reinterpret_cast<HWND>(-1)) {
        if (msg.hwnd) return false;
    } else if (hwnd && msg.hwnd != hwnd) {
        return false;
    }
    if (minFilter == 0 && maxFilter == 0) return true;
    return msg.message >= minFilter && msg.message <= maxFilter;
}

// The first queued message that passes the filters, removed or left.
bool TakeQueued(LPMSG out, HWND hwnd, UINT minFilter, UINT maxFilter, bool remove) {
    Queue& queue = TheQueue();
    for (auto it = queue.messages.begin(); it != queue.messages.end(); ++it) {
        if (!Matches(*it, hwnd, minFilter, maxFilter)) continue;
        *out = *it;
        if (remove) queue.messages.erase(it);
        return true;
    }
    if (queue.quit && (minFilter == 0 || (WM_QUIT >= minFilter && WM_QUIT <= maxFilter))) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(queue.quitCode);
        out->time = GetTickCount();
        out->pt = CursorPoint();
        if (remove) queue.quit = false;
        return true;
    }
    return false;
}

// Lets Qt run (timers, input, paints) without handing it the queue.
void RunQtEvents(bool wait) {
    if (!QCoreApplication::instance()) return;
    Queue& queue = TheQueue();
    ++queue.programWaits;
    QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    --queue.programWaits;
}

bool IsFilterWindowValid(HWND hwnd) { return !hwnd || hwnd == reinterpret_cast<HWND>(-1) || LookupWindow(hwnd); }

}  // namespace

void NotifyParent(const Window& control, WORD code) {
    if (!control.IsChild() || !control.parent) return;
    SendMessageW(control.parent, WM_COMMAND, MAKEWPARAM(control.id, code), reinterpret_cast<LPARAM>(control.hwnd));
}

void DeliverPostedMessages() {
    Queue& queue = TheQueue();
    queue.deliveryScheduled = false;
    if (queue.programWaits > 0) return;
    // Messages posted while these are handled get a delivery of their own.
    std::size_t count = queue.messages.size();
    while (count-- > 0 && !queue.messages.empty()) {
        MSG msg = queue.messages.front();
        queue.messages.pop_front();
        DispatchMessageW(&msg);
    }
    if (!queue.messages.empty()) ScheduleDelivery();
}

void ResetMessageQueue() {
    Queue& queue = TheQueue();
    queue.messages.clear();
    queue.quit = false;
    queue.quitCode = 0;
}

}  // namespace host::user

using host::user::LookupWindow;
using host::user::TheQueue;
using host::user::ValidWindow;
using host::user::WindowRef;

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!lpPrevWndFunc) return 0;
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return 0;
    return CallWindowProcW(window->proc, hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd && !ValidWindow(hWnd)) return FALSE;
    MSG msg{};
    msg.hwnd = hWnd;
    msg.message = Msg;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    msg.pt = host::user::CursorPoint();
    TheQueue().messages.push_back(msg);
    host::user::ScheduleDelivery();
    return TRUE;
}

VOID WINAPI PostQuitMessage(int nExitCode) {
    TheQueue().quit = true;
    TheQueue().quitCode = nExitCode;
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!host::user::IsFilterWindowValid(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const bool remove = (wRemoveMsg & PM_REMOVE) != 0;
    if (host::user::TakeQueued(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, remove)) return TRUE;
    // Timers, input and paints are Qt's; give them a turn and look again.
    host::user::RunQtEvents(false);
    return host::user::TakeQueued(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, remove) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!host::user::IsFilterWindowValid(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    // Without a Qt application nothing could ever arrive; say so instead of
    // waiting forever.
    if (!QCoreApplication::instance() && TheQueue().messages.empty() && !TheQueue().quit) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return -1;
    }
    while (!host::user::TakeQueued(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) {
        host::user::RunQtEvents(true);
    }
    return lpMsg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg) return FALSE;
    if (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN) {
        return lpMsg->message == WM_KEYUP || lpMsg->message == WM_SYSKEYUP;
    }
    // Characters for the keys whose character does not depend on a keyboard
    // layout or shift state; other keys translate to nothing.
    const WPARAM vk = lpMsg->wParam;
    WPARAM ch = 0;
    if (vk >= '0' && vk <= '9') ch = vk;
    else if (vk >= 'A' && vk <= 'Z') ch = vk - 'A' + 'a';
    else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK || vk == VK_TAB) ch = vk;
    if (ch && lpMsg->message == WM_KEYDOWN) PostMessageW(lpMsg->hwnd, WM_CHAR, ch, lpMsg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
    if (!lpMsg) return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
        proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
        return 0;
    }
    if (!lpMsg->hwnd) return 0;
    WindowRef window = ValidWindow(lpMsg->hwnd);
    if (!window) return 0;
    return CallWindowProcW(window->proc, lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}
