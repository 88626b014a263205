// The process heap: real blocks, zeroing, reallocation, bad pointers, and
// the allocations a machine refuses.

#include <windows.h>

#include "system/scripted_fixture.h"

#include <cstring>

namespace {

class HeapTest : public ScriptedMachineTest {
protected:
    void TearDown() override {
        EXPECT_EQ(host::LiveSystemObjects().heapBlocks, blocksBefore);
        ScriptedMachineTest::TearDown();
    }
    HANDLE heap = GetProcessHeap();
    std::size_t blocksBefore = host::LiveSystemObjects().heapBlocks;
};

TEST_F(HeapTest, ZeroedBlocksAndZeroedGrowth) {
    auto* block = static_cast<BYTE*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 64));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(block[i], 0) << i;
    std::memset(block, 0xAB, 64);
    block = static_cast<BYTE*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 4096));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[63], 0xAB);  // kept
    EXPECT_EQ(block[64], 0);     // added, zeroed
    EXPECT_EQ(block[4095], 0);
    EXPECT_TRUE(HeapFree(heap, 0, block));
}

TEST_F(HeapTest, ZeroByteBlocksAreDistinctBlocks) {
    void* a = HeapAlloc(heap, 0, 0);
    void* b = HeapAlloc(heap, 0, 0);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_TRUE(HeapFree(heap, 0, a));
    EXPECT_TRUE(HeapFree(heap, 0, b));
}

TEST_F(HeapTest, InPlaceReallocationShrinksButNeverMoves) {
    void* block = HeapAlloc(heap, 0, 100);
    EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 200), nullptr);
    EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 50), block);
    EXPECT_TRUE(HeapFree(heap, 0, block));
}

TEST_F(HeapTest, PointersAndHeapsTheHeapDidNotHandOutAreRefused) {
    int local = 0;
    SetLastError(0);
    EXPECT_FALSE(HeapFree(heap, 0, &local));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(HeapReAlloc(heap, 0, &local, 8), nullptr);
    EXPECT_TRUE(HeapFree(heap, 0, nullptr));
    HANDLE otherHeap = reinterpret_cast<HANDLE>(ULONG_PTR{0x5000});
    EXPECT_EQ(HeapAlloc(otherHeap, 0, 8), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    void* block = HeapAlloc(heap, 0, 8);
    EXPECT_TRUE(HeapFree(heap, 0, block));
    EXPECT_FALSE(HeapFree(heap, 0, block));  // twice
}

TEST_F(HeapTest, TheMachineRefusesAllocationsByNumberAndBySize) {
    State().allocationsCounted = 0;
    State().failAllocationNumbers = {2};
    State().failAllocationSizes = {400};
    void* first = HeapAlloc(heap, 0, 16);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(HeapAlloc(heap, 0, 16), nullptr);  // the second
    EXPECT_EQ(HeapAlloc(heap, 0, 400), nullptr);
    void* fourth = HeapAlloc(heap, 0, 16);
    EXPECT_NE(fourth, nullptr);
    // A refused reallocation leaves the block as it was.
    std::memset(fourth, 0x5A, 16);
    EXPECT_EQ(HeapReAlloc(heap, 0, fourth, 400), nullptr);
    EXPECT_EQ(static_cast<BYTE*>(fourth)[15], 0x5A);
    HeapFree(heap, 0, first);
    HeapFree(heap, 0, fourth);
}

}  // namespace
