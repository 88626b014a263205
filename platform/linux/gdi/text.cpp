// Text output and measurement: TextOutW with SetTextAlign, text extents,
// text metrics and the face name.

#include "fonts.h"
#include "raster.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace host::gdi {

namespace {

struct Direction {
    double cos = 1.0;
    double sin = 0.0;
    bool axisAligned = true;
};

// lfEscapement in tenths of a degree, counter-clockwise.
Direction DirectionOf(LONG escapement) {
    Direction d;
    const LONG tenths = ((escapement % 3600) + 3600) % 3600;
    d.axisAligned = tenths % 900 == 0;
    const double radians = tenths / 10.0 * std::numbers::pi / 180.0;
    d.cos = d.axisAligned ? std::round(std::cos(radians)) : std::cos(radians);
    d.sin = d.axisAligned ? std::round(std::sin(radians)) : std::sin(radians);
    return d;
}

// A point `along` pixels in the writing direction and `down` pixels toward
// the glyphs' feet from (x, y), in device space (y grows downward).
void Offset(const Direction& d, double x, double y, double along, double down, double* ox, double* oy) {
    *ox = x + along * d.cos + down * d.sin;
    *oy = y - along * d.sin + down * d.cos;
}

LONG Round(double v) { return static_cast<LONG>(std::lround(v)); }

// The text cell: from the baseline origin, `width` along and from
// `ascent` above to `descent` below the baseline.
void CellCorners(const Direction& d, double bx, double by, int width, const FontMetricsPx& m, POINT corners[4]) {
    const double along[4] = {0, static_cast<double>(width), static_cast<double>(width), 0};
    const double down[4] = {-static_cast<double>(m.ascent), -static_cast<double>(m.ascent),
                            static_cast<double>(m.descent), static_cast<double>(m.descent)};
    for (int i = 0; i < 4; ++i) {
        double x = 0, y = 0;
        Offset(d, bx, by, along[i], down[i], &x, &y);
        corners[i] = POINT{Round(x), Round(y)};
    }
}

RECT BoundsOf(const POINT corners[4]) {
    RECT r{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (int i = 1; i < 4; ++i) {
        r.left = std::min(r.left, corners[i].x);
        r.top = std::min(r.top, corners[i].y);
        r.right = std::max(r.right, corners[i].x);
        r.bottom = std::max(r.bottom, corners[i].y);
    }
    return r;
}

void FillCell(const DrawTarget& target, const Direction& d, const POINT corners[4], const RECT& clip,
              std::uint32_t pixel) {
    const RopMasks masks{0, pixel};
    if (d.axisAligned) {
        FillDeviceRect(target.surface, clip, BoundsOf(corners), masks);
    } else {
        FillPolygonInterior(target.surface, clip, corners, 4, ALTERNATE, masks);
    }
}

void BlendInk(const Surface& surface, const Coverage& ink, std::uint32_t color) {
    const int w = ink.area.right - ink.area.left;
    // Only where the glyphs put any ink.
    const int left = ink.area.left + ink.inked.left, right = ink.area.left + ink.inked.right;
    for (int y = ink.area.top + ink.inked.top; y < ink.area.top + ink.inked.bottom; ++y) {
        std::uint32_t* row = surface.Row(y);
        const std::uint8_t* alpha = ink.alpha.data() + static_cast<std::size_t>(y - ink.area.top) * w;
        for (int x = left; x < right; ++x) {
            const unsigned a = alpha[x - ink.area.left];
            if (a == 0) continue;
            if (a == 255) {
                row[x] = color;
                continue;
            }
            const std::uint32_t d = row[x];
            std::uint32_t out = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const unsigned c = (color >> shift) & 0xFF, b = (d >> shift) & 0xFF;
                out |= ((c * a + b * (255 - a) + 127) / 255) << shift;
            }
            row[x] = out;
        }
    }
}

}  // namespace

POINT DrawTextLine(const DrawTarget& target, POINT logicalRef, UINT align, std::wstring_view text,
                   const TextLine& line, const RECT& deviceClip) {
    const DcObject& dc = *target.dc;
    const LOGFONTW& lf = SelectedFont(dc).logFont;
    const FontMetricsPx& m = line.font->Metrics();
    const Direction d = DirectionOf(lf.lfEscapement);
    const int width = line.Width();

    double rx = 0, ry = 0;
    target.Map().ToDevice(logicalRef.x, logicalRef.y, &rx, &ry);
    rx = std::round(rx);
    ry = std::round(ry);
    double along = 0, down = 0;
    switch (align & (TA_LEFT | TA_RIGHT | TA_CENTER)) {
        case TA_CENTER: along = -(width / 2); break;
        case TA_RIGHT: along = -width; break;
        default: break;
    }
    switch (align & TA_BASELINE) {
        case TA_TOP: down = m.ascent; break;
        case TA_BOTTOM: down = -m.descent; break;
        default: break;  // TA_BASELINE: the reference point is on the baseline
    }
    double bx = 0, by = 0;
    Offset(d, rx, ry, along, down, &bx, &by);
    bx = std::round(bx);
    by = std::round(by);

    const RECT clip = Intersect(deviceClip, target.surface.Bounds());
    POINT corners[4];
    CellCorners(d, bx, by, width, m, corners);
    if (!target.surface.Empty() && !EmptyRect(clip)) {
        if (dc.state.bkMode == OPAQUE) FillCell(target, d, corners, clip, PixelOf(dc.state.bkColor));
        // Glyphs may reach past their cell (italics, bearings): paint with a margin.
        const int margin = (m.ascent + m.descent) / 2 + 2;
        RECT area = BoundsOf(corners);
        area = Intersect(RECT{area.left - margin, area.top - margin, area.right + margin, area.bottom + margin}, clip);
        if (!EmptyRect(area) && !text.empty()) {
            Coverage ink;
            ink.area = area;
            line.font->Paint(text, line.offsets, bx, by, lf.lfEscapement / 10.0,
                             {lf.lfUnderline != 0, lf.lfStrikeOut != 0}, &ink);
            BlendInk(target.surface, ink, PixelOf(dc.state.textColor));
        }
    }

    // TA_UPDATECP: left-aligned text moves the position to its end,
    // right-aligned text to its start; centred text leaves it.
    double ex = rx, ey = ry;
    switch (align & (TA_LEFT | TA_RIGHT | TA_CENTER)) {
        case TA_LEFT: Offset(d, rx, ry, width, 0, &ex, &ey); break;
        case TA_RIGHT: Offset(d, rx, ry, -width, 0, &ex, &ey); break;
        default: break;
    }
    return target.Map().ToLogical(POINT{Round(ex), Round(ey)});
}

}  // namespace host::gdi

using namespace host::gdi;

BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return FALSE;
    if (c < 0 || (!lpString && c > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::wstring_view text(lpString ? lpString : L"", static_cast<std::size_t>(c));
    TextLine line;
    if (!LayOutLine(*target.dc, text, &line)) return FALSE;
    const UINT align = target.State().textAlign;
    const POINT ref = (align & TA_UPDATECP) ? target.State().currentPosition : POINT{x, y};
    const POINT next = DrawTextLine(target, ref, align, text, line, target.clip);
    if (align & TA_UPDATECP) target.dc->state.currentPosition = next;
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (c < 0 || !psizl || (!lpString && c > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TextLine line;
    if (!LayOutLine(*dc, std::wstring_view(lpString ? lpString : L"", static_cast<std::size_t>(c)), &line)) {
        return FALSE;
    }
    const FontMetricsPx& m = line.font->Metrics();
    psizl->cx = LogicalWidth(*dc, line.Width());
    psizl->cy = LogicalHeight(*dc, m.ascent + m.descent);
    return TRUE;
}

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (!lptm) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::shared_ptr<RenderFont> font = DeviceFont(*dc);
    if (!font) return FALSE;
    const FontMetricsPx& m = font->Metrics();
    const LOGFONTW& lf = SelectedFont(*dc).logFont;
    TEXTMETRICW tm{};
    tm.tmAscent = LogicalHeight(*dc, m.ascent);
    tm.tmDescent = LogicalHeight(*dc, m.descent);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = LogicalHeight(*dc, m.internalLeading);
    tm.tmExternalLeading = LogicalHeight(*dc, m.externalLeading);
    tm.tmAveCharWidth = LogicalWidth(*dc, m.aveCharWidth);
    tm.tmMaxCharWidth = LogicalWidth(*dc, m.maxCharWidth);
    tm.tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
    tm.tmOverhang = 0;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = DeviceDpi();
    tm.tmFirstChar = 0x1E;
    tm.tmLastChar = 0xFFFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = lf.lfItalic ? 255 : 0;
    tm.tmUnderlined = lf.lfUnderline ? 255 : 0;
    tm.tmStruckOut = lf.lfStrikeOut ? 255 : 0;
    // TMPF_FIXED_PITCH set means a variable-pitch font, as Win32 defines it.
    const std::wstring family = StandInFamily(lf);
    const BYTE familyBits = (lf.lfPitchAndFamily & 0xF0) ? (lf.lfPitchAndFamily & 0xF0)
                            : m.fixedPitch                 ? FF_MODERN
                            : family.find(L"Serif") != std::wstring::npos ? FF_ROMAN
                                                                           : FF_SWISS;
    tm.tmPitchAndFamily = static_cast<BYTE>(familyBits | TMPF_VECTOR | TMPF_TRUETYPE |
                                            (m.fixedPitch ? 0 : TMPF_FIXED_PITCH));
    tm.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
    *lptm = tm;
    return TRUE;
}

int WINAPI GetTextFaceW(HDC hdc, int c, LPWSTR lpName) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return 0;
    const LOGFONTW& lf = SelectedFont(*dc).logFont;
    // A face with a stand-in answers with its own name; the metrics match.
    std::wstring face;
    if (HasStandIn(lf.lfFaceName)) {
        face = lf.lfFaceName;
    } else if (const auto font = DeviceFont(*dc)) {
        face = font->Metrics().family;
    } else {
        face = StandInFamily(lf);
    }
    face.resize(std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    if (!lpName) return static_cast<int>(face.size()) + 1;
    if (c <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t n = std::min<std::size_t>(face.size(), static_cast<std::size_t>(c) - 1);
    std::copy_n(face.begin(), n, lpName);
    lpName[n] = L'\0';
    return static_cast<int>(n) + 1;
}
