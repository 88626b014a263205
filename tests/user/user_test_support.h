#pragma once
// Shared ground for the window host's tests: a scripted machine made active
// for each test (virtual clock, scripted modal answers), a registered test
// class whose procedure logs every message and lets a test answer some, and
// clean-up of the windows a test leaves.

#include <gtest/gtest.h>

#include <windows.h>

#include "host/scripted_machine.h"
#include "host/user.h"

#include <functional>
#include <vector>

namespace user_test {

struct Logged {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// What the test class's procedure heard, and the test's own handler: it
// returns true when it answered the message (its answer in *result).
struct Recorder {
    std::vector<Logged> log;
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> handler;

    std::vector<UINT> Messages(HWND hwnd) const {
        std::vector<UINT> msgs;
        for (const Logged& entry : log) {
            if (entry.hwnd == hwnd) msgs.push_back(entry.msg);
        }
        return msgs;
    }
    std::vector<Logged> Of(UINT msg) const {
        std::vector<Logged> found;
        for (const Logged& entry : log) {
            if (entry.msg == msg) found.push_back(entry);
        }
        return found;
    }
};

Recorder& TheRecorder();

// "UserTestWindow": CS_HREDRAW | CS_VREDRAW, COLOR_BTNFACE background,
// DLGWINDOWEXTRA extra bytes, the logging procedure.
LPCWSTR TestClass();
// The same without CS_HREDRAW / CS_VREDRAW.
LPCWSTR TestClassNoRedraw();

HWND MakeWindow(DWORD style, int x, int y, int width, int height, HWND parent = nullptr, int id = 0,
                LPCWSTR className = nullptr, LPVOID param = nullptr);

// WM_COMMAND notifications the recorder heard: (id, code) pairs.
std::vector<std::pair<int, int>> Commands();

class UserTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Declared first: the windows a test makes go before the machine does.
    host::ScriptedMachine machine;
    Recorder& recorder = TheRecorder();
};

// A pixel of a buffer as COLORREF, for comparing with RGB().
inline COLORREF PixelAt(const host::PixelBuffer& buffer, int x, int y) { return host::ColorFromPixel(buffer.At(x, y)); }

}  // namespace user_test
