#pragma once
// Reading what windres writes: a .res file (a sequence of resources, each
// a header and its data) and the Windows layouts inside it, whose text is
// always 16-bit (the host's wchar_t may be wider).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace res_file {

// A string or an ordinal, as resource headers and templates name things.
struct NameOrId {
    std::uint16_t id = 0;  // 0 when `name` is used
    std::u16string name;
};

struct Resource {
    NameOrId type;
    NameOrId name;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> data;
};

// The resources of a .res file; nothing when it is malformed.
std::optional<std::vector<Resource>> Read(const std::string& path);

// The resource of the given numeric type and id, or null.
const Resource* Find(const std::vector<Resource>& resources, std::uint16_t type, std::uint16_t id);

struct DialogItem {
    std::uint32_t helpId = 0, exStyle = 0, style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;
    NameOrId className;
    NameOrId text;
    std::uint16_t extraBytes = 0;
};

struct Dialog {
    std::uint32_t helpId = 0, exStyle = 0, style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrId menu, windowClass;
    std::u16string title;
    std::uint16_t pointSize = 0, weight = 0;
    std::uint8_t italic = 0, charset = 0;
    std::u16string typeface;
    std::vector<DialogItem> items;
};

// A DLGTEMPLATEEX; nothing when it is malformed.
std::optional<Dialog> ReadDialog(const std::vector<std::uint8_t>& data);

// The 16 strings of an RT_STRING block; nothing when it is malformed.
std::optional<std::vector<std::u16string>> ReadStringBlock(const std::vector<std::uint8_t>& data);

// The four 32-bit version words of VS_FIXEDFILEINFO (file MS, file LS,
// product MS, product LS); nothing without the fixed-info signature.
std::optional<std::vector<std::uint32_t>> ReadFileVersion(const std::vector<std::uint8_t>& data);

std::u16string Utf16(const wchar_t* text);

}  // namespace res_file
