#pragma once

// The background tile and the skin picture drawn over it.

#include "relief.h"

#include <QImage>

namespace skinart {

// The 128 x 128 background tile, true colour; it repeats without seams.
QImage BackgroundTile();

// The skin with true alpha, transparent where the tiles are to show. outer
// is the window's outline without the vent slots.
QImage SkinArt(const Shape &outer);

// The skin at 256 colours for the window whose shape is window, over tile.
QImage SkinPicture(const QImage &art, const Shape &window, const QImage &tile);

} // namespace skinart
