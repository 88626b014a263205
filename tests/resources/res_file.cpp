#include "res_file.h"

#include <fstream>
#include <iterator>

namespace res_file {

namespace {

// Reads little-endian values and 16-bit strings from a byte range; any read
// past the end makes the reader fail, and it stays failed.
class Reader {
public:
    Reader(const std::vector<std::uint8_t>& bytes, std::size_t at = 0) : bytes_(bytes), at_(at) {}

    bool ok() const { return ok_; }
    std::size_t at() const { return at_; }
    void Seek(std::size_t at) { at_ = at; }
    void AlignTo(std::size_t base, std::size_t boundary) { at_ = base + (at_ - base + boundary - 1) / boundary * boundary; }

    std::uint16_t U16() { return static_cast<std::uint16_t>(Bytes(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Bytes(4)); }
    std::uint8_t U8() { return static_cast<std::uint8_t>(Bytes(1)); }
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }

    std::u16string String() {
        std::u16string text;
        for (std::uint16_t c = U16(); ok_ && c != 0; c = U16()) text += static_cast<char16_t>(c);
        return text;
    }

    NameOrId NameOrOrdinal() {
        const std::uint16_t first = U16();
        if (first == 0xFFFF) return NameOrId{U16(), {}};
        NameOrId result;
        if (first != 0) result.name = static_cast<char16_t>(first) + String();
        return result;
    }

private:
    std::uint64_t Bytes(std::size_t count) {
        if (!ok_ || at_ + count > bytes_.size()) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < count; ++i) value |= static_cast<std::uint64_t>(bytes_[at_ + i]) << (8 * i);
        at_ += count;
        return value;
    }

    const std::vector<std::uint8_t>& bytes_;
    std::size_t at_;
    bool ok_ = true;
};

}  // namespace

std::optional<std::vector<Resource>> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<Resource> resources;
    std::size_t start = 0;
    while (start < bytes.size()) {
        Reader r(bytes, start);
        const std::uint32_t dataSize = r.U32(), headerSize = r.U32();
        Resource resource;
        resource.type = r.NameOrOrdinal();
        resource.name = r.NameOrOrdinal();
        r.AlignTo(start, 4);
        r.U32();  // data version
        r.U16();  // memory flags
        resource.language = r.U16();
        const std::size_t dataStart = start + headerSize;
        if (!r.ok() || headerSize < 32 || dataStart + dataSize > bytes.size()) return std::nullopt;
        resource.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(dataStart),
                             bytes.begin() + static_cast<std::ptrdiff_t>(dataStart + dataSize));
        // The first entry of every .res file is an empty one that marks the format.
        if (dataSize != 0 || resource.type.id != 0) resources.push_back(std::move(resource));
        start = (dataStart + dataSize + 3) / 4 * 4;
    }
    return resources;
}

const Resource* Find(const std::vector<Resource>& resources, std::uint16_t type, std::uint16_t id) {
    for (const Resource& r : resources) {
        if (r.type.id == type && r.name.id == id) return &r;
    }
    return nullptr;
}

std::optional<Dialog> ReadDialog(const std::vector<std::uint8_t>& data) {
    Reader r(data);
    if (r.U16() != 1 || r.U16() != 0xFFFF) return std::nullopt;  // DLGTEMPLATEEX
    Dialog d;
    d.helpId = r.U32();
    d.exStyle = r.U32();
    d.style = r.U32();
    const std::uint16_t count = r.U16();
    d.x = r.I16(), d.y = r.I16(), d.cx = r.I16(), d.cy = r.I16();
    d.menu = r.NameOrOrdinal();
    d.windowClass = r.NameOrOrdinal();
    d.title = r.String();
    if (d.style & 0x40) {  // DS_SETFONT
        d.pointSize = r.U16();
        d.weight = r.U16();
        d.italic = r.U8();
        d.charset = r.U8();
        d.typeface = r.String();
    }
    for (std::uint16_t i = 0; i < count && r.ok(); ++i) {
        r.AlignTo(0, 4);
        DialogItem item;
        item.helpId = r.U32();
        item.exStyle = r.U32();
        item.style = r.U32();
        item.x = r.I16(), item.y = r.I16(), item.cx = r.I16(), item.cy = r.I16();
        item.id = r.U32();
        item.className = r.NameOrOrdinal();
        item.text = r.NameOrOrdinal();
        item.extraBytes = r.U16();
        r.Seek(r.at() + item.extraBytes);
        d.items.push_back(item);
    }
    if (!r.ok()) return std::nullopt;
    return d;
}

std::optional<std::vector<std::u16string>> ReadStringBlock(const std::vector<std::uint8_t>& data) {
    Reader r(data);
    std::vector<std::u16string> strings;
    for (int i = 0; i < 16; ++i) {
        const std::uint16_t length = r.U16();
        std::u16string s;
        for (std::uint16_t k = 0; k < length; ++k) s += static_cast<char16_t>(r.U16());
        strings.push_back(s);
    }
    if (!r.ok()) return std::nullopt;
    return strings;
}

std::optional<std::vector<std::uint32_t>> ReadFileVersion(const std::vector<std::uint8_t>& data) {
    // VS_VERSIONINFO: three WORDs, the key "VS_VERSION_INFO", padding to a
    // DWORD, then VS_FIXEDFILEINFO.
    Reader r(data);
    r.U16(), r.U16(), r.U16();
    if (r.String() != u"VS_VERSION_INFO") return std::nullopt;
    r.AlignTo(0, 4);
    if (r.U32() != 0xFEEF04BD) return std::nullopt;
    r.U32();  // structure version
    std::vector<std::uint32_t> words = {r.U32(), r.U32(), r.U32(), r.U32()};
    if (!r.ok()) return std::nullopt;
    return words;
}

std::u16string Utf16(const wchar_t* text) {
    std::u16string result;
    for (const wchar_t* c = text; c && *c; ++c) result += static_cast<char16_t>(*c);
    return result;
}

}  // namespace res_file
