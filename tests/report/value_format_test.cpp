#include "report/value_format.h"

#include <gtest/gtest.h>

namespace {

CString Bytes(ULONGLONG value) {
    CString text(L"=");
    AppendBytes(text, value);
    return text;
}

TEST(AppendBytes, BelowOneKibibyteIsShownInBytes) {
    EXPECT_STREQ(Bytes(0), L"=       0 Bytes");
    EXPECT_STREQ(Bytes(1023), L"=    1023 Bytes");
}

TEST(AppendBytes, FromOneKibibyteOnIsShownInMegabytesWithTruncatedHundredths) {
    EXPECT_STREQ(Bytes(1024), L"=       0.00 MB");
    EXPECT_STREQ(Bytes(11264), L"=       0.01 MB");
    EXPECT_STREQ(Bytes(1572864), L"=       1.50 MB");
    EXPECT_STREQ(Bytes(1047552), L"=       0.99 MB");  // never rounded up to 1.00
    EXPECT_STREQ(Bytes(1048576 + 1023), L"=       1.00 MB");
}

TEST(AppendBytes, AWholePartOfEightDigitsOrMoreWidensTheField) {
    // The blank flag keeps a blank where a sign would stand.
    EXPECT_STREQ(Bytes(1234567ULL << 20), L"= 1234567.00 MB");
    EXPECT_STREQ(Bytes(12345678ULL << 20), L"= 12345678.00 MB");
    // The largest count still prints as a positive number of megabytes.
    EXPECT_STREQ(Bytes(~0ULL), L"= 17592186044415.99 MB");
}

TEST(AppendCount, RightAlignsInTwelveColumnsAndAddsABlank) {
    CString text;
    AppendCount(text, 42);
    AppendCount(text, -3);
    EXPECT_STREQ(text, L"          42           -3 ");
}

TEST(AppendPercent, TwoDecimalsAndAPercentSign) {
    CString text;
    AppendPercent(text, 100.0);
    text += L"|";
    AppendPercent(text, 0.0);
    text += L"|";
    AppendPercent(text, 66.666);
    EXPECT_STREQ(text, L"100.00%|0.00%|66.67%");
}

TEST(ShareOfRam, TruncatesAndNeverDividesByZero) {
    // 2047 MB of 4096 MB is 49 percent, not 50.
    EXPECT_EQ(ShareOfRam(2047ULL << 20, 4096ULL << 20), 49u);
    EXPECT_EQ(ShareOfRam(4096ULL << 20, 4096ULL << 20), 100u);
    EXPECT_EQ(ShareOfRam(123, 0), 0u);
    // A product that would pass 64 bits is still a sensible share.
    EXPECT_EQ(ShareOfRam(1ULL << 62, 1ULL << 63), 50u);
}

}  // namespace
