#pragma once

#include "icon.h"

namespace platform {

// Resamples an icon to width x height: an area-weighted average when
// shrinking, bilinear when enlarging. Colour is weighted by opacity, so
// transparent pixels do not bleed dark fringes into the edges; a mask bit is
// set where at least half of the covered source is transparent. An icon without alpha stays
// without.
Icon ScaleIcon(const Icon &source, int width, int height);

} // namespace platform
