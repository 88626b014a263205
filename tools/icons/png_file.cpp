#include "png_file.h"

#include <fstream>
#include <zlib.h>

namespace icons {

namespace {

void Append32(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

// A chunk: length, type, data, and the CRC of type and data.
void AppendChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    Append32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
    Append32(out, static_cast<std::uint32_t>(crc));
}

// Each row: filter type 0, then red, green, blue, alpha of every pixel.
std::vector<unsigned char> Scanlines(const Picture& picture) {
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<std::size_t>(picture.height) * (1 + 4 * static_cast<std::size_t>(picture.width)));
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t p = picture.argb[static_cast<std::size_t>(y) * picture.width + x];
            for (int shift : {16, 8, 0, 24}) raw.push_back(static_cast<unsigned char>(p >> shift));
        }
    }
    return raw;
}

}  // namespace

std::vector<unsigned char> EncodePng(const Picture& picture) {
    static const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> out(std::begin(kSignature), std::end(kSignature));
    std::vector<unsigned char> header;
    Append32(header, static_cast<std::uint32_t>(picture.width));
    Append32(header, static_cast<std::uint32_t>(picture.height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter method, no interlace
    AppendChunk(out, "IHDR", header);

    const std::vector<unsigned char> raw = Scanlines(picture);
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);
    AppendChunk(out, "IDAT", packed);
    AppendChunk(out, "IEND", {});
    return out;
}

bool WritePng(const Picture& picture, const std::string& path) {
    const std::vector<unsigned char> bytes = EncodePng(picture);
    if (bytes.empty()) return false;
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace icons
