// Speed of the charts and the fading label: one sample on the RAM chart
// (18 traces, the dialog's chart size), one chart paint, one label frame.

#include <benchmark/benchmark.h>

#include "charts/duvudov_ctrl.h"
#include "widgets/static_fader.h"

#include "host/host_app.h"
#include "host/scripted_machine.h"

#include <cstdlib>
#include <memory>

namespace {

// The RAM chart's size in a dialog of about 1200 × 800 pixels.
constexpr RECT kRamChartRect = {0, 0, 540, 400};

std::unique_ptr<CDUVudovCtrl> MakeRamChart() {
    auto chart = std::make_unique<CDUVudovCtrl>();
    chart->Create(WS_POPUP | WS_VISIBLE, kRamChartRect, nullptr, 0);
    chart->SetGridLabelCount(6);
    chart->SetTraceCount(18);
    for (int i = 0; i < 18; ++i) chart->SetTraceColor(i, RGB(i * 14, 255 - i * 14, 128));
    chart->SetValueRange(0, 16384);
    return chart;
}

void BM_RamChartAddSample(benchmark::State& state) {
    host::ScriptedMachine machine;
    host::SetActiveMachine(&machine);
    auto chart = MakeRamChart();
    double values[18];
    int step = 0;
    for (auto _ : state) {
        for (int i = 0; i < 18; ++i) values[i] = (i + 1) * 800.0 + (step % 7) * 20.0;
        chart->AddSample(values);
        ++step;
    }
    chart.reset();
    host::SetActiveMachine(nullptr);
}
BENCHMARK(BM_RamChartAddSample)->Unit(benchmark::kMicrosecond);

void BM_RamChartPaint(benchmark::State& state) {
    host::ScriptedMachine machine;
    host::SetActiveMachine(&machine);
    auto chart = MakeRamChart();
    double values[18];
    for (int i = 0; i < 18; ++i) values[i] = (i + 1) * 800.0;
    for (int i = 0; i < 100; ++i) chart->AddSample(values);
    for (auto _ : state) {
        chart->Invalidate(FALSE);
        chart->UpdateWindow();
    }
    chart.reset();
    host::SetActiveMachine(nullptr);
}
BENCHMARK(BM_RamChartPaint)->Unit(benchmark::kMicrosecond);

void BM_FadingLabelFrame(benchmark::State& state) {
    host::ScriptedMachine machine;
    host::SetActiveMachine(&machine);
    CFont font;
    font.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Times New Roman");
    CWnd parent;
    parent.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100, nullptr, nullptr);
    auto label = std::make_unique<CStaticFader>(&font);
    const RECT rect = {10, 10, 190, 30};
    label->Create(L"", WS_CHILD | WS_VISIBLE, rect, &parent, 0xFFFF);
    label->m_nTextAlign = DT_RIGHT;
    label->StartFade(L"    1234.56 MB", L"Sby Normal ", L"", L"");
    machine.Advance(500);  // mid-fade colours
    for (auto _ : state) {
        label->Invalidate(FALSE);
        label->UpdateWindow();
    }
    label.reset();
    parent.DestroyWindow();
    host::SetActiveMachine(nullptr);
}
BENCHMARK(BM_FadingLabelFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    host::HostApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
