#pragma once

#include "icon.h"

#include <string>

namespace platform {

class ByteSource;

// The size the platform extracts icons at (large icons at 96 dpi).
inline constexpr int kIconSize = 32;

// Number of icons in a file, as the platform's icon extraction answers for
// index -1: group icons of a PE32/PE32+ or 16-bit NE file, 1 for an .ico,
// .cur, .ani or uncompressed .bmp, 0 for anything else or a file that cannot
// be read. Never throws.
int CountIcons(const ByteSource &source);
int CountIcons(const std::string &path);

// The icon at index (0 or more), or, for a negative index other than -1, the
// group whose resource id is -index. Always kIconSize x kIconSize; a null
// icon when there is none. Never throws.
Icon ExtractIcon(const ByteSource &source, int index);
Icon ExtractIcon(const std::string &path, int index);

} // namespace platform
