#include "timers.h"

#include "window.h"

#include "host/machine.h"
#include "host/virtual_clock.h"

#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

namespace host::user {

namespace {

// QTimer objects are let go with deleteLater: a timer may be killed from
// inside its own tick.
struct LaterDeleter {
    void operator()(QTimer* timer) const {
        timer->stop();
        timer->deleteLater();
    }
};

struct Timer {
    TIMERPROC proc = nullptr;
    UINT interval = 0;
    VirtualClock* clock = nullptr;  // the clock it runs on, if virtual
    VirtualClock::TimerId clockId = 0;
    std::unique_ptr<QTimer, LaterDeleter> qtimer;
};

using Key = std::pair<HWND, UINT_PTR>;

std::map<Key, Timer>& Timers() {
    static std::map<Key, Timer> timers;
    return timers;
}

// Ids handed out for timers without a window, as Win32 does.
UINT_PTR NextThreadTimerId() {
    static UINT_PTR next = 0x7FF0;
    for (;;) {
        const UINT_PTR id = ++next;
        if (!Timers().count(Key{nullptr, id})) return id;
    }
}

void Fire(Key key) {
    auto it = Timers().find(key);
    if (it == Timers().end()) return;
    MSG msg{};
    msg.hwnd = key.first;
    msg.message = WM_TIMER;
    msg.wParam = key.second;
    msg.lParam = reinterpret_cast<LPARAM>(it->second.proc);
    msg.time = GetTickCount();
    DispatchMessageW(&msg);
}

void Stop(Timer& timer) {
    if (timer.clock) timer.clock->StopTimer(timer.clockId);
    timer.qtimer.reset();
}

void Start(Key key, Timer& timer) {
    VirtualClock* clock = ActiveMachine().Clock();
    if (clock) {
        if (timer.clock == clock && clock->RestartTimer(timer.clockId, timer.interval)) return;
        Stop(timer);
        timer.clock = clock;
        timer.clockId = clock->StartTimer(timer.interval, [key] { Fire(key); });
        return;
    }
    Stop(timer);
    timer.clock = nullptr;
    timer.qtimer.reset(new QTimer);
    QObject::connect(timer.qtimer.get(), &QTimer::timeout, [key] { Fire(key); });
    timer.qtimer->start(static_cast<int>(timer.interval));
}

}  // namespace

void KillWindowTimers(HWND hwnd) {
    auto& timers = Timers();
    for (auto it = timers.begin(); it != timers.end();) {
        if (it->first.first == hwnd) {
            Stop(it->second);
            it = timers.erase(it);
        } else {
            ++it;
        }
    }
}

void KillAllTimers() {
    for (auto& [key, timer] : Timers()) Stop(timer);
    Timers().clear();
}

}  // namespace host::user

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    using namespace host::user;
    if (hWnd && !ValidWindow(hWnd)) return 0;
    if (host::ActiveMachine().TimersRefused()) {
        SetLastError(ERROR_NO_SYSTEM_RESOURCES);
        return 0;
    }
    // A thread timer keeps its id only when it names one of its own.
    UINT_PTR id = nIDEvent;
    if (!hWnd && (id == 0 || !Timers().count(Key{nullptr, id}))) id = NextThreadTimerId();
    const Key key{hWnd, id};
    Timer& timer = Timers()[key];
    timer.proc = lpTimerFunc;
    timer.interval = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    Start(key, timer);
    // Win32 promises a window timer only a nonzero result; the id it was
    // given is what the program compares WM_TIMER against.
    return id != 0 ? id : 1;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    using namespace host::user;
    if (hWnd && !ValidWindow(hWnd)) return FALSE;
    auto it = Timers().find(Key{hWnd, uIDEvent});
    if (it == Timers().end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Stop(it->second);
    Timers().erase(it);
    return TRUE;
}
