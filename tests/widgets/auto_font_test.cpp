#include "widgets/auto_font.h"

#include <gtest/gtest.h>

#include "host/gdi.h"

#include <cwchar>

namespace {

TEST(AutoFontDescriptionTest, AllFifteenFields) {
    CAutoFont font(nullptr);
    font.ApplyDescription(L"-16,0,0,0,700,1,0,0,0,0,0,0,0,Times New Roman,255");
    EXPECT_EQ(font.m_lf.lfHeight, -16);
    EXPECT_EQ(font.m_lf.lfWeight, 700);
    EXPECT_EQ(font.m_lf.lfItalic, 1);
    EXPECT_EQ(font.m_lf.lfWidth, 0);
    EXPECT_EQ(font.m_lf.lfUnderline, 0);
    EXPECT_EQ(font.m_lf.lfPitchAndFamily, 0);
    EXPECT_STREQ(font.m_lf.lfFaceName, L"Times New Roman");
    EXPECT_EQ(font.m_nTrailingValue, 255);
    EXPECT_NE(font.GetSafeHandle(), nullptr);
}

TEST(AutoFontDescriptionTest, FieldsWithoutACommaAfterThemReadEmpty) {
    CAutoFont twoNumbers(nullptr);
    twoNumbers.ApplyDescription(L"10,20");
    EXPECT_EQ(twoNumbers.m_lf.lfHeight, 10);
    EXPECT_EQ(twoNumbers.m_lf.lfWidth, 0);
    EXPECT_STREQ(twoNumbers.m_lf.lfFaceName, L"");
    EXPECT_EQ(twoNumbers.m_nTrailingValue, 20);

    // The face name without its comma becomes the trailing value.
    CAutoFont noTrailingComma(nullptr);
    noTrailingComma.ApplyDescription(L"1,2,3,4,5,6,7,8,9,10,11,12,13,42Arial");
    EXPECT_STREQ(noTrailingComma.m_lf.lfFaceName, L"");
    EXPECT_EQ(noTrailingComma.m_nTrailingValue, 42);
    EXPECT_EQ(noTrailingComma.m_lf.lfPitchAndFamily, 13);
}

TEST(AutoFontDescriptionTest, EmptyDescriptionClearsEverything) {
    CAutoFont font(nullptr);
    font.ApplyDescription(L"-16,0,0,0,700,1,0,0,0,0,0,0,0,Arial,9");
    font.ApplyDescription(L"");
    EXPECT_EQ(font.m_lf.lfHeight, 0);
    EXPECT_EQ(font.m_lf.lfWeight, 0);
    EXPECT_EQ(font.m_lf.lfItalic, 0);
    EXPECT_STREQ(font.m_lf.lfFaceName, L"");
    EXPECT_EQ(font.m_nTrailingValue, 0);
    EXPECT_NE(font.GetSafeHandle(), nullptr);  // created from the empty description
}

TEST(AutoFontDescriptionTest, ByteFieldsKeepTheirLowEightBits) {
    CAutoFont font(nullptr);
    font.ApplyDescription(L"0,0,0,0,0,257,-1,,0,0,0,0,0,A,0");
    EXPECT_EQ(font.m_lf.lfItalic, 1);
    EXPECT_EQ(font.m_lf.lfUnderline, 255);
    EXPECT_EQ(font.m_lf.lfStrikeOut, 0);
}

TEST(AutoFontDescriptionTest, LongFaceNameIsCutToThirtyOneCharacters) {
    CAutoFont font(nullptr);
    font.ApplyDescription(L"0,0,0,0,0,0,0,0,0,0,0,0,0,ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,0");
    EXPECT_EQ(std::wcslen(font.m_lf.lfFaceName), 31u);
    EXPECT_EQ(font.m_lf.lfFaceName[30], L'4');
}

TEST(AutoFontFieldTest, NextFieldAndDecimals) {
    CString rest = L" 12,x";
    EXPECT_STREQ(CAutoFont::NextField(rest).GetString(), L" 12");
    EXPECT_STREQ(rest.GetString(), L"x");
    EXPECT_STREQ(CAutoFont::NextField(rest).GetString(), L"");
    EXPECT_STREQ(rest.GetString(), L"x");  // no comma: unchanged

    EXPECT_EQ(CAutoFont::ParseDecimal(L"  -37abc"), -37);
    EXPECT_EQ(CAutoFont::ParseDecimal(L"+8"), 8);
    EXPECT_EQ(CAutoFont::ParseDecimal(L"abc"), 0);
    EXPECT_EQ(CAutoFont::ParseDecimal(L""), 0);
    EXPECT_EQ(CAutoFont::ParseDecimal(L"4294967297"), 1);  // low 32 bits, no overflow
}

TEST(AutoFontOwnershipTest, BorrowedFontSurvivesOwnFontsAreReleased) {
    CFont callers;
    ASSERT_TRUE(callers.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
    const std::size_t before = host::gdi::LiveObjectCount();
    {
        CAutoFont font(callers);
        EXPECT_EQ(font.GetSafeHandle(), callers.GetSafeHandle());
        EXPECT_EQ(font.m_lf.lfHeight, 14);
        EXPECT_STREQ(font.m_lf.lfFaceName, L"Arial");
        font.ApplyDescription(L"20,0,0,0,400,0,0,0,0,0,0,0,0,Arial,0");
        font.ApplyDescription(L"22,0,0,0,400,0,0,0,0,0,0,0,0,Arial,0");
        EXPECT_EQ(host::gdi::LiveObjectCount(), before + 1);  // the first own font is gone
    }
    EXPECT_EQ(host::gdi::LiveObjectCount(), before);
    LOGFONTW lf{};
    EXPECT_EQ(callers.GetLogFont(&lf), static_cast<int>(sizeof(LOGFONTW)));  // still alive
}

}  // namespace
