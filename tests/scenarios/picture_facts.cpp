#include "picture_facts.h"

#include <algorithm>

namespace picture_facts {

namespace {

constexpr int kMargin = 4;

host::PixelBuffer Crop(const host::PixelBuffer& buffer, const RECT& r) {
    host::PixelBuffer out;
    out.Resize(r.right - r.left, r.bottom - r.top);
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            out.pixels[static_cast<std::size_t>(y - r.top) * out.width + (x - r.left)] = buffer.At(x, y);
        }
    }
    return out;
}

bool MatchesAt(const host::PixelBuffer& picture, int left, int top, const host::PixelBuffer& pattern) {
    for (int y = 0; y < pattern.height; ++y) {
        for (int x = 0; x < pattern.width; ++x) {
            if (picture.At(left + x, top + y) != pattern.At(x, y)) return false;
        }
    }
    return true;
}

}  // namespace

host::PixelBuffer RenderText(const std::wstring& text, HFONT font, COLORREF textColor, COLORREF background) {
    host::PixelBuffer canvas;
    HDC probe = host::gdi::CreateBufferDC(&canvas, nullptr);
    HGDIOBJ old = SelectObject(probe, font);
    SIZE extent{};
    GetTextExtentPoint32W(probe, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(probe, old);
    host::gdi::DeleteBufferDC(probe);

    const std::uint32_t fill = host::PixelFromColor(background);
    canvas.Resize(extent.cx + 2 * kMargin, extent.cy + 2 * kMargin, fill);
    HDC dc = host::gdi::CreateBufferDC(&canvas, nullptr);
    old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    TextOutW(dc, kMargin, kMargin, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
    host::gdi::DeleteBufferDC(dc);

    RECT ink{canvas.width, canvas.height, 0, 0};
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            if (canvas.At(x, y) == (fill & 0x00FFFFFFu)) continue;
            ink.left = std::min<LONG>(ink.left, x);
            ink.top = std::min<LONG>(ink.top, y);
            ink.right = std::max<LONG>(ink.right, x + 1);
            ink.bottom = std::max<LONG>(ink.bottom, y + 1);
        }
    }
    if (ink.right <= ink.left) return host::PixelBuffer();
    return Crop(canvas, ink);
}

bool Contains(const host::PixelBuffer& picture, const RECT& area, const host::PixelBuffer& pattern) {
    if (pattern.width <= 0 || pattern.height <= 0) return false;
    const int left = std::max<int>(0, area.left);
    const int top = std::max<int>(0, area.top);
    const int right = std::min<int>(picture.width, area.right) - pattern.width;
    const int bottom = std::min<int>(picture.height, area.bottom) - pattern.height;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            if (MatchesAt(picture, x, y, pattern)) return true;
        }
    }
    return false;
}

RECT OuterNow(HWND dialog) {
    RECT outer{};
    GetWindowRect(dialog, &outer);
    POINT corners[2] = {{outer.left, outer.top}, {outer.right, outer.bottom}};
    ScreenToClient(dialog, &corners[0]);
    ScreenToClient(dialog, &corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

RECT OuterBeforeShown(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    return client;
}

RECT TemplateRect(HWND dialog, int x, int y, int cx, int cy) {
    RECT r{x, y, x + cx, y + cy};
    MapDialogRect(dialog, &r);
    return r;
}

namespace {

ChartPlace Sized(const RECT& outer, double heightFraction) {
    ChartPlace place;
    place.height = static_cast<int>((outer.bottom - outer.top) * heightFraction);
    const int width = static_cast<int>((outer.right - outer.left) * 0.45);
    place.rect.right = outer.right - 10;
    place.rect.left = place.rect.right - width;
    return place;
}

}  // namespace

ChartPlace RamChart(HWND dialog, const RECT& outer, double heightFraction) {
    ChartPlace place = Sized(outer, heightFraction);
    // The top of the template's RAM progress bar 1004 (512, 34, 330, 90).
    place.rect.top = TemplateRect(dialog, 512, 34, 330, 90).top;
    place.rect.bottom = place.rect.top + place.height;
    return place;
}

ChartPlace LowerChart(const RECT& outer) {
    ChartPlace place = Sized(outer, 0.32);
    place.rect.bottom = outer.bottom - 46;
    place.rect.top = place.rect.bottom - place.height;
    return place;
}

RECT RamLegendLabel(const ChartPlace& chart, int index) {
    const int top = chart.rect.top + chart.height / 38 + index * (chart.height / 19);
    return RECT{chart.rect.left - 180, top, chart.rect.left - 7, top + 20};
}

RECT PageFileLegendLabel(const ChartPlace& chart, int index) {
    const int top = chart.rect.top + chart.height / 8 + index * (chart.height / 3);
    return RECT{chart.rect.left - 180, top, chart.rect.left - 7, top + 20};
}

RECT CaptionHalf(const RECT& label) {
    const int half = (label.right - label.left) / 2;
    return RECT{label.left, label.top, label.left + half, label.bottom};
}

}  // namespace picture_facts
