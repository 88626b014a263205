#pragma once
// CDUVudovCtrl: a strip chart that scrolls right to left like an
// oscilloscope strip. Up to MAX_TRACES traces show as stacked, filled
// bands: each AddSample moves the plot left by m_nStepPixels and draws a new
// slice at the right edge. The owner passes accumulated values (trace i
// carries the sum of bands 0 to i), so band i lies between the lines of
// traces i − 1 and i.
//
// Two off-screen layers: the grid layer (background, frame, labels,
// captions), redrawn when a setting changes, and the plot layer (the
// bands), scrolled at each sample. A paint ORs the plot over the grid, so
// the grid shows through the bands and a trace in the canvas colour is
// invisible.

#include <afxwin.h>

constexpr int MAX_TRACES = 20;

class CDUVudovCtrl : public CWnd {
public:
    CDUVudovCtrl();
    ~CDUVudovCtrl() override;
    CDUVudovCtrl(const CDUVudovCtrl&) = delete;
    CDUVudovCtrl& operator=(const CDUVudovCtrl&) = delete;

    // Creates the window (the owners pass WS_CHILD | WS_VISIBLE and id 0)
    // and draws both layers. Nonzero on success.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Each call below that redraws erases the plotted history.
    void SetValueRange(double lower, double upper);
    void SetCanvasColor(COLORREF color);
    void SetGridColor(COLORREF color);
    void SetGridLabelCount(int count);
    // 1 to MAX_TRACES; no redraw. Counts outside are refused.
    void SetTraceCount(int count);
    // Indexes outside 0 .. MAX_TRACES − 1 are ignored.
    void SetTraceColor(int trace, COLORREF color);
    void SetXCaption(LPCWSTR text);
    void SetYCaption(LPCWSTR text);
    // No redraw: the owner sets it right after Create and a later setter redraws.
    void SetTopDown(bool topDown);

    // One value per trace in use (m_nTraceCount of them), trace 0 first.
    void AddSample(const double* values);
    void RedrawGrid();

    int m_nStepPixels = 4;
    int m_nLabelDecimals = 3;
    int m_nGridLabelCount = 5;
    bool m_bTopDown = false;
    CString m_strXCaption = L"Samples";
    CString m_strYCaption = L"Y units";
    COLORREF m_crCanvas = RGB(0, 0, 0);
    COLORREF m_crGridLines = RGB(0, 255, 255);
    COLORREF m_crTraces[MAX_TRACES];
    double m_dLatest[MAX_TRACES] = {};
    double m_dPrevious[MAX_TRACES] = {};
    int m_nLatestInset = 2;
    int m_nPreviousInset = 6;
    int m_cyClient = 0, m_cxClient = 0;
    int m_cyPlot = 0, m_cxPlot = 0;
    int m_nTraceCount = 1;
    double m_dMin = -10.0;
    double m_dMax = 10.0;
    double m_dSpan = 20.0;
    double m_dPixelsPerUnit = 0.0;
    RECT m_rcArea{};
    RECT m_rcFrame{};
    CPen m_penTraces[MAX_TRACES];
    CBrush m_brushTraces[MAX_TRACES];
    CBrush m_brushCanvas;
    CDC m_dcGridLayer;
    CDC m_dcPlotLayer;
    CBitmap* m_pOldGridLayerBitmap = nullptr;
    CBitmap* m_pOldPlotLayerBitmap = nullptr;
    CBitmap m_bmpGridLayer;
    CBitmap m_bmpPlotLayer;

protected:
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void ScrollPlot();
    void DrawSlice(int trace, int xPrev, int xNew, int* basePrev, int* baseNew);
    int RowOf(double value) const;
    // Creates a client-sized layer when it has no context yet.
    void EnsureLayer(CDC* pClientDC, CDC* pLayer, CBitmap* pBitmap, CBitmap** ppOldBitmap);
    void ReleaseLayer(CDC* pLayer, CBitmap* pBitmap, CBitmap** ppOldBitmap);
    void DrawFrame(CDC* pDC);
    void DrawLabels(CDC* pDC);
    void DrawCaptions(CDC* pDC, CFont* pLabelFont, CFont* pCaptionFont);
};
