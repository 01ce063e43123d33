#pragma once

// The picture buttons' faces.

#include "skinart.h"

#include <QImage>

namespace skinart {

// The 86 x 24 face of a button (0 close ... 4 save icon) in one state.
QImage ButtonFaceImage(int button, Face face);

} // namespace skinart
