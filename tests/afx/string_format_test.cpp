// CString::Format: the Microsoft C runtime's rules, whatever glibc does.

#include <gtest/gtest.h>

#include <afxwin.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Formats through CString::Format, so the varargs path is the real one.
template <class... Args>
std::wstring Fmt(const wchar_t* format, Args... args) {
    CString text;
    text.Format(format, args...);
    return std::wstring(text.GetString());
}

TEST(StringFormat, Int64SizePrefixWithFlagsAndWidth) {
    EXPECT_EQ(Fmt(L"%I64d", 1234567890123LL), L"1234567890123");
    EXPECT_EQ(Fmt(L"% 8I64d", 5LL), L"       5");
    EXPECT_EQ(Fmt(L"%02I64d", 7LL), L"07");
    EXPECT_EQ(Fmt(L"% 12I64d ", -3LL), L"          -3 ");
    EXPECT_EQ(Fmt(L"%I64d", std::numeric_limits<LONGLONG>::min()), L"-9223372036854775808");
    EXPECT_EQ(Fmt(L"%I64u", std::numeric_limits<ULONGLONG>::max()), L"18446744073709551615");
    EXPECT_EQ(Fmt(L"%I64x", 0xFEDCBA9876543210ULL), L"fedcba9876543210");
    EXPECT_EQ(Fmt(L"%lld|%llu", -2LL, 3ULL), L"-2|3");
}

TEST(StringFormat, ThirtyTwoBitAndPointerSizedPrefixesConsumeTheRightArguments) {
    // Each argument must be read with its own width or the next one is garbage.
    EXPECT_EQ(Fmt(L"%I32d %d", -5, 7), L"-5 7");
    EXPECT_EQ(Fmt(L"%ld %lu", static_cast<LONG>(-9), static_cast<DWORD>(4000000000u)), L"-9 4000000000");
    EXPECT_EQ(Fmt(L"%Id %Iu", static_cast<INT_PTR>(-1), static_cast<UINT_PTR>(1) << 40), L"-1 1099511627776");
    EXPECT_EQ(Fmt(L"%zu %d", static_cast<size_t>(1) << 33, 2), L"8589934592 2");
    EXPECT_EQ(Fmt(L"%hd %hu", 70000, 70000), L"4464 4464");
}

TEST(StringFormat, PlainIntegers) {
    EXPECT_EQ(Fmt(L"%d", 42), L"42");
    EXPECT_EQ(Fmt(L"%i", -42), L"-42");
    EXPECT_EQ(Fmt(L"%u", -1), L"4294967295");
    EXPECT_EQ(Fmt(L"%x", 255), L"ff");
    EXPECT_EQ(Fmt(L"%X", 255), L"FF");
    EXPECT_EQ(Fmt(L"%x", -1), L"ffffffff");
    EXPECT_EQ(Fmt(L"%o", 8), L"10");
    EXPECT_EQ(Fmt(L"%08X", 0xBEEF), L"0000BEEF");
    EXPECT_EQ(Fmt(L"%05d", -42), L"-0042");
    EXPECT_EQ(Fmt(L"%.5d", 42), L"00042");
}

TEST(StringFormat, FlagsSignsAndAlignment) {
    EXPECT_EQ(Fmt(L"%+d", 5), L"+5");
    EXPECT_EQ(Fmt(L"%+ d", 5), L"+5");  // '+' wins over ' '
    EXPECT_EQ(Fmt(L"% d", -5), L"-5");
    EXPECT_EQ(Fmt(L"%+u", 5u), L"5");  // no sign on unsigned conversions
    EXPECT_EQ(Fmt(L"%-5d|", 5), L"5    |");
    EXPECT_EQ(Fmt(L"%-05d|", 5), L"5    |");  // '-' wins over '0'
    EXPECT_EQ(Fmt(L"%#x", 255), L"0xff");
    EXPECT_EQ(Fmt(L"%#X", 255), L"0XFF");
    EXPECT_EQ(Fmt(L"%#08x", 255), L"0x0000ff");  // zeros go after the prefix
    EXPECT_EQ(Fmt(L"%#x", 0), L"0");               // no prefix on zero
    EXPECT_EQ(Fmt(L"%#o", 8), L"010");
    EXPECT_EQ(Fmt(L"%.0d", 0), L"");
}

TEST(StringFormat, StarWidthAndPrecisionComeFromArguments) {
    EXPECT_EQ(Fmt(L"%*d|", 4, 7), L"   7|");
    EXPECT_EQ(Fmt(L"%*d|", -4, 7), L"7   |");  // a negative width left-aligns
    EXPECT_EQ(Fmt(L"%*.*f", 8, 2, 3.14159), L"    3.14");
    EXPECT_EQ(Fmt(L"%.*lf", 0, 2.6), L"3");
    EXPECT_EQ(Fmt(L"%.*lf", 3, 2.6), L"2.600");
    EXPECT_EQ(Fmt(L"%.*f|%d", -1, 1.5, 9), L"1.500000|9");  // negative precision: as if none
}

TEST(StringFormat, FixedAndPercent) {
    EXPECT_EQ(Fmt(L"%2.2f%%", 100.0), L"100.00%");
    EXPECT_EQ(Fmt(L"%f", 0.5), L"0.500000");
    EXPECT_EQ(Fmt(L"%lf", -1.25), L"-1.250000");
    EXPECT_EQ(Fmt(L"%.3f", 2.0005), L"2.001");  // 2.0005 is stored just above the tie
    EXPECT_EQ(Fmt(L"%+.1f", 0.0), L"+0.0");
    EXPECT_EQ(Fmt(L"%08.2f", -3.5), L"-0003.50");
    EXPECT_EQ(Fmt(L"%#.0f", 3.0), L"3.");
    EXPECT_EQ(Fmt(L"%.1f", 1e20), L"100000000000000000000.0");
    EXPECT_EQ(Fmt(L"100%%"), L"100%");
}

TEST(StringFormat, ScientificAndGeneral) {
    EXPECT_EQ(Fmt(L"%e", 12345.678), L"1.234568e+04");
    EXPECT_EQ(Fmt(L"%E", 0.00012), L"1.200000E-04");
    EXPECT_EQ(Fmt(L"%.0e", 5.0), L"5e+00");
    EXPECT_EQ(Fmt(L"%#.0e", 5.0), L"5.e+00");
    EXPECT_EQ(Fmt(L"%g", 0.0001), L"0.0001");
    EXPECT_EQ(Fmt(L"%g", 0.00001), L"1e-05");
    EXPECT_EQ(Fmt(L"%g", 100000.0), L"100000");
    EXPECT_EQ(Fmt(L"%g", 1000000.0), L"1e+06");
    EXPECT_EQ(Fmt(L"%g", 123456789.0), L"1.23457e+08");
    EXPECT_EQ(Fmt(L"%g", 0.0), L"0");
    EXPECT_EQ(Fmt(L"%G", 1e-10), L"1E-10");
    EXPECT_EQ(Fmt(L"%#g", 1.0), L"1.00000");
    EXPECT_EQ(Fmt(L"%.3g", 99.95), L"100");  // rounding carries into a new digit
}

TEST(StringFormat, InfinityAndNotANumberUseTheRuntimeSpelling) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Fmt(L"%f", inf), L"inf");
    EXPECT_EQ(Fmt(L"%f", -inf), L"-inf");
    EXPECT_EQ(Fmt(L"%F", inf), L"INF");
    EXPECT_EQ(Fmt(L"%05f", inf), L"  inf");  // never zero-padded
    EXPECT_EQ(Fmt(L"%f", std::numeric_limits<double>::quiet_NaN()), L"nan");
    EXPECT_EQ(Fmt(L"%f", -std::numeric_limits<double>::quiet_NaN()), L"-nan(ind)");
    EXPECT_EQ(Fmt(L"%E", -std::numeric_limits<double>::quiet_NaN()), L"-NAN(IND)");
}

TEST(StringFormat, HexFloatHasThirteenDigitsByDefault) {
    EXPECT_EQ(Fmt(L"%a", 1.0), L"0x1.0000000000000p+0");
    EXPECT_EQ(Fmt(L"%A", -2.5), L"-0X1.4000000000000P+1");
    EXPECT_EQ(Fmt(L"%.1a", 1.5), L"0x1.8p+0");
}

TEST(StringFormat, StringsAreWideUnlessMarkedNarrow) {
    EXPECT_EQ(Fmt(L"%s", L"wide"), L"wide");
    EXPECT_EQ(Fmt(L"%ls|%ws", L"a", L"b"), L"a|b");
    EXPECT_EQ(Fmt(L"%hs|%S", "narrow", "upper"), L"narrow|upper");
    EXPECT_EQ(Fmt(L"%hs", "caf\xc3\xa9"), L"caf\u00e9");  // narrow text is UTF-8
    EXPECT_EQ(Fmt(L"%hs", "\xf0\x9f\x98\x80"), L"\U0001F600");
    EXPECT_EQ(Fmt(L"%hs", "\xff"), L"\u00ff");        // a stray byte stays itself
    EXPECT_EQ(Fmt(L"%hs", "\xc0\x80"), L"\u00c0\u0080");  // so do the bytes of an overlong form
    EXPECT_EQ(Fmt(L"%6s|%-6s|", L"ab", L"cd"), L"    ab|cd    |");
    EXPECT_EQ(Fmt(L"%.2s", L"abcdef"), L"ab");
    EXPECT_EQ(Fmt(L"%.2hs", "abcdef"), L"ab");
    EXPECT_EQ(Fmt(L"%05s", L"ab"), L"000ab");  // the runtime zero-pads strings too
    EXPECT_EQ(Fmt(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)");
    EXPECT_EQ(Fmt(L"%.3s", static_cast<const wchar_t*>(nullptr)), L"(nu");
}

TEST(StringFormat, CharactersAreWideUnlessMarkedNarrow) {
    EXPECT_EQ(Fmt(L"%c", L'Z'), L"Z");
    EXPECT_EQ(Fmt(L"%lc%wc", L'x', L'y'), L"xy");
    EXPECT_EQ(Fmt(L"%C%hc", 'n', 'm'), L"nm");
    EXPECT_EQ(Fmt(L"%c", L'\u20ac'), L"\u20ac");
    EXPECT_EQ(Fmt(L"%3c|%-3c|", L'a', L'b'), L"  a|b  |");
    EXPECT_EQ(Fmt(L"[%.0c]", L'q'), L"[]");
}

TEST(StringFormat, PointersPrintAsSixteenUpperCaseHexDigits) {
    const void* pointer = reinterpret_cast<const void*>(static_cast<uintptr_t>(0xabc123));
    EXPECT_EQ(Fmt(L"%p", pointer), L"0000000000ABC123");
    EXPECT_EQ(Fmt(L"%#p", pointer), L"0X0000000000ABC123");
    EXPECT_EQ(Fmt(L"%20p|", pointer), L"    0000000000ABC123|");
    EXPECT_EQ(Fmt(L"%p", static_cast<const void*>(nullptr)), L"0000000000000000");
}

TEST(StringFormat, OutsideTextIsNeverAFormat) {
    // Process names and registry text may hold '%'; as arguments they stay literal.
    const wchar_t* outside = L"100% sure %d %s %n";
    EXPECT_EQ(Fmt(L"%s", outside), outside);
    EXPECT_EQ(Fmt(L"[%s] %d", outside, 3), L"[100% sure %d %s %n] 3");
    CString name(outside);
    CString line;
    line.Format(L"%s[%d]", name.GetString(), 42);
    EXPECT_EQ(line, L"100% sure %d %s %n[42]");
}

TEST(StringFormat, OddDirectivesFailSoftly) {
    // %n writes nothing but still consumes its argument.
    int written = -7;
    EXPECT_EQ(Fmt(L"a%nb%d", &written, 5), L"ab5");
    EXPECT_EQ(written, -7);
    // An unknown conversion is dropped and its letter printed.
    EXPECT_EQ(Fmt(L"%y|%d", 1), L"y|1");
    // A lone '%' at the end prints nothing.
    EXPECT_EQ(Fmt(L"50%"), L"50");
    EXPECT_EQ(Fmt(static_cast<const wchar_t*>(nullptr)), L"");
}

TEST(StringFormat, FormatReplacesAndAppendFormatAppends) {
    CString text(L"old");
    text.Format(L"%d", 1);
    EXPECT_EQ(text, L"1");
    text.AppendFormat(L"-%s-%I64d", L"x", 2LL);
    EXPECT_EQ(text, L"1-x-2");
    text.Format(L"");
    EXPECT_TRUE(text.IsEmpty());
}

TEST(StringFormat, LongOutputsAreNotTruncated) {
    const std::wstring longText(5000, L'q');
    EXPECT_EQ(Fmt(L"%s!", longText.c_str()), longText + L"!");
    EXPECT_EQ(Fmt(L"%3000d", 1).size(), 3000u);
    EXPECT_EQ(Fmt(L"%.400f", 1.0).size(), 402u);
}

}  // namespace
