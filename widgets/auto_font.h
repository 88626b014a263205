#pragma once
// CAutoFont: a font object that remembers the description (LOGFONTW) of its
// current font and can rebuild itself from a comma-separated text
// description: thirteen numbers, the face name and a trailing number.
//
// A font it is constructed from belongs to the caller and is never deleted
// here; a font it builds from a description is its own.

#include <afxwin.h>

class CAutoFont : public CFont {
public:
    // Uses hFont (not owned) and reads its description.
    explicit CAutoFont(HFONT hFont);
    ~CAutoFont() override;
    CAutoFont(const CAutoFont&) = delete;
    CAutoFont& operator=(const CAutoFont&) = delete;

    // Rebuilds the font from `description` (see NextField for the fields).
    // When the font cannot be created the object holds none until the next
    // successful call.
    void ApplyDescription(CString description);

    // Cuts the field before the first comma off the front of `description`
    // and returns it. Without a comma the field is empty and `description`
    // stays as it is. Nothing is trimmed.
    static CString NextField(CString& description);

    // Reads a decimal number as the C library does: leading white space, an
    // optional sign, then digits up to the first other character; no digits
    // read as 0. Values beyond 32 bits keep their low 32 bits.
    static LONG ParseDecimal(const CString& text);

    LOGFONTW m_lf{};
    // The number after the face name in the last description; unused.
    LONG m_nTrailingValue = 0;

private:
    void ReleaseFont();
    bool m_bOwnsFont = false;
};
