// DrawTextW: formatted text in a rectangle. Lines break at CR/LF (unless
// DT_SINGLELINE) and, with DT_WORDBREAK, between words; "&x" underlines x
// unless DT_NOPREFIX ("&&" is a plain "&"); tabs expand to eight average
// character widths with DT_EXPANDTABS. The layout rules follow user32's.

#include "fonts.h"
#include "raster.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace host::gdi {

namespace {

constexpr wchar_t kTab = L'\t', kCr = L'\r', kLf = L'\n', kPrefix = L'&', kSpace = L' ';

// One piece of a line between tabs, and the line it belongs to.
struct Segment {
    std::wstring text;
    int x = 0;  // logical offset from the line's start
};

struct Line {
    std::vector<Segment> segments;
    int width = 0;          // logical
    int prefixSegment = -1;  // where the underlined character is
    int prefixOffset = -1;
};

class Layout {
public:
    Layout(const DcObject& dc, std::wstring_view text, UINT format, int maxWidth, int tabWidth)
        : dc_(dc), text_(text), format_(format), maxWidth_(maxWidth), tabWidth_(std::max(1, tabWidth)) {}

    bool Done() const { return pos_ >= text_.size(); }

    // Takes the next line off the text.
    Line Next() {
        Line line;
        int plen = 0;
        while (!Done()) {
            if (Expanding() && text_[pos_] == kTab) {
                plen = (plen / tabWidth_ + 1) * tabWidth_;
                for (++pos_; !Done() && text_[pos_] == kTab; ++pos_) plen += tabWidth_;
            }
            Segment seg;
            seg.x = plen;
            std::vector<std::size_t> sourceOf;  // source index of each kept character
            int prefix = -1;
            CollectSegment(&seg.text, &sourceOf, &prefix);
            const bool broken = BreakIfTooWide(&seg.text, &sourceOf, static_cast<long long>(maxWidth_) - plen);
            if (prefix >= 0 && prefix < static_cast<int>(seg.text.size()) && line.prefixSegment < 0) {
                line.prefixSegment = static_cast<int>(line.segments.size());
                line.prefixOffset = prefix;
            }
            plen += Measure(seg.text);
            line.segments.push_back(std::move(seg));
            if (broken || Done()) break;
            if (text_[pos_] == kCr || text_[pos_] == kLf) {
                SkipLineEnd();
                break;
            }
            // Otherwise a tab: the line goes on.
        }
        line.width = plen;
        return line;
    }

    int Measure(std::wstring_view s) const {
        TextLine measured;
        if (!LayOutLine(dc_, s, &measured)) return 0;
        return LogicalWidth(dc_, measured.Width());
    }

private:
    bool Expanding() const { return format_ & DT_EXPANDTABS; }
    bool Prefixing() const { return !(format_ & DT_NOPREFIX); }
    bool Breaking() const { return format_ & DT_WORDBREAK; }

    // Copies characters up to the next tab, line end or the end of the text,
    // resolving prefixes.
    void CollectSegment(std::wstring* out, std::vector<std::size_t>* sourceOf, int* prefix) {
        while (!Done()) {
            const wchar_t ch = text_[pos_];
            if (ch == kTab && Expanding()) break;
            if ((ch == kCr || ch == kLf) && !(format_ & DT_SINGLELINE)) break;
            if (Prefixing() && ch == kPrefix && pos_ + 1 < text_.size()) {
                ++pos_;  // the prefix itself is never shown
                if (text_[pos_] != kPrefix && *prefix < 0) *prefix = static_cast<int>(out->size());
                if (text_[pos_] != kPrefix && (text_[pos_] == kTab || text_[pos_] == kCr || text_[pos_] == kLf)) {
                    continue;  // "&" before a tab or line end underlines nothing
                }
            }
            sourceOf->push_back(pos_);
            out->push_back(text_[pos_++]);
        }
    }

    // With DT_WORDBREAK, cuts a segment that does not fit after its last
    // word that does, and moves the text position back to the cut. Returns
    // whether the line ends here.
    bool BreakIfTooWide(std::wstring* seg, std::vector<std::size_t>* sourceOf, long long room) {
        if (!Breaking() || seg->empty() || Measure(*seg) <= room) return false;
        const std::size_t fit = CharsThatFit(*seg, room);
        std::size_t cut = std::wstring::npos;
        for (std::size_t i = std::min(fit, seg->size() - 1) + 1; i-- > 0;) {
            if ((*seg)[i] == kSpace) {
                cut = i;
                break;
            }
        }
        std::size_t keep = 0, resume = 0;
        if (cut != std::wstring::npos && cut > 0) {
            keep = cut;
            resume = cut + 1;  // the space at the break is dropped
            if (format_ & (DT_CENTER | DT_RIGHT)) {
                while (keep > 0 && (*seg)[keep - 1] == kSpace) --keep;
            }
        } else {
            // A single word wider than the rectangle stays whole on its line.
            keep = seg->find(kSpace, cut == 0 ? 1 : 0);
            if (keep == std::wstring::npos) return false;
            resume = keep + 1;
        }
        pos_ = resume < sourceOf->size() ? (*sourceOf)[resume] : pos_;
        seg->resize(keep);
        return true;
    }

    std::size_t CharsThatFit(const std::wstring& seg, long long room) const {
        TextLine measured;
        if (!LayOutLine(dc_, seg, &measured)) return 0;
        std::size_t n = 0;
        while (n < seg.size() && LogicalWidth(dc_, measured.offsets[n + 1]) <= room) ++n;
        return n;
    }

    // CR, LF, CR LF and LF CR each end one line.
    void SkipLineEnd() {
        const wchar_t first = text_[pos_++];
        if (!Done() && (text_[pos_] == kCr || text_[pos_] == kLf) && text_[pos_] != first) ++pos_;
    }

    const DcObject& dc_;
    std::wstring_view text_;
    UINT format_;
    int maxWidth_;
    int tabWidth_;
    std::size_t pos_ = 0;
};

int Held(long long v) { return static_cast<int>(std::clamp<long long>(v, -2147483647LL - 1, 2147483647LL)); }

// Draws one line's segments with (x, y) the line's top-left corner.
void DrawLine(const DrawTarget& target, const Layout& layout, const Line& line, long long x, long long y,
              int ascent, const RECT& deviceClip) {
    const UINT align = target.State().textAlign & ~static_cast<UINT>(TA_UPDATECP);
    for (std::size_t i = 0; i < line.segments.size(); ++i) {
        const Segment& seg = line.segments[i];
        TextLine laid;
        if (!LayOutLine(*target.dc, seg.text, &laid)) return;
        DrawTextLine(target, POINT{Held(x + seg.x), Held(y)}, align, seg.text, laid, deviceClip);
        if (static_cast<int>(i) != line.prefixSegment) continue;
        // The underline of the prefixed character, one pixel below the baseline.
        const std::wstring_view text(seg.text);
        const long long from = x + seg.x + layout.Measure(text.substr(0, line.prefixOffset));
        const long long to = x + seg.x + layout.Measure(text.substr(0, line.prefixOffset + 1)) - 1;
        const RECT under = target.Map().ToDeviceRect(ClampedRect(from, y + ascent + 1, to, y + ascent + 2));
        FillDeviceRect(target.surface, deviceClip, under, RopMasks{0, PixelOf(target.State().textColor)});
    }
}

}  // namespace

}  // namespace host::gdi

using namespace host::gdi;

int WINAPI DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return 0;
    if (!lpchText || !lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    TEXTMETRICW tm;
    if (!GetTextMetricsW(hdc, &tm)) return 0;
    const int lineHeight = tm.tmHeight;
    if (format & DT_SINGLELINE) format &= ~static_cast<UINT>(DT_WORDBREAK);
    if (lpchText[0] && cchText == 0) return lineHeight;
    if (cchText < 0) cchText = static_cast<int>(std::wcslen(lpchText));
    RECT& rect = *lprc;
    if (cchText == 0) {
        if (format & DT_CALCRECT) {
            rect.right = rect.left;
            rect.bottom = rect.top + ((format & DT_SINGLELINE) ? lineHeight : 0);
        }
        return lineHeight;
    }
    if (format & DT_CALCRECT) format |= DT_NOCLIP;

    const RECT deviceClip =
        (format & DT_NOCLIP) ? target.surface.Bounds() : Intersect(target.Map().ToDeviceRect(rect), target.clip);
    Layout layout(*target.dc, std::wstring_view(lpchText, static_cast<std::size_t>(cchText)), format,
                  Held(static_cast<long long>(rect.right) - rect.left), tm.tmAveCharWidth * 8);
    long long x = rect.left, y = rect.top;
    int widest = 0;
    bool lastLine = false;
    do {
        lastLine = !(format & DT_NOCLIP) && y + lineHeight > rect.bottom;
        const Line line = layout.Next();
        const long long left = rect.left, right = rect.right, top = rect.top, bottom = rect.bottom;
        if (format & DT_CENTER) x = (left + right - line.width) / 2;
        else if (format & DT_RIGHT) x = right - line.width;
        if (format & DT_SINGLELINE) {
            if (format & DT_VCENTER) y = top + (bottom - top) / 2 - lineHeight / 2;
            else if (format & DT_BOTTOM) y = bottom - lineHeight;
        }
        if (format & DT_CALCRECT) widest = std::max(widest, line.width);
        else DrawLine(target, layout, line, x, y, tm.tmAscent, deviceClip);
        y += lineHeight;
    } while (!layout.Done() && !lastLine);

    if (format & DT_CALCRECT) {
        rect.right = Held(static_cast<long long>(rect.left) + widest);
        rect.bottom = Held(y);
    }
    const int height = Held(y - rect.top);
    return height == 0 ? 1 : height;
}
