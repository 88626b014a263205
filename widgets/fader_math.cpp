#include "widgets/fader_math.h"

namespace fader {

UINT Progress(DWORD elapsed, UINT duration) {
    if (duration == 0) return 100;
    const ULONGLONG p = static_cast<ULONGLONG>(elapsed) * 100u / duration;
    // elapsed < 2^32 and duration ≥ 1 keep p below 2^39; hold it in 32 bits.
    return p > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<UINT>(p);
}

bool ModeProgress(UINT progress, int mode, UINT* blended) {
    if (progress < 100) {
        *blended = progress;
        return true;
    }
    if (mode == 1) {
        *blended = 0;
        return true;
    }
    if (mode == 2) {
        const UINT phase = progress / 100 % 4;
        const UINT rest = progress % 100;
        const UINT byPhase[] = {rest, 100, 100 - rest, 0};
        *blended = byPhase[phase];
        return true;
    }
    return false;
}

namespace {
BYTE BlendChannel(int background, int target, UINT progress) {
    const int difference = background - target;
    const float step = static_cast<float>(difference) / 100.0f * static_cast<float>(progress);
    return static_cast<BYTE>((background - static_cast<int>(step)) & 0xFF);
}
}  // namespace

COLORREF Blend(COLORREF background, COLORREF target, UINT progress) {
    return RGB(BlendChannel(GetRValue(background), GetRValue(target), progress),
               BlendChannel(GetGValue(background), GetGValue(target), progress),
               BlendChannel(GetBValue(background), GetBValue(target), progress));
}

COLORREF FadeColor(DWORD elapsed, UINT duration, int mode, COLORREF background, COLORREF target) {
    UINT blended = 0;
    if (!ModeProgress(Progress(elapsed, duration), mode, &blended)) return target;
    return Blend(background, target, blended);
}

COLORREF ShadowColor(COLORREF background) {
    auto darker = [](int channel) { return static_cast<BYTE>(channel > 50 ? channel - 50 : 0); };
    return RGB(darker(GetRValue(background)), darker(GetGValue(background)), darker(GetBValue(background)));
}

bool TimerDone(DWORD elapsed, UINT duration, int mode) { return mode == 0 && elapsed > duration; }

Layout ComputeLayout(int width, int height, bool hasCaption) {
    Layout layout;
    layout.half = width * 90 / 180;
    layout.caption = {0, 0, layout.half, height};
    layout.text = {hasCaption ? layout.half : 0, 0, width - 1, height};
    layout.shadow = {layout.text.left + 2, layout.text.top + 2, layout.text.right, layout.text.bottom};
    return layout;
}

}  // namespace fader
