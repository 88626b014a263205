#pragma once
// CMemDC2: an off-screen drawing surface over one rectangle of a target
// context. Drawing lands in a bitmap of the rectangle's size with the
// target's own coordinate mapping; destruction copies the bitmap onto the
// target in one block transfer, so a whole frame shows at once. Over a
// printing context there is nothing to gain and the surface draws on the
// target directly.
//
// A surface lives within one paint; the target must outlive it.

#include <afxwin.h>

class CMemDC2 : public CDC {
public:
    // rect null: the target's clip box.
    explicit CMemDC2(CDC* pDC, const RECT* rect = nullptr);
    ~CMemDC2() override;
    CMemDC2(const CMemDC2&) = delete;
    CMemDC2& operator=(const CMemDC2&) = delete;

    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;
    CDC* m_pDC = nullptr;
    RECT m_rect{};
    BOOL m_bMemDC = FALSE;
};
