#pragma once

#include "icon.h"

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

// A 'BM' bitmap file, uncompressed, at 1, 4, 8, 16, 24 or 32 bits.
bool IsBitmapFile(const ByteSource &source);
// The picture scaled to the extraction size, fully opaque. Very large
// pictures are sampled rather than read whole.
Icon ExtractBitmapFile(const ByteSource &source);

} // namespace platform
