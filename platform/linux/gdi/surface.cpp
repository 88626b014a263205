#include "surface.h"

namespace host::gdi {

Surface SurfaceOf(PixelBuffer& buffer) {
    Surface s;
    // A buffer resized by hand may disagree with its vector; draw on neither.
    if (buffer.width <= 0 || buffer.height <= 0 ||
        buffer.pixels.size() < static_cast<std::size_t>(buffer.width) * buffer.height) {
        return s;
    }
    s.origin = buffer.pixels.data();
    s.width = buffer.width;
    s.height = buffer.height;
    s.stride = buffer.width;
    return s;
}

Surface SurfaceOf(BitmapObject& bitmap) {
    Surface s = SurfaceOf(bitmap.buffer);
    if (bitmap.bottomUp && !s.Empty()) {
        s.origin += static_cast<std::ptrdiff_t>(s.height - 1) * s.width;
        s.stride = -s.stride;
    }
    return s;
}

Surface SurfaceOf(DcObject& dc) {
    if (!dc.IsMemory()) return dc.windowBuffer ? SurfaceOf(*dc.windowBuffer) : Surface{};
    auto* bitmap = FindTyped<BitmapObject>(dc.state.bitmap, OBJ_BITMAP);
    return bitmap ? SurfaceOf(*bitmap) : Surface{};
}

}  // namespace host::gdi
