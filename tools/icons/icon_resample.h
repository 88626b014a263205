#pragma once
// The application icon at the sizes a desktop asks for, from icon 128's
// true-colour picture.

#include <cstdint>
#include <vector>

namespace icons {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // rows top-down, 0xAARRGGBB, not premultiplied
};

// `source` resampled to `size` x `size` by area: each new pixel is the
// average of the source area it covers, weighted by how much of each
// source pixel falls in it and by its alpha, so a transparent pixel's
// colour never bleeds into its neighbours. Whole-number enlargements keep
// every source pixel a sharp square; reductions average.
Picture ResampleByArea(const Picture& source, int size);

}  // namespace icons
