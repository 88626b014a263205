#include "charts/duvudov_ctrl.h"

#include "charts/strip_chart_math.h"

BEGIN_MESSAGE_MAP(CDUVudovCtrl, CWnd)
    ON_WM_PAINT()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CDUVudovCtrl::CDUVudovCtrl() {
    for (int i = 0; i < MAX_TRACES; ++i) {
        m_crTraces[i] = RGB(255, 255, 255);
        m_penTraces[i].CreatePen(PS_SOLID, 0, m_crTraces[i]);
        m_brushTraces[i].CreateSolidBrush(m_crTraces[i]);
    }
    m_brushCanvas.CreateSolidBrush(m_crCanvas);
}

CDUVudovCtrl::~CDUVudovCtrl() {
    // The window goes first, so no paint can reach the layers being released.
    if (m_hWnd != nullptr) DestroyWindow();
    ReleaseLayer(&m_dcGridLayer, &m_bmpGridLayer, &m_pOldGridLayerBitmap);
    ReleaseLayer(&m_dcPlotLayer, &m_bmpPlotLayer, &m_pOldPlotLayerBitmap);
    // Pens, brushes and strings release themselves.
}

BOOL CDUVudovCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    LPCWSTR className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, nullptr, nullptr, nullptr);
    const BOOL created = CreateEx(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, className, nullptr, dwStyle, rect,
                                  pParentWnd, nID);
    if (created) RedrawGrid();
    return created;
}

// ---- settings ------------------------------------------------------------------

void CDUVudovCtrl::SetValueRange(double lower, double upper) {
    m_nLabelDecimals = 0;
    m_dMax = upper;
    m_dMin = lower;
    m_dSpan = upper - lower;
    m_dPixelsPerUnit = m_cyPlot / m_dSpan;
    RedrawGrid();
}

void CDUVudovCtrl::SetCanvasColor(COLORREF color) {
    m_crCanvas = color;
    m_brushCanvas.DeleteObject();
    m_brushCanvas.CreateSolidBrush(color);
    RedrawGrid();
}

void CDUVudovCtrl::SetGridColor(COLORREF color) {
    m_crGridLines = color;
    RedrawGrid();
}

void CDUVudovCtrl::SetGridLabelCount(int count) {
    m_nGridLabelCount = count;
    RedrawGrid();
}

void CDUVudovCtrl::SetTraceCount(int count) {
    if (count < 1 || count > MAX_TRACES) return;
    m_nTraceCount = count;
}

void CDUVudovCtrl::SetTraceColor(int trace, COLORREF color) {
    if (trace < 0 || trace >= MAX_TRACES) return;
    m_crTraces[trace] = color;
    m_penTraces[trace].DeleteObject();
    m_penTraces[trace].CreatePen(PS_SOLID, 0, color);
    m_brushTraces[trace].DeleteObject();
    m_brushTraces[trace].CreateSolidBrush(color);
    RedrawGrid();
}

void CDUVudovCtrl::SetXCaption(LPCWSTR text) {
    m_strXCaption = text;
    RedrawGrid();
}

void CDUVudovCtrl::SetYCaption(LPCWSTR text) {
    m_strYCaption = text;
    RedrawGrid();
}

void CDUVudovCtrl::SetTopDown(bool topDown) { m_bTopDown = topDown; }

// ---- geometry and layers ------------------------------------------------------------

void CDUVudovCtrl::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    const bool hasLayers = m_dcGridLayer.GetSafeHdc() != nullptr || m_dcPlotLayer.GetSafeHdc() != nullptr;
    RECT area{};
    GetClientRect(&area);
    // A size message that brings no new size leaves the frame as the grid
    // was drawn around it: resetting it here would move the plot over the
    // label column until the next redraw.
    if (hasLayers && area.right - area.left == m_cxClient && area.bottom - area.top == m_cyClient) return;
    m_rcArea = area;
    m_cyClient = m_rcArea.bottom - m_rcArea.top;
    m_cxClient = m_rcArea.right - m_rcArea.left;
    m_rcFrame = {20, 10, m_rcArea.right - 10, m_rcArea.bottom - 25};
    m_cyPlot = m_rcFrame.bottom - m_rcFrame.top;
    m_cxPlot = m_rcFrame.right - m_rcFrame.left;
    m_dPixelsPerUnit = m_cyPlot / m_dSpan;

    // A chart whose size changes after its layers exist gets new layers of
    // the new size, drawn at once: a grid and plot cut to the old size would
    // leave part of the window unpainted. The history starts again.
    if (hasLayers) {
        ReleaseLayer(&m_dcGridLayer, &m_bmpGridLayer, &m_pOldGridLayerBitmap);
        ReleaseLayer(&m_dcPlotLayer, &m_bmpPlotLayer, &m_pOldPlotLayerBitmap);
        RedrawGrid();
    }
}

void CDUVudovCtrl::EnsureLayer(CDC* pClientDC, CDC* pLayer, CBitmap* pBitmap, CBitmap** ppOldBitmap) {
    if (pLayer->GetSafeHdc() != nullptr) return;
    if (!pLayer->CreateCompatibleDC(pClientDC)) return;
    pBitmap->CreateCompatibleBitmap(pClientDC, m_cxClient, m_cyClient);
    *ppOldBitmap = pLayer->SelectObject(pBitmap);
}

void CDUVudovCtrl::ReleaseLayer(CDC* pLayer, CBitmap* pBitmap, CBitmap** ppOldBitmap) {
    if (pLayer->GetSafeHdc() != nullptr && *ppOldBitmap != nullptr) pLayer->SelectObject(*ppOldBitmap);
    *ppOldBitmap = nullptr;
    pBitmap->DeleteObject();
    pLayer->DeleteDC();
}

// ---- the grid layer ------------------------------------------------------------------

void CDUVudovCtrl::RedrawGrid() {
    if (m_hWnd == nullptr) return;  // nothing to draw for yet
    CClientDC clientDC(this);
    const double factor = strip_chart::DisplayFactor(
        clientDC.GetSafeHdc() != nullptr ? clientDC.GetDeviceCaps(LOGPIXELSX) : 0);
    EnsureLayer(&clientDC, &m_dcGridLayer, &m_bmpGridLayer, &m_pOldGridLayerBitmap);
    CDC* grid = &m_dcGridLayer;
    grid->SetBkColor(m_crCanvas);
    grid->FillRect(&m_rcArea, &m_brushCanvas);

    m_rcFrame.left = strip_chart::FrameLeft(m_rcArea.left, m_nLabelDecimals, m_dMin, m_dMax, factor);
    m_cxPlot = m_rcFrame.right - m_rcFrame.left;
    const strip_chart::FrameRows rows = strip_chart::FrameTopBottom(m_bTopDown, m_rcArea.bottom, factor);
    m_rcFrame.top = rows.top;
    m_rcFrame.bottom = rows.bottom;
    m_cyPlot = rows.bottom - rows.top;
    m_dPixelsPerUnit = m_cyPlot / m_dSpan;

    DrawFrame(grid);
    const int fontHeight = static_cast<int>(14 * factor);
    CFont labelFont, captionFont;
    labelFont.CreateFont(fontHeight, 0, 0, 0, 300, FALSE, FALSE, FALSE, 0, 0, 0, 0, FF_SWISS, L"Courier New");
    captionFont.CreateFont(fontHeight, 0, 900, 0, 300, FALSE, FALSE, FALSE, 0, 0, 0, 0, FF_SWISS, L"Courier New");
    CFont* previousFont = grid->SelectObject(&labelFont);
    grid->SetTextColor(m_crGridLines);
    DrawLabels(grid);
    grid->SelectObject(previousFont);
    DrawCaptions(grid, &labelFont, &captionFont);

    EnsureLayer(&clientDC, &m_dcPlotLayer, &m_bmpPlotLayer, &m_pOldPlotLayerBitmap);
    m_dcPlotLayer.SetBkColor(m_crCanvas);
    m_dcPlotLayer.FillRect(&m_rcArea, &m_brushCanvas);
    InvalidateRect(&m_rcArea, TRUE);
}

void CDUVudovCtrl::DrawFrame(CDC* pDC) {
    CPen pen(PS_SOLID, 0, m_crGridLines);
    CPen* previous = pDC->SelectObject(&pen);
    const RECT& f = m_rcFrame;
    pDC->MoveTo(f.left, f.top);
    pDC->LineTo(f.right + 1, f.top);
    pDC->LineTo(f.right + 1, f.bottom + 1);
    pDC->LineTo(f.left, f.bottom + 1);
    pDC->LineTo(f.left, f.top);
    pDC->SelectObject(previous);
}

void CDUVudovCtrl::DrawLabels(CDC* pDC) {
    const int count = m_nGridLabelCount;
    const RECT& f = m_rcFrame;
    for (int i = 0; i < count; ++i) {
        const int y = strip_chart::LabelRow(i, count, f.top, f.bottom, m_bTopDown);
        if (strip_chart::RowHasDots(i, count)) {
            for (int x = f.left; x < f.right; x += 4) pDC->SetPixel(x, y, m_crGridLines);
        }
        pDC->SetTextAlign(strip_chart::LabelAlign(i, count, m_bTopDown));
        const double value = strip_chart::LabelValue(i, count, m_dMin, m_dMax);
        pDC->TextOut(f.left - 4, y, strip_chart::FormatLabel(value, m_nLabelDecimals));
    }
}

void CDUVudovCtrl::DrawCaptions(CDC* pDC, CFont* pLabelFont, CFont* pCaptionFont) {
    const RECT& f = m_rcFrame;
    CFont* previous = pDC->SelectObject(pLabelFont);
    const int x = (f.left + f.right) / 2;
    if (m_bTopDown) {
        pDC->SetTextAlign(TA_CENTER | TA_BASELINE);
        pDC->TextOut(x, f.top - 4, m_strXCaption);
    } else {
        pDC->SetTextAlign(TA_CENTER | TA_TOP);
        pDC->TextOut(x, f.bottom + 4, m_strXCaption);
    }
    pDC->SelectObject(pCaptionFont);
    pDC->SetTextAlign(TA_CENTER | TA_BASELINE);
    pDC->TextOut(m_rcArea.left + 10, (f.top + f.bottom) / 2, m_strYCaption);
    pDC->SelectObject(previous);
}

// ---- samples --------------------------------------------------------------------------

void CDUVudovCtrl::AddSample(const double* values) {
    if (values == nullptr) return;
    for (int i = 0; i < m_nTraceCount; ++i) {
        double value = values[i];
        if (value < m_dMin) value = m_dMin;
        if (value > m_dMax) value = m_dMax;
        m_dLatest[i] = value;
    }
    ScrollPlot();
    if (m_hWnd != nullptr) Invalidate(TRUE);
}

int CDUVudovCtrl::RowOf(double value) const {
    return strip_chart::ValueToRow(value, m_dMin, m_dPixelsPerUnit, m_rcFrame.top, m_rcFrame.bottom, m_bTopDown);
}

void CDUVudovCtrl::ScrollPlot() {
    if (m_dcPlotLayer.GetSafeHdc() == nullptr) return;
    const RECT& f = m_rcFrame;
    m_dcPlotLayer.BitBlt(f.left, f.top + 1, m_cxPlot, m_cyPlot, &m_dcPlotLayer, f.left + m_nStepPixels, f.top + 1,
                         SRCCOPY);
    const RECT strip = {f.right - m_nStepPixels, f.top, f.right, f.bottom};
    m_dcPlotLayer.FillRect(&strip, &m_brushCanvas);

    const int xPrev = f.right - m_nPreviousInset;
    const int xNew = f.right - m_nLatestInset;
    int basePrev = m_bTopDown ? f.top : f.bottom;
    int baseNew = basePrev;
    for (int i = 0; i < m_nTraceCount; ++i) DrawSlice(i, xPrev, xNew, &basePrev, &baseNew);
}

void CDUVudovCtrl::DrawSlice(int trace, int xPrev, int xNew, int* basePrev, int* baseNew) {
    const RECT& f = m_rcFrame;
    const int yPrev = RowOf(m_dPrevious[trace]);
    const int yNew = RowOf(m_dLatest[trace]);
    CDC& plot = m_dcPlotLayer;
    CPen* previousPen = plot.SelectObject(&m_penTraces[trace]);
    plot.SelectObject(&m_brushTraces[trace]);
    plot.SetPolyFillMode(ALTERNATE);
    const POINT corners[4] = {{xPrev, yPrev}, {xPrev, *basePrev}, {xNew, *baseNew}, {xNew, yNew}};
    plot.Polygon(corners, 4);
    *basePrev = yPrev;
    *baseNew = yNew;
    plot.SelectObject(previousPen);
    // Outlines that reach the frame's edges are cut back to the canvas there.
    if (yPrev <= f.top || yNew <= f.top) {
        const RECT above = {xPrev, m_rcArea.top, xNew + 1, f.top + 1};
        plot.FillRect(&above, &m_brushCanvas);
    }
    if (yPrev >= f.bottom || yNew >= f.bottom) {
        const RECT below = {xPrev, f.bottom + 1, xNew + 1, m_rcArea.bottom + 1};
        plot.FillRect(&below, &m_brushCanvas);
    }
    m_dPrevious[trace] = m_dLatest[trace];
}

// ---- painting --------------------------------------------------------------------------

void CDUVudovCtrl::OnPaint() {
    CPaintDC dc(this);
    CDC composed;
    CBitmap bitmap;
    if (!composed.CreateCompatibleDC(&dc)) return;
    bitmap.CreateCompatibleBitmap(&dc, m_cxClient, m_cyClient);
    CBitmap* previous = composed.SelectObject(&bitmap);
    composed.BitBlt(0, 0, m_cxClient, m_cyClient, &m_dcGridLayer, 0, 0, SRCCOPY);
    composed.BitBlt(0, 0, m_cxClient, m_cyClient, &m_dcPlotLayer, 0, 0, SRCPAINT);
    dc.BitBlt(0, 0, m_cxClient, m_cyClient, &composed, 0, 0, SRCCOPY);
    if (previous != nullptr) composed.SelectObject(previous);
}
