#pragma once

#include "bitmap.h"

#include <cstdint>
#include <vector>

namespace platform {

class Icon;

// Draws an icon at its own size onto a new white bitmap as the platform's
// normal drawing mode does: with alpha, every pixel blended over white and
// the mask ignored; without, white AND mask, then XOR colour.
Bitmap DrawIconOnWhite(const Icon &icon);

// An uncompressed 24-bit bitmap file of a bitmap: 14-byte file header,
// 40-byte info header, rows bottom first padded to 32 bits.
std::vector<std::uint8_t> EncodeBitmapFile(const Bitmap &bitmap);

} // namespace platform
