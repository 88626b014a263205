#include "widgets/auto_font.h"

#include <cwchar>
#include <cwctype>

CAutoFont::CAutoFont(HFONT hFont) {
    // The caller's font is borrowed: it is not entered in the framework's
    // map, so no other wrapper of the same handle is disturbed.
    m_hObject = hFont;
    if (hFont == nullptr || ::GetObjectW(hFont, sizeof(LOGFONTW), &m_lf) == 0) m_lf = LOGFONTW{};
}

CAutoFont::~CAutoFont() { ReleaseFont(); }

void CAutoFont::ReleaseFont() {
    if (m_bOwnsFont) {
        DeleteObject();
    } else {
        m_hObject = nullptr;  // borrowed: the base destructor must not delete it
    }
    m_bOwnsFont = false;
}

CString CAutoFont::NextField(CString& description) {
    const int comma = description.Find(L',');
    if (comma < 0) return CString();
    CString field = description.Left(comma);
    description = description.Mid(comma + 1);
    return field;
}

LONG CAutoFont::ParseDecimal(const CString& text) {
    const wchar_t* p = text.GetString();
    while (std::iswspace(static_cast<wint_t>(*p))) ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-') negative = (*p++ == L'-');
    // Accumulate modulo 2^32 so that long digit runs cannot overflow.
    ULONG value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) value = value * 10u + static_cast<ULONG>(*p - L'0');
    if (negative) value = 0u - value;
    return static_cast<LONG>(value);
}

void CAutoFont::ApplyDescription(CString description) {
    LONG* const numbers[] = {&m_lf.lfHeight, &m_lf.lfWidth, &m_lf.lfEscapement, &m_lf.lfOrientation,
                             &m_lf.lfWeight};
    for (LONG* number : numbers) *number = ParseDecimal(NextField(description));
    BYTE* const bytes[] = {&m_lf.lfItalic,       &m_lf.lfUnderline,     &m_lf.lfStrikeOut,
                           &m_lf.lfCharSet,      &m_lf.lfOutPrecision,  &m_lf.lfClipPrecision,
                           &m_lf.lfQuality,      &m_lf.lfPitchAndFamily};
    for (BYTE* byte : bytes) *byte = static_cast<BYTE>(ParseDecimal(NextField(description)) & 0xFF);

    // A face name longer than the record holds is cut to its first 31
    // characters, as the record's zero-terminated field requires.
    const CString face = NextField(description);
    const int kept = face.GetLength() < LF_FACESIZE - 1 ? face.GetLength() : LF_FACESIZE - 1;
    std::wmemset(m_lf.lfFaceName, 0, LF_FACESIZE);
    std::wmemcpy(m_lf.lfFaceName, face.GetString(), static_cast<size_t>(kept));

    ReleaseFont();
    m_bOwnsFont = CreateFontIndirect(&m_lf) != FALSE;
    m_nTrailingValue = ParseDecimal(description);
}
