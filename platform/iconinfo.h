#pragma once

#include "bitmap.h"

namespace platform {

class Icon;

// What the platform tells about an icon: its two images as bitmaps the
// caller then owns. Colour is a null bitmap for an icon without one.
struct IconInfo
{
    bool isIcon = true;
    int hotspotX = 0;
    int hotspotY = 0;
    Bitmap mask;
    Bitmap colour;
};

// False for the null icon.
bool GetIconInfo(const Icon &icon, IconInfo &info);

} // namespace platform
