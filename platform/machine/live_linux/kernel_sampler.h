#pragma once
// Reads the system-wide files and works out the memory figures. The files
// stay open and are re-read with pread; each call reads afresh, so every
// query answers the moment it is made, as on Windows.

#include "host/linux_memory_figures.h"
#include "host/live_linux_machine.h"
#include "proc_files.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace host::linux_proc {

class KernelSampler {
public:
    KernelSampler(const LinuxRoots& roots, std::uint64_t pageSize);

    enum Parts : unsigned {
        kMeminfoOnly = 0,
        kRunningTotals = 1u << 0,  // /proc/vmstat
        kCompression = 1u << 1,    // the zram devices
    };
    // Nothing when /proc/meminfo cannot be read or lacks its core figures.
    std::optional<MemoryFigures> Figures(unsigned parts);

    // One entry per swap device, peaks included; nothing when /proc/swaps
    // cannot be read.
    struct PagingFile {
        PagingFileFigures now;
        std::uint64_t peakInUsePages = 0;  // the largest use seen since start
    };
    std::optional<std::vector<PagingFile>> PagingFiles();

    // The largest file cache and commit charge seen since start.
    std::uint64_t PeakFileCacheBytes() const { return peakFileCacheBytes_; }
    std::uint64_t PeakCommittedBytes() const { return peakCommittedBytes_; }

    // Looks for zram devices again (they can be added at any time), unless
    // it looked less than a second ago: a refresh asks for the process list
    // several times, and the scan of /sys/block costs more than the rest of
    // a query.
    void FindZramDevices();

    std::uint64_t PageSize() const { return pageSize_; }

private:
    void NotePeaks(const SystemSample& sample, const MemoryFigures& figures);
    void ReadZram(std::vector<ZramStat>& devices);

    std::string sysRoot_;
    std::uint64_t pageSize_;
    KeptFile meminfo_;
    KeptFile vmstat_;
    KeptFile swaps_;
    std::vector<std::unique_ptr<KeptFile>> zram_;
    std::optional<std::chrono::steady_clock::time_point> zramScanned_;
    std::string text_;  // the read buffer, reused
    std::uint64_t peakFileCacheBytes_ = 0;
    std::uint64_t peakCommittedBytes_ = 0;
    std::map<std::string, std::uint64_t> peakSwapPages_;
};

}  // namespace host::linux_proc
