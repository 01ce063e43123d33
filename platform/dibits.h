#pragma once

#include "bitmap.h"

#include <cstdint>
#include <span>

namespace platform {

// The size of a bitmap, as the platform describes it; false for a null one.
bool GetBitmapSize(const Bitmap &bitmap, int &width, int &height);

// Converts a bitmap to device-independent rows. info holds a 40-byte
// bitmap info header (width and height as the bitmap's, height positive for
// bottom-up rows, 1, 4, 8, 16, 24 or 32 bits per pixel) followed by room for
// the colour table, which is filled at 8 bits and fewer. bits receives the
// rows, each padded to 32 bits. Converts scan lines [0, scanLines) and
// returns how many, or 0 when the header or the buffers do not fit.
// A monochrome bitmap keeps its bits with the table black, white; a colour
// bitmap gets a table chosen for it (see ReduceColours).
int GetDIBits(const Bitmap &bitmap, int scanLines, std::span<std::uint8_t> bits,
              std::span<std::uint8_t> info);

} // namespace platform
