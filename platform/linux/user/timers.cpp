#include "timers.h"

#include "window.h"

#include "host/machine.h"
#include "host/virtual_clock.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <utility>
#include <vector>

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

using Key = std::pair<HWND, UINT_PTR>;
using Instant = std::chrono::steady_clock::time_point;

struct Timer {
    TIMERPROC proc = nullptr;
    UINT interval = 0;
    VirtualClock* clock = nullptr;  // the clock it runs on, if virtual
    VirtualClock::TimerId clockId = 0;
    bool live = false;              // a member of the live group of its interval
    bool waiting = false;           // joined a running group: waits a whole interval first
    Instant startedAt;
};

// Windows signals timers at its clock tick, 64 times a second by default:
// a timer set to less than a tick fires once a tick. Live timers do the
// same, so the legend labels' 10 ms fades draw 64 frames a second, as they
// do on Windows, not 100.
constexpr UINT kClockTickMs = 16;

UINT LiveInterval(UINT interval) { return std::max(interval, kClockTickMs); }

// Live timers of one interval share one QTimer, as Windows' timers share
// the system's clock tick: the legend labels' fade frames then come in one pass of the event loop and are painted and pushed to the
// screen together, not each on its own wake-up.
struct LiveGroup {
    std::unique_ptr<QTimer, LaterDeleter> qtimer;
    std::vector<Key> members;
};

std::map<Key, Timer>& Timers() {
    static std::map<Key, Timer> timers;
    return timers;
}

std::map<UINT, LiveGroup>& LiveGroups() {
    static std::map<UINT, LiveGroup> groups;
    return groups;
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

// A member fires on every tick of its group. One that joined a running group
// waits for the first tick at least its interval after it was set, so it is
// never due sooner than Win32 promises.
void FireGroup(UINT interval) {
    auto group = LiveGroups().find(interval);
    if (group == LiveGroups().end()) return;
    const Instant now = std::chrono::steady_clock::now();
    const std::vector<Key> members = group->second.members;  // a tick may kill or set timers
    for (const Key& key : members) {
        auto it = Timers().find(key);
        if (it == Timers().end() || !it->second.live || LiveInterval(it->second.interval) != interval) continue;
        Timer& timer = it->second;
        if (timer.waiting && now - timer.startedAt < std::chrono::milliseconds(interval)) continue;
        timer.waiting = false;
        Fire(key);
    }
}

void LeaveGroup(Key key, UINT interval) {
    auto group = LiveGroups().find(interval);
    if (group == LiveGroups().end()) return;
    auto& members = group->second.members;
    members.erase(std::remove(members.begin(), members.end(), key), members.end());
    if (members.empty()) LiveGroups().erase(group);
}

// A lone member restarts the group's QTimer, so a timer set again is due a
// whole interval later, as Win32 promises.
void JoinGroup(Key key, Timer& timer) {
    timer.live = true;
    timer.startedAt = std::chrono::steady_clock::now();
    const UINT interval = LiveInterval(timer.interval);
    LiveGroup& group = LiveGroups()[interval];
    if (std::find(group.members.begin(), group.members.end(), key) == group.members.end())
        group.members.push_back(key);
    timer.waiting = group.qtimer && group.members.size() > 1;
    if (timer.waiting) return;
    group.qtimer.reset(new QTimer);
    group.qtimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(group.qtimer.get(), &QTimer::timeout, [interval] { FireGroup(interval); });
    group.qtimer->start(static_cast<int>(interval));
}

void Stop(Key key, Timer& timer) {
    if (timer.clock) timer.clock->StopTimer(timer.clockId);
    if (timer.live) LeaveGroup(key, LiveInterval(timer.interval));
    timer.live = false;
}

// `previousInterval` is the interval the timer ran at before this call, if
// it was already set: its live group is the one to leave.
void Start(Key key, Timer& timer, UINT previousInterval) {
    VirtualClock* clock = ActiveMachine().Clock();
    if (clock) {
        if (timer.clock == clock && clock->RestartTimer(timer.clockId, timer.interval)) return;
        if (timer.live) LeaveGroup(key, LiveInterval(previousInterval));
        timer.live = false;
        if (timer.clock) timer.clock->StopTimer(timer.clockId);
        timer.clock = clock;
        timer.clockId = clock->StartTimer(timer.interval, [key] { Fire(key); });
        return;
    }
    if (timer.clock) timer.clock->StopTimer(timer.clockId);
    timer.clock = nullptr;
    if (timer.live && LiveInterval(previousInterval) != LiveInterval(timer.interval))
        LeaveGroup(key, LiveInterval(previousInterval));
    JoinGroup(key, timer);
}

}  // namespace

void KillWindowTimers(HWND hwnd) {
    auto& timers = Timers();
    for (auto it = timers.begin(); it != timers.end();) {
        if (it->first.first == hwnd) {
            Stop(it->first, it->second);
            it = timers.erase(it);
        } else {
            ++it;
        }
    }
}

void KillAllTimers() {
    for (auto& [key, timer] : Timers()) Stop(key, timer);
    Timers().clear();
    LiveGroups().clear();
}

size_t LiveTimerSources() { return LiveGroups().size(); }

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
    const UINT previousInterval = timer.interval;
    timer.proc = lpTimerFunc;
    timer.interval = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    Start(key, timer, previousInterval);
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
    Stop(it->first, it->second);
    Timers().erase(it);
    return TRUE;
}
