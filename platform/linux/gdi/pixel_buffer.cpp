#include "host/gdi.h"

namespace host {

void PixelBuffer::Resize(int w, int h, std::uint32_t fill) {
    width = w > 0 ? w : 0;
    height = h > 0 ? h : 0;
    pixels.assign(static_cast<std::size_t>(width) * height, fill);
}

}  // namespace host
