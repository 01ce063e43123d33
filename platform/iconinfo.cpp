#include "iconinfo.h"

#include "icon.h"

namespace platform {

bool GetIconInfo(const Icon &icon, IconInfo &info)
{
    if (icon.IsNull())
        return false;
    const int w = icon.Width();
    const int h = icon.Height();
    info = IconInfo{};
    info.hotspotX = w / 2;
    info.hotspotY = h / 2;
    info.mask = Bitmap(w, h, /*monochrome=*/true);
    std::vector<std::uint8_t> hidden(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    bool anyHidden = false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (icon.MaskBit(x, y)) {
                info.mask.SetPixel(x, y, 0xFFFFFFu);
                hidden[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                       static_cast<std::size_t>(x)] = 1;
                anyHidden = true;
            }
    if (icon.HasColourImage()) {
        info.colour = Bitmap(w, h, /*monochrome=*/false, icon.Pixels());
        if (anyHidden)
            info.colour.SetHidden(std::move(hidden));
    }
    return true;
}

} // namespace platform
