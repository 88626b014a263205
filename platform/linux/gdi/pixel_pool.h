#pragma once
// Pixel storage kept from deleted bitmaps for the next bitmap of the same
// size. A chart composes its picture in a bitmap made and deleted at every
// paint; taking the storage back saves mapping, faulting in and unmapping a
// megabyte or so every second. Small bitmaps are left to the allocator.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace host::gdi {

// `count` pixels, each `fill`; from kept storage of exactly that size when
// there is some.
std::vector<std::uint32_t> TakePixels(std::size_t count, std::uint32_t fill);
// Keeps the storage of a bitmap that goes, if it is large enough to be
// worth keeping and the pool has room.
void ReturnPixels(std::vector<std::uint32_t>&& pixels);

}  // namespace host::gdi
