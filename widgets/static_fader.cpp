#include "widgets/static_fader.h"

#include "widgets/fader_math.h"
#include "widgets/mem_dc2.h"

#include <new>

BEGIN_MESSAGE_MAP(CStaticFader, CStatic)
    ON_WM_TIMER()
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {
// DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX.
constexpr UINT kCaptionFormat = 0x825;
// DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, or'ed with the text alignment.
constexpr UINT kTextFormat = 0x824;

HFONT HandleOf(CFont* pFont) { return pFont != nullptr ? static_cast<HFONT>(pFont->GetSafeHandle()) : nullptr; }

// Selects `font` when there is one; returns what to put back (null: nothing).
CFont* SelectFont(CDC* pDC, CAutoFont* font) { return font != nullptr ? pDC->SelectObject(font) : nullptr; }
}  // namespace

// A font object that could not be allocated stays null: the label then draws
// that string in the surface's current font.
CStaticFader::CStaticFader(CFont* pFont)
    : m_pCaptionFont(new (std::nothrow) CAutoFont(HandleOf(pFont))),
      m_pTextFont(new (std::nothrow) CAutoFont(HandleOf(pFont))) {}

CStaticFader::~CStaticFader() {
    // The window goes first, so no timer tick or paint can reach the fonts.
    if (m_hWnd != nullptr) DestroyWindow();
    delete m_pCaptionFont;
    delete m_pTextFont;
}

void CStaticFader::StartFade(CString text, CString caption, CString captionFontDescription,
                             CString textFontDescription) {
    if (!textFontDescription.IsEmpty() && m_pTextFont) m_pTextFont->ApplyDescription(textFontDescription);
    if (!captionFontDescription.IsEmpty() && m_pCaptionFont) m_pCaptionFont->ApplyDescription(captionFontDescription);
    m_strText = text;
    m_strCaption = caption;
    m_dwFadeStart = ::GetTickCount();
    m_bFadeStarted = true;
    // A label whose window failed shows nothing and needs no timer: one set
    // without a window would be a thread timer that nothing kills.
    if (m_hWnd != nullptr) SetTimer(FADER_TIMER_ID, m_nInterval, nullptr);
}

void CStaticFader::SetTexts(CString text, CString caption) {
    m_strText = text;
    m_strCaption = caption;
    // Without a window there is nothing to redraw (and no window given
    // would mean every window).
    if (m_hWnd != nullptr) InvalidateRect(nullptr, FALSE);
}

COLORREF CStaticFader::FadeColor(COLORREF target) const {
    if (!m_bFadeStarted) return target;
    return fader::FadeColor(::GetTickCount() - m_dwFadeStart, m_nDuration, m_nFadeMode, m_crBackground, target);
}

void CStaticFader::OnTimer(UINT_PTR nIDEvent) {
    const DWORD elapsed = ::GetTickCount() - m_dwFadeStart;
    if (fader::TimerDone(elapsed, m_nDuration, m_nFadeMode)) KillTimer(FADER_TIMER_ID);
    // Also on the tick that stopped the timer: the last frame is at full strength.
    InvalidateRect(nullptr, FALSE);
    CStatic::OnTimer(nIDEvent);
}

void CStaticFader::OnPaint() {
    CPaintDC dc(this);
    GetClientRect(&m_rcClient);
    {
        CMemDC2 surface(&dc, &m_rcClient);
        surface.SetBkMode(TRANSPARENT);
        surface.FillSolidRect(&m_rcClient, m_crBackground);
        const int width = m_rcClient.right - m_rcClient.left;
        if (m_bBorder) DrawFrames(&surface, fader::ComputeLayout(width, 0, true).half);
        DrawTexts(&surface);
    }  // the surface is copied onto the window here, before the paint ends
}

void CStaticFader::DrawFrames(CDC* pDC, int half) {
    const COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const int width = m_rcClient.right - m_rcClient.left;
    const int height = m_rcClient.bottom - m_rcClient.top;
    auto sunken = [&](int x, int w) {
        pDC->FillSolidRect(x, 0, w - 1, 1, dark);           // top edge, x .. x + w − 2
        pDC->FillSolidRect(x, 0, 1, height - 1, dark);      // left edge, rows 0 .. h − 2
        pDC->FillSolidRect(x + w - 1, 0, 1, height, light);  // right edge, rows 0 .. h − 1
        pDC->FillSolidRect(x, height - 1, w, 1, light);     // bottom edge, x .. x + w − 1
    };
    if (m_strCaption.IsEmpty()) {
        sunken(0, width);
    } else {
        sunken(0, half);
        sunken(half, width - half);
    }
}

void CStaticFader::DrawTexts(CDC* pDC) {
    const fader::Layout layout = fader::ComputeLayout(m_rcClient.right - m_rcClient.left,
                                                      m_rcClient.bottom - m_rcClient.top, !m_strCaption.IsEmpty());
    if (!m_strCaption.IsEmpty()) {
        CFont* previous = SelectFont(pDC, m_pCaptionFont);
        pDC->SetTextColor(FadeColor(m_crCaption));
        RECT rect = layout.caption;
        pDC->DrawText(m_strCaption, &rect, kCaptionFormat);
        if (previous) pDC->SelectObject(previous);
    }
    if (m_strText.IsEmpty()) return;
    CFont* previous = SelectFont(pDC, m_pTextFont);
    const UINT format = m_nTextAlign | kTextFormat;
    if (m_bShadow) {
        pDC->SetTextColor(FadeColor(fader::ShadowColor(m_crBackground)));
        RECT rect = layout.shadow;
        pDC->DrawText(m_strText, &rect, format);
    }
    pDC->SetTextColor(FadeColor(m_crText));
    RECT rect = layout.text;
    pDC->DrawText(m_strText, &rect, format);
    if (previous) pDC->SelectObject(previous);
}
