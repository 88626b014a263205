#include "widgets/static_fader.h"

#include "widgets/fader_math.h"

#include <gtest/gtest.h>

#include "host/gdi.h"
#include "host/scripted_machine.h"
#include "host/user.h"

namespace {

constexpr COLORREF kBackground = RGB(210, 210, 210);
constexpr COLORREF kInk = RGB(0, 0, 60);
constexpr int kWidth = 181;
constexpr int kHeight = 30;

// A label on a plain parent window, on the scripted machine's clock.
class StaticFaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::SetActiveMachine(&machine);
        font.CreateFont(-24, 0, 0, 0, 900, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
        parent.CreateEx(0, AfxRegisterWndClass(0), L"parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100, nullptr,
                        nullptr);
        label = new CStaticFader(&font);
        const RECT rect = {10, 10, 10 + kWidth, 10 + kHeight};
        ASSERT_TRUE(label->Create(L"never drawn", WS_CHILD | WS_VISIBLE, rect, &parent, 0xFFFF));
    }
    void TearDown() override {
        delete label;
        parent.DestroyWindow();
        host::user::ProcessEvents();
        AfxUnlockTempMaps();
        host::SetActiveMachine(nullptr);
    }

    host::PixelBuffer Paint() {
        label->UpdateWindow();
        const host::PixelBuffer* buffer = host::user::WindowBuffer(label->GetSafeHwnd());
        return buffer != nullptr ? *buffer : host::PixelBuffer{};
    }
    static int CountColour(const host::PixelBuffer& buffer, COLORREF colour, int left, int right) {
        int count = 0;
        for (int y = 0; y < buffer.height; ++y) {
            for (int x = left; x < right; ++x) count += buffer.At(x, y) == host::PixelFromColor(colour);
        }
        return count;
    }

    host::ScriptedMachine machine;
    CFont font;
    CWnd parent;
    CStaticFader* label = nullptr;
};

TEST_F(StaticFaderTest, DefaultsAndFadeColourOnTheVirtualClock) {
    EXPECT_EQ(label->m_nTextAlign, static_cast<UINT>(DT_CENTER));
    EXPECT_EQ(label->m_crBackground, 13816530u);
    EXPECT_EQ(label->m_nDuration, 1000u);
    label->StartFade(L"12 MB", L"Free ", L"", L"");
    EXPECT_EQ(label->FadeColor(kInk), RGB(210, 210, 210));
    machine.Advance(500);
    EXPECT_EQ(label->FadeColor(kInk), RGB(106, 106, 135));
    machine.Advance(500);
    EXPECT_EQ(label->FadeColor(kInk), RGB(0, 0, 60));
    machine.Advance(3600u * 1000u);  // hours later: still full strength
    EXPECT_EQ(label->FadeColor(kInk), RGB(0, 0, 60));
}

TEST_F(StaticFaderTest, TimerKeptAtTheDurationAndKilledOnTheNextTick) {
    label->m_nInterval = 250;
    label->StartFade(L"x", L"", L"", L"");
    machine.Advance(1000);  // ticks at 250, 500, 750, 1000: elapsed 1000 is not past
    EXPECT_EQ(machine.Clock()->RunningTimers(), 1u);
    machine.Advance(250);  // elapsed 1250: killed
    EXPECT_EQ(machine.Clock()->RunningTimers(), 0u);
    EXPECT_FALSE(::KillTimer(label->GetSafeHwnd(), FADER_TIMER_ID));
}

TEST_F(StaticFaderTest, VanishingAndPulsingModesKeepTheTimer) {
    label->m_nFadeMode = 1;
    label->StartFade(L"x", L"", L"", L"");
    machine.Advance(1500);
    EXPECT_EQ(label->FadeColor(kInk), kBackground);
    EXPECT_EQ(machine.Clock()->RunningTimers(), 1u);

    label->m_nFadeMode = 2;
    label->StartFade(L"x", L"", L"", L"");
    machine.Advance(1250);
    EXPECT_EQ(label->FadeColor(kInk), RGB(1, 1, 60));  // p = 100 blended, one short
    machine.Advance(1000);
    // p = 75: red and green 210 - trunc(2.1f × 75) = 210 - 157 = 53 (2.1f is
    // just below 2.1); blue 210 - trunc(1.5f × 75) = 210 - 112 = 98.
    EXPECT_EQ(label->FadeColor(kInk), RGB(53, 53, 98));
    machine.Advance(1000);
    EXPECT_EQ(label->FadeColor(kInk), kBackground);
    EXPECT_EQ(machine.Clock()->RunningTimers(), 1u);
}

TEST_F(StaticFaderTest, SetTextsDuringAFadeDoesNotRestartIt) {
    label->StartFade(L"a", L"b", L"", L"");
    const DWORD start = label->m_dwFadeStart;
    machine.Advance(300);
    label->SetTexts(L"c", L"d");
    EXPECT_EQ(label->m_dwFadeStart, start);
    EXPECT_STREQ(label->m_strText.GetString(), L"c");
    EXPECT_STREQ(label->m_strCaption.GetString(), L"d");
    machine.Advance(200);
    EXPECT_EQ(label->FadeColor(kInk), RGB(106, 106, 135));  // p = 50, continuing
}

TEST_F(StaticFaderTest, FramesAndBackgroundPixels) {
    label->StartFade(L"", L"", L"", L"");
    host::PixelBuffer one = Paint();
    ASSERT_EQ(one.width, kWidth);
    const auto dark = host::PixelFromColor(::GetSysColor(COLOR_BTNSHADOW));
    const auto light = host::PixelFromColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(one.At(0, 0), dark);
    EXPECT_EQ(one.At(kWidth - 2, 0), dark);
    EXPECT_EQ(one.At(0, kHeight - 2), dark);
    EXPECT_EQ(one.At(kWidth - 1, 0), light);
    EXPECT_EQ(one.At(0, kHeight - 1), light);
    EXPECT_EQ(one.At(kWidth / 2, 5), host::PixelFromColor(kBackground));  // one frame only

    label->StartFade(L"", L"Cap", L"", L"");
    machine.Advance(10);  // StartFade itself does not redraw; its first tick does
    host::PixelBuffer two = Paint();
    EXPECT_EQ(two.At(90, 0), dark);           // the second frame starts at W / 2
    EXPECT_EQ(two.At(89, 5), light);          // the first frame's right edge
    EXPECT_EQ(two.At(90, kHeight - 2), dark);
}

TEST_F(StaticFaderTest, StringsEmergeFromTheBackgroundAndEndAtFullStrength) {
    label->m_bBorder = false;
    label->m_crText = RGB(200, 0, 0);
    label->m_crCaption = RGB(0, 0, 200);
    label->StartFade(L"WWW", L"MMM", L"", L"");
    host::PixelBuffer start = Paint();
    EXPECT_EQ(CountColour(start, kBackground, 0, kWidth), kWidth * kHeight);  // nothing shows yet

    machine.Advance(1010);  // the tick after the duration draws the last frame
    host::PixelBuffer end = Paint();
    EXPECT_GT(CountColour(end, RGB(0, 0, 200), 0, 90), 0);     // caption on the left half
    EXPECT_EQ(CountColour(end, RGB(0, 0, 200), 90, kWidth), 0);
    EXPECT_GT(CountColour(end, RGB(200, 0, 0), 90, kWidth), 0);  // text on the right half
    EXPECT_EQ(CountColour(end, RGB(200, 0, 0), 0, 90), 0);
}

TEST_F(StaticFaderTest, ShadowIsDrawnInTheFadedShadowColour) {
    label->m_bBorder = false;
    label->m_bShadow = true;
    label->m_crBackground = RGB(30, 120, 210);
    label->StartFade(L"WWW", L"", L"", L"");
    machine.Advance(1010);
    host::PixelBuffer end = Paint();
    EXPECT_GT(CountColour(end, RGB(0, 70, 160), 0, kWidth), 0);
}

TEST_F(StaticFaderTest, ALabelWithoutAWindowSetsNoTimerAndRepaintsNothing) {
    // As when creating the label's window failed.
    CStaticFader windowless(&font);
    parent.UpdateWindow();
    ASSERT_FALSE(::GetUpdateRect(parent.GetSafeHwnd(), nullptr, FALSE));
    const std::size_t timers = machine.Clock()->RunningTimers();
    windowless.StartFade(L"text", L"caption", L"", L"");
    windowless.SetTexts(L"new", L"caption");
    EXPECT_EQ(machine.Clock()->RunningTimers(), timers);
    EXPECT_FALSE(::GetUpdateRect(parent.GetSafeHwnd(), nullptr, FALSE));
    EXPECT_STREQ(windowless.m_strText.GetString(), L"new");
}

TEST_F(StaticFaderTest, ALabelWhoseFontObjectsCouldNotBeMadeDrawsInTheCurrentFont) {
    // As after a failed allocation of both font objects.
    delete label->m_pCaptionFont;
    delete label->m_pTextFont;
    label->m_pCaptionFont = nullptr;
    label->m_pTextFont = nullptr;
    label->m_bBorder = false;
    label->m_crText = RGB(200, 0, 0);
    label->StartFade(L"WWW", L"", L"", L"-16,0,0,0,700,0,0,0,0,0,0,0,0,Arial,0");
    machine.Advance(1010);
    host::PixelBuffer end = Paint();
    EXPECT_GT(CountColour(end, RGB(200, 0, 0), 0, kWidth), 0);
}

}  // namespace
