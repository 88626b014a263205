// The page-list partition and the other figures, worked out from saved
// kernel files: the figures must add up whatever the kernel printed.

#include "host/linux_memory_figures.h"

#include <gtest/gtest.h>

#include "live/fixture.h"

#include <limits>
#include <numeric>

namespace lp = host::linux_proc;
using live_test::Fixture;

namespace {

lp::SystemSample Sample(const char* meminfo, const char* vmstat = "vmstat_current.txt") {
    lp::SystemSample sample;
    sample.pageSize = 4096;
    sample.meminfo = lp::ParseMeminfo(Fixture(meminfo));
    sample.vmstat = lp::ParseVmstat(Fixture(vmstat));
    return sample;
}

std::uint64_t StandbySum(const lp::MemoryFigures& f) {
    return std::accumulate(f.standbyPages.begin(), f.standbyPages.end(), std::uint64_t{0});
}

// Every page list inside physical memory, and available = zeroed + free + standby.
void ExpectPartitionAddsUp(const lp::MemoryFigures& f) {
    EXPECT_EQ(f.standbyTotalPages, StandbySum(f));
    EXPECT_EQ(f.availablePages, f.zeroedPages + f.freePages + f.standbyTotalPages);
    EXPECT_LE(f.availablePages + f.modifiedPages + f.badPages + f.residentCachePages, f.physicalPages);
}

}  // namespace

TEST(MemoryFigures, CurrentKernelPartition) {
    const auto f = lp::ComputeMemoryFigures(Sample("meminfo_current.txt"));
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->pageSize, 4096u);
    EXPECT_EQ(f->physicalPages, 32594180u / 4);
    EXPECT_EQ(f->zeroedPages, 0u);
    EXPECT_EQ(f->freePages, 10485760u / 4);
    EXPECT_EQ(f->modifiedPages, (40960u + 4096u) / 4);
    EXPECT_EQ(f->modifiedNoWritePages, 0u);
    EXPECT_EQ(f->badPages, 2u);
    // Dirty pages come off the inactive list; the active list stays whole.
    EXPECT_EQ(f->standbyPages[2], 4194304u / 4 - 11264u);
    EXPECT_EQ(f->standbyPages[5], 8388608u / 4);
    for (int p : {0, 1, 3, 4, 6, 7}) EXPECT_EQ(f->standbyPages[p], 0u) << "priority " << p;
    EXPECT_EQ(f->availablePages, 10485760u / 4 + 4194304u / 4 - 11264u + 8388608u / 4);
    ExpectPartitionAddsUp(*f);
}

TEST(MemoryFigures, CurrentKernelCacheKernelAndCompression) {
    const auto f = lp::ComputeMemoryFigures(Sample("meminfo_current.txt"));
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->fileCacheBytes, (409600u + 14680064u) * 1024ull);
    EXPECT_EQ(f->residentCachePages, 1048576u / 4);  // Shmem
    // SUnreclaim + KernelStack + PageTables + SecPageTables + Percpu.
    EXPECT_EQ(f->nonPagedPoolPages, (425984u + 24576u + 65536u + 0u + 16384u) / 4);
    EXPECT_EQ(f->kernelWorkingSetBytes, (425984u + 24576u + 65536u + 16384u + 819200u) * 1024ull);
    EXPECT_TRUE(f->compressionHoldsPages);
    EXPECT_EQ(f->compressionBytes, 102400u * 1024ull);
    EXPECT_EQ(f->swapTotalBytes, 8388604u * 1024ull);
    EXPECT_EQ(f->swapFreeBytes, 8000000u * 1024ull);
}

TEST(MemoryFigures, RunningTotalsFromVmstat) {
    const auto f = lp::ComputeMemoryFigures(Sample("meminfo_current.txt"));
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->pagesReadFromSwap, 123456u);
    EXPECT_EQ(f->pagesWrittenToSwap, 654321u);
    EXPECT_EQ(f->pagesWrittenBack, 987654321u);
    EXPECT_EQ(f->repurposedPages[2], 4294967301u);
    EXPECT_EQ(f->repurposedPages[0] + f->repurposedPages[5], 0u);
    // Without any file steal counter the repurposed figures read zero.
    const auto old = lp::ComputeMemoryFigures(Sample("meminfo_current.txt", "vmstat_no_steal_total.txt"));
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->repurposedPages[2], 0u);
}

TEST(MemoryFigures, OldKernelWithMoreDirtyPagesThanTheInactiveList) {
    const auto f = lp::ComputeMemoryFigures(Sample("meminfo_no_memavailable.txt"));
    ASSERT_TRUE(f.has_value());
    const std::uint64_t modified = (614400u + 8192u) / 4;  // 155648 pages
    EXPECT_EQ(f->modifiedPages, modified);
    EXPECT_EQ(f->standbyPages[2], 0u);  // floored, not wrapped
    EXPECT_EQ(f->standbyPages[5], 600000u / 4 - (modified - 600000u / 4));
    // Old kernels print neither KReclaimable nor Percpu: SReclaimable stands in.
    EXPECT_EQ(f->kernelWorkingSetBytes, (20000u + 1600u + 4000u + 80000u) * 1024ull);
    EXPECT_FALSE(f->compressionHoldsPages);
    ExpectPartitionAddsUp(*f);
}

TEST(MemoryFigures, MissingHardwareCorruptedReadsNoBadPages) {
    const auto f = lp::ComputeMemoryFigures(Sample("meminfo_no_hardware_corrupted.txt"));
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->badPages, 0u);
    ExpectPartitionAddsUp(*f);
}

TEST(MemoryFigures, FiguresReadAtDifferentInstantsNeverExceedPhysicalMemory) {
    lp::SystemSample s;
    s.pageSize = 4096;
    // Free and file lists together larger than the machine: each was summed
    // at its own moment while memory moved between them.
    s.meminfo = lp::ParseMeminfo(
        "MemTotal: 4096 kB\nMemFree: 3000 kB\nActive(file): 2000 kB\nInactive(file): 2000 kB\n"
        "Dirty: 400 kB\nShmem: 4000 kB\nHardwareCorrupted: 4000 kB\n");
    const auto f = lp::ComputeMemoryFigures(s);
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->physicalPages, 1024u);
    EXPECT_EQ(f->freePages, 750u);
    EXPECT_EQ(f->availablePages, 1024u - f->modifiedPages - f->badPages);
    ExpectPartitionAddsUp(*f);
}

TEST(MemoryFigures, WithoutTotalOrFreeThereIsNoPartition) {
    lp::SystemSample s;
    s.meminfo = lp::ParseMeminfo("MemFree: 5 kB\n");
    EXPECT_FALSE(lp::ComputeMemoryFigures(s).has_value());
    s.meminfo = lp::ParseMeminfo("MemTotal: 5 kB\n");
    EXPECT_FALSE(lp::ComputeMemoryFigures(s).has_value());
    s.meminfo = lp::ParseMeminfo("MemTotal: 8 kB\nMemFree: 4 kB\n");
    s.pageSize = 0;
    EXPECT_FALSE(lp::ComputeMemoryFigures(s).has_value());
    // The bare minimum: no file lists, no dirty figures.
    s.pageSize = 4096;
    const auto f = lp::ComputeMemoryFigures(s);
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->standbyTotalPages, 0u);
    EXPECT_EQ(f->availablePages, 1u);
}

TEST(MemoryFigures, ZramHoldingPagesMakesCompressionPresent) {
    lp::SystemSample s = Sample("meminfo_no_memavailable.txt");
    s.zram.push_back(*lp::ParseZramMmStat(Fixture("zram_mm_stat_empty.txt")));
    EXPECT_FALSE(lp::ComputeMemoryFigures(s)->compressionHoldsPages);
    s.zram.push_back(*lp::ParseZramMmStat(Fixture("zram_mm_stat.txt")));
    const auto f = lp::ComputeMemoryFigures(s);
    EXPECT_TRUE(f->compressionHoldsPages);
    EXPECT_EQ(f->compressionBytes, 272629760u);
}

TEST(PagingFiles, OneEntryPerSwapDeviceInPages) {
    EXPECT_TRUE(lp::ComputePagingFiles(lp::ParseSwaps(Fixture("swaps_none.txt")), 4096).empty());
    const auto files = lp::ComputePagingFiles(lp::ParseSwaps(Fixture("swaps_two.txt")), 4096);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].path, "/dev/zram0");
    EXPECT_EQ(files[0].totalPages, 4194300u / 4);
    EXPECT_EQ(files[0].inUsePages, 524288u / 4);
    EXPECT_EQ(files[1].totalPages, 2097148u / 4);
    EXPECT_EQ(files[1].inUsePages, 3u);
    // Used beyond the size (read a moment apart) is capped at the size.
    std::vector<lp::SwapDevice> odd{{"/s", "file", 8, 12, 0}};
    EXPECT_EQ(lp::ComputePagingFiles(odd, 4096)[0].inUsePages, 2u);
    EXPECT_TRUE(lp::ComputePagingFiles(odd, 0).empty());
}

TEST(NarrowFigures, LevelsSaturateAndTotalsWrap) {
    constexpr std::uint64_t big = (1ull << 32) + 5;
    EXPECT_EQ(lp::SaturatedLevel(big), std::numeric_limits<std::uint32_t>::max());
    EXPECT_EQ(lp::SaturatedLevel(7), 7u);
    EXPECT_EQ(lp::WrappedTotal(big), 5u);
    EXPECT_EQ(lp::FlooredDifference(3, 5), 0u);
    EXPECT_EQ(lp::FlooredDifference(5, 3), 2u);
}
