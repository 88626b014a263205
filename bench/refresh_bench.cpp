// The cost of one refresh (RefreshMemoryInfo): every query of the sample,
// the counters, the prefetcher status, the whole report text and the three
// chart feeds, on the scripted machine and on this Linux computer.
//
// Each is timed twice: the whole refresh, and its sampling and report alone.
// For the second the charts are set aside, as the refresh runs before they
// are built: their feeds then return at once. What the feeds cost in drawing
// (scrolling the layers, the new slice) is timed by charts_bench.
//
// Painting is left out, honestly rather than by a stub: the dialog is created
// as the program creates it and then hidden, and no events are pumped inside
// the timed loop. A refresh only sets texts and adds chart samples, which
// mark windows for repainting; the paint itself would come from the event
// loop, which never runs here, and a hidden window is not painted at all.
// The refresh timer is stopped so that no tick interleaves either.

#include <benchmark/benchmark.h>

#include "app/palisk_dlg.h"
#include "host/host_app.h"
#include "host/live_linux_machine.h"
#include "host/scripted_machine.h"
#include "program_resources.h"

#include <cstdlib>
#include <memory>

namespace {

// The main dialog, started and then hidden and without its timer.
std::unique_ptr<CPaliskDlg> StartQuietDialog() {
    auto dialog = std::make_unique<CPaliskDlg>();
    if (!dialog->Create(IDD_PALISK_DIALOG)) return nullptr;
    dialog->KillTimer(dialog->m_nTimer);
    dialog->ShowWindow(SW_HIDE);
    return dialog;
}

void RefreshLoop(benchmark::State& state, CPaliskDlg& dialog) {
    for (auto _ : state) {
        dialog.RefreshMemoryInfo();
        ++dialog.m_nRefreshCount;  // as a timer tick: later refreshes show the differences
    }
}

// Takes the dialog's three charts away for its lifetime and gives them back,
// so that the dialog still releases them.
class ChartsSetAside {
public:
    explicit ChartsSetAside(CPaliskDlg& dialog)
        : dialog_(dialog), ram_(dialog.m_pRamChart), read_(dialog.m_pReadChart), pageFile_(dialog.m_pPageFileChart) {
        dialog.m_pRamChart = dialog.m_pReadChart = dialog.m_pPageFileChart = nullptr;
    }
    ~ChartsSetAside() {
        dialog_.m_pRamChart = ram_;
        dialog_.m_pReadChart = read_;
        dialog_.m_pPageFileChart = pageFile_;
    }

private:
    CPaliskDlg& dialog_;
    CDUVudovCtrl* ram_;
    CDUVudovCtrl* read_;
    CDUVudovCtrl* pageFile_;
};

// The refresh on `machine`, whole or with the charts set aside.
void RunRefresh(benchmark::State& state, host::Machine& machine, bool withCharts) {
    host::SetActiveMachine(&machine);
    host::RegisterProgramResources();
    if (auto dialog = StartQuietDialog()) {
        if (withCharts) {
            RefreshLoop(state, *dialog);
        } else {
            ChartsSetAside aside(*dialog);
            RefreshLoop(state, *dialog);
        }
        dialog->DestroyWindow();
    } else {
        state.SkipWithError("the main dialog could not be created");
    }
    host::SetActiveMachine(nullptr);
}

void BM_RefreshScripted(benchmark::State& state) {
    host::ScriptedMachine machine;
    RunRefresh(state, machine, true);
}
BENCHMARK(BM_RefreshScripted)->Unit(benchmark::kMicrosecond);

void BM_RefreshScriptedSamplingAndReport(benchmark::State& state) {
    host::ScriptedMachine machine;
    RunRefresh(state, machine, false);
}
BENCHMARK(BM_RefreshScriptedSamplingAndReport)->Unit(benchmark::kMicrosecond);

void BM_RefreshLive(benchmark::State& state) {
    host::LiveLinuxMachine machine;
    RunRefresh(state, machine, true);
}
BENCHMARK(BM_RefreshLive)->Unit(benchmark::kMicrosecond);

void BM_RefreshLiveSamplingAndReport(benchmark::State& state) {
    host::LiveLinuxMachine machine;
    RunRefresh(state, machine, false);
}
BENCHMARK(BM_RefreshLiveSamplingAndReport)->Unit(benchmark::kMicrosecond);

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
