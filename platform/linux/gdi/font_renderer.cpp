// The only file of the drawing host that uses Qt.

#include "font_renderer.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

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

struct RenderFont::Impl {
    QFont font;
    FontMetricsPx metrics;
    bool antialias = true;
    mutable std::unordered_map<wchar_t, int> advances;
};

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

void RenderFont::Paint(std::wstring_view text, const std::vector<int>& offsets, double originX, double originY,
                       double angle, Decoration decoration, Coverage* coverage) const {
    const int w = coverage->area.right - coverage->area.left, h = coverage->area.bottom - coverage->area.top;
    coverage->alpha.assign(static_cast<std::size_t>(std::max(0, w)) * std::max(0, h), 0);
    if (w <= 0 || h <= 0 || offsets.size() < text.size() + 1) return;
    QImage canvas(w, h, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing, impl_->antialias);
        painter.setRenderHint(QPainter::Antialiasing, impl_->antialias);
        painter.translate(originX - coverage->area.left, originY - coverage->area.top);
        painter.rotate(-angle);  // Qt turns clockwise on a y-down canvas
        painter.setFont(impl_->font);
        painter.setPen(Qt::black);
        for (std::size_t i = 0; i < text.size(); ++i) {
            painter.drawText(QPointF(offsets[i], 0), ToQString(text.substr(i, 1)));
        }
        const FontMetricsPx& m = impl_->metrics;
        const double length = offsets[text.size()];
        if (decoration.underline) painter.fillRect(QRectF(0, m.underlinePosition, length, m.lineThickness), Qt::black);
        if (decoration.strikeOut) {
            painter.fillRect(QRectF(0, -m.strikeOutPosition, length, m.lineThickness), Qt::black);
        }
    }
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        std::uint8_t* out = coverage->alpha.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) out[x] = static_cast<std::uint8_t>(qAlpha(row[x]));
    }
}

}  // namespace host::gdi
