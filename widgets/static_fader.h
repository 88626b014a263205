#pragma once
// CStaticFader: a child-window label showing a caption on the left and a
// text on the right on a flat background, inside optional sunken frames.
// StartFade makes new strings emerge from the background colour and reach
// their own colours over m_nDuration milliseconds, redrawn from a timer
// every m_nInterval milliseconds; SetTexts simply replaces the strings.
// Every frame is drawn off-screen and copied in one step.
//
// The owner creates the window (CStatic::Create, id 0xFFFF), sets the
// public members, then starts the first fade.

#include <afxwin.h>

#include "widgets/auto_font.h"

constexpr UINT_PTR FADER_TIMER_ID = 500;

class CStaticFader : public CStatic {
public:
    // pFont belongs to the caller and must outlive the label.
    explicit CStaticFader(CFont* pFont);
    ~CStaticFader() override;
    CStaticFader(const CStaticFader&) = delete;
    CStaticFader& operator=(const CStaticFader&) = delete;

    // New strings that fade in from the background; non-empty font
    // descriptions rebuild the text and caption fonts first.
    void StartFade(CString text, CString caption, CString captionFontDescription, CString textFontDescription);
    // New strings without a new fade: a fade in progress goes on.
    void SetTexts(CString text, CString caption);
    // The colour a string of full-strength colour `target` is drawn in now.
    COLORREF FadeColor(COLORREF target) const;

    UINT m_nTextAlign = DT_CENTER;
    bool m_bBorder = true;
    bool m_bShadow = false;
    COLORREF m_crCaption = RGB(0, 0, 60);
    COLORREF m_crText = RGB(0, 0, 60);
    CAutoFont* m_pCaptionFont = nullptr;
    CAutoFont* m_pTextFont = nullptr;
    CString m_strCaption;
    CString m_strText;
    COLORREF m_crBackground = RGB(210, 210, 210);
    RECT m_rcClient{};
    DWORD m_dwFadeStart = 0;
    UINT m_nInterval = 10;
    UINT m_nDuration = 1000;
    int m_nFadeMode = 0;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    void DrawFrames(CDC* pDC, int half);
    void DrawTexts(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    // Before the first fade the strings show at full strength.
    bool m_bFadeStarted = false;
};
