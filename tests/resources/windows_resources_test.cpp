// palisk.exe's resources, as windres compiles the script palisk-rc writes,
// hold exactly the templates, strings and icon that the Linux host
// registers from the resources/ folder, a version resource and the manifest.

#include <gtest/gtest.h>

#include "res_file.h"
#include "resource_script.h"
#include "resources/dialogs.h"
#include "resources/resource_ids.h"
#include "resources/strings.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace {

constexpr std::uint16_t kIcon = 3, kDialog = 5, kString = 6, kGroupIcon = 14, kVersion = 16, kManifest = 24;

class WindowsResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() { compiled_ = res_file::Read(PALISK_WINDOWS_RES); }

    const res_file::Resource& Get(std::uint16_t type, std::uint16_t id) {
        const res_file::Resource* found = compiled_ ? res_file::Find(*compiled_, type, id) : nullptr;
        if (!found) ADD_FAILURE() << "no resource " << id << " of type " << type;
        static const res_file::Resource none;
        return found ? *found : none;
    }

    res_file::Dialog DialogOf(WORD id) {
        const auto dialog = res_file::ReadDialog(Get(kDialog, id).data);
        if (!dialog) ADD_FAILURE() << "dialog " << id << " is malformed";
        return dialog.value_or(res_file::Dialog{});
    }

    static std::optional<std::vector<res_file::Resource>> compiled_;
};

std::optional<std::vector<res_file::Resource>> WindowsResources::compiled_;

std::u16string Lower(std::u16string text) {
    for (char16_t& c : text) c = c < 128 ? static_cast<char16_t>(std::tolower(c)) : c;
    return text;
}

void ExpectSameDialog(const res_file::Dialog& compiled, const resources::DialogDefinition& definition) {
    EXPECT_EQ(compiled.style, definition.style);
    EXPECT_EQ(compiled.exStyle, definition.exStyle);
    EXPECT_EQ(compiled.x, definition.x);
    EXPECT_EQ(compiled.y, definition.y);
    EXPECT_EQ(compiled.cx, definition.cx);
    EXPECT_EQ(compiled.cy, definition.cy);
    EXPECT_EQ(compiled.menu.id, 0);
    EXPECT_TRUE(compiled.menu.name.empty());
    EXPECT_TRUE(compiled.windowClass.name.empty());
    EXPECT_EQ(compiled.title, res_file::Utf16(definition.caption));
    EXPECT_EQ(compiled.pointSize, definition.fontPoints);
    EXPECT_EQ(compiled.weight, FW_NORMAL);
    EXPECT_EQ(compiled.italic, 0);
    EXPECT_EQ(compiled.charset, DEFAULT_CHARSET);
    EXPECT_EQ(compiled.typeface, res_file::Utf16(definition.fontFace));
    ASSERT_EQ(compiled.items.size(), definition.controls.size());
    for (std::size_t i = 0; i < definition.controls.size(); ++i) {
        const resources::DialogControl& control = definition.controls[i];
        const res_file::DialogItem& item = compiled.items[i];
        SCOPED_TRACE(testing::Message() << "control " << i << ", id " << control.id);
        EXPECT_EQ(item.id, control.id);
        EXPECT_EQ(item.style, control.style);
        EXPECT_EQ(item.exStyle, control.exStyle);
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.x, control.x);
        EXPECT_EQ(item.y, control.y);
        EXPECT_EQ(item.cx, control.cx);
        EXPECT_EQ(item.cy, control.cy);
        // Class names are matched without regard to case (windres writes them in capitals).
        EXPECT_EQ(Lower(item.className.name), Lower(res_file::Utf16(control.className)));
        if (control.iconOrdinal != 0) {
            EXPECT_EQ(item.text.id, control.iconOrdinal);
        } else {
            EXPECT_EQ(item.text.name, res_file::Utf16(control.caption));
        }
        EXPECT_EQ(item.extraBytes, 0);
    }
}

TEST_F(WindowsResources, TheMainTemplateIsTheOneTheLinuxHostCreates) {
    ExpectSameDialog(DialogOf(IDD_PALISK_DIALOG), resources::MainDialog());
}

TEST_F(WindowsResources, TheAboutTemplateIsTheOneTheLinuxHostCreates) {
    ExpectSameDialog(DialogOf(IDD_ABOUTBOX), resources::AboutDialog());
}

// A resource script makes every control visible unless told otherwise.
TEST_F(WindowsResources, ControlsTheTemplateHidesStayHidden) {
    const res_file::Dialog main = DialogOf(IDD_PALISK_DIALOG);
    auto visible = [&](std::uint32_t id) {
        for (const res_file::DialogItem& item : main.items)
            if (item.id == id) return (item.style & WS_VISIBLE) != 0;
        ADD_FAILURE() << "no control " << id;
        return false;
    };
    EXPECT_FALSE(visible(1018));
    EXPECT_FALSE(visible(1019));
    EXPECT_FALSE(visible(1006));
    EXPECT_FALSE(visible(1013));
    EXPECT_TRUE(visible(1027));
    EXPECT_TRUE(visible(1004));
}

TEST_F(WindowsResources, TheStringTableHoldsTheSystemMenuTexts) {
    // Strings 101 to 104 live in block 101 / 16 + 1 = 7, at 101 % 16 = 5 on.
    const auto block = res_file::ReadStringBlock(Get(kString, 7).data);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ((*block)[5], u"&About Palisk...");
    EXPECT_EQ((*block)[6], u"&Flush All Working Sets");
    EXPECT_EQ((*block)[7], u"Flush &Target WS");
    EXPECT_EQ((*block)[8], u"Flush &Standby Caches");
    EXPECT_EQ((*block)[4], u"");
    for (const resources::StringResource& s : resources::Strings())
        EXPECT_EQ((*block)[s.id % 16], res_file::Utf16(s.text)) << s.id;
}

TEST_F(WindowsResources, Icon128HasThePicturesTheLinuxHostRegisters) {
    const host::IconResources expected = windows_resources::ApplicationIcon();
    ASSERT_EQ(expected.images.size(), 3u);
    EXPECT_EQ(Get(kGroupIcon, IDR_MAINFRAME).data, expected.group);
    for (const auto& [id, bits] : expected.images) EXPECT_EQ(Get(kIcon, id).data, bits) << "image " << id;
    // Three 48 x 48 pictures: 16 colours, 256 colours and true colour.
    const std::vector<BYTE>& group = Get(kGroupIcon, IDR_MAINFRAME).data;
    ASSERT_EQ(group.size(), 6u + 3 * 14);
    const int kDepths[] = {4, 8, 32};
    for (int i = 0; i < 3; ++i) {
        const BYTE* entry = group.data() + 6 + 14 * i;
        EXPECT_EQ(entry[0], 48);
        EXPECT_EQ(entry[1], 48);
        EXPECT_EQ(entry[6], kDepths[i]);
    }
}

TEST_F(WindowsResources, TheVersionIsTheProjectsAndTheAboutBoxSaysIt) {
    const auto version = res_file::ReadFileVersion(Get(kVersion, 1).data);
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ((*version)[0], 0x00030008u);  // 3.8
    EXPECT_EQ((*version)[1], 0u);
    EXPECT_EQ((*version)[2], 0x00030008u);
    EXPECT_EQ(std::string(PALISK_VERSION), "3.8");
    EXPECT_EQ(std::wstring(resources::AboutDialog().controls[1].caption), L"Palisk Version 3.8");
}

TEST_F(WindowsResources, TheManifestAsksForAnAdministratorAndPerMonitorDpiAwareness) {
    std::ifstream file(PALISK_SOURCE_DIR "/resources/palisk.manifest", std::ios::binary);
    const std::vector<std::uint8_t> source{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::vector<std::uint8_t>& manifest = Get(kManifest, 1).data;
    EXPECT_EQ(manifest, source);
    const std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos);
}

}  // namespace
