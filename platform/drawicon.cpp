#include "drawicon.h"

#include "dib.h"
#include "icon.h"

namespace platform {

namespace {

void Put16(std::vector<std::uint8_t> &b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t> &b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v & 0xFFFFu);
    Put16(b, at + 2, v >> 16);
}

} // namespace

Bitmap DrawIconOnWhite(const Icon &icon)
{
    Bitmap out(icon.Width(), icon.Height(), false);
    const bool alpha = icon.HasAlpha();
    for (int y = 0; y < icon.Height(); ++y)
        for (int x = 0; x < icon.Width(); ++x) {
            // An icon without a colour image draws its mask alone.
            const std::uint32_t c = icon.HasColourImage() ? icon.Pixel(x, y) : 0u;
            std::uint32_t rgb = 0;
            if (alpha) {
                const std::uint32_t a = c >> 24;
                for (int shift = 0; shift < 24; shift += 8) {
                    const std::uint32_t v = (c >> shift) & 0xFFu;
                    rgb |= ((v * a + 255u * (255u - a) + 127u) / 255u) << shift;
                }
            } else {
                const std::uint32_t screen = icon.MaskBit(x, y) ? 0xFFFFFFu : 0u;
                rgb = screen ^ (c & 0xFFFFFFu);
            }
            out.SetPixel(x, y, rgb);
        }
    return out;
}

std::vector<std::uint8_t> EncodeBitmapFile(const Bitmap &bitmap)
{
    const auto width = static_cast<std::uint32_t>(bitmap.Width());
    const auto height = static_cast<std::uint32_t>(bitmap.Height());
    const auto stride = static_cast<std::uint32_t>(DibStride(width, 24));
    const std::uint32_t rows = stride * height;
    std::vector<std::uint8_t> file(14 + 40 + rows, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<std::uint32_t>(file.size()));
    Put32(file, 10, 14 + 40);
    Put32(file, 14, 40);
    Put32(file, 18, width);
    Put32(file, 22, height); // positive: bottom row first
    Put16(file, 26, 1);
    Put16(file, 28, 24);
    Put32(file, 34, rows);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::size_t row = 54 + static_cast<std::size_t>(height - 1 - y) * stride;
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t p = bitmap.Pixel(static_cast<int>(x), static_cast<int>(y));
            file[row + 3 * x] = static_cast<std::uint8_t>(p);
            file[row + 3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
            file[row + 3 * x + 2] = static_cast<std::uint8_t>(p >> 16);
        }
    }
    return file;
}

} // namespace platform
