// The strip chart in a real window, read back pixel by pixel.

#include "charts/duvudov_ctrl.h"

#include "charts/strip_chart_math.h"

#include <gtest/gtest.h>

#include "host/gdi.h"
#include "host/scripted_machine.h"
#include "host/user.h"

#include <memory>

namespace {

constexpr COLORREF kCanvas = RGB(0, 0, 32);
constexpr COLORREF kGrid = RGB(0, 255, 0);

class StripChartTest : public ::testing::Test {
protected:
    void SetUp() override { host::SetActiveMachine(&machine); }
    void TearDown() override {
        chart.reset();
        host::user::ProcessEvents();
        AfxUnlockTempMaps();
        host::SetActiveMachine(nullptr);
    }

    void Make(int width = 400, int height = 200) {
        chart = std::make_unique<CDUVudovCtrl>();
        const RECT rect = {0, 0, width, height};
        ASSERT_TRUE(chart->Create(WS_POPUP | WS_VISIBLE, rect, nullptr, 0));
    }
    const host::PixelBuffer& GridLayer() const { return *host::gdi::TargetBuffer(chart->m_dcGridLayer); }
    const host::PixelBuffer& PlotLayer() const { return *host::gdi::TargetBuffer(chart->m_dcPlotLayer); }
    host::PixelBuffer Screen() {
        chart->UpdateWindow();
        const host::PixelBuffer* buffer = host::user::WindowBuffer(chart->GetSafeHwnd());
        return buffer != nullptr ? *buffer : host::PixelBuffer{};
    }
    // Pixels other than the canvas in the rectangle [left, right) × [top, bottom).
    static int Inked(const host::PixelBuffer& buffer, COLORREF canvas, int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) count += buffer.At(x, y) != host::PixelFromColor(canvas);
        }
        return count;
    }
    int Row(double value) const {
        return strip_chart::ValueToRow(value, chart->m_dMin, chart->m_dPixelsPerUnit, chart->m_rcFrame.top,
                                       chart->m_rcFrame.bottom, chart->m_bTopDown);
    }

    host::ScriptedMachine machine;
    std::unique_ptr<CDUVudovCtrl> chart;
};

TEST_F(StripChartTest, DefaultFrameAndLabels) {
    Make();
    const RECT& f = chart->m_rcFrame;
    EXPECT_EQ(f.left, 48);
    EXPECT_EQ(f.top, 10);
    EXPECT_EQ(f.bottom, chart->m_cyClient - 25);
    EXPECT_EQ(f.right, chart->m_cxClient - 10);
    const host::PixelBuffer& grid = GridLayer();
    const auto line = host::PixelFromColor(RGB(0, 255, 255));
    EXPECT_EQ(grid.At(48, 10), line);              // frame corner
    EXPECT_EQ(grid.At(f.right + 1, f.bottom), line);  // right edge one column out
    EXPECT_EQ(grid.At(60, f.bottom + 1), line);    // bottom edge one row down
    const int middle = strip_chart::LabelRow(2, 5, f.top, f.bottom, false);
    EXPECT_EQ(grid.At(52, middle), line);  // a grid dot every 4 pixels
    EXPECT_EQ(grid.At(54, middle), host::PixelFromColor(RGB(0, 0, 0)));
    // Each label is drawn right-aligned 4 pixels left of the frame.
    EXPECT_GT(Inked(grid, RGB(0, 0, 0), 30, f.top, 44, f.top + 14), 0);
    EXPECT_GT(Inked(grid, RGB(0, 0, 0), 30, middle - 10, 44, middle), 0);
    EXPECT_EQ(Inked(grid, RGB(0, 0, 0), 44, f.top + 1, 48, f.bottom), 0);
}

TEST_F(StripChartTest, RangesSetTheFrameLeft) {
    Make();
    chart->SetYCaption(L"");
    chart->SetGridLabelCount(4);
    chart->SetValueRange(0, 100);
    EXPECT_EQ(chart->m_nLabelDecimals, 0);
    EXPECT_EQ(chart->m_rcFrame.left, 36);
    EXPECT_DOUBLE_EQ(chart->m_dPixelsPerUnit, (chart->m_rcFrame.bottom - chart->m_rcFrame.top) / 100.0);
    chart->SetValueRange(0, 16384);
    EXPECT_EQ(chart->m_rcFrame.left, 48);
}

TEST_F(StripChartTest, TopDownPutsTheLowerBoundOnTopAndTheCaptionAbove) {
    Make();
    chart->SetTopDown(true);
    chart->SetYCaption(L"");
    chart->SetValueRange(0, 100);
    const RECT& f = chart->m_rcFrame;
    EXPECT_EQ(f.top, 25);
    EXPECT_EQ(f.bottom, chart->m_cyClient - 10);
    EXPECT_EQ(Row(0), f.top);
    EXPECT_EQ(Row(100), f.bottom);
    const host::PixelBuffer& grid = GridLayer();
    const int centre = (f.left + f.right) / 2;
    EXPECT_GT(Inked(grid, RGB(0, 0, 0), centre - 30, 0, centre + 30, f.top - 4), 0);  // caption above
    EXPECT_EQ(Inked(grid, RGB(0, 0, 0), f.left + 1, f.bottom + 2, f.right, chart->m_cyClient), 0);
}

TEST_F(StripChartTest, OneLabelAndNone) {
    Make();
    chart->SetYCaption(L"");
    chart->SetGridLabelCount(1);
    const RECT& f = chart->m_rcFrame;
    EXPECT_GT(Inked(GridLayer(), RGB(0, 0, 0), 30, f.top, 44, f.top + 14), 0);
    EXPECT_EQ(Inked(GridLayer(), RGB(0, 0, 0), 0, f.top + 20, 44, f.bottom + 2), 0);
    chart->SetGridLabelCount(0);
    EXPECT_EQ(Inked(GridLayer(), RGB(0, 0, 0), 0, 0, 44, f.bottom + 2), 0);
}

TEST_F(StripChartTest, DoubleDensityDoublesFontsAndFrameLeft) {
    machine.SetDotsPerInch(192);
    Make();
    const RECT& f = chart->m_rcFrame;
    EXPECT_EQ(f.left, 96);
    EXPECT_EQ(f.bottom, chart->m_cyClient - 25 - 15);
    EXPECT_EQ(chart->m_cyPlot, f.bottom - f.top);
    EXPECT_DOUBLE_EQ(chart->m_dPixelsPerUnit, chart->m_cyPlot / 20.0);
    EXPECT_EQ(Row(-10), f.bottom);
    // The label "10.000" at 28 pixels reaches further down than 14 would.
    EXPECT_GT(Inked(GridLayer(), RGB(0, 0, 0), 40, f.top + 16, 92, f.top + 26), 0);
}

TEST_F(StripChartTest, FirstSliceStartsFromZeroAndValuesAreClamped) {
    Make();
    chart->SetTraceColor(0, RGB(255, 0, 0));
    const double first = 5.0;
    chart->AddSample(&first);
    const RECT& f = chart->m_rcFrame;
    const int xPrev = f.right - 6, xNew = f.right - 2;
    const auto red = host::PixelFromColor(RGB(255, 0, 0));
    EXPECT_EQ(PlotLayer().At(xPrev, Row(0.0) + 3), red);
    EXPECT_NE(PlotLayer().At(xPrev, Row(0.0) - 12), red);  // clear of the steep outline
    EXPECT_EQ(PlotLayer().At(xNew, Row(5.0) + 1), red);
    EXPECT_NE(PlotLayer().At(xNew, Row(5.0) - 2), red);

    const double above = 50.0;
    chart->AddSample(&above);
    EXPECT_EQ(chart->m_dPrevious[0], 10.0);
    EXPECT_EQ(chart->m_dLatest[0], 10.0);
    EXPECT_EQ(PlotLayer().At(xNew, f.top + 1), red);  // drawn at the upper bound
    // The slice before has moved 4 pixels left.
    EXPECT_EQ(PlotLayer().At(xNew - 4, Row(5.0) + 1), red);
    const double below = -50.0;
    chart->AddSample(&below);
    EXPECT_EQ(chart->m_dPrevious[0], -10.0);
}

TEST_F(StripChartTest, BandsAreOredWithCanvasAndGrid) {
    Make();
    chart->SetCanvasColor(kCanvas);
    chart->SetGridColor(kGrid);
    chart->SetTraceCount(2);
    chart->SetTraceColor(0, RGB(255, 0, 0));
    chart->SetTraceColor(1, kCanvas);  // invisible
    chart->SetValueRange(0, 100);
    const double values[2] = {50, 100};
    for (int i = 0; i < 60; ++i) chart->AddSample(values);
    const host::PixelBuffer screen = Screen();
    ASSERT_EQ(screen.width, chart->m_cxClient);
    const RECT& f = chart->m_rcFrame;
    const int dotted = strip_chart::LabelRow(3, 5, f.top, f.bottom, false);  // the row of 25, under the red band
    int x = f.right - 40;
    x -= (x - f.left) % 4;  // a column with grid dots, inside the plotted history
    EXPECT_EQ(screen.At(x + 2, Row(25)), host::PixelFromColor(RGB(255, 0, 32)));
    EXPECT_EQ(screen.At(x, dotted), host::PixelFromColor(RGB(255, 255, 0)));  // band | grid dot
    // Above the red band the second band has the canvas colour: nothing shows.
    EXPECT_EQ(screen.At(x + 2, Row(75)), host::PixelFromColor(kCanvas));
}

TEST_F(StripChartTest, ChangingATraceColourErasesTheHistory) {
    Make();
    chart->SetTraceColor(0, RGB(255, 0, 0));
    const double value = 5.0;
    for (int i = 0; i < 10; ++i) chart->AddSample(&value);
    ASSERT_GT(Inked(PlotLayer(), RGB(0, 0, 0), 0, 0, chart->m_cxClient, chart->m_cyClient), 0);
    chart->SetTraceColor(0, RGB(0, 0, 255));
    EXPECT_EQ(Inked(PlotLayer(), RGB(0, 0, 0), 0, 0, chart->m_cxClient, chart->m_cyClient), 0);
}

TEST_F(StripChartTest, AResizedChartGetsLayersOfItsNewSize) {
    Make(300, 150);
    const double value = 5.0;
    chart->AddSample(&value);
    chart->MoveWindow(0, 0, 500, 260);
    BITMAP info{};
    ASSERT_NE(chart->m_bmpGridLayer.GetBitmap(&info), 0);
    EXPECT_EQ(info.bmWidth, chart->m_cxClient);
    EXPECT_EQ(info.bmHeight, chart->m_cyClient);
    EXPECT_EQ(chart->m_rcFrame.right, chart->m_cxClient - 10);
    EXPECT_EQ(chart->m_rcFrame.bottom, chart->m_cyClient - 25);
    EXPECT_EQ(GridLayer().At(chart->m_rcFrame.right + 1, chart->m_rcFrame.bottom),
              host::PixelFromColor(RGB(0, 255, 255)));
    EXPECT_EQ(Inked(PlotLayer(), RGB(0, 0, 0), 0, 0, chart->m_cxClient, chart->m_cyClient), 0);
}

TEST_F(StripChartTest, ASizeMessageWithTheSameSizeKeepsFrameAndGridTogether) {
    Make(400, 200);
    chart->SetValueRange(0, 16384);  // four digits: frame left 6 × (0 + 4 + 4) = 48
    ASSERT_EQ(chart->m_rcFrame.left, 48);
    const double pixelsPerUnit = chart->m_dPixelsPerUnit;
    chart->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(chart->m_cxClient, chart->m_cyClient));
    EXPECT_EQ(chart->m_rcFrame.left, 48);
    EXPECT_EQ(chart->m_cxPlot, chart->m_rcFrame.right - 48);
    EXPECT_DOUBLE_EQ(chart->m_dPixelsPerUnit, pixelsPerUnit);
    // The grid still has its frame where the frame is.
    EXPECT_EQ(GridLayer().At(48, chart->m_rcFrame.top), host::PixelFromColor(RGB(0, 255, 255)));
}

TEST_F(StripChartTest, CallsWithoutAWindowDoNothingHarmful) {
    CDUVudovCtrl lonely;
    lonely.SetValueRange(0, 0);
    const double value = 1.0;
    lonely.AddSample(&value);
    lonely.AddSample(nullptr);
    lonely.SetTraceCount(21);
    EXPECT_EQ(lonely.m_nTraceCount, 1);
    lonely.SetTraceColor(25, RGB(1, 2, 3));
    EXPECT_EQ(lonely.m_dLatest[0], 0.0);  // the range 0 .. 0 clamps to 0
    EXPECT_EQ(lonely.m_dcPlotLayer.GetSafeHdc(), nullptr);
}

}  // namespace
