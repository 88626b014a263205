#include "widgets/fader_math.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kBackground = RGB(210, 210, 210);
constexpr COLORREF kTarget = RGB(0, 0, 60);

TEST(FadeColorTest, DefaultColoursAtStartMiddleAndEnd) {
    EXPECT_EQ(fader::FadeColor(0, 1000, 0, kBackground, kTarget), RGB(210, 210, 210));
    // Single precision: 2.1f × 50 truncates to 104, so 106 rather than 105.
    EXPECT_EQ(fader::FadeColor(500, 1000, 0, kBackground, kTarget), RGB(106, 106, 135));
    EXPECT_EQ(fader::FadeColor(1000, 1000, 0, kBackground, kTarget), RGB(0, 0, 60));
    EXPECT_EQ(fader::FadeColor(999, 1000, 0, kBackground, kTarget), fader::Blend(kBackground, kTarget, 99));
}

TEST(FadeColorTest, RisingChannelAndFullBlendOneShort) {
    EXPECT_EQ(GetRValue(fader::Blend(RGB(0, 0, 0), RGB(255, 0, 0), 50)), 127);
    // The blend at 100 stops one short in red and green; only mode 0's
    // finished fade returns the target itself.
    EXPECT_EQ(fader::Blend(kBackground, kTarget, 100), RGB(1, 1, 60));
    EXPECT_EQ(fader::Blend(kBackground, kTarget, 0), kBackground);
}

TEST(FadeColorTest, FinishedFadesByMode) {
    // Mode 1 vanishes into the background.
    EXPECT_EQ(fader::FadeColor(1500, 1000, 1, kBackground, kTarget), kBackground);
    // Mode 2 pulses over four durations: 1.25 → 100, 2.25 → 75, 3.25 → 0, 4.25 → 25.
    UINT p = 0;
    ASSERT_TRUE(fader::ModeProgress(fader::Progress(1250, 1000), 2, &p));
    EXPECT_EQ(p, 100u);
    ASSERT_TRUE(fader::ModeProgress(fader::Progress(2250, 1000), 2, &p));
    EXPECT_EQ(p, 75u);
    ASSERT_TRUE(fader::ModeProgress(fader::Progress(3250, 1000), 2, &p));
    EXPECT_EQ(p, 0u);
    ASSERT_TRUE(fader::ModeProgress(fader::Progress(4250, 1000), 2, &p));
    EXPECT_EQ(p, 25u);
    EXPECT_EQ(fader::FadeColor(1250, 1000, 2, kBackground, kTarget), RGB(1, 1, 60));
    EXPECT_EQ(fader::FadeColor(3250, 1000, 2, kBackground, kTarget), kBackground);
    // Any other mode keeps the target once complete.
    EXPECT_EQ(fader::FadeColor(5000, 1000, 7, kBackground, kTarget), kTarget);
}

TEST(FadeColorTest, ProgressNeverOverflows) {
    // Hours (and a wrapped tick count's worth) later: still complete, not wrapped.
    EXPECT_EQ(fader::Progress(0xFFFFFFFFu, 1000), 429496729u);
    EXPECT_EQ(fader::FadeColor(0xFFFFFFFFu, 1000, 0, kBackground, kTarget), kTarget);
    EXPECT_EQ(fader::FadeColor(3600000, 1000, 0, kBackground, kTarget), kTarget);
    // A duration of 0 cannot divide: the fade counts as complete.
    EXPECT_EQ(fader::FadeColor(0, 0, 0, kBackground, kTarget), kTarget);
}

TEST(FadeTimerTest, KilledOnlyStrictlyAfterTheDurationInModeZero) {
    EXPECT_FALSE(fader::TimerDone(1000, 1000, 0));
    EXPECT_TRUE(fader::TimerDone(1001, 1000, 0));
    EXPECT_FALSE(fader::TimerDone(5000, 1000, 1));
    EXPECT_FALSE(fader::TimerDone(5000, 1000, 2));
}

TEST(FaderLayoutTest, CaptionSplitsAtHalfRoundedDown) {
    const fader::Layout split = fader::ComputeLayout(181, 20, true);
    EXPECT_EQ(split.half, 90);
    EXPECT_EQ(split.caption.left, 0);
    EXPECT_EQ(split.caption.right, 90);
    EXPECT_EQ(split.caption.bottom, 20);
    EXPECT_EQ(split.text.left, 90);
    EXPECT_EQ(split.text.right, 180);
    EXPECT_EQ(split.shadow.left, 92);
    EXPECT_EQ(split.shadow.top, 2);
    EXPECT_EQ(split.shadow.right, 180);
    EXPECT_EQ(split.shadow.bottom, 20);

    const fader::Layout whole = fader::ComputeLayout(181, 20, false);
    EXPECT_EQ(whole.text.left, 0);
    EXPECT_EQ(whole.text.right, 180);
}

TEST(FaderShadowTest, DarkerByFiftyHeldAtZero) {
    EXPECT_EQ(fader::ShadowColor(RGB(30, 120, 210)), RGB(0, 70, 160));
    EXPECT_EQ(fader::ShadowColor(RGB(50, 51, 255)), RGB(0, 1, 205));
}

}  // namespace
