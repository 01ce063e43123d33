#pragma once

// How the program asks for the icons of a file. The platform's icon
// extraction answers a count for index -1 and an icon handle for any other
// index; here the two answers are two calls, so a count can never be taken
// for a handle.

#include "platform/icon.h"

#include <string>

namespace iconwriter {

// The icon handle. Whoever holds it owns it: the preview picture keeps the
// one it shows, and replacing or dropping it destroys the icon.
using IconHandle = platform::Icon;

// Number of icons in the file at FileName, 0 when it has none or cannot be
// read (the extraction's index -1).
int IconCount(const std::string &FileName);

// The icon at Index, or a null handle when there is none. Index is 0 or
// more; a negative Index other than -1 names a group by its resource id.
IconHandle ExtractIconHandle(const std::string &FileName, int Index);

} // namespace iconwriter
