#include "fonts.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>
#include <map>
#include <tuple>
#include <vector>

namespace host::gdi {

namespace {

constexpr const wchar_t* kSans = L"Liberation Sans";
constexpr const wchar_t* kSerif = L"Liberation Serif";
constexpr const wchar_t* kMono = L"Liberation Mono";

struct StandIn {
    const wchar_t* windowsFace;
    const wchar_t* family;
    // The Windows face's cell above and below the baseline in ems, where it
    // differs from the stand-in's; 0 keeps the stand-in's.
    double emAscent = 0;
    double emDescent = 0;
};

// The shell dialog font is Tahoma, whose cell is taller than the sans
// stand-in's (13 pixels at 8 points against 12): dialog units follow the
// cell height, so a dialog laid out with the stand-in's own cell would come
// out a twelfth too short. Its widths are close enough to the stand-in's
// (both give 6 pixels across at 8 points).
constexpr double kTahomaAscent = 2049.0 / 2048.0;
constexpr double kTahomaDescent = 423.0 / 2048.0;

// Arial, Times New Roman and Courier New have metric-compatible stand-ins;
// the dialog and system faces map to the sans face.
constexpr StandIn kStandIns[] = {
    {L"Arial", kSans},
    {L"Helvetica", kSans},
    {L"MS Shell Dlg", kSans, kTahomaAscent, kTahomaDescent},
    {L"MS Shell Dlg 2", kSans, kTahomaAscent, kTahomaDescent},
    {L"MS Sans Serif", kSans},
    {L"Microsoft Sans Serif", kSans},
    {L"Tahoma", kSans, kTahomaAscent, kTahomaDescent},
    {L"Segoe UI", kSans},
    {L"System", kSans},
    {L"Times New Roman", kSerif},
    {L"Times", kSerif},
    {L"MS Serif", kSerif},
    {L"Courier New", kMono},
    {L"Courier", kMono},
    {L"Fixedsys", kMono},
    {L"Terminal", kMono},
    {L"Lucida Console", kMono},
    {L"Consolas", kMono},
};

bool SameFace(const wchar_t* a, const wchar_t* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::towlower(*a) != std::towlower(*b)) return false;
    }
    return *a == *b;
}

const StandIn* FindStandIn(const wchar_t* face) {
    for (const StandIn& s : kStandIns) {
        if (SameFace(face, s.windowsFace)) return &s;
    }
    return nullptr;
}

// lfHeight 0 asks for the default size: a 16-pixel cell.
constexpr int kDefaultCellHeight = 16;
// Larger fonts are drawn at this em size; nothing on screen needs more.
constexpr int kMaxEm = 2048;

}  // namespace

std::wstring StandInFamily(const LOGFONTW& lf) {
    if (lf.lfFaceName[0]) {
        const StandIn* s = FindStandIn(lf.lfFaceName);
        return s ? s->family : std::wstring(lf.lfFaceName);
    }
    // No face: the pitch and family bits choose.
    const int family = lf.lfPitchAndFamily & 0xF0;
    if (family == FF_ROMAN) return kSerif;
    if (family == FF_MODERN || (lf.lfPitchAndFamily & 0x03) == FIXED_PITCH) return kMono;
    return kSans;
}

bool HasStandIn(const wchar_t* faceName) { return faceName && FindStandIn(faceName) != nullptr; }

FontRequest RequestFor(const LOGFONTW& lf, double scaleX, double scaleY) {
    FontRequest request;
    request.family = StandInFamily(lf);
    if (const StandIn* s = lf.lfFaceName[0] ? FindStandIn(lf.lfFaceName) : nullptr) {
        request.emAscent = s->emAscent;
        request.emDescent = s->emDescent;
    }
    request.weight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : static_cast<int>(lf.lfWeight);
    request.italic = lf.lfItalic != 0;
    request.antialias = lf.lfQuality != NONANTIALIASED_QUALITY;
    const double sy = std::fabs(scaleY), sx = std::fabs(scaleX);
    // lfHeight < 0 is the em height, > 0 the cell height (ascent + descent).
    if (lf.lfHeight < 0) {
        request.pixelSize = static_cast<int>(std::lround(-static_cast<double>(lf.lfHeight) * sy));
    } else {
        const int cell = lf.lfHeight == 0 ? kDefaultCellHeight : static_cast<int>(std::lround(lf.lfHeight * sy));
        request.pixelSize = RenderFont::EmForCellHeight(request, std::min(cell, kMaxEm * 2));
    }
    request.pixelSize = std::clamp(request.pixelSize, 1, kMaxEm);
    if (lf.lfWidth != 0) {
        request.averageWidth = std::max(1, static_cast<int>(std::lround(std::abs(lf.lfWidth) * sx)));
    }
    return request;
}

namespace {

// Renderers are shared by every font object that asks for the same face at
// the same size, so that a font made anew for each drawing (the charts make
// their label fonts at every redraw of their grid) finds its glyphs already
// drawn. Few distinct fonts exist; the oldest go beyond kKeptRenderers.
constexpr std::size_t kKeptRenderers = 64;

std::shared_ptr<RenderFont> SharedRenderer(const FontRequest& request) {
    using Key = std::tuple<std::wstring, int, int, bool, bool, int, double, double>;
    // Never destroyed: a renderer holds Qt fonts, which must not outlive
    // the application object when static objects go at exit.
    static auto& renderers = *new std::map<Key, std::shared_ptr<RenderFont>>();
    static auto& order = *new std::vector<Key>();
    const Key key{request.family, request.pixelSize, request.weight, request.italic,
                  request.antialias, request.averageWidth, request.emAscent, request.emDescent};
    if (auto it = renderers.find(key); it != renderers.end()) return it->second;
    std::shared_ptr<RenderFont> renderer = RenderFont::Create(request);
    if (!renderer) return nullptr;
    if (order.size() == kKeptRenderers) {
        renderers.erase(order.front());
        order.erase(order.begin());
    }
    renderers.emplace(key, renderer);
    order.push_back(key);
    return renderer;
}

}  // namespace

std::shared_ptr<RenderFont> DeviceFont(const DcObject& dc) {
    FontObject& font = SelectedFont(dc);
    const Mapping& m = dc.state.mapping;
    FontObject::LastUse& last = font.lastUse;
    if (last.renderer && last.scaleX == m.ScaleX() && last.scaleY == m.ScaleY()) return last.renderer;
    const FontRequest request = RequestFor(font.logFont, m.ScaleX(), m.ScaleY());
    const auto key = std::make_tuple(request.pixelSize, request.antialias, request.averageWidth);
    auto it = font.renderers.find(key);
    std::shared_ptr<RenderFont> renderer = it != font.renderers.end() ? it->second : SharedRenderer(request);
    if (!renderer) return nullptr;
    font.renderers.emplace(key, renderer);
    last = FontObject::LastUse{m.ScaleX(), m.ScaleY(), renderer};
    return renderer;
}

bool LayOutLine(const DcObject& dc, std::wstring_view text, TextLine* line) {
    line->font = DeviceFont(dc);
    if (!line->font) return false;
    line->offsets.assign(1, 0);
    line->offsets.reserve(text.size() + 1);
    int x = 0;
    for (wchar_t ch : text) {
        x += line->font->Advance(ch);
        line->offsets.push_back(x);
    }
    return true;
}

int LogicalWidth(const DcObject& dc, int devicePixels) {
    const Mapping& m = dc.state.mapping;
    return m.Scales() ? static_cast<int>(std::lround(devicePixels / std::fabs(m.ScaleX()))) : devicePixels;
}

int LogicalHeight(const DcObject& dc, int devicePixels) {
    const Mapping& m = dc.state.mapping;
    return m.Scales() ? static_cast<int>(std::lround(devicePixels / std::fabs(m.ScaleY()))) : devicePixels;
}

bool ResolveFont(HFONT font, ResolvedFont* resolved) {
    auto* object = FindTyped<FontObject>(font, OBJ_FONT);
    if (!object || !resolved) return false;
    const LOGFONTW& lf = object->logFont;
    const FontRequest request = RequestFor(lf, 1.0, 1.0);
    resolved->family = request.family;
    resolved->pixelSize = request.pixelSize;
    resolved->weight = request.weight;
    resolved->italic = request.italic;
    resolved->underline = lf.lfUnderline != 0;
    resolved->strikeOut = lf.lfStrikeOut != 0;
    resolved->antialiased = request.antialias;
    return true;
}

}  // namespace host::gdi
