#include "bitmap.h"

namespace platform {

Bitmap::Bitmap(int width, int height, bool monochrome)
{
    if (width <= 0 || height <= 0)
        return;
    W = width;
    H = height;
    Mono = monochrome;
    Pixels_.assign(static_cast<std::size_t>(W) * static_cast<std::size_t>(H), 0u);
}

} // namespace platform
