// The figures a refresh derives from its records: the paging-file walk and
// memories too large for the records' 32-bit page counts.

#include "sampling/memory_sample.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Entry = nt::SYSTEM_PAGEFILE_INFORMATION;

// Writes one paging-file entry at `offset` of the sample's buffer.
void PutEntry(MemorySample& sample, ULONG offset, ULONG next, ULONG inUse) {
    Entry entry{};
    entry.NextEntryOffset = next;
    entry.TotalInUse = inUse;
    std::memcpy(sample.pageFileBuffer + offset, &entry, sizeof entry);
}

MemorySample PageFileSample(ULONG returned) {
    MemorySample sample;
    sample.pageFileStatus = 0;
    sample.pageFileReturnLength = returned;
    return sample;
}

TEST(PageFileWalk, EntriesBackToBackAsThisHostWritesThem) {
    MemorySample sample = PageFileSample(2 * 32 + 64);  // two entries, then their names
    PutEntry(sample, 0, 32, 1000);
    PutEntry(sample, 32, 0, 24);
    EXPECT_EQ(PageFilePagesInUse(sample), 1024u);
}

TEST(PageFileWalk, EachEntryFollowedByItsNameAsWindowsWritesThem) {
    // Entry 0 at 0, its 40-byte name at 32; entry 1 at 72, its name at 104.
    MemorySample sample = PageFileSample(72 + 32 + 40);
    static_assert(sizeof(L"\\??\\C:") <= 40);
    PutEntry(sample, 0, 72, 1000);
    PutEntry(sample, 72, 0, 24);
    // The name characters where a fixed 32-byte stride would look for the
    // second entry: "\??\C:" read as counts.
    const wchar_t name[] = L"\\??\\C:";
    std::memcpy(sample.pageFileBuffer + 32, name, sizeof name);
    EXPECT_EQ(PageFilePagesInUse(sample), 1024u);
}

TEST(PageFileWalk, NoPagingFileAndAFailedQueryGiveZero) {
    MemorySample none = PageFileSample(0);  // success with nothing written
    PutEntry(none, 0, 0, 555);              // stale bytes are not an entry
    EXPECT_EQ(PageFilePagesInUse(none), 0u);
    MemorySample failed = PageFileSample(32);
    failed.pageFileStatus = -1;
    PutEntry(failed, 0, 0, 555);
    EXPECT_EQ(PageFilePagesInUse(failed), 0u);
}

TEST(PageFileWalk, MalformedOffsetsStayInsideTheReturnedLengthAndTheBuffer) {
    // An offset that points past the returned length ends the walk.
    MemorySample past = PageFileSample(64);
    PutEntry(past, 0, 64, 10);
    PutEntry(past, 64, 0, 99);  // beyond what the query wrote
    EXPECT_EQ(PageFilePagesInUse(past), 10u);
    // A returned length beyond the buffer counts only the buffer.
    MemorySample huge = PageFileSample(0xFFFFFFFFu);
    PutEntry(huge, 0, 480, 10);
    PutEntry(huge, 480, 32, 20);  // the next would start at 512, past the buffer
    EXPECT_EQ(PageFilePagesInUse(huge), 30u);
    // An offset shorter than an entry would read an entry inside itself.
    MemorySample shortStep = PageFileSample(512);
    PutEntry(shortStep, 0, 8, 10);
    EXPECT_EQ(PageFilePagesInUse(shortStep), 10u);
    // The largest offset must not wrap the walk back into the buffer.
    MemorySample wrap = PageFileSample(512);
    PutEntry(wrap, 0, 0xFFFFFFF0u, 10);
    EXPECT_EQ(PageFilePagesInUse(wrap), 10u);
}

TEST(PageFileWalk, AtMostSixteenEntries) {
    MemorySample sample = PageFileSample(512);
    for (ULONG n = 0; n < 16; ++n) PutEntry(sample, n * 32, 32, 1);  // the 16th claims a 17th
    EXPECT_EQ(PageFilePagesInUse(sample), 16u);
}

TEST(VeryLargeMemory, PhysicalPagesAndTotalRamKeepSixtyFourBits) {
    MemorySample sample;
    sample.basic.PageSize = 4096;
    sample.globalStatus.ullTotalPhys = (16ull << 40) + 4096;  // 2^32 + 1 pages
    sample.performance.AvailablePages = 0x100000;             // 4 GiB
    DeriveFigures(sample);
    EXPECT_EQ(sample.physicalPages, 4294967297ull);
    EXPECT_EQ(sample.totalRamBytes, 17592186048512ull);
    EXPECT_EQ(sample.usedBytes, 17592186048512ull - (4ull << 30));
    // The record's own 32-bit count is held at its largest, not wrapped to 1.
    EXPECT_EQ(sample.basic.NumberOfPhysicalPages, 0xFFFFFFFFu);
}

TEST(ChartPageCount, FourKibibytePagesHeldAtTheLargest32BitCount) {
    EXPECT_EQ(ChartPageCount(1000, 4096), 1000u);
    EXPECT_EQ(ChartPageCount(1000, 16384), 4000u);
    EXPECT_EQ(ChartPageCount(1000, 65536), 16000u);
    EXPECT_EQ(ChartPageCount(4294967297ull, 4096), 0xFFFFFFFFu);
    EXPECT_EQ(ChartPageCount(0x40000000ull, 65536), 0xFFFFFFFFu);  // 64 TiB
    EXPECT_EQ(ChartPageCount(~0ull, 65536), 0xFFFFFFFFu);
    EXPECT_EQ(ChartPageCount(7, 0), 0u);
}

}  // namespace
