#pragma once

// A picture of the whole window as it will look, for judging the artwork.

#include "relief.h"
#include "skinart.h"

#include <QImage>

#include <array>

namespace skinart {

using FaceSet = std::array<std::array<QImage, 3>, kButtonCount>;

// The window with a file chosen: tiles, skin, logo, faces and sketches of
// the controls, cut by the shape, on a desktop.
QImage Mock(const QImage &tile, const QImage &skin, const Shape &window, const FaceSet &faces,
            const QImage &icon);

} // namespace skinart
