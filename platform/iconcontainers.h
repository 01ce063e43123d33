#pragma once

#include "icon.h"

#include <cstdint>
#include <vector>

namespace platform {

class ByteSource;

// .ico (reserved 0, type 1, at least one image) or .cur (reserved 0, type 2).
bool IsIconFile(const ByteSource &source);
// The best image of an .ico or .cur file at the extraction size.
Icon ExtractIconFile(const ByteSource &source);

// A RIFF 'ACON' animated cursor.
bool IsAniFile(const ByteSource &source);
// Its first frame.
Icon ExtractAniFile(const ByteSource &source);
// Where the first frame (a complete .ico or .cur file) lies in it.
bool FindAniFirstFrame(const ByteSource &source, std::uint64_t &at, std::uint64_t &size);

// A 'BM' bitmap file, uncompressed, at 1, 4, 8, 16, 24 or 32 bits.
bool IsBitmapFile(const ByteSource &source);
// The picture scaled to the extraction size, fully opaque. Very large
// pictures are sampled rather than read whole.
Icon ExtractBitmapFile(const ByteSource &source);
// The picture as an icon image, without loss: its header with the height
// doubled, its colour table, its rows bottom first and an AND mask that
// leaves every pixel opaque. False for a picture wider or higher than
// limits::kMaxIconSide.
bool BitmapAsIconImage(const ByteSource &source, std::vector<std::uint8_t> &out);

} // namespace platform
