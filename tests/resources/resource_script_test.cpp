// Writing palisk.exe's resource script: the escapes of its strings, control
// styles written so that the script adds nothing, and the .ico file.

#include <gtest/gtest.h>

#include "resource_script.h"

#include <windows.h>

namespace {

using windows_resources::DialogStatement;
using windows_resources::IconFile;
using windows_resources::ScriptString;

TEST(ScriptString, QuotesAreDoubledAndBackslashesAndLineBreaksEscaped) {
    EXPECT_EQ(ScriptString(L"2x Cach Max"), "\"2x Cach Max\"");
    EXPECT_EQ(ScriptString(L"say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(ScriptString(L"C:\\dir\nnext\ttab"), "\"C:\\\\dir\\nnext\\ttab\"");
    EXPECT_EQ(ScriptString(nullptr), "\"\"");
}

TEST(ScriptString, TextOutsidePrintableAsciiCannotBeWritten) {
    EXPECT_FALSE(ScriptString(L"Caf\u00e9").has_value());
    EXPECT_FALSE(ScriptString(L"bell\a").has_value());
}

TEST(DialogStatement, ControlsKeepExactlyTheirStylesAndIconsTheirOrdinals) {
    const resources::DialogDefinition dialog{
        7, L"Box", 1, 2, 30, 40, WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 9, L"Face",
        {
            {L"Button", L"Go", 5, 3, 4, 20, 10, WS_CHILD | WS_VISIBLE | WS_TABSTOP},
            {L"Button", L"Hidden", 6, 3, 16, 20, 10, WS_CHILD | BS_MULTILINE, WS_EX_CLIENTEDGE},
            {L"Static", nullptr, 0xFFFF, 1, 1, 8, 8, WS_CHILD | WS_VISIBLE | SS_ICON, 0, 128},
        },
    };
    EXPECT_EQ(DialogStatement(dialog),
              "7 DIALOGEX 1, 2, 30, 40\n"
              "STYLE 0x80C00040\n"
              "EXSTYLE 0x00000000\n"
              "CAPTION \"Box\"\n"
              "FONT 9, \"Face\", 400, 0, 1\n"
              "BEGIN\n"
              "    CONTROL \"Go\", 5, \"Button\", 0x50010000, 3, 4, 20, 10, 0x00000000\n"
              "    CONTROL \"Hidden\", 6, \"Button\", NOT 0x10000000 | 0x40002000, 3, 16, 20, 10, 0x00000200\n"
              "    CONTROL 128, 65535, \"Static\", 0x50000003, 1, 1, 8, 8, 0x00000000\n"
              "END\n");
}

TEST(DialogStatement, NoFontWithoutDsSetFontAndNoCaptionWithoutOne) {
    const resources::DialogDefinition dialog{9, nullptr, 0, 0, 10, 10, WS_POPUP, 0, 8, L"Face", {}};
    EXPECT_EQ(DialogStatement(dialog), "9 DIALOGEX 0, 0, 10, 10\nSTYLE 0x80000000\nEXSTYLE 0x00000000\nBEGIN\nEND\n");
}

TEST(IconFile, EachEntryPointsAtItsImageAfterTheDirectory) {
    host::IconResources icon;
    icon.group = {0, 0, 1, 0, 2, 0,                                     // reserved, icon, two images
                  16, 16, 16, 0, 1, 0, 4, 0, 3, 0, 0, 0, 1, 0,          // 3 bytes, id 1
                  32, 32, 0, 0, 1, 0, 32, 0, 2, 0, 0, 0, 2, 0};         // 2 bytes, id 2
    icon.images = {{1, {0xA1, 0xA2, 0xA3}}, {2, {0xB1, 0xB2}}};
    const std::vector<BYTE> expected = {
        0, 0, 1, 0, 2, 0,
        16, 16, 16, 0, 1, 0, 4, 0, 3, 0, 0, 0, 38, 0, 0, 0,  // 6 + 2 * 16 = 38
        32, 32, 0, 0, 1, 0, 32, 0, 2, 0, 0, 0, 41, 0, 0, 0,  // 38 + 3
        0xA1, 0xA2, 0xA3, 0xB1, 0xB2};
    EXPECT_EQ(IconFile(icon), expected);
}

TEST(IconFile, ADirectoryThatDoesNotMatchItsImagesGivesNothing) {
    host::IconResources icon;
    icon.group = {0, 0, 1, 0, 1, 0};  // one image announced, no entry
    icon.images = {{1, {1, 2, 3}}};
    EXPECT_TRUE(IconFile(icon).empty());
}

}  // namespace
