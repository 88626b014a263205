#include "qt_bridge.h"

#include "host/gdi.h"

#include <algorithm>

namespace host::user {

QColor SysQColor(int index) { return ToQColor(GetSysColor(index)); }

QFont ToQFont(HFONT font) {
    gdi::ResolvedFont resolved;
    if (!font || !gdi::ResolveFont(font, &resolved)) {
        HGDIOBJ system = GetStockObject(SYSTEM_FONT);
        if (!system || !gdi::ResolveFont(static_cast<HFONT>(system), &resolved)) return QFont();
    }
    QFont qfont(QString::fromStdWString(resolved.family));
    if (resolved.pixelSize > 0) qfont.setPixelSize(resolved.pixelSize);
    qfont.setWeight(static_cast<QFont::Weight>(std::clamp(resolved.weight > 0 ? resolved.weight : FW_NORMAL, 100, 900)));
    qfont.setItalic(resolved.italic);
    qfont.setUnderline(resolved.underline);
    qfont.setStrikeOut(resolved.strikeOut);
    if (!resolved.antialiased) qfont.setStyleStrategy(QFont::NoAntialias);
    return qfont;
}

QImage IconImage(HICON icon) {
    int width = 0;
    int height = 0;
    if (!icon || !gdi::IconSize(icon, &width, &height) || width <= 0 || height <= 0) return QImage();
    const std::uint32_t* pixels = gdi::IconPixels(icon);
    if (!pixels) return QImage();
    // ARGB32 is 0xAARRGGBB per pixel, the icon's own layout; copy it out so
    // the image does not depend on the icon's lifetime.
    return QImage(reinterpret_cast<const uchar*>(pixels), width, height, width * 4, QImage::Format_ARGB32).copy();
}

QString StripMnemonicPrefixes(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < text.size()) result.append(text.at(++i));
            continue;
        }
        result.append(text.at(i));
    }
    return result;
}

}  // namespace host::user
