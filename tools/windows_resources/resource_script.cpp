#include "resource_script.h"

#include "resources/app_icon.h"
#include "resources/dialogs.h"
#include "resources/resource_ids.h"

#include <cstdio>
#include <cwchar>

namespace windows_resources {

namespace {

// What the script adds to every CONTROL's style unless told otherwise.
constexpr DWORD kScriptDefaultControlStyle = WS_CHILD | WS_VISIBLE;

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

std::string Place(short x, short y, short cx, short cy) {
    return std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(cx) + ", " + std::to_string(cy);
}

// The style as a script expression that yields exactly `style`: the
// default bits the style does not have are taken away with NOT.
std::string ControlStyle(DWORD style) {
    const DWORD unwanted = kScriptDefaultControlStyle & ~style;
    return unwanted ? "NOT " + Hex(unwanted) + " | " + Hex(style) : Hex(style);
}

std::optional<std::string> ControlLine(const resources::DialogControl& control) {
    std::string text;
    if (control.iconOrdinal != 0) {
        text = std::to_string(control.iconOrdinal);
    } else {
        const auto caption = ScriptString(control.caption);
        if (!caption) return std::nullopt;
        text = *caption;
    }
    const auto className = ScriptString(control.className);
    if (!className) return std::nullopt;
    return "    CONTROL " + text + ", " + std::to_string(control.id) + ", " + *className + ", " +
           ControlStyle(control.style) + ", " + Place(control.x, control.y, control.cx, control.cy) + ", " +
           Hex(control.exStyle) + "\n";
}

std::string VersionNumbers(ProductVersion version) {
    char text[32];
    std::snprintf(text, sizeof text, "%d,%d,0,0", version.major, version.minor);
    return text;
}

std::string VersionText(ProductVersion version) {
    char text[32];
    std::snprintf(text, sizeof text, "\"%d.%d.0.0\"", version.major, version.minor);
    return text;
}

// The About box's copyright line, which the version resource repeats.
LPCWSTR AboutCopyright() {
    for (const resources::DialogControl& control : resources::AboutDialog().controls) {
        if (control.caption && std::wcsncmp(control.caption, L"Copyright", 9) == 0) return control.caption;
    }
    return L"";
}

}  // namespace

std::optional<std::string> ScriptString(LPCWSTR text) {
    std::string quoted = "\"";
    for (const WCHAR* c = text; c && *c; ++c) {
        switch (*c) {
            case L'"': quoted += "\"\""; continue;
            case L'\\': quoted += "\\\\"; continue;
            case L'\n': quoted += "\\n"; continue;
            case L'\t': quoted += "\\t"; continue;
            default: break;
        }
        if (*c < 0x20 || *c > 0x7E) return std::nullopt;
        quoted += static_cast<char>(*c);
    }
    return quoted + "\"";
}

std::optional<std::string> DialogStatement(const resources::DialogDefinition& dialog) {
    std::string out = std::to_string(dialog.id) + " DIALOGEX " + Place(dialog.x, dialog.y, dialog.cx, dialog.cy) + "\n";
    out += "STYLE " + Hex(dialog.style) + "\n";
    out += "EXSTYLE " + Hex(dialog.exStyle) + "\n";
    if (dialog.caption) {
        const auto caption = ScriptString(dialog.caption);
        if (!caption) return std::nullopt;
        out += "CAPTION " + *caption + "\n";
    }
    if (dialog.style & DS_SETFONT) {
        const auto face = ScriptString(dialog.fontFace);
        if (!face) return std::nullopt;
        // Size, face, weight, italic, character set: as the template builder writes them.
        out += "FONT " + std::to_string(dialog.fontPoints) + ", " + *face + ", " + std::to_string(FW_NORMAL) +
               ", 0, " + std::to_string(DEFAULT_CHARSET) + "\n";
    }
    out += "BEGIN\n";
    for (const resources::DialogControl& control : dialog.controls) {
        const auto line = ControlLine(control);
        if (!line) return std::nullopt;
        out += *line;
    }
    return out + "END\n";
}

std::optional<std::string> StringTableStatement(const std::vector<resources::StringResource>& strings) {
    std::string out = "STRINGTABLE\nBEGIN\n";
    for (const resources::StringResource& s : strings) {
        const auto text = ScriptString(s.text);
        if (!text) return std::nullopt;
        out += "    " + std::to_string(s.id) + ", " + *text + "\n";
    }
    return out + "END\n";
}

std::optional<std::string> VersionStatement(ProductVersion version, LPCWSTR copyright) {
    const auto legal = ScriptString(copyright);
    if (!legal) return std::nullopt;
    const std::string numbers = VersionNumbers(version), text = VersionText(version);
    return "1 VERSIONINFO\n"
           "FILEVERSION " + numbers + "\n"
           "PRODUCTVERSION " + numbers + "\n"
           "FILEFLAGSMASK 0x3F\n"
           "FILEFLAGS 0x0\n"
           "FILEOS 0x40004\n"      // VOS_NT_WINDOWS32
           "FILETYPE 0x1\n"        // VFT_APP
           "FILESUBTYPE 0x0\n"
           "BEGIN\n"
           "    BLOCK \"StringFileInfo\"\n"
           "    BEGIN\n"
           "        BLOCK \"040904B0\"\n"  // U.S. English, Unicode
           "        BEGIN\n"
           "            VALUE \"FileDescription\", \"Palisk memory-manager explorer\"\n"
           "            VALUE \"FileVersion\", " + text + "\n"
           "            VALUE \"InternalName\", \"palisk\"\n"
           "            VALUE \"LegalCopyright\", " + *legal + "\n"
           "            VALUE \"OriginalFilename\", \"palisk.exe\"\n"
           "            VALUE \"ProductName\", \"Palisk\"\n"
           "            VALUE \"ProductVersion\", " + text + "\n"
           "        END\n"
           "    END\n"
           "    BLOCK \"VarFileInfo\"\n"
           "    BEGIN\n"
           "        VALUE \"Translation\", 0x409, 1200\n"
           "    END\n"
           "END\n";
}

std::optional<std::string> ResourceScript(const ScriptFiles& files, ProductVersion version) {
    const auto icon = ScriptString(std::wstring(files.icon.begin(), files.icon.end()).c_str());
    const auto manifest = ScriptString(std::wstring(files.manifest.begin(), files.manifest.end()).c_str());
    const auto main = DialogStatement(resources::MainDialog());
    const auto about = DialogStatement(resources::AboutDialog());
    const auto strings = StringTableStatement(resources::Strings());
    const auto versionInfo = VersionStatement(version, AboutCopyright());
    if (!icon || !manifest || !main || !about || !strings || !versionInfo) return std::nullopt;
    return "// palisk.exe's resources, written by palisk-rc from the resources/ folder.\n"
           "// Do not edit: change the data there.\n\n"
           "LANGUAGE 0x09, 0x01\n\n" +  // LANG_ENGLISH, SUBLANG_ENGLISH_US
           std::to_string(IDR_MAINFRAME) + " ICON " + *icon + "\n\n" + *about + "\n" + *main + "\n" + *strings +
           "\n" + *versionInfo + "\n" +
           "1 24 " + *manifest + "\n";  // CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST
}

std::vector<BYTE> IconFile(const host::IconResources& icon) {
    constexpr std::size_t kHeader = 6, kGroupEntry = 14, kFileEntry = 16;
    if (icon.group.size() != kHeader + kGroupEntry * icon.images.size()) return {};
    std::vector<BYTE> file(icon.group.begin(), icon.group.begin() + kHeader);
    std::size_t offset = kHeader + kFileEntry * icon.images.size();
    for (std::size_t i = 0; i < icon.images.size(); ++i) {
        // The first 12 bytes of an entry are the same in both directories;
        // the file has the image's 32-bit offset where the group has its id.
        const auto entry = icon.group.begin() + static_cast<std::ptrdiff_t>(kHeader + kGroupEntry * i);
        file.insert(file.end(), entry, entry + 12);
        for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<BYTE>(offset >> shift));
        offset += icon.images[i].second.size();
    }
    for (const auto& image : icon.images) file.insert(file.end(), image.second.begin(), image.second.end());
    return file;
}

host::IconResources ApplicationIcon() {
    std::vector<host::IconImage> images;
    for (const resources::IconPicture& p : resources::AppIconPictures())
        images.push_back(host::IconImage{p.width, p.height, p.bitsPerPixel, p.argb, p.palette});
    return host::BuildIconResources(1, images);
}

}  // namespace windows_resources
