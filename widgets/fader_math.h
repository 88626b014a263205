#pragma once
// The arithmetic of the fading label, apart from any window: fade progress,
// colour blending, the shadow colour, when the timer stops and where the
// caption and the text go.

#include <windows.h>

namespace fader {

// Fade progress in whole percent, elapsed × 100 / duration rounded down,
// without overflow for any elapsed time. A duration of 0 (not allowed for
// the label) counts as a fade already complete.
UINT Progress(DWORD elapsed, UINT duration);

// Progress after the fade mode has had its say on a complete fade (p ≥ 100):
// mode 1 vanishes (0), mode 2 pulses with a period of four durations.
// Returns false when the target colour itself is to be drawn (mode 0 and
// every other mode once the fade is complete).
bool ModeProgress(UINT progress, int mode, UINT* blended);

// Each channel moved from the background toward the target by p percent, in
// the single-precision steps of the original drawing (so p = 50 of 210
// toward 0 gives 106, not 105).
COLORREF Blend(COLORREF background, COLORREF target, UINT progress);

// The colour a string of full-strength colour `target` is drawn in, given
// the time since the fade began.
COLORREF FadeColor(DWORD elapsed, UINT duration, int mode, COLORREF background, COLORREF target);

// The drop shadow: the background darkened by 50 in each channel, held at 0.
COLORREF ShadowColor(COLORREF background);

// True when the fade timer is to be killed on a tick at `elapsed`: only in
// mode 0 and only strictly after the duration.
bool TimerDone(DWORD elapsed, UINT duration, int mode);

struct Layout {
    int half = 0;      // the caption's right edge and the text's left edge
    RECT caption{};
    RECT text{};
    RECT shadow{};
};
// Caption on the left half, text on the right half (the whole width when
// there is no caption), the last pixel column left free.
Layout ComputeLayout(int width, int height, bool hasCaption);

}  // namespace fader
