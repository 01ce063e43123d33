#include "testsupport.h"

#include <algorithm>
#include <cstdlib>

namespace testsupport {

Difference Compare(const platform::Icon &icon, const fixtures::Picture &picture)
{
    Difference d;
    if (icon.Width() != picture.width || icon.Height() != picture.height) {
        d.channel = 256;
        return d;
    }
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * picture.width + x);
            const std::uint32_t a = icon.Pixel(x, y);
            const std::uint32_t b = picture.argb[i];
            for (int shift = 0; shift < 32; shift += 8)
                d.channel = std::max(d.channel, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                                         static_cast<int>((b >> shift) & 0xFF)));
            if (icon.MaskBit(x, y) != (picture.mask[i] != 0))
                ++d.maskBits;
        }
    return d;
}

double MeanChannel(const platform::Icon &icon, int shift)
{
    double sum = 0;
    int n = 0;
    for (int y = 0; y < icon.Height(); ++y)
        for (int x = 0; x < icon.Width(); ++x)
            if (!icon.MaskBit(x, y)) {
                sum += (icon.Pixel(x, y) >> shift) & 0xFF;
                ++n;
            }
    return n ? sum / n : -1;
}

} // namespace testsupport
