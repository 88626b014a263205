// The only file of the drawing host that uses Qt.

#include "font_renderer.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>

namespace host::gdi {

namespace {

bool HaveGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

QString ToQString(std::wstring_view text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (wchar_t ch : text) {
        const char32_t cp = static_cast<char32_t>(ch);
        if (cp > 0xFFFF && cp <= 0x10FFFF) {
            out.append(QChar(QChar::highSurrogate(cp)));
            out.append(QChar(QChar::lowSurrogate(cp)));
        } else {
            out.append(QChar(static_cast<char16_t>(cp <= 0xFFFF ? cp : 0xFFFD)));
        }
    }
    return out;
}

QFont BaseFont(const FontRequest& request, int pixelSize) {
    QFont font(QString::fromStdWString(request.family));
    font.setPixelSize(std::max(1, pixelSize));
    const int weight = request.weight <= 0 ? FW_NORMAL : std::clamp(request.weight, 100, 900);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(request.italic);
    font.setKerning(false);  // GDI places glyphs at their own advances
    font.setStyleStrategy(request.antialias ? QFont::PreferAntialias : QFont::NoAntialias);
    return font;
}

}  // namespace

// A glyph's coverage as Qt draws it alone with its pen at (0, 0) on the
// baseline, cut to its ink: `left` and `top` place the ink's first column
// and row relative to the pen.
struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha;  // row-major, width * height
};

struct RenderFont::Impl {
    QFont font;
    FontMetricsPx metrics;
    bool antialias = true;
    mutable std::unordered_map<wchar_t, int> advances;
    // Each character is drawn by Qt once for each quarter turn it is
    // written at; later lines reuse its coverage.
    mutable std::unordered_map<wchar_t, Glyph> glyphs[4];

    const Glyph& GlyphOf(wchar_t ch, int quarterTurns) const;
    void PaintGlyphs(std::wstring_view text, const std::vector<int>& offsets, int penX, int penY, int quarterTurns,
                     Coverage* coverage) const;
    void PaintTurned(std::wstring_view text, const std::vector<int>& offsets, double originX, double originY,
                     double angle, Coverage* coverage) const;
    void PaintDecoration(Decoration decoration, int length, int penX, int penY, Coverage* coverage) const;
};

namespace {

// Qt's source-over of an opaque pen with coverage `a` onto coverage `d`
// (its INTERPOLATE_PIXEL_255 for the alpha channel), so that overlapping
// glyphs add up exactly as when Qt draws them on one canvas.
std::uint8_t Over(unsigned a, unsigned d) {
    if (a == 255) return 255;
    const unsigned t = 255 * a + d * (255 - a);
    return static_cast<std::uint8_t>((t + (t >> 8) + 0x80) >> 8);
}

// Widens the part of the coverage that holds ink by `r` (area-relative).
void Inked(Coverage* coverage, const RECT& r) {
    RECT& inked = coverage->inked;
    if (inked.right <= inked.left || inked.bottom <= inked.top) {
        inked = r;
        return;
    }
    inked = RECT{std::min(inked.left, r.left), std::min(inked.top, r.top), std::max(inked.right, r.right),
                 std::max(inked.bottom, r.bottom)};
}

}  // namespace

const Glyph& RenderFont::Impl::GlyphOf(wchar_t ch, int quarterTurns) const {
    auto& kept = glyphs[quarterTurns];
    auto it = kept.find(ch);
    if (it != kept.end()) return it->second;
    const QString text = ToQString(std::wstring_view(&ch, 1));
    // Room for the whole ink, turned with the text: its bounding box, the
    // cell, and a margin for bearings that the metrics do not tell.
    const QFontMetrics fm(font);
    const int margin = (metrics.ascent + metrics.descent) / 2 + 2;
    QRect upright = fm.boundingRect(text) | QRect(0, -metrics.ascent, std::max(1, fm.horizontalAdvance(text)),
                                                  metrics.ascent + metrics.descent);
    upright.adjust(-margin, -margin, margin, margin);
    QTransform turn;
    turn.rotate(-90.0 * quarterTurns);  // Qt turns clockwise on a y-down canvas
    const QRect area = turn.mapRect(upright);
    QImage canvas(area.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing, antialias);
        painter.setRenderHint(QPainter::Antialiasing, antialias);
        painter.translate(-area.left(), -area.top());
        painter.rotate(-90.0 * quarterTurns);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(0, 0), text);
    }
    QRect ink;
    for (int y = 0; y < canvas.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(row[x]) != 0) ink |= QRect(x, y, 1, 1);
        }
    }
    Glyph glyph;
    if (!ink.isEmpty()) {
        glyph.left = ink.left() + area.left();
        glyph.top = ink.top() + area.top();
        glyph.width = ink.width();
        glyph.height = ink.height();
        glyph.alpha.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
        for (int y = 0; y < glyph.height; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(ink.top() + y));
            for (int x = 0; x < glyph.width; ++x) {
                glyph.alpha[static_cast<std::size_t>(y) * glyph.width + x] =
                    static_cast<std::uint8_t>(qAlpha(row[ink.left() + x]));
            }
        }
    }
    return kept.emplace(ch, std::move(glyph)).first->second;
}

void RenderFont::Impl::PaintGlyphs(std::wstring_view text, const std::vector<int>& offsets, int penX, int penY,
                                   int quarterTurns, Coverage* coverage) const {
    const int w = coverage->area.right - coverage->area.left, h = coverage->area.bottom - coverage->area.top;
    // Where the pen moves as the line advances: right, up, left or down.
    static constexpr int kStepX[4] = {1, 0, -1, 0}, kStepY[4] = {0, -1, 0, 1};
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph& g = GlyphOf(text[i], quarterTurns);
        const int gx = penX + kStepX[quarterTurns] * offsets[i] + g.left;
        const int gy = penY + kStepY[quarterTurns] * offsets[i] + g.top;
        const int x0 = std::max(0, gx), x1 = std::min(w, gx + g.width);
        const int y0 = std::max(0, gy), y1 = std::min(h, gy + g.height);
        if (x0 >= x1 || y0 >= y1) continue;
        Inked(coverage, RECT{x0, y0, x1, y1});
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* src = g.alpha.data() + static_cast<std::size_t>(y - gy) * g.width - gx;
            std::uint8_t* dst = coverage->alpha.data() + static_cast<std::size_t>(y) * w;
            for (int x = x0; x < x1; ++x) {
                if (src[x] != 0) dst[x] = Over(src[x], dst[x]);
            }
        }
    }
}

void RenderFont::Impl::PaintTurned(std::wstring_view text, const std::vector<int>& offsets, double originX,
                                   double originY, double angle, Coverage* coverage) const {
    const int w = coverage->area.right - coverage->area.left, h = coverage->area.bottom - coverage->area.top;
    QImage canvas(w, h, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing, antialias);
        painter.setRenderHint(QPainter::Antialiasing, antialias);
        painter.translate(originX - coverage->area.left, originY - coverage->area.top);
        painter.rotate(-angle);  // Qt turns clockwise on a y-down canvas
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (std::size_t i = 0; i < text.size(); ++i) {
            painter.drawText(QPointF(offsets[i], 0), ToQString(text.substr(i, 1)));
        }
    }
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        std::uint8_t* out = coverage->alpha.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) out[x] = static_cast<std::uint8_t>(qAlpha(row[x]));
    }
}

void RenderFont::Impl::PaintDecoration(Decoration decoration, int length, int penX, int penY,
                                       Coverage* coverage) const {
    const int w = coverage->area.right - coverage->area.left, h = coverage->area.bottom - coverage->area.top;
    auto bar = [&](int top) {
        const int x0 = std::max(0, penX), x1 = std::min(w, penX + length);
        const int y0 = std::max(0, penY + top), y1 = std::min(h, penY + top + metrics.lineThickness);
        if (x0 < x1 && y0 < y1) Inked(coverage, RECT{x0, y0, x1, y1});
        for (int y = y0; y < y1; ++y) {
            std::fill(coverage->alpha.begin() + static_cast<std::ptrdiff_t>(y) * w + x0,
                      coverage->alpha.begin() + static_cast<std::ptrdiff_t>(y) * w + std::max(x0, x1), 255);
        }
    };
    if (decoration.underline) bar(metrics.underlinePosition);
    if (decoration.strikeOut) bar(-metrics.strikeOutPosition);
}

RenderFont::RenderFont() : impl_(std::make_unique<Impl>()) {}
RenderFont::~RenderFont() = default;

std::shared_ptr<RenderFont> RenderFont::Create(const FontRequest& request) {
    if (!HaveGuiApplication()) return nullptr;
    std::shared_ptr<RenderFont> result(new RenderFont());
    Impl& impl = *result->impl_;
    impl.font = BaseFont(request, request.pixelSize);
    impl.antialias = request.antialias;
    if (request.averageWidth > 0) {
        const int natural = std::max(1, QFontMetrics(impl.font).averageCharWidth());
        impl.font.setStretch(std::clamp(request.averageWidth * 100 / natural, 1, 4000));
    }
    const QFontMetrics fm(impl.font);
    FontMetricsPx& m = impl.metrics;
    const bool ownCell = request.emAscent > 0 && request.emDescent > 0;
    m.ascent = ownCell ? static_cast<int>(std::lround(request.emAscent * impl.font.pixelSize())) : fm.ascent();
    m.descent = ownCell ? static_cast<int>(std::lround(request.emDescent * impl.font.pixelSize())) : fm.descent();
    m.internalLeading = std::max(0, m.ascent + m.descent - impl.font.pixelSize());
    m.externalLeading = std::max(0, fm.leading());
    m.aveCharWidth = fm.averageCharWidth();
    m.maxCharWidth = fm.maxWidth();
    m.underlinePosition = fm.underlinePos();
    m.strikeOutPosition = fm.strikeOutPos();
    m.lineThickness = std::max(1, fm.lineWidth());
    const QFontInfo info(impl.font);
    m.fixedPitch = info.fixedPitch();
    m.family = info.family().toStdWString();
    return result;
}

int RenderFont::EmForCellHeight(const FontRequest& request, int cellHeight) {
    if (!HaveGuiApplication() || cellHeight <= 0) return std::max(1, cellHeight);
    if (request.emAscent > 0 && request.emDescent > 0) {
        return std::max(1, static_cast<int>(std::lround(cellHeight / (request.emAscent + request.emDescent))));
    }
    // The cell-to-em ratio of a face, measured once at a large size.
    static std::map<std::tuple<std::wstring, int, bool>, double> ratios;
    const auto key = std::make_tuple(request.family, request.weight, request.italic);
    auto it = ratios.find(key);
    if (it == ratios.end()) {
        constexpr int kProbe = 1000;
        const QFontMetricsF fm(BaseFont(request, kProbe));
        const double cell = fm.ascent() + fm.descent();
        it = ratios.emplace(key, cell > 0 ? cell / kProbe : 1.0).first;
    }
    return std::max(1, static_cast<int>(std::lround(cellHeight / it->second)));
}

const FontMetricsPx& RenderFont::Metrics() const { return impl_->metrics; }

int RenderFont::Advance(wchar_t ch) const {
    auto it = impl_->advances.find(ch);
    if (it != impl_->advances.end()) return it->second;
    const int advance = QFontMetrics(impl_->font).horizontalAdvance(ToQString(std::wstring_view(&ch, 1)));
    impl_->advances.emplace(ch, advance);
    return advance;
}

namespace {

// 0 to 3 for a line turned by a whole number of quarter turns
// counter-clockwise, -1 for any other angle.
int QuarterTurns(double angle) {
    const double turns = angle / 90.0;
    if (turns != std::floor(turns)) return -1;
    return static_cast<int>(((static_cast<long long>(turns) % 4) + 4) % 4);
}

}  // namespace

void RenderFont::PaintTurnedDecoration(const Impl& impl, Decoration decoration, int length, double penX, double penY,
                                       double angle, Coverage* coverage) {
    const int w = coverage->area.right - coverage->area.left, h = coverage->area.bottom - coverage->area.top;
    QImage bars(w, h, QImage::Format_ARGB32_Premultiplied);
    bars.fill(Qt::transparent);
    QPainter painter(&bars);
    painter.setRenderHint(QPainter::Antialiasing, impl.antialias);
    painter.translate(penX, penY);
    painter.rotate(-angle);
    const FontMetricsPx& m = impl.metrics;
    if (decoration.underline) painter.fillRect(QRectF(0, m.underlinePosition, length, m.lineThickness), Qt::black);
    if (decoration.strikeOut) painter.fillRect(QRectF(0, -m.strikeOutPosition, length, m.lineThickness), Qt::black);
    painter.end();
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(bars.constScanLine(y));
        std::uint8_t* out = coverage->alpha.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x])) out[x] = Over(qAlpha(row[x]), out[x]);
        }
    }
}

void RenderFont::Paint(std::wstring_view text, const std::vector<int>& offsets, double originX, double originY,
                       double angle, Decoration decoration, Coverage* coverage) const {
    const int w = coverage->area.right - coverage->area.left, h = coverage->area.bottom - coverage->area.top;
    coverage->alpha.assign(static_cast<std::size_t>(std::max(0, w)) * std::max(0, h), 0);
    coverage->inked = RECT{0, 0, 0, 0};
    if (w <= 0 || h <= 0 || offsets.size() < text.size() + 1) return;
    const double penX = originX - coverage->area.left, penY = originY - coverage->area.top;
    const int quarterTurns = QuarterTurns(angle);
    const bool onGrid = penX == std::floor(penX) && penY == std::floor(penY);
    const bool decorated = decoration.underline || decoration.strikeOut;
    if (quarterTurns < 0 || !onGrid || (decorated && quarterTurns != 0)) {
        // Text at other angles, off the pixel grid, or turned and underlined:
        // Qt draws the whole line.
        impl_->PaintTurned(text, offsets, originX, originY, angle, coverage);
        coverage->inked = RECT{0, 0, w, h};
        if (decorated) PaintTurnedDecoration(*impl_, decoration, offsets[text.size()], penX, penY, angle, coverage);
        return;
    }
    const int x = static_cast<int>(penX), y = static_cast<int>(penY);
    impl_->PaintGlyphs(text, offsets, x, y, quarterTurns, coverage);
    impl_->PaintDecoration(decoration, offsets[text.size()], x, y, coverage);
}

}  // namespace host::gdi
