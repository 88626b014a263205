#include "charts/chart_legend.h"

#include "widgets/static_fader.h"

#include <new>

CStaticFader* CreateLegendLabel(CWnd* parent, CFont* font, const RECT& rect, const CString& name,
                                COLORREF background, COLORREF textColor) {
    auto* label = new (std::nothrow) CStaticFader(font);
    if (label == nullptr) return nullptr;
    label->Create(name, WS_CHILD | WS_VISIBLE, rect, parent, 0xFFFF);
    label->m_crBackground = background;
    label->m_crCaption = textColor;
    label->m_crText = textColor;
    label->m_nInterval = 10;
    label->m_nDuration = 1000;
    label->m_nFadeMode = 0;
    label->m_nTextAlign = DT_RIGHT;
    label->StartFade(CString(), name, CString(), CString());
    return label;
}
