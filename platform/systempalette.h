#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace platform {

// The fixed colour tables the platform converts true-colour images to when
// asked for 8, 4 or 1 bits per pixel: 20 system colours around a 3-3-2
// colour cube, the 16 VGA colours, black and white. Colours are 0x00RRGGBB.
// We keep them to measure our own tables against and as a fallback.
std::span<const std::uint32_t> SystemPalette(unsigned entries);

} // namespace platform
