// The /proc and /sys parsers, on saved copies of old and new kernels' files.

#include "host/linux_proc.h"

#include <gtest/gtest.h>

#include "live/fixture.h"

namespace lp = host::linux_proc;
using live_test::Fixture;

constexpr std::uint64_t KiB = 1024;

// ---- /proc/meminfo ----------------------------------------------------------

TEST(MeminfoParser, CurrentKernelGivesEveryFigureInBytes) {
    const lp::Meminfo m = lp::ParseMeminfo(Fixture("meminfo_current.txt"));
    EXPECT_EQ(m.memTotal, 32594180 * KiB);
    EXPECT_EQ(m.memFree, 10485760 * KiB);
    EXPECT_EQ(m.memAvailable, 24000000 * KiB);
    EXPECT_EQ(m.buffers, 409600 * KiB);
    EXPECT_EQ(m.cached, 14680064 * KiB);
    EXPECT_EQ(m.activeFile, 8388608 * KiB);
    EXPECT_EQ(m.inactiveFile, 4194304 * KiB);
    EXPECT_EQ(m.dirty, 40960 * KiB);
    EXPECT_EQ(m.writeback, 4096 * KiB);
    EXPECT_EQ(m.shmem, 1048576 * KiB);
    EXPECT_EQ(m.sReclaimable, 802816 * KiB);
    EXPECT_EQ(m.sUnreclaim, 425984 * KiB);
    EXPECT_EQ(m.kReclaimable, 819200 * KiB);
    EXPECT_EQ(m.kernelStack, 24576 * KiB);
    EXPECT_EQ(m.pageTables, 65536 * KiB);
    EXPECT_EQ(m.secPageTables, 0u);
    EXPECT_EQ(m.percpu, 16384 * KiB);
    EXPECT_EQ(m.hardwareCorrupted, 8 * KiB);
    EXPECT_EQ(m.swapTotal, 8388604 * KiB);
    EXPECT_EQ(m.swapFree, 8000000 * KiB);
    EXPECT_EQ(m.zswap, 102400 * KiB);
    EXPECT_EQ(m.zswapped, 307200 * KiB);
}

TEST(MeminfoParser, OldKernelLeavesItsMissingFieldsAbsentNotZero) {
    const lp::Meminfo m = lp::ParseMeminfo(Fixture("meminfo_no_memavailable.txt"));
    EXPECT_EQ(m.memTotal, 2061772 * KiB);
    EXPECT_FALSE(m.memAvailable.has_value());
    EXPECT_FALSE(m.kReclaimable.has_value());
    EXPECT_FALSE(m.percpu.has_value());
    EXPECT_FALSE(m.secPageTables.has_value());
    EXPECT_FALSE(m.zswap.has_value());
    EXPECT_FALSE(m.zswapped.has_value());
    // Printed, and zero: present.
    EXPECT_EQ(m.hardwareCorrupted, 0u);
}

TEST(MeminfoParser, KernelWithoutMemoryFailureHasNoHardwareCorrupted) {
    const lp::Meminfo m = lp::ParseMeminfo(Fixture("meminfo_no_hardware_corrupted.txt"));
    EXPECT_TRUE(m.memTotal.has_value());
    EXPECT_FALSE(m.hardwareCorrupted.has_value());
}

TEST(MeminfoParser, MalformedAndHostileLines) {
    // A value too large to be bytes is absent, not wrapped.
    EXPECT_FALSE(lp::ParseMeminfo("MemTotal: 18014398509481984 kB\n").memTotal.has_value());
    EXPECT_EQ(lp::ParseMeminfo("MemTotal: 18014398509481983 kB\n").memTotal, 18014398509481983ull * KiB);
    // Signs, stray characters and unknown units are not figures.
    EXPECT_FALSE(lp::ParseMeminfo("MemFree: -5 kB\n").memFree.has_value());
    EXPECT_FALSE(lp::ParseMeminfo("MemFree: 5x kB\n").memFree.has_value());
    EXPECT_FALSE(lp::ParseMeminfo("MemFree: 5 MB\n").memFree.has_value());
    EXPECT_FALSE(lp::ParseMeminfo("MemFree:\n").memFree.has_value());
    // Keys match whole: "Active(file)" is not "Active".
    const lp::Meminfo m = lp::ParseMeminfo("Active: 9 kB\nActive(file): 4 kB");  // no final newline
    EXPECT_EQ(m.activeFile, 4 * KiB);
    // The first of two lines for one key counts.
    EXPECT_EQ(lp::ParseMeminfo("Dirty: 1 kB\nDirty: 2 kB\n").dirty, 1 * KiB);
    EXPECT_FALSE(lp::ParseMeminfo("").memTotal.has_value());
}

// ---- /proc/vmstat -----------------------------------------------------------

TEST(VmstatParser, CurrentKernelHasAFileStealTotal) {
    const lp::Vmstat v = lp::ParseVmstat(Fixture("vmstat_current.txt"));
    EXPECT_EQ(v.pswpin, 123456u);
    EXPECT_EQ(v.pswpout, 654321u);
    EXPECT_EQ(v.nrWritten, 987654321u);
    // Wider than 32 bits: kept whole here.
    EXPECT_EQ(v.pgstealFile, 4294967301u);
}

TEST(VmstatParser, PerSourceFileStealIsSummedWhenThereIsNoTotal) {
    const lp::Vmstat v = lp::ParseVmstat(Fixture("vmstat_split_steal.txt"));
    EXPECT_EQ(v.pgstealFile, 1000u + 234u + 6u);  // the anon counters stay out
    EXPECT_EQ(v.pswpin, 77u);
    EXPECT_EQ(v.pswpout, 88u);
    EXPECT_EQ(v.nrWritten, 480000u);
}

TEST(VmstatParser, PerZoneStealIsNotAFileFigure) {
    const lp::Vmstat v = lp::ParseVmstat(Fixture("vmstat_no_steal_total.txt"));
    EXPECT_FALSE(v.pgstealFile.has_value());
    EXPECT_EQ(v.pswpin, 0u);
    EXPECT_EQ(v.nrWritten, 1111u);
}

TEST(VmstatParser, TotalWinsOverPerSourceCountersInAnyOrder) {
    EXPECT_EQ(lp::ParseVmstat("pgsteal_kswapd_file 5\npgsteal_file 9\npgsteal_direct_file 7\n").pgstealFile, 9u);
    EXPECT_FALSE(lp::ParseVmstat("pswpin\npswpout x\n").pswpin.has_value());
}

// ---- /proc/swaps --------------------------------------------------------------

TEST(SwapsParser, NoDeviceGivesAnEmptyList) {
    EXPECT_TRUE(lp::ParseSwaps(Fixture("swaps_none.txt")).empty());
    EXPECT_TRUE(lp::ParseSwaps("").empty());
}

TEST(SwapsParser, OneDevice) {
    const auto swaps = lp::ParseSwaps(Fixture("swaps_one.txt"));
    ASSERT_EQ(swaps.size(), 1u);
    EXPECT_EQ(swaps[0].path, "/dev/nvme0n1p3");
    EXPECT_EQ(swaps[0].type, "partition");
    EXPECT_EQ(swaps[0].sizeKiB, 8388604u);
    EXPECT_EQ(swaps[0].usedKiB, 1048576u);
    EXPECT_EQ(swaps[0].priority, -2);
}

TEST(SwapsParser, TwoDevicesWithAnEscapedBlankInAPath) {
    const auto swaps = lp::ParseSwaps(Fixture("swaps_two.txt"));
    ASSERT_EQ(swaps.size(), 2u);
    EXPECT_EQ(swaps[0].path, "/dev/zram0");
    EXPECT_EQ(swaps[0].priority, 100);
    EXPECT_EQ(swaps[1].path, "/var/swap files/extra.swap");
    EXPECT_EQ(swaps[1].type, "file");
    EXPECT_EQ(swaps[1].sizeKiB, 2097148u);
    EXPECT_EQ(swaps[1].usedKiB, 12u);
    EXPECT_EQ(swaps[1].priority, -3);
}

TEST(SwapsParser, MalformedLinesAreLeftOut) {
    const auto swaps = lp::ParseSwaps(
        "Filename Type Size Used Priority\n"
        "/dev/a partition 10 2\n"              // a field short
        "/dev/b partition ten 2 -1\n"          // not a number
        "/dev/c partition 10 2 99999999999\n"  // priority out of range
        "/dev/d\\04 partition 10 2 -1\n");     // an escape cut short stays as written
    ASSERT_EQ(swaps.size(), 1u);
    EXPECT_EQ(swaps[0].path, "/dev/d\\04");
}

// ---- /proc/[pid]/stat ---------------------------------------------------------

TEST(ProcStatParser, PlainProcess) {
    const auto stat = lp::ParseProcStat(Fixture("pid_stat_plain.txt"));
    ASSERT_TRUE(stat.has_value());
    EXPECT_EQ(stat->pid, 9024);
    EXPECT_EQ(stat->comm, "cat");
    EXPECT_EQ(stat->state, 'R');
    EXPECT_EQ(stat->ppid, 9021);
    EXPECT_EQ(stat->flags, 4194304u);
    EXPECT_EQ(stat->startTicks, 122732u);
    EXPECT_EQ(stat->rssPages, 362u);
    EXPECT_EQ(stat->flags & lp::kKernelThreadFlag, 0u);
}

TEST(ProcStatParser, HostileCommandNameIsTakenUpToTheLastParenthesis) {
    const auto stat = lp::ParseProcStat(Fixture("pid_stat_hostile_comm.txt"));
    ASSERT_TRUE(stat.has_value());
    EXPECT_EQ(stat->pid, 4242);
    EXPECT_EQ(stat->comm, "evil) ) %n%s\nx");
    EXPECT_EQ(stat->state, 'S');
    EXPECT_EQ(stat->ppid, 1);
    EXPECT_EQ(stat->startTicks, 987654u);
    EXPECT_EQ(stat->rssPages, 2560u);
}

TEST(ProcStatParser, KernelThreadCarriesTheKernelThreadFlag) {
    const auto stat = lp::ParseProcStat(Fixture("pid_stat_kernel_thread.txt"));
    ASSERT_TRUE(stat.has_value());
    EXPECT_EQ(stat->comm, "kworker/u8:3-events_unbound");
    EXPECT_EQ(stat->ppid, 2);
    EXPECT_NE(stat->flags & lp::kKernelThreadFlag, 0u);
    EXPECT_EQ(stat->rssPages, 0u);
}

TEST(ProcStatParser, TruncatedOrMalformedTextIsRejected) {
    EXPECT_FALSE(lp::ParseProcStat("").has_value());
    EXPECT_FALSE(lp::ParseProcStat("12 (name").has_value());  // no ')'
    EXPECT_FALSE(lp::ParseProcStat("12 )name( S 1").has_value());
    EXPECT_FALSE(lp::ParseProcStat("12 (name) S 1 1 1 0 -1 0 0 0 0 0").has_value());  // cut short
    EXPECT_FALSE(lp::ParseProcStat("x (n) S 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 5 0 3").has_value());
    EXPECT_FALSE(lp::ParseProcStat("1 (n) SS 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 5 0 3").has_value());
    // A negative rss (an accounting transient) reads as nothing resident.
    const auto stat = lp::ParseProcStat("1 (n) S 0 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 5 0 -3");
    ASSERT_TRUE(stat.has_value());
    EXPECT_EQ(stat->rssPages, 0u);
}

// ---- /proc/[pid]/status -------------------------------------------------------

TEST(StatusParser, UserProcess) {
    const lp::ProcStatus s = lp::ParseStatus(Fixture("pid_status_user.txt"));
    EXPECT_EQ(s.vmRss, 20480 * KiB);  // the escaped name line fakes nothing
    EXPECT_EQ(s.vmHwm, 40960 * KiB);
    EXPECT_EQ(s.vmSwap, 128 * KiB);
    EXPECT_EQ(s.tgid, 31337);
    EXPECT_EQ(s.ppid, 1);
    EXPECT_EQ(s.realUid, 1000u);
    EXPECT_EQ(s.effectiveUid, 0u);
    EXPECT_EQ(s.capEff, 0x80000u);  // CAP_SYS_PTRACE alone
}

TEST(StatusParser, KernelThreadHasNoResidentFigure) {
    const lp::ProcStatus s = lp::ParseStatus(Fixture("pid_status_kernel_thread.txt"));
    EXPECT_FALSE(s.vmRss.has_value());
    EXPECT_EQ(s.tgid, 2);
    EXPECT_EQ(s.ppid, 0);
    EXPECT_EQ(s.capEff, 0x1ffffffffffull);
}

TEST(StatusParser, NameLineIsNeverRead) {
    const lp::ProcStatus s = lp::ParseStatus("Name:\tVmRSS: 5 kB\nUid:\tx\t1\nVmRSS:\t7 kB\n");
    EXPECT_EQ(s.vmRss, 7 * KiB);
    EXPECT_FALSE(s.realUid.has_value());
    EXPECT_EQ(s.effectiveUid, 1u);
}

// ---- /proc/stat, zram, CPU lists ------------------------------------------------

TEST(BootTimeParser, FindsBtimeOrNothing) {
    EXPECT_EQ(lp::ParseBootTime(Fixture("proc_stat.txt")), 1796803309u);
    EXPECT_FALSE(lp::ParseBootTime(Fixture("proc_stat_no_btime.txt")).has_value());
    EXPECT_FALSE(lp::ParseBootTime("btime\n").has_value());
    EXPECT_FALSE(lp::ParseBootTime("btimex 5\n").has_value());
}

TEST(ZramParser, UsedDeviceAndEmptyDevice) {
    const auto used = lp::ParseZramMmStat(Fixture("zram_mm_stat.txt"));
    ASSERT_TRUE(used.has_value());
    EXPECT_EQ(used->origDataSize, 1073741824u);
    EXPECT_EQ(used->comprDataSize, 268435456u);
    EXPECT_EQ(used->memUsedTotal, 272629760u);
    const auto empty = lp::ParseZramMmStat(Fixture("zram_mm_stat_empty.txt"));
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->origDataSize, 0u);
    EXPECT_FALSE(lp::ParseZramMmStat("1 2\n").has_value());
    EXPECT_FALSE(lp::ParseZramMmStat("").has_value());
}

TEST(CpuListParser, RangesSinglesAndNonsense) {
    EXPECT_EQ(lp::ParseCpuList("0-3,8,10-11\n"), (std::vector<unsigned>{0, 1, 2, 3, 8, 10, 11}));
    EXPECT_EQ(lp::ParseCpuList("0\n"), (std::vector<unsigned>{0}));
    EXPECT_FALSE(lp::ParseCpuList("").has_value());
    EXPECT_FALSE(lp::ParseCpuList("\n").has_value());
    EXPECT_FALSE(lp::ParseCpuList("3-1").has_value());
    EXPECT_FALSE(lp::ParseCpuList("0,").has_value());
    EXPECT_FALSE(lp::ParseCpuList("0-4000000000").has_value());
    EXPECT_FALSE(lp::ParseCpuList("a-b").has_value());
}
