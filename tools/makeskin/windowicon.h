#pragma once

// The window icon, 32 x 32 in the 16 VGA colours.

#include "platform/icon.h"

#include <QImage>

namespace skinart {

// The icon as a picture: alpha 0 (transparent) or 255, colours from the 16.
QImage WindowIcon();

// The same picture at Size x Size for desktop themes: whole multiples of
// 32 keep its pixels sharp; other sizes come from the nearest larger
// multiple (or from 32), averaged down.
QImage WindowIconAt(int Size);

// The same as the icon object the writer takes: transparent pixels black
// and masked.
platform::Icon ToPlatformIcon(const QImage &image);

} // namespace skinart
