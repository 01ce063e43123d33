#pragma once

#include <cstdint>

namespace controls {

// Pixels of an Extent-long bar at Percentage: Extent x (Percentage x 0.01),
// each product rounded to nearest in 80-bit extended precision (64-bit
// mantissa) with 0.01 the nearest such value to one hundredth, the result
// truncated toward zero. The rounding of 0.01 makes some whole results one
// short (99 % of 100 is 98), which is how the bars have always been drawn.
// Computed in integers, so it does not depend on the compiler's long double.
std::int64_t FillExtent(int Extent, int Percentage);

} // namespace controls
