#pragma once
// The resource script of palisk.exe, written from the data of the
// resources/ folder: dialog templates 100 and 102, the string table, icon
// 128, the version resource and the manifest. windres compiles the script;
// the Linux host registers the same data at start-up, so the two programs
// carry the same resources.

#include <windows.h>

#include "host/resources.h"
#include "resources/dialog_template.h"
#include "resources/strings.h"

#include <optional>
#include <string>
#include <vector>

namespace windows_resources {

struct ProductVersion {
    int major = 0;
    int minor = 0;
};

// Where the script finds the files it names.
struct ScriptFiles {
    std::string icon;      // the application icon (.ico)
    std::string manifest;  // the application manifest
};

// `text` as a resource-script string literal: quoted, with quotes doubled
// and backslashes, line feeds and tabs escaped. Null text is the empty
// string. Nothing when the text holds a character a script without a code
// page cannot carry (anything outside printable ASCII but line feed and tab).
std::optional<std::string> ScriptString(LPCWSTR text);

// A DIALOGEX statement that windres compiles into exactly the template
// `dialog` describes: every control's style is written in full (the script
// otherwise adds WS_VISIBLE to each control), an SS_ICON static names its
// icon by ordinal, and the font is given whole (size, face, weight,
// italic, character set) when the style asks for one.
std::optional<std::string> DialogStatement(const resources::DialogDefinition& dialog);

std::optional<std::string> StringTableStatement(const std::vector<resources::StringResource>& strings);

// VERSIONINFO 1 of an application; `copyright` becomes LegalCopyright.
std::optional<std::string> VersionStatement(ProductVersion version, LPCWSTR copyright);

// The whole script: icon 128, both dialogs, the strings, the version and
// the manifest (resource 1 of type RT_MANIFEST).
std::optional<std::string> ResourceScript(const ScriptFiles& files, ProductVersion version);

// An .ico file of the icon's images: the group's directory with each
// entry's resource id replaced by the image's offset in the file.
std::vector<BYTE> IconFile(const host::IconResources& icon);

// The application icon (resource 128) as resources, from resources/.
host::IconResources ApplicationIcon();

}  // namespace windows_resources
