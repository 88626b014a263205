#pragma once
// Shared ground for the framework's tests on the real host: a scripted
// machine (virtual clock, scripted message-box answers) made active for
// each test, and a look at the framework's temporary wrappers.

#include <gtest/gtest.h>

#include <afxwin.h>

#include "host/scripted_machine.h"
#include "host/user.h"
#include "platform/afx/afx_state.h"

namespace afx_test {

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { host::SetActiveMachine(&machine); }
    void TearDown() override {
        host::user::ProcessEvents();
        AfxUnlockTempMaps();
        host::SetActiveMachine(nullptr);
    }

    // Declared first: the windows a test makes go before the machine does.
    host::ScriptedMachine machine;
};

inline std::size_t TemporaryWindows() { return afx_internal::CurrentThreadState()->windows.TemporaryCount(); }
inline std::size_t TemporaryGdiObjects() { return afx_internal::CurrentThreadState()->gdiObjects.TemporaryCount(); }
inline std::size_t TemporaryDcs() { return afx_internal::CurrentThreadState()->dcs.TemporaryCount(); }

// A plain top-level window of a standard class, made without the framework.
inline HWND RawWindow(LPCWSTR className, LPCWSTR text, DWORD style = WS_POPUP, HWND parent = nullptr, int id = 0) {
    return ::CreateWindowExW(0, className, text, style, 0, 0, 100, 30, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

inline CString TextOf(HWND hWnd) {
    CString text;
    CWnd::FromHandle(hWnd)->GetWindowText(text);
    return text;
}

}  // namespace afx_test
