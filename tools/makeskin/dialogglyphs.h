#pragma once

// The destination dialog's 16 x 16 button glyphs.

#include "skinart.h"

#include <QImage>

namespace skinart {

// The glyph (16 x 16, transparent ground) of a destination dialog button.
QImage DialogGlyphImage(DialogGlyph glyph);

} // namespace skinart
