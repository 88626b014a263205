#pragma once
// Translations between Win32 values and Qt's: text, colours, fonts, icons.

#include <windows.h>

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QString>

#include <string>

namespace host::user {

inline QString ToQt(const std::wstring& text) { return QString::fromStdWString(text); }
inline std::wstring FromQt(const QString& text) { return text.toStdWString(); }

inline QColor ToQColor(COLORREF color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }
QColor SysQColor(int index);

// The Qt font that shows the same face, size and style as `font` does when
// drawn through a DC; the system font for a null or unknown handle.
QFont ToQFont(HFONT font);

// The icon's pixels, or a null image for a handle that is not an icon.
QImage IconImage(HICON icon);

// Win32 prefix processing for a static's text: "&x" marks a mnemonic (not
// underlined until the keyboard asks, as on Windows) and "&&" is one "&".
QString StripMnemonicPrefixes(const QString& text);

}  // namespace host::user
