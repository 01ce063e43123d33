#pragma once

#include "icon.h"

#include <cstdint>
#include <span>

namespace platform {

bool IsPngStream(std::span<const std::uint8_t> bytes);

// Width, height and bits per pixel from the IHDR chunk; false if the stream
// does not start with a well-formed one.
bool ReadPngHeader(std::span<const std::uint8_t> bytes, int &width, int &height, int &bits);

// Decodes a PNG icon image to straight-alpha pixels with a mask made from
// its alpha (transparent below 128). Null on any error or when the picture
// is larger than an icon can sensibly be.
Icon DecodeIconPng(std::span<const std::uint8_t> bytes);

} // namespace platform
