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

Bitmap::Bitmap(int width, int height, bool monochrome, std::span<const std::uint32_t> pixels)
{
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return;
    W = width;
    H = height;
    Mono = monochrome;
    Pixels_.assign(pixels.begin(), pixels.end());
}

} // namespace platform
