#pragma once
// The drawing host's one font renderer. Faces come from fontconfig through
// Qt's font engine (QtGui); this header keeps Qt out of everything else.
// Glyphs are placed at whole-pixel advances without kerning, as GDI places
// them, so that measured and drawn text always agree.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace host::gdi {

struct FontRequest {
    std::wstring family;   // a face name fontconfig knows
    int pixelSize = 16;    // em height in device pixels
    int weight = FW_NORMAL;
    bool italic = false;
    bool antialias = true;
    int averageWidth = 0;  // 0: the face's own widths; else glyphs are stretched to this average
    // The cell above and below the baseline, in ems, of the Windows face the
    // family stands in for; 0: the family's own. GDI rounds each to pixels.
    double emAscent = 0;
    double emDescent = 0;
};

struct FontMetricsPx {
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int underlinePosition = 0;   // pixels below the baseline
    int strikeOutPosition = 0;   // pixels above the baseline
    int lineThickness = 1;
    bool fixedPitch = false;
    std::wstring family;         // the face fontconfig actually chose
};

// Coverage (0..255) of drawn glyphs over a device rectangle.
struct Coverage {
    RECT area{0, 0, 0, 0};
    std::vector<std::uint8_t> alpha;  // row-major over `area`
    RECT inked{0, 0, 0, 0};           // where within `area` any alpha may be set
};

class RenderFont {
public:
    // Null when no GUI application is running (there are no fonts then).
    static std::shared_ptr<RenderFont> Create(const FontRequest& request);
    // The em size at which the face's cell (ascent + descent) is `cellHeight`
    // pixels, as GDI sizes a font asked for by cell height.
    static int EmForCellHeight(const FontRequest& request, int cellHeight);

    ~RenderFont();
    RenderFont(const RenderFont&) = delete;
    RenderFont& operator=(const RenderFont&) = delete;

    const FontMetricsPx& Metrics() const;
    int Advance(wchar_t ch) const;

    struct Decoration {
        bool underline = false;
        bool strikeOut = false;
    };
    // Paints `text` into `coverage`: glyph i sits `offsets[i]` pixels along
    // the baseline from (originX, originY), the line turned `angle` degrees
    // counter-clockwise; offsets[text.size()] is the end of the line.
    void Paint(std::wstring_view text, const std::vector<int>& offsets, double originX, double originY,
               double angle, Decoration decoration, Coverage* coverage) const;

private:
    RenderFont();
    struct Impl;
    static void PaintTurnedDecoration(const Impl& impl, Decoration decoration, int length, double penX, double penY,
                                      double angle, Coverage* coverage);
    std::unique_ptr<Impl> impl_;
};

}  // namespace host::gdi
