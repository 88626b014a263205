#pragma once
// PNG files of 32-bit pictures with alpha (colour type 6, 8 bits a channel).

#include "icon_resample.h"

#include <string>
#include <vector>

namespace icons {

// The bytes of a PNG file holding `picture`.
std::vector<unsigned char> EncodePng(const Picture& picture);
// Writes them to `path`; false when the file cannot be written.
bool WritePng(const Picture& picture, const std::string& path);

}  // namespace icons
