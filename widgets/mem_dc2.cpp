#include "widgets/mem_dc2.h"

CMemDC2::CMemDC2(CDC* pDC, const RECT* rect) : m_pDC(pDC) {
    if (pDC == nullptr) return;  // nothing to draw on: an empty surface
    m_bMemDC = !pDC->IsPrinting();
    if (rect != nullptr) {
        m_rect = *rect;
    } else {
        pDC->GetClipBox(&m_rect);
    }

    if (m_bMemDC) {
        CreateCompatibleDC(pDC);
        pDC->LPtoDP(&m_rect);
        m_bitmap.CreateCompatibleBitmap(pDC, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top);
        m_oldBitmap = SelectObject(&m_bitmap);
        SetMapMode(pDC->GetMapMode());
        SetWindowExt(pDC->GetWindowExt());
        SetViewportExt(pDC->GetViewportExt());
        pDC->DPtoLP(&m_rect);
        SetWindowOrg(m_rect.left, m_rect.top);
    } else {
        // Borrowed: set directly, so the destructor can let go of them.
        m_bPrinting = pDC->m_bPrinting;
        m_hDC = pDC->m_hDC;
        m_hAttribDC = pDC->m_hAttribDC;
    }
    FillSolidRect(&m_rect, pDC->GetBkColor());
}

CMemDC2::~CMemDC2() {
    if (m_pDC == nullptr) return;
    if (m_bMemDC) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, this,
                      m_rect.left, m_rect.top, SRCCOPY);
        if (m_oldBitmap != nullptr) SelectObject(m_oldBitmap);
    } else {
        // The printer's contexts belong to the target.
        m_hDC = nullptr;
        m_hAttribDC = nullptr;
    }
    m_bitmap.DeleteObject();
    // The base destructor deletes the memory context created above.
}
