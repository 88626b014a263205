#include "kernel_sampler.h"

#include <algorithm>
#include <dirent.h>
#include <cstring>

namespace host::linux_proc {

KernelSampler::KernelSampler(const LinuxRoots& roots, std::uint64_t pageSize)
    : sysRoot_(roots.sys),
      pageSize_(pageSize),
      meminfo_(roots.proc + "/meminfo"),
      vmstat_(roots.proc + "/vmstat"),
      swaps_(roots.proc + "/swaps") {
    FindZramDevices();
}

std::optional<MemoryFigures> KernelSampler::Figures(unsigned parts) {
    SystemSample sample;
    sample.pageSize = pageSize_;
    if (!meminfo_.Read(text_)) return std::nullopt;
    sample.meminfo = ParseMeminfo(text_);
    // Without /proc/vmstat the running totals read 0: the figures stay valid.
    if ((parts & kRunningTotals) && vmstat_.Read(text_)) sample.vmstat = ParseVmstat(text_);
    if (parts & kCompression) ReadZram(sample.zram);
    std::optional<MemoryFigures> figures = ComputeMemoryFigures(sample);
    if (figures) NotePeaks(sample, *figures);
    return figures;
}

void KernelSampler::NotePeaks(const SystemSample& sample, const MemoryFigures& figures) {
    peakFileCacheBytes_ = std::max(peakFileCacheBytes_, figures.fileCacheBytes);
    peakCommittedBytes_ = std::max(peakCommittedBytes_, sample.meminfo.committedAs.value_or(0));
}

std::optional<std::vector<KernelSampler::PagingFile>> KernelSampler::PagingFiles() {
    if (!swaps_.Read(text_)) return std::nullopt;
    std::vector<PagingFile> files;
    for (PagingFileFigures& now : ComputePagingFiles(ParseSwaps(text_), pageSize_)) {
        std::uint64_t& peak = peakSwapPages_[now.path];
        peak = std::max(peak, now.inUsePages);
        files.push_back({std::move(now), peak});
    }
    return files;
}

void KernelSampler::FindZramDevices() {
    const auto now = std::chrono::steady_clock::now();
    if (zramScanned_ && now - *zramScanned_ < std::chrono::seconds(1)) return;
    zramScanned_ = now;
    zram_.clear();
    const std::string blockDir = sysRoot_ + "/block";
    DIR* dir = opendir(blockDir.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "zram", 4) != 0) continue;
        zram_.push_back(std::make_unique<KeptFile>(blockDir + "/" + entry->d_name + "/mm_stat"));
    }
    closedir(dir);
}

void KernelSampler::ReadZram(std::vector<ZramStat>& devices) {
    // A device being reset or removed simply reads as nothing.
    for (const auto& file : zram_) {
        if (!file->Read(text_)) continue;
        if (const auto stat = ParseZramMmStat(text_)) devices.push_back(*stat);
    }
}

}  // namespace host::linux_proc
