#pragma once

#include "icon.h"

namespace platform {

// Resamples an icon to width x height with a triangle filter as wide as the
// scale factor (bilinear when enlarging, an area-weighted average when
// shrinking). Colour is weighted by opacity, so transparent pixels do not
// bleed dark fringes into the edges; a mask bit is set where at least half
// of the covered source is transparent. An icon without alpha stays without.
Icon ScaleIcon(const Icon &source, int width, int height);

} // namespace platform
