// Clock services, answered by the active machine so that a scripted machine
// can run them on virtual time.

#include <windows.h>

#include "host/machine.h"
#include "host/virtual_clock.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

constexpr ULONGLONG kTicksPerMs = 10000;
constexpr ULONGLONG kTicksPerDay = 24ULL * 60 * 60 * 1000 * kTicksPerMs;

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the first day of `year`.
LONGLONG DaysBeforeYear(int year) {
    const LONGLONG y = year - 1601;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

}  // namespace

DWORD WINAPI GetTickCount(void) { return host::ActiveMachine().TickCount(); }

ULONGLONG WINAPI GetTickCount64(void) { return host::ActiveMachine().TickCount(); }

VOID WINAPI GetSystemTimeAsFileTime(LPFILETIME lpSystemTimeAsFileTime) {
    if (!lpSystemTimeAsFileTime) return;
    const ULONGLONG now = host::ActiveMachine().UtcFileTime();
    lpSystemTimeAsFileTime->dwLowDateTime = static_cast<DWORD>(now);
    lpSystemTimeAsFileTime->dwHighDateTime = static_cast<DWORD>(now >> 32);
}

VOID WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) {
    if (!lpSystemTime) return;
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    FileTimeToSystemTime(&ft, lpSystemTime);
}

VOID WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    // The program shows no local times; UTC stands in for them.
    GetSystemTime(lpSystemTime);
}

BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* st, LPFILETIME ft) {
    if (!st || !ft) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 || st->wMonth > 12 || st->wDay < 1 ||
        st->wDay > DaysInMonth(st->wYear, st->wMonth) || st->wHour > 23 || st->wMinute > 59 || st->wSecond > 59 ||
        st->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    LONGLONG days = DaysBeforeYear(st->wYear);
    for (int m = 1; m < st->wMonth; ++m) days += DaysInMonth(st->wYear, m);
    days += st->wDay - 1;
    const ULONGLONG ms = ((static_cast<ULONGLONG>(st->wHour) * 60 + st->wMinute) * 60 + st->wSecond) * 1000 +
                         st->wMilliseconds;
    const ULONGLONG value = static_cast<ULONGLONG>(days) * kTicksPerDay + ms * kTicksPerMs;
    ft->dwLowDateTime = static_cast<DWORD>(value);
    ft->dwHighDateTime = static_cast<DWORD>(value >> 32);
    return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* ft, LPSYSTEMTIME st) {
    if (!ft || !st) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const ULONGLONG value = (static_cast<ULONGLONG>(ft->dwHighDateTime) << 32) | ft->dwLowDateTime;
    if (value >= 0x8000000000000000ULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    LONGLONG days = static_cast<LONGLONG>(value / kTicksPerDay);
    ULONGLONG ms = (value % kTicksPerDay) / kTicksPerMs;
    st->wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
    int year = 1601 + static_cast<int>(days / 365);
    while (DaysBeforeYear(year) > days) --year;
    days -= DaysBeforeYear(year);
    int month = 1;
    while (days >= DaysInMonth(year, month)) days -= DaysInMonth(year, month++);
    st->wYear = static_cast<WORD>(year);
    st->wMonth = static_cast<WORD>(month);
    st->wDay = static_cast<WORD>(days + 1);
    st->wMilliseconds = static_cast<WORD>(ms % 1000);
    ms /= 1000;
    st->wSecond = static_cast<WORD>(ms % 60);
    ms /= 60;
    st->wMinute = static_cast<WORD>(ms % 60);
    st->wHour = static_cast<WORD>(ms / 60);
    return TRUE;
}

VOID WINAPI Sleep(DWORD dwMilliseconds) {
    // On virtual time, sleeping is the clock moving on (timers fire meanwhile,
    // as they would be due when the sleeper wakes).
    if (host::VirtualClock* clock = host::ActiveMachine().Clock()) {
        clock->Advance(dwMilliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) return -1;
    LONGLONG product = static_cast<LONGLONG>(nNumber) * nNumerator;
    // Rounds half away from zero, as Win32 does.
    LONGLONG half = std::llabs(static_cast<LONGLONG>(nDenominator)) / 2;
    const LONGLONG result = (product + (product >= 0 ? half : -half)) / nDenominator;
    if (result > 2147483647LL || result < -2147483648LL) return -1;
    return static_cast<int>(result);
}
