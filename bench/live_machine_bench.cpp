// The live machine's cost on this computer: what one refresh asks of the
// kernel, and a process snapshot, per process.

#include <ntstatus.h>
#include "host/live_linux_machine.h"

#include "host/system_services.h"

#include <benchmark/benchmark.h>
#include <nt/process_information.h>
#include <nt/system_information.h>

#include <vector>

namespace {

// The system-wide queries of one refresh, in the order it makes them.
void RefreshQueries(benchmark::State& state) {
    host::LiveLinuxMachine machine;
    host::SystemServices& system = *machine.System();
    MEMORYSTATUSEX status{};
    nt::SYSTEM_BASIC_INFORMATION basic{};
    BYTE fileCache[nt::kSystemFileCacheInformationLength];
    nt::SYSTEM_PERFORMANCE_INFORMATION performance{};
    BYTE pageFiles[nt::kSystemPageFileInformationLength];
    nt::SYSTEM_MEMORY_LIST_INFORMATION lists{};
    for (auto _ : state) {
        system.MemoryStatus(&status);
        benchmark::DoNotOptimize(system.QuerySystemInformation(SystemBasicInformation, &basic, sizeof basic));
        benchmark::DoNotOptimize(
            system.QuerySystemInformation(nt::SystemFileCacheInformation, fileCache, sizeof fileCache));
        benchmark::DoNotOptimize(
            system.QuerySystemInformation(SystemPerformanceInformation, &performance, sizeof performance));
        benchmark::DoNotOptimize(system.QuerySystemInformation(nt::SystemPageFileInformation, pageFiles, sizeof pageFiles));
        benchmark::DoNotOptimize(system.QuerySystemInformation(nt::SystemMemoryListInformation, &lists, sizeof lists));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RefreshQueries)->Unit(benchmark::kMicrosecond);

// A process snapshot as the target selector takes it: the list in records.
void ProcessSnapshot(benchmark::State& state) {
    host::LiveLinuxMachine machine;
    host::SystemServices& system = *machine.System();
    std::vector<BYTE> buffer(1u << 20);
    double processes = 0;
    for (auto _ : state) {
        const host::NativeResult result =
            system.QuerySystemInformation(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()));
        if (result.status == STATUS_INFO_LENGTH_MISMATCH) {
            buffer.resize(result.returnedLength * 2);
            continue;
        }
        for (ULONG offset = 0;;) {
            processes += 1;
            const auto* record = reinterpret_cast<const nt::SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
            if (record->NextEntryOffset == 0) break;
            offset += record->NextEntryOffset;
        }
    }
    state.counters["processes"] = benchmark::Counter(processes, benchmark::Counter::kIsRate);
    state.counters["per_process"] =
        benchmark::Counter(processes, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(ProcessSnapshot)->Unit(benchmark::kMicrosecond);

}  // namespace
