#include "pixel_pool.h"

#include <algorithm>

namespace host::gdi {

namespace {

// Below this the allocator reuses freed blocks well by itself.
constexpr std::size_t kSmallest = 16 * 1024;  // pixels: 64 KiB
// At most this much storage is kept: the two charts on show at once.
constexpr std::size_t kMostKept = 2;
constexpr std::size_t kMostPixels = 1024 * 1024;  // 4 MiB

std::vector<std::vector<std::uint32_t>>& Kept() {
    // Never destroyed: bitmaps may go after static objects at exit.
    static auto& kept = *new std::vector<std::vector<std::uint32_t>>();
    return kept;
}

}  // namespace

std::vector<std::uint32_t> TakePixels(std::size_t count, std::uint32_t fill) {
    auto& kept = Kept();
    auto it = std::find_if(kept.begin(), kept.end(), [count](const auto& v) { return v.size() == count; });
    if (it == kept.end()) return std::vector<std::uint32_t>(count, fill);
    std::vector<std::uint32_t> pixels = std::move(*it);
    kept.erase(it);
    std::fill(pixels.begin(), pixels.end(), fill);
    return pixels;
}

void ReturnPixels(std::vector<std::uint32_t>&& pixels) {
    if (pixels.size() < kSmallest || pixels.size() > kMostPixels) return;
    auto& kept = Kept();
    std::size_t total = pixels.size();
    for (const auto& v : kept) total += v.size();
    // The newest storage stays; the oldest makes room.
    while (!kept.empty() && (kept.size() >= kMostKept || total > kMostPixels)) {
        total -= kept.front().size();
        kept.erase(kept.begin());
    }
    if (total <= kMostPixels) kept.push_back(std::move(pixels));
}

}  // namespace host::gdi
