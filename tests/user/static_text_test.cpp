// The "Static" class paints itself through GDI: its text wraps where the
// integer metrics of GetTextExtentPoint32W say it must, never earlier, and
// it keeps the parent's colours, the disabled look, clicks for SS_NOTIFY,
// icons and black rectangles.

#include "user_test_support.h"

#include <string>

namespace {

using user_test::Commands;
using user_test::MakeWindow;
using user_test::PixelAt;
using user_test::UserTest;

constexpr COLORREF kFace = RGB(240, 240, 240);

// One line of the memory usage report, in the report's own font.
constexpr const wchar_t* kReportLine = L"         Standby List P1=       32.00 MB [\"Very Low Priority\"]  (0%)";

class StaticTextTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 700, 200);
        // The report's font: a 14-pixel cell of Courier New.
        font = CreateFontW(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0,
                           L"Courier New");
        recorder.log.clear();
    }
    void TearDown() override {
        UserTest::TearDown();
        DeleteObject(font);
    }

    HWND Label(const std::wstring& text, DWORD style, int width, int height, int id = 1001) {
        HWND label = CreateWindowExW(0, L"Static", text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, width, height,
                                     parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        return label;
    }

    // What the screen shows of the static now, painting first whatever is due.
    static host::PixelBuffer Shown(HWND label) { return host::user::Grab(label); }

    SIZE Extent(const std::wstring& text) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        DeleteDC(dc);
        return size;
    }

    // The lines drawn one by one with TextOutW on a memory DC in the
    // static's colours: what the static must look like.
    host::PixelBuffer Expected(const std::vector<std::wstring>& lines, int width, int height, int lineHeight) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        HGDIOBJ oldFont = SelectObject(dc, font);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, GetSysColorBrush(COLOR_3DFACE));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_3DFACE));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            TextOutW(dc, 0, static_cast<int>(i) * lineHeight, lines[i].c_str(), static_cast<int>(lines[i].size()));
        }
        host::PixelBuffer out;
        out.Resize(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) out.pixels[static_cast<std::size_t>(y) * width + x] = GetPixel(dc, x, y);
        }
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return out;
    }

    // The first pixel where the static differs from the expected picture, as
    // a message; empty when they agree.
    static std::string FirstDifference(const host::PixelBuffer& shown, const host::PixelBuffer& expected) {
        if (shown.width != expected.width || shown.height != expected.height) return "sizes differ";
        for (int y = 0; y < shown.height; ++y) {
            for (int x = 0; x < shown.width; ++x) {
                if (PixelAt(shown, x, y) != expected.pixels[static_cast<std::size_t>(y) * shown.width + x]) {
                    return "first difference at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                }
            }
        }
        return std::string();
    }

    static bool InkInRows(const host::PixelBuffer& shown, int top, int bottom) {
        for (int y = top; y < bottom && y < shown.height; ++y) {
            for (int x = 0; x < shown.width; ++x) {
                if (PixelAt(shown, x, y) != kFace) return true;
            }
        }
        return false;
    }

    int LineHeight() {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        DeleteDC(dc);
        return tm.tmHeight;
    }

    HWND parent = nullptr;
    HFONT font = nullptr;
};

TEST_F(StaticTextTest, ALineAsWideAsItsGdiExtentStaysOnOneLine) {
    const std::wstring line = kReportLine;
    const SIZE extent = Extent(line);
    const int lineHeight = LineHeight();
    ASSERT_EQ(lineHeight, 14);
    ASSERT_GT(extent.cx, 0);
    const HWND label = Label(line, SS_LEFT, extent.cx, 3 * lineHeight);
    const host::PixelBuffer shown = Shown(label);
    ASSERT_EQ(shown.width, extent.cx);
    EXPECT_TRUE(InkInRows(shown, 0, lineHeight));
    EXPECT_FALSE(InkInRows(shown, lineHeight, 3 * lineHeight)) << "the line wrapped";
    EXPECT_EQ(FirstDifference(shown, Expected({line}, extent.cx, 3 * lineHeight, lineHeight)), "");
}

TEST_F(StaticTextTest, ALineOneCharacterWiderWrapsAtItsLastWordBreak) {
    const std::wstring line = kReportLine;
    const SIZE extent = Extent(line);
    const int lineHeight = LineHeight();
    const std::wstring wider = line + L"x";
    const HWND label = Label(wider, SS_LEFT, extent.cx, 3 * lineHeight);
    const host::PixelBuffer shown = Shown(label);
    const std::size_t lastBlank = wider.rfind(L' ');
    const std::vector<std::wstring> lines{wider.substr(0, lastBlank), wider.substr(lastBlank + 1)};
    ASSERT_EQ(lines[1], L"(0%)x");
    EXPECT_TRUE(InkInRows(shown, lineHeight, 2 * lineHeight));
    EXPECT_FALSE(InkInRows(shown, 2 * lineHeight, 3 * lineHeight));
    EXPECT_EQ(FirstDifference(shown, Expected(lines, extent.cx, 3 * lineHeight, lineHeight)), "");
}

TEST_F(StaticTextTest, NewTextRepaintsTheWholeStatic) {
    const HWND label = Label(L"first text, a long one", SS_LEFT, 300, 20);
    ASSERT_TRUE(InkInRows(Shown(label), 0, 20));
    SetWindowTextW(label, L"");
    EXPECT_FALSE(InkInRows(Shown(label), 0, 20)) << "old text left behind";
    SetWindowTextW(label, L"second");
    EXPECT_EQ(FirstDifference(Shown(label), Expected({L"second"}, 300, 20, LineHeight())), "");
}

// A report of lines that all fit: a new text draws again only the rows of
// the lines that changed, and the static then looks exactly as if it had
// been drawn whole.
TEST_F(StaticTextTest, ANewTextRedrawsOnlyTheLinesThatChanged) {
    const int h = LineHeight();
    const std::vector<std::wstring> before{L"Total RAM = 8192.00 MB", L"Free List = 390.62 MB", L"Cache WS = 3.00 MB"};
    const std::vector<std::wstring> after{L"Total RAM = 8192.00 MB", L"Free List = 12.5 MB", L"Cache WS = 3.00 MB"};
    const HWND label = Label(before[0] + L"\n" + before[1] + L"\n" + before[2] + L"\n", SS_LEFT, 400, 4 * h);
    ASSERT_EQ(FirstDifference(Shown(label), Expected(before, 400, 4 * h, h)), "");
    SetWindowTextW(label, (after[0] + L"\n" + after[1] + L"\n" + after[2] + L"\n").c_str());
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(label, &update, FALSE));
    const RECT secondRow{0, h, 400, 2 * h};
    EXPECT_TRUE(EqualRect(&update, &secondRow));
    EXPECT_EQ(FirstDifference(Shown(label), Expected(after, 400, 4 * h, h)), "");
    // The same text again draws nothing.
    SetWindowTextW(label, (after[0] + L"\n" + after[1] + L"\n" + after[2] + L"\n").c_str());
    EXPECT_FALSE(GetUpdateRect(label, &update, FALSE));
}

// Where a line wraps, or the lines are not the same in number, the rows
// cannot be told apart so simply: the whole static is drawn again.
TEST_F(StaticTextTest, WrappingOrANewLineCountRedrawsTheWholeStatic) {
    const int h = LineHeight();
    const std::wstring line = kReportLine;
    const int width = Extent(line).cx;
    const HWND label = Label(line + L"\nshort", SS_LEFT, width, 4 * h);
    Shown(label);
    const std::wstring wider = line + L"x";
    SetWindowTextW(label, (wider + L"\nshort").c_str());
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(label, &update, FALSE));
    const RECT all{0, 0, width, 4 * h};
    EXPECT_TRUE(EqualRect(&update, &all));
    const std::size_t lastBlank = wider.rfind(L' ');
    EXPECT_EQ(FirstDifference(Shown(label),
                              Expected({wider.substr(0, lastBlank), wider.substr(lastBlank + 1), L"short"}, width,
                                       4 * h, h)),
              "");
    SetWindowTextW(label, L"one\ntwo\nthree");
    ASSERT_TRUE(GetUpdateRect(label, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &all));
    EXPECT_EQ(FirstDifference(Shown(label), Expected({L"one", L"two", L"three"}, width, 4 * h, h)), "");
}

TEST_F(StaticTextTest, ThePanelsControlColoursPaintTheStatic) {
    const COLORREF back = RGB(0, 0, 128), text = RGB(255, 255, 0);
    HBRUSH brush = CreateSolidBrush(back);
    recorder.handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
        if (msg != WM_CTLCOLORSTATIC) return false;
        SetTextColor(reinterpret_cast<HDC>(wParam), text);
        SetBkColor(reinterpret_cast<HDC>(wParam), back);
        *result = reinterpret_cast<LRESULT>(brush);
        return true;
    };
    const host::PixelBuffer shown = Shown(Label(L"MMMM", SS_LEFT, 100, 20));
    EXPECT_EQ(PixelAt(shown, 99, 19), back);
    bool yellow = false;
    for (int x = 0; x < 40 && !yellow; ++x) {
        for (int y = 0; y < 14 && !yellow; ++y) yellow = PixelAt(shown, x, y) == text;
    }
    EXPECT_TRUE(yellow);
    recorder.handler = nullptr;
    DeleteObject(brush);
}

TEST_F(StaticTextTest, DisabledTextIsGreyAndEnablingRepaintsIt) {
    const HWND label = Label(L"MMMM", SS_LEFT, 100, 20);
    const auto darkest = [](const host::PixelBuffer& shown) {
        COLORREF found = kFace;
        for (int y = 0; y < shown.height; ++y) {
            for (int x = 0; x < shown.width; ++x) {
                if (GetRValue(PixelAt(shown, x, y)) < GetRValue(found)) found = PixelAt(shown, x, y);
            }
        }
        return found;
    };
    EXPECT_EQ(darkest(Shown(label)), GetSysColor(COLOR_WINDOWTEXT));
    EnableWindow(label, FALSE);
    EXPECT_EQ(darkest(Shown(label)), GetSysColor(COLOR_GRAYTEXT));
    EnableWindow(label, TRUE);
    EXPECT_EQ(darkest(Shown(label)), GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(StaticTextTest, OnlyNotifyingStaticsTakeClicks) {
    const HWND quiet = Label(L"quiet", SS_LEFT, 100, 20, 7);
    ASSERT_TRUE(host::user::Click(quiet));
    EXPECT_TRUE(Commands().empty());
    // The click went through to the parent, as Win32's hit test sends it.
    EXPECT_FALSE(recorder.Of(WM_LBUTTONDOWN).empty());
    const HWND notifying = CreateWindowExW(0, L"Static", L"notify", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 40, 100,
                                           20, parent, reinterpret_cast<HMENU>(8), nullptr, nullptr);
    recorder.log.clear();
    ASSERT_TRUE(host::user::Click(notifying));
    EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{8, STN_CLICKED}}));
    EXPECT_TRUE(recorder.Of(WM_LBUTTONDOWN).empty());
}

TEST_F(StaticTextTest, BlackRectanglesAndIconsAreDrawnByTheClass) {
    const HWND black = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 0, 0, 30, 10, parent,
                                       nullptr, nullptr, nullptr);
    const host::PixelBuffer rect = Shown(black);
    EXPECT_EQ(PixelAt(rect, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(PixelAt(rect, 29, 9), GetSysColor(COLOR_WINDOWFRAME));

    const HWND icon = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_ICON, 50, 0, 40, 40, parent,
                                      nullptr, nullptr, nullptr);
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_ERROR)), 0);
    const host::PixelBuffer drawn = Shown(icon);
    ASSERT_GT(drawn.width, 0);
    EXPECT_TRUE(InkInRows(drawn, 0, drawn.height));
}

}  // namespace
