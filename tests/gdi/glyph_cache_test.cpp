// The renderer draws each character once and reuses its coverage. Text
// drawn that way must equal, pixel for pixel, what Qt draws when it puts the
// same glyphs at the same pen positions on one canvas, overlapping glyphs
// included (a large italic "ffff" overlaps every neighbour), upright and
// turned by quarter turns (the charts' captions read upward).

#include "gdi/gdi_test_support.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <string>
#include <vector>

namespace {

using gdi_test::Canvas;

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

struct Case {
    const wchar_t* face;
    int height;  // em height in pixels (negative lfHeight)
    bool italic;
    const wchar_t* text;
    int escapement = 0;  // tenths of a degree, counter-clockwise
};

// Qt's own drawing: each character at its GDI pen position along the
// turned baseline from (x, y), all on one canvas, as coverage (alpha).
std::vector<int> QtCoverage(HFONT font, const std::wstring& text, const std::vector<int>& advances, int x, int y,
                            int escapement, int width, int height) {
    host::gdi::ResolvedFont resolved;
    EXPECT_TRUE(host::gdi::ResolveFont(font, &resolved));
    QFont qfont(QString::fromStdWString(resolved.family));
    qfont.setPixelSize(resolved.pixelSize);
    qfont.setWeight(static_cast<QFont::Weight>(resolved.weight));
    qfont.setItalic(resolved.italic);
    qfont.setKerning(false);
    qfont.setStyleStrategy(QFont::PreferAntialias);
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(x, y);
    painter.rotate(-escapement / 10.0);
    painter.setFont(qfont);
    painter.setPen(Qt::black);
    for (std::size_t i = 0; i < text.size(); ++i) {
        painter.drawText(QPointF(advances[i], 0), QString(QChar(static_cast<char16_t>(text[i]))));
    }
    painter.end();
    std::vector<int> alpha;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) alpha.push_back(qAlpha(canvas.pixel(x, y)));
    }
    return alpha;
}

class GlyphCacheTest : public gdi_test::NoLeaks, public testing::WithParamInterface<Case> {};

TEST_P(GlyphCacheTest, CachedGlyphsDrawAsQtDrawsTheLine) {
    const Case& c = GetParam();
    constexpr int kWidth = 320, kHeight = 320, kX = 60, kBaseline = 260;
    HFONT font = CreateFontW(-c.height, 0, c.escapement, 0, FW_NORMAL, c.italic, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, c.face);
    const std::wstring text = c.text;
    Canvas canvas(kWidth, kHeight, kWhite);
    std::vector<int> pens;
    {
        const HGDIOBJ previous = SelectObject(canvas.dc(), font);
        for (std::size_t i = 0; i <= text.size(); ++i) {
            SIZE extent{};
            GetTextExtentPoint32W(canvas.dc(), text.c_str(), static_cast<int>(i), &extent);
            pens.push_back(extent.cx);
        }
        SetBkMode(canvas.dc(), TRANSPARENT);
        SetTextColor(canvas.dc(), kBlack);
        SetTextAlign(canvas.dc(), TA_BASELINE | TA_LEFT);
        // Twice: the second line comes from the cache the first one filled.
        EXPECT_TRUE(TextOutW(canvas.dc(), kX, kBaseline, text.c_str(), static_cast<int>(text.size())));
        canvas.Fill(kWhite);
        EXPECT_TRUE(TextOutW(canvas.dc(), kX, kBaseline, text.c_str(), static_cast<int>(text.size())));
        SelectObject(canvas.dc(), previous);
    }
    const std::vector<int> expected = QtCoverage(font, text, pens, kX, kBaseline, c.escapement, kWidth, kHeight);
    int inked = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // Black on white: each channel is 255 minus the coverage.
            const int coverage = 255 - GetRValue(canvas.At(x, y));
            inked += coverage > 0;
            EXPECT_EQ(coverage, expected[static_cast<std::size_t>(y) * kWidth + x]) << "at (" << x << ", " << y << ")";
            if (HasFailure()) break;
        }
    }
    EXPECT_GT(inked, 100);
    DeleteObject(font);
}

INSTANTIATE_TEST_SUITE_P(Faces, GlyphCacheTest,
                         testing::Values(Case{L"Times New Roman", 40, true, L"ffff fjord"},
                                         Case{L"Courier New", 14, false, L"Total RAM = 8192.00 MB"},
                                         Case{L"Arial", 24, false, L"AVAWAY Tr Ty"},
                                         Case{L"Courier New", 14, false, L"Reads/period", 900},
                                         Case{L"Times New Roman", 40, true, L"ffff", 1800},
                                         Case{L"Arial", 24, false, L"Down we go", 2700}));

}  // namespace
