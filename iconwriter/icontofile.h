#pragma once

// Writes an icon as a one-image icon file at a chosen colour depth.

#include "iconwriter/iconextraction.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class Bitmap;
}

namespace iconwriter {

// Colour-depth codes: bits per pixel of the saved colour image.
enum ColourDepth : std::uint8_t
{
    cdMono = 0,      // 1 bit, 2 colours; the mask is always captured so
    cdColours16 = 1, // 4 bits
    cdColours256 = 2,
    cdTrueColour = 3, // 24 bits, as every code not listed here
    cdTrueColourAlpha = 4,
};

// Results of WriteIconFile.
enum WriteResult : std::int32_t
{
    wrWritten = 0,
    wrNameTooShort = -1,
    wrNoIconInfo = -2,
    wrCaptureFailed = -3,
    wrCreateFailed = -4,
    wrWriteFailed = -5,
};

// What each result means, for messages.
const char *WriteResultText(std::int32_t result);

// Converts a bitmap to device-independent rows at the depth of the code.
// Header receives the 40-byte info header and the colour table, Bits the
// rows. Returns the header-plus-table size, or 0 on failure: when the
// bitmap can't be described (a null bitmap) both buffers are left as they
// were; when only the conversion fails both are filled in.
std::uint16_t CaptureBitmapBits(const platform::Bitmap &Bitmap, std::vector<std::uint8_t> &Header,
                                std::vector<std::uint8_t> &Bits, std::uint8_t Depth);

// Writes Icon to FileName (used as given, extension included) as an icon
// file with one image whose colour part has the depth of the Depth code.
// 0 only when the complete file is on disk; an existing file of that name
// is replaced, and kept as it was when the write fails.
std::int32_t WriteIconFile(const std::string &FileName, const IconHandle &Icon, std::uint8_t Depth);

} // namespace iconwriter
