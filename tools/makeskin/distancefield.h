#pragma once

#include <cstdint>
#include <vector>

namespace skinart {

// Euclidean distance from every pixel of a w x h raster to the nearest pixel
// where seeds is non-zero (0 on the seeds themselves; very large when there
// are none). Exact, in linear time (Felzenszwalb and Huttenlocher's lower
// envelope of parabolas, a row pass after a column pass).
std::vector<float> DistanceTo(const std::vector<std::uint8_t> &seeds, int w, int h);

} // namespace skinart
