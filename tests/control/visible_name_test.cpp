// Names as the target list shows them: whatever a name holds, it can hide
// or reorder neither itself nor the id beside it.

#include "control/visible_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Shown(const std::wstring& name) {
    const CString shown = VisibleName(name.data(), static_cast<int>(name.size()));
    return std::wstring(shown.GetString(), static_cast<std::size_t>(shown.GetLength()));
}

TEST(VisibleName, OrdinaryNamesAndFormatLookalikesAreShownAsTheyAre) {
    EXPECT_EQ(Shown(L"explorer.exe"), L"explorer.exe");
    EXPECT_EQ(Shown(L"%s%n%x"), L"%s%n%x");
    EXPECT_EQ(Shown(L") ("), L") (");
    EXPECT_EQ(Shown(L"Memory Compression"), L"Memory Compression");
    // Letters of any script, and characters beyond the first plane.
    EXPECT_EQ(Shown(L"\u00E9t\u00E9 \u05E9\u05DC\u05D5\u05DD \u4E2D\U0001F600"),
              L"\u00E9t\u00E9 \u05E9\u05DC\u05D5\u05DD \u4E2D\U0001F600");
    EXPECT_EQ(Shown(L""), L"");
}

TEST(VisibleName, ControlsThatMoveOrHideTextAreEscaped) {
    EXPECT_EQ(Shown(L"a\tb"), L"a\\tb");
    EXPECT_EQ(Shown(L"line\nbreak\r"), L"line\\nbreak\\r");
    EXPECT_EQ(Shown(std::wstring(L"nul\0bell\a", 9)), L"nul\\x00bell\\x07");
    EXPECT_EQ(Shown(L"esc\x1B[2Jdel\x7F"), L"esc\\x1B[2Jdel\\x7F");
    EXPECT_EQ(Shown(L"next\x85line"), L"next\\u0085line");  // C1, a character: not a byte
    EXPECT_EQ(Shown(L"a\u2028b\u2029c"), L"a\\u2028b\\u2029c");
}

TEST(VisibleName, BidirectionalControlsCannotReorderTheName) {
    // "exe.txt" behind a right-to-left override would read "txt.exe".
    EXPECT_EQ(Shown(L"\u202Eexe.txt"), L"\\u202Eexe.txt");
    EXPECT_EQ(Shown(L"\u202A\u202B\u202C\u202D"), L"\\u202A\\u202B\\u202C\\u202D");
    EXPECT_EQ(Shown(L"\u2066\u2067\u2068\u2069"), L"\\u2066\\u2067\\u2068\\u2069");
    EXPECT_EQ(Shown(L"\u200E\u200F\u061C"), L"\\u200E\\u200F\\u061C");
}

TEST(VisibleName, CharactersThatDrawNothingAreEscaped) {
    EXPECT_EQ(Shown(L"in\u200Bvisible"), L"in\\u200Bvisible");
    EXPECT_EQ(Shown(L"\u200C\u200D\u2060\uFEFF\u00AD"), L"\\u200C\\u200D\\u2060\\uFEFF\\u00AD");
    EXPECT_EQ(Shown(L"\u3164\uFE0F"), L"\\u3164\\uFE0F");
    // Tags and noncharacters, beyond and within the first plane.
    EXPECT_EQ(Shown(L"flag\U000E0041"), L"flag\\U000E0041");
    EXPECT_EQ(Shown(L"\uFFFE\uFDD0"), L"\\uFFFE\\uFDD0");
}

TEST(VisibleName, BytesThatAreNotTextShowAsBytesAndEscapesStayUnambiguous) {
    // Hosts whose names are bytes pass a byte that is not text as U+DC80 +
    // (byte - 0x80).
    EXPECT_EQ(Shown(L"bad\xDCFF\xDC80"), L"bad\\xFF\\x80");
    // Other unpaired surrogates are no characters either.
    EXPECT_EQ(Shown(L"\xD800x\xDBFF"), L"\\uD800x\\uDBFF");
    // A name that spells an escape cannot pass for one.
    EXPECT_EQ(Shown(L"a\\tb\\x41"), L"a\\\\tb\\\\x41");
}

TEST(VisibleName, SurrogatePairsStandForOneCharacter) {
    // Where names are UTF-16 units (Windows), a pair is one character.
    EXPECT_EQ(Shown(std::wstring{L'a', 0xD83D, 0xDE00}), (std::wstring{L'a', 0xD83D, 0xDE00}));
    EXPECT_EQ(Shown(std::wstring{0xDB40, 0xDC41}), L"\\U000E0041");  // a tag
    EXPECT_EQ(Shown(std::wstring{0xDB40}), L"\\uDB40");               // cut short
}

}  // namespace
