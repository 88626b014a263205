#pragma once
// A legend label of a chart: a fading label in the trace's colour whose
// caption (the trace's name) fades in over one second; its text, on the
// right, stays empty until a feed gives it a value.

#include <afxwin.h>

class CStaticFader;

// Creates the label as a child of `parent` in `rect`. The caller owns the
// returned label (null only when memory runs out).
CStaticFader* CreateLegendLabel(CWnd* parent, CFont* font, const RECT& rect, const CString& name,
                                COLORREF background, COLORREF textColor);
