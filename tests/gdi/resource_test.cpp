// Finding and loading resources, and LoadStringW over string-table blocks.

#include <gtest/gtest.h>

#include "host/modules.h"
#include "host/resources.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const HMODULE kOther = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x180000000ULL));

class ResourceTest : public ::testing::Test {
protected:
    void TearDown() override { host::ClearAllResources(); }
};

TEST_F(ResourceTest, ResourcesAreFoundByIdOrCaseInsensitiveName) {
    host::RegisterResource(nullptr, RT_MANIFEST, MAKEINTRESOURCEW(1), {1, 2, 3});
    host::RegisterResource(nullptr, L"Custom", L"Readme", {9});
    const HRSRC byId = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(byId, nullptr);
    EXPECT_EQ(FindResourceW(host::ExecutableModule(), L"#1", RT_MANIFEST), byId);  // "#1" is id 1
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(1), L"#24"), byId);
    EXPECT_EQ(SizeofResource(nullptr, byId), 3u);
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, byId)));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[2], 3);
    const HRSRC byName = FindResourceW(nullptr, L"README", L"custom");
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(*static_cast<const BYTE*>(LockResource(LoadResource(nullptr, byName))), 9);
    EXPECT_EQ(FindResourceW(nullptr, L"#1x", RT_MANIFEST), nullptr);  // not a number: a name
}

TEST_F(ResourceTest, MissingResourcesSayWhatIsMissing) {
    SetLastError(0);
    EXPECT_EQ(FindResourceW(kOther, MAKEINTRESOURCEW(1), RT_ICON), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    host::RegisterResource(kOther, RT_ICON, MAKEINTRESOURCEW(1), {0});
    EXPECT_EQ(FindResourceW(kOther, MAKEINTRESOURCEW(1), RT_BITMAP), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(FindResourceW(kOther, MAKEINTRESOURCEW(2), RT_ICON), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_ICON), nullptr);  // another module's
    EXPECT_EQ(FindResourceW(kOther, nullptr, RT_ICON), nullptr);
}

TEST_F(ResourceTest, HandlesDieWithTheirResources) {
    host::RegisterResource(nullptr, L"TESTDATA", MAKEINTRESOURCEW(5), {7, 7});
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(5), L"TESTDATA");
    ASSERT_NE(found, nullptr);
    host::RegisterResource(nullptr, L"TESTDATA", MAKEINTRESOURCEW(5), {8});  // replaces it
    SetLastError(0);
    EXPECT_EQ(SizeofResource(nullptr, found), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(LoadResource(nullptr, found), nullptr);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(LockResource(nullptr), nullptr);
    const HRSRC again = FindResourceW(nullptr, MAKEINTRESOURCEW(5), L"TESTDATA");
    EXPECT_EQ(SizeofResource(nullptr, again), 1u);
    host::ClearResources(nullptr);
    EXPECT_EQ(SizeofResource(nullptr, again), 0u);
    // An empty resource loads to a valid place of size zero.
    host::RegisterResource(nullptr, L"TESTDATA", MAKEINTRESOURCEW(6), {});
    const HRSRC empty = FindResourceW(nullptr, MAKEINTRESOURCEW(6), L"TESTDATA");
    EXPECT_NE(LoadResource(nullptr, empty), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, empty), 0u);
}

class LoadStringTest : public ResourceTest {
protected:
    void SetUp() override {
        // Ids 101 to 104 share block 7; 16 opens block 2 alone.
        host::RegisterStringTable(nullptr, {{101, L"&About Palisk..."},
                                            {102, L"&Flush All Working Sets"},
                                            {104, L"x"},
                                            {16, L"sixteen"}});
    }
};

TEST_F(LoadStringTest, CopiesTheStringAndCountsWithoutTheTerminator) {
    WCHAR buffer[64];
    EXPECT_EQ(LoadStringW(nullptr, 101, buffer, 64), 16);
    EXPECT_STREQ(buffer, L"&About Palisk...");
    EXPECT_EQ(LoadStringW(host::ExecutableModule(), 102, buffer, 64), 23);
    EXPECT_STREQ(buffer, L"&Flush All Working Sets");
    EXPECT_EQ(LoadStringW(nullptr, 16, buffer, 64), 7);
    EXPECT_STREQ(buffer, L"sixteen");
}

TEST_F(LoadStringTest, ShortBuffersTruncateAndStillTerminate) {
    WCHAR buffer[8];
    std::wmemset(buffer, L'#', 8);
    EXPECT_EQ(LoadStringW(nullptr, 101, buffer, 6), 5);
    EXPECT_STREQ(buffer, L"&Abou");
    EXPECT_EQ(buffer[6], L'#');  // nothing written past the buffer
    EXPECT_EQ(LoadStringW(nullptr, 104, buffer, 1), 0);
    EXPECT_EQ(buffer[0], L'\0');
}

TEST_F(LoadStringTest, ZeroLengthBufferGetsAReadOnlyPointerToTheResource) {
    const WCHAR* text = nullptr;
    EXPECT_EQ(LoadStringW(nullptr, 102, reinterpret_cast<LPWSTR>(&text), 0), 23);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::wstring(text, 23), L"&Flush All Working Sets");  // not terminated in the resource
    const HRSRC block = FindResourceW(nullptr, MAKEINTRESOURCEW(7), RT_STRING);
    const auto* start = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, block)));
    const auto* at = reinterpret_cast<const BYTE*>(text);
    EXPECT_GT(at, start);
    EXPECT_LT(at, start + SizeofResource(nullptr, block));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(text) % alignof(WCHAR), 0u);
}

TEST_F(LoadStringTest, MissingStringsReturnZeroAndAnEmptyBuffer) {
    WCHAR buffer[8] = L"junk";
    EXPECT_EQ(LoadStringW(nullptr, 103, buffer, 8), 0);  // an empty slot in an existing block
    EXPECT_EQ(buffer[0], L'\0');
    std::wcscpy(buffer, L"junk");
    EXPECT_EQ(LoadStringW(nullptr, 500, buffer, 8), 0);  // no such block
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(LoadStringW(kOther, 101, buffer, 8), 0);   // another module
    EXPECT_EQ(LoadStringW(nullptr, 101, nullptr, 8), 0);
    std::wcscpy(buffer, L"junk");
    SetLastError(0);
    EXPECT_EQ(LoadStringW(nullptr, 101, buffer, -1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(buffer[0], L'j');
}

TEST_F(LoadStringTest, MalformedBlocksAreNeverReadPastTheirEnd) {
    // Block 1 with a count that claims more characters than there are.
    std::vector<BYTE> block;
    const WCHAR units[] = {0, 40, L'a', L'b'};
    block.resize(sizeof units);
    std::memcpy(block.data(), units, sizeof units);
    host::RegisterResource(nullptr, RT_STRING, MAKEINTRESOURCEW(1), block);
    WCHAR buffer[8];
    EXPECT_EQ(LoadStringW(nullptr, 0, buffer, 8), 0);  // present and empty
    EXPECT_EQ(LoadStringW(nullptr, 1, buffer, 8), 0);  // truncated
    EXPECT_EQ(LoadStringW(nullptr, 5, buffer, 8), 0);  // beyond the block
    // A block whose size is not a whole number of WCHARs.
    host::RegisterResource(nullptr, RT_STRING, MAKEINTRESOURCEW(1), {1, 0, 0});
    EXPECT_EQ(LoadStringW(nullptr, 0, buffer, 8), 0);
}

TEST_F(LoadStringTest, BlocksAreLaidOutAsCountedStrings) {
    const std::vector<BYTE> block = host::BuildStringTableBlock({L"ab", L"", L"c"});
    ASSERT_EQ(block.size(), (3 + 1 + 2 + 13) * sizeof(WCHAR));
    std::vector<WCHAR> units(block.size() / sizeof(WCHAR));
    std::memcpy(units.data(), block.data(), block.size());
    EXPECT_EQ(units[0], 2);
    EXPECT_EQ(units[1], L'a');
    EXPECT_EQ(units[3], 0);
    EXPECT_EQ(units[4], 1);
    EXPECT_EQ(units[5], L'c');
    EXPECT_TRUE(host::BuildStringTableBlock(std::vector<std::wstring>(17)).empty());
}

}  // namespace
