// CString: construction, access, searching, pieces and in-place changes.

#include <gtest/gtest.h>

#include <afxwin.h>

#include "host/resources.h"

namespace {

// Runs `action` and reports whether it threw the framework's bad-argument
// exception (freeing it, as framework code must).
template <class Action>
bool ThrowsInvalidArg(Action action) {
    try {
        action();
    } catch (CInvalidArgException* e) {
        e->Delete();
        return true;
    }
    return false;
}

TEST(CString, Construction) {
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_TRUE(CString(static_cast<LPCWSTR>(nullptr)).IsEmpty());
    EXPECT_EQ(CString(L"abc").GetLength(), 3);
    EXPECT_EQ(CString(L"abcdef", 2), L"ab");
    EXPECT_EQ(CString(L'x', 3), L"xxx");
    EXPECT_EQ(CString(L'x', -2), L"");
    EXPECT_EQ(CString("caf\xc3\xa9"), L"caf\u00e9");
    EXPECT_EQ(CString("abc", 2), L"ab");
    EXPECT_TRUE(ThrowsInvalidArg([] { CString bad(L"abc", -1); }));
    EXPECT_TRUE(ThrowsInvalidArg([] { CString bad(static_cast<LPCWSTR>(nullptr), 2); }));
}

TEST(CString, IndexingAllowsTheTerminatorButNothingBeyond) {
    CString text(L"ab");
    EXPECT_EQ(text[0], L'a');
    EXPECT_EQ(text.GetAt(2), L'\0');
    EXPECT_TRUE(ThrowsInvalidArg([&] { text.GetAt(3); }));
    EXPECT_TRUE(ThrowsInvalidArg([&] { text.GetAt(-1); }));
    text.SetAt(1, L'z');
    EXPECT_EQ(text, L"az");
    EXPECT_TRUE(ThrowsInvalidArg([&] { text.SetAt(2, L'q'); }));
}

TEST(CString, ComparisonsAndConcatenation) {
    const CString a(L"apple");
    EXPECT_TRUE(a == L"apple");
    EXPECT_TRUE(L"apple" == a);
    EXPECT_TRUE(a != L"Apple");
    EXPECT_TRUE(a < CString(L"banana"));
    EXPECT_TRUE(L"b" > a);
    EXPECT_EQ(a.Compare(L"apple"), 0);
    EXPECT_LT(a.Compare(L"applf"), 0);
    EXPECT_GT(a.Compare(nullptr), 0);
    EXPECT_EQ(a.CompareNoCase(L"APPLE"), 0);
    EXPECT_LT(a.CompareNoCase(L"APPLES"), 0);
    EXPECT_EQ(a + L"!" + L'?' + '.', L"apple!?.");
    EXPECT_EQ(L"<" + a + CString(L">"), L"<apple>");
    EXPECT_EQ('[' + a, L"[apple");
    CString built;
    built += L"x";
    built += L'y';
    built += "z";
    built += CString(L"w");
    EXPECT_EQ(built, L"xyzw");
}

TEST(CString, PiecesClampToTheString) {
    const CString text(L"abcdef");
    EXPECT_EQ(text.Left(2), L"ab");
    EXPECT_EQ(text.Left(-1), L"");
    EXPECT_EQ(text.Left(99), L"abcdef");
    EXPECT_EQ(text.Right(2), L"ef");
    EXPECT_EQ(text.Right(99), L"abcdef");
    EXPECT_EQ(text.Mid(2), L"cdef");
    EXPECT_EQ(text.Mid(2, 2), L"cd");
    EXPECT_EQ(text.Mid(-3, 2), L"ab");
    EXPECT_EQ(text.Mid(4, 99), L"ef");
    EXPECT_EQ(text.Mid(99), L"");
    EXPECT_EQ(text.SpanIncluding(L"cba"), L"abc");
    EXPECT_EQ(text.SpanExcluding(L"dz"), L"abc");
}

TEST(CString, Searching) {
    const CString text(L"one two one");
    EXPECT_EQ(text.Find(L'o'), 0);
    EXPECT_EQ(text.Find(L'o', 1), 6);
    EXPECT_EQ(text.Find(L'o', 99), -1);
    EXPECT_EQ(text.Find(L"one", 1), 8);
    EXPECT_EQ(text.Find(L"", 4), 4);
    EXPECT_EQ(text.Find(L"three"), -1);
    EXPECT_EQ(text.Find(static_cast<LPCWSTR>(nullptr)), -1);
    EXPECT_EQ(text.ReverseFind(L'o'), 8);
    EXPECT_EQ(text.FindOneOf(L"wt"), 4);
    EXPECT_EQ(text.FindOneOf(L"xyz"), -1);
}

TEST(CString, TokenizeWalksThroughDelimiters) {
    const CString text(L",,alpha, beta,,gamma,");
    std::vector<std::wstring> tokens;
    int position = 0;
    for (CString token = text.Tokenize(L", ", position); position != -1; token = text.Tokenize(L", ", position)) {
        tokens.push_back(token.GetString());
    }
    EXPECT_EQ(tokens, (std::vector<std::wstring>{L"alpha", L"beta", L"gamma"}));
}

TEST(CString, ChangingInPlace) {
    CString text(L"  Hello World \t");
    EXPECT_EQ(text.Trim(), L"Hello World");
    EXPECT_EQ(CString(L"xxhixx").Trim(L'x'), L"hi");
    EXPECT_EQ(CString(L"-+hi+-").TrimLeft(L"+-"), L"hi+-");
    EXPECT_EQ(CString(L"-+hi+-").TrimRight(L"+-"), L"-+hi");
    EXPECT_EQ(CString(L"xxxx").TrimRight(L'x'), L"");
    EXPECT_EQ(CString(L"MiXeD").MakeUpper(), L"MIXED");
    EXPECT_EQ(CString(L"MiXeD").MakeLower(), L"mixed");
    EXPECT_EQ(CString(L"abc").MakeReverse(), L"cba");

    CString replaced(L"aaaa");
    EXPECT_EQ(replaced.Replace(L"aa", L"b"), 2);
    EXPECT_EQ(replaced, L"bb");
    EXPECT_EQ(replaced.Replace(L"b", nullptr), 2);
    EXPECT_EQ(replaced, L"");
    CString untouched(L"abc");
    EXPECT_EQ(untouched.Replace(L"", L"x"), 0);
    EXPECT_EQ(untouched.Replace(L'b', L'B'), 1);
    EXPECT_EQ(untouched, L"aBc");
    EXPECT_EQ(untouched.Remove(L'a'), 1);
    EXPECT_EQ(untouched, L"Bc");

    CString edited(L"ace");
    EXPECT_EQ(edited.Insert(1, L'b'), 4);
    EXPECT_EQ(edited.Insert(99, L"fg"), 6);
    EXPECT_EQ(edited.Insert(-5, L"_"), 7);
    EXPECT_EQ(edited, L"_abcefg");
    EXPECT_EQ(edited.Delete(4, 99), 4);
    EXPECT_EQ(edited.Delete(-1, 2), 2);  // a negative start counts from 0
    EXPECT_EQ(edited, L"bc");
}

TEST(CString, BufferWritesBecomeTheString) {
    CString text(L"xy");
    wchar_t* buffer = text.GetBuffer(10);
    wcscpy(buffer, L"written");
    text.ReleaseBuffer();
    EXPECT_EQ(text, L"written");
    EXPECT_EQ(text.GetLength(), 7);

    buffer = text.GetBufferSetLength(3);
    buffer[0] = L'a', buffer[1] = L'b', buffer[2] = L'c';
    text.ReleaseBuffer(2);
    EXPECT_EQ(text, L"ab");

    buffer = text.GetBuffer(4);
    buffer[0] = L'\0';
    text.ReleaseBuffer();
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_TRUE(ThrowsInvalidArg([&] { text.GetBuffer(-1); }));
    EXPECT_TRUE(ThrowsInvalidArg([&] { text.ReleaseBuffer(5); }));
}

TEST(CString, LoadStringFromTheExecutablesStringTable) {
    host::RegisterStringTable(nullptr, {{101, L"&About Palisk..."}, {104, L"Flush &Standby Caches"}});
    CString about;
    EXPECT_TRUE(about.LoadString(101));
    EXPECT_EQ(about, L"&About Palisk...");
    // An integer resource in the pointer loads that string.
    EXPECT_EQ(CString(MAKEINTRESOURCEW(104)), L"Flush &Standby Caches");
    // A missing string leaves the text as it was.
    CString kept(L"kept");
    EXPECT_FALSE(kept.LoadString(103));
    EXPECT_EQ(kept, L"kept");
    host::ClearResources(nullptr);
}

TEST(CString, FormatFromAStringResource) {
    host::RegisterStringTable(nullptr, {{200, L"%s has %d items"}});
    CString text;
    text.Format(200u, L"list", 3);
    EXPECT_EQ(text, L"list has 3 items");
    host::ClearResources(nullptr);
}

}  // namespace
